#include "common/formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include <QRegularExpression>

namespace fmt {

namespace {

// The C locale's number reader with our decimal separator swapped for its own.
bool readCNumber(const QString& text, double* value)
{
  const QString t = text.trimmed();
  if (t.isEmpty() || t.contains(u'.'))
    return false;
  QString c = t;
  c.replace(DecimalSeparator, u'.');
  QByteArray bytes = c.toLatin1();
  if (bytes.startsWith('+'))
    bytes.remove(0, 1);
  // from_chars ignores the C locale, so a user locale never changes the reading.
  double v = 0.0;
  const char* end = bytes.constData() + bytes.size();
  const auto [ptr, ec] = std::from_chars(bytes.constData(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v))
    return false;
  *value = v;
  return true;
}

QString withComma(QString s)
{
  s.replace(u'.', DecimalSeparator);
  return s;
}

}  // namespace

bool readReal(const QString& text, double* value)
{
  return readCNumber(text, value);
}

bool readInt(const QString& text, int* value)
{
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  if (ok)
    *value = v;
  return ok;
}

long long nearest(double x)
{
  // Converting a value the integer cannot hold is undefined behaviour; such a
  // value (a runaway stress law, an empty range's NaN) gets the nearest bound.
  constexpr double Limit = 9223372036854775808.0;  // 2^63
  if (std::isnan(x))
    return 0;
  if (x >= Limit)
    return std::numeric_limits<long long>::max();
  if (x < -Limit)
    return std::numeric_limits<long long>::min();
  return static_cast<long long>(std::nearbyint(x));  // default rounding mode: halves to even
}

int nearestInt(double x)
{
  const long long n = nearest(x);
  return static_cast<int>(
      std::clamp<long long>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString fixed(double x, int significant, int decimals)
{
  if (!std::isfinite(x))
    return withComma(QString::number(x));
  if (x == 0.0)
    return decimals > 0 ? QStringLiteral("0") + DecimalSeparator + QString(decimals, u'0')
                        : QStringLiteral("0");
  // Round to the significant digits, halves away from zero, on the decimal
  // digits printed by %.*e (which carries 17 digits, enough to see the half).
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 17);
  const QByteArray sci(buf, static_cast<int>(res.ptr - buf));
  const int ePos = sci.indexOf('e');
  QByteArray digits = sci.left(ePos);
  digits.remove(1, 1);  // drop the point: d.ddd -> dddd
  int exponent = sci.mid(ePos + 1).toInt();
  // Round once, halves away from zero, at the last significant digit or at the
  // last decimal shown, whichever comes first.
  const int keep = std::min(significant, exponent + 1 + decimals);
  QByteArray kept = keep > 0 ? digits.left(keep) : QByteArray();
  const bool roundUp = keep >= 0 && digits.size() > keep && digits.at(keep) >= '5';
  if (roundUp) {
    int i = kept.size() - 1;
    while (i >= 0 && kept[i] == '9') {
      kept[i] = '0';
      --i;
    }
    if (i >= 0) {
      kept[i] = static_cast<char>(kept[i] + 1);
    } else {
      // 9.99 -> 10.0: one more integer digit, the same number of digits kept.
      kept.prepend('1');
      if (kept.size() > 1)
        kept.chop(1);
      ++exponent;
    }
  }
  const bool negative = x < 0;
  const int integerDigits = exponent + 1;
  if (integerDigits > significant) {
    QString mantissa = QString::fromLatin1(kept.left(1));
    if (kept.size() > 1)
      mantissa += DecimalSeparator + QString::fromLatin1(kept.mid(1));
    QString exp = QString::number(std::abs(exponent)).rightJustified(3, u'0');
    return (negative ? QStringLiteral("-") : QString()) + mantissa + u'E' + u'+' + exp;
  }
  // Place the kept digits around the decimal point, padding with zeros.
  QString whole;
  QString frac;
  for (int pos = 0; pos < integerDigits; ++pos)
    whole += pos < kept.size() ? QChar::fromLatin1(kept[pos]) : u'0';
  if (whole.isEmpty())
    whole = QStringLiteral("0");
  for (int d = 0; d < decimals; ++d) {
    const int pos = integerDigits + d;  // index into kept; negative means a leading zero
    frac += (pos >= 0 && pos < kept.size()) ? QChar::fromLatin1(kept[pos]) : u'0';
  }
  QString out = whole;
  if (decimals > 0)
    out += DecimalSeparator + frac;
  const bool allZero = !out.contains(QRegularExpression(QStringLiteral("[1-9]")));
  return (negative && !allZero ? QStringLiteral("-") : QString()) + out;
}

QString general(double x, int significant)
{
  if (!std::isfinite(x))
    return withComma(QString::number(x));
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, significant);
  QString s = QString::fromLatin1(buf, static_cast<int>(res.ptr - buf)).toUpper();
  // The exponent is written without padding zeros: 1E-7, 1E20.
  const int e = s.indexOf(u'E');
  if (e >= 0) {
    QString mant = s.left(e);
    int exp = s.mid(e + 1).toInt();
    s = mant + u'E' + (exp < 0 ? QStringLiteral("-") : QString()) + QString::number(std::abs(exp));
  }
  return withComma(s);
}

QString decimals(double x, int count)
{
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, count);
  QString s = QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
  if (s.startsWith(u'-') && !s.contains(QRegularExpression(QStringLiteral("[1-9]"))))
    s.remove(0, 1);
  return withComma(s);
}

QString formatDate(const QDate& date)
{
  return date.toString(ShortDateFormat);
}

QString formatTime(const QTime& time)
{
  return time.toString(ShortTimeFormat);
}

QString formatTimeLong(const QTime& time)
{
  return time.toString(QStringLiteral("hh:mm:ss"));
}

QString formatDateTime(const QDateTime& dt)
{
  return formatDate(dt.date()) + u' ' + formatTime(dt.time());
}

}  // namespace fmt
