#pragma once
// Number, date and time formats of the whole program. Every conversion between
// text and a number, date or time goes through these helpers, so the program
// behaves the same whatever the user's regional settings: decimal comma,
// thousands separator " ", list separator ";", time "H:mm:ss", date "dd.MM.yyyy".

#include <QDateTime>
#include <QString>

namespace fmt {

inline constexpr QChar DecimalSeparator = u',';
inline constexpr QChar ThousandSeparator = u' ';
inline constexpr QChar ListSeparator = u';';
inline constexpr QChar TimeSeparator = u':';
inline constexpr QChar DateSeparator = u'.';
inline const QString ShortTimeFormat = QStringLiteral("H:mm:ss");
inline const QString ShortDateFormat = QStringLiteral("dd.MM.yyyy");

// Reads a real written with the decimal comma ("05,43", "-1,5", "12", "1,5E3").
// Blanks around the number are allowed; a decimal point is not. Returns false
// and leaves *value untouched when the text is not a number.
bool readReal(const QString& text, double* value);

// Reads a whole decimal number (optional sign, blanks around allowed).
bool readInt(const QString& text, int* value);

// The integer nearest to x, halves to the even integer. A value beyond the
// integer's range gives the nearest bound, NaN gives 0: no real ever reaches an
// integer it cannot be held in.
long long nearest(double x);
// The same for an int.
int nearestInt(double x);

// Fixed notation rounded to `significant` significant digits (halves away from
// zero) and printed with exactly `decimals` decimals and the decimal comma; when
// the integer part needs more digits than `significant`, scientific notation.
QString fixed(double x, int significant, int decimals);

// The shortest general form with up to `significant` significant digits and the
// decimal comma: 5.43 -> "5,43", 20 -> "20", 1e-7 -> "1E-7".
QString general(double x, int significant = 15);

// Plain fixed notation with `decimals` decimals and the decimal comma
// (no significant-digit rounding): 1.5 with 2 -> "1,50".
QString decimals(double x, int decimals);

QString formatDate(const QDate& date);        // dd.MM.yyyy
QString formatTime(const QTime& time);        // H:mm:ss
QString formatTimeLong(const QTime& time);    // hh:mm:ss, as the instrument writes it
QString formatDateTime(const QDateTime& dt);  // dd.MM.yyyy H:mm:ss

}  // namespace fmt
