#pragma once
// The instrument's file exchange on the wire: what the program sends for the
// directory ("4"), a file's content ("5") and a deletion ("6"), and how it cuts
// the answers. Answers are single-byte text; the program keeps them as QString
// with one character per byte (Latin-1), so positions in the text are byte
// positions on the wire.
//
// The cutting is positional on purpose: the instrument pads every field to a
// fixed width, and its headers and trailers have fixed lengths. The builders at
// the end write answers in exactly that layout, for the simulator, the tests
// and the benchmarks.

#include "data/measurement_grid.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace instrument {

// Every answer to "4", "5" and "6" ends with a trailer holding this prompt.
inline const QString Prompt = QStringLiteral("Command:");
inline const QString FileDeleted = QStringLiteral("File deleted!");

// The instrument's commands, each one byte; every sender and the simulator
// take them from here.
inline constexpr char ReadClockCommand = '1';
inline constexpr char SetDateCommand = '2';
inline constexpr char SetTimeCommand = '3';
inline constexpr char DirectoryCommand = '4';
inline constexpr char ContentCommand = '5';
inline constexpr char DeleteCommand = '6';
inline constexpr char IdentifyCommand = '7';
inline constexpr char CarriageReturn = '\r';

// A command as the bytes that go on the wire.
inline QByteArray commandBytes(char command)
{
  return QByteArray(1, command);
}

inline constexpr int ListingHeaderLength = 3;
inline constexpr int ListingTrailerLength = 141;
inline constexpr int ContentHeaderLength = 27;
inline constexpr int ContentTrailerLength = 136;

// A file name as the file list shows and the instrument expects it back:
// 9-character name field, ".", 3-character extension field, blanks kept.
inline constexpr int FileNameLength = 13;
inline constexpr int NameFieldLength = 9;
inline constexpr int ExtensionFieldLength = 3;
inline constexpr int SizeFieldLength = 15;

// One line of the directory: column 0 and column 1 of the file list.
struct FileEntry {
  QString name;  // name field + "." + extension field
  QString size;  // the size field without its leading blanks
  bool operator==(const FileEntry&) const = default;
};

// The text between a fixed-length header and trailer; empty when the answer
// is not longer than both together.
QString cutAnswer(const QString& answer, int headerLength, int trailerLength);

// The file lines of a listing body (the answer with header and trailer cut):
// every CR LF pair starts one line.
QVector<FileEntry> listingEntries(const QString& body);

// The measurement rows of a content body (header and trailer cut): row 0 the
// headers " Time" / " Br, mT", row 1 the return row, then one row per count or
// blank line. The pair that closes the last line adds no row.
QVector<GridRow> contentRows(const QString& body);

// The first row from 2 on whose Br cell does not read as a number, or -1.
// Such a row comes only from a damaged answer; the statistics and charts rely
// on every Br cell reading as a number.
int firstUnreadableCount(const QVector<GridRow>& rows);

// The listed size of a file in bytes: the size text read with the decimal comma
// times 1000 ("1,234" is 1234 bytes). False when the text is not a number.
bool sizeInBytes(const QString& sizeText, int* bytes);

// Bytes of an answer as they are kept in the receive buffer, and back.
QString fromWire(const QByteArray& bytes);
QByteArray toWire(const QString& text);

// Looks for the prompt in a buffer that only ever grows, searching only what
// arrived since the last look plus the prompt's length less one, so a prompt
// split between two receive events is still found and a long answer is not
// searched again and again. A buffer that was changed in any other way since
// the last look (emptied, cut, replaced elsewhere) is searched from its start.
class PromptScanner {
 public:
  explicit PromptScanner(QString prompt = Prompt) : m_prompt(std::move(prompt)) {}
  // sizeBefore: the buffer's size before the bytes just appended.
  bool found(const QString& buffer, qsizetype sizeBefore);
  void reset() { m_seen = -1; }

 private:
  QString m_prompt;
  qsizetype m_seen = -1;  // the buffer's size at the last look
  qsizetype m_from = 0;   // where the next look starts
};

// --- the instrument's side --------------------------------------------------

struct Count {
  QString time;  // hh:mm:ss
  QString br;    // as the instrument writes it: "05.43", "-1.25"
};

// A content answer: one record per inner vector; records are parted by a blank
// line of 14 blanks.
QString buildContentAnswer(const QString& fileName, const QVector<QVector<Count>>& records);
// A listing answer for these files (size texts as the list shows them).
QString buildListingAnswer(const QVector<FileEntry>& files);
// The answer to a deletion.
QString buildDeletionAnswer(const QString& fileName);

// The listed size text of an answer of `bytes` bytes: "1,234" for 1234.
QString sizeText(int bytes);
// A file name padded to the instrument's fields: "DATA1", "TXT" -> "DATA1    .TXT".
QString padFileName(const QString& name, const QString& extension);

}  // namespace instrument
