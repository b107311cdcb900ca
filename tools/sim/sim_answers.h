#pragma once
// The instrument's answers, byte for byte.
//
// Positions below count from 1, as the program that reads them counts.
//   "7"  "7" CR LF, the model word from position 4 ("RZ-37m", 6 characters, or
//        "RZ-48", 5), " #", the 5-digit serial number (from position 12 after
//        "RZ-37m", from 11 after "RZ-48"), CR LF.
//   "1"  "1" CR LF "Date:" dd.MM.yyyy CR LF "Time:" hh:mm:ss CR LF.
//   "4"  a 3-character header "4" CR LF; per file CR LF, the 9-character name
//        field, ".", the 3-character extension field, 6 blanks and the size
//        right-aligned in 15 characters; a 141-character trailer ending in the
//        prompt "Command:".
//   "5"  a 27-character header beginning with "5"; per grid row CR LF and
//        either hh:mm:ss, a blank, Br as two characters, ".", two decimals, or
//        14 blanks for a separator; a closing CR LF; a 136-character trailer
//        ending in the prompt.
//   "6"  "6" CR LF "File deleted!" CR LF "Command:".
// The size a directory line gives is the length of the file's "5" answer, in
// thousands with the decimal comma ("1,234" for 1234 bytes).
// The "1" and "7" answers carry no prompt: nothing waits for one after them.

#include "sim_files.h"

#include <QByteArray>
#include <QDateTime>

inline constexpr int ListingHeaderLength = 3;
inline constexpr int ListingTrailerLength = 141;
inline constexpr int ContentHeaderLength = 27;
inline constexpr int ContentTrailerLength = 136;
inline const QByteArray Prompt = QByteArrayLiteral("Command:");

QByteArray identificationAnswer(const QString& model, const QString& serial);
QByteArray clockAnswer(const QDateTime& instrumentTime);
QByteArray listingAnswer(const SimFileSet& files);
QByteArray contentAnswer(const SimFile& file);
QByteArray deletedAnswer();
// A request for a file the instrument does not hold ("5" or "6").
QByteArray notFoundAnswer(char command);

// The 15-character size field for an answer of `bytes` bytes.
QByteArray sizeField(long long bytes);
// Br as the instrument writes it, from a grid cell ("05,43" -> "05.43").
QByteArray wireValue(const QString& brCell);
