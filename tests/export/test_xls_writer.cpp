// The XLS worksheet: its bytes, which columns it gets, what does not fit, and
// how a failed write leaves the disk.

#include "export/export_names.h"
#include "export/xls_writer.h"
#include "support/biff_reader.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

XlsSeries series(QVector<double> xs, QVector<double> ys, QStringList labels = {})
{
  XlsSeries s;
  s.xs = std::move(xs);
  s.ys = std::move(ys);
  s.labels = std::move(labels);
  return s;
}

XlsSeries sequence(int n, double firstX = 0)
{
  XlsSeries s;
  for (int i = 0; i < n; ++i) {
    s.xs << firstX + i;
    s.ys << 0.25 * i;
  }
  return s;
}

BiffSheet sheetOf(const XlsSeries& s, bool labels)
{
  const auto bytes = xlsWorksheet(s, labels);
  if (!bytes)
    return {};
  return readBiff(*bytes).value_or(BiffSheet{});
}

}  // namespace

Q_DECLARE_METATYPE(XlsSeries)

class TestXlsWriter : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void smallWorksheetByteForByte();
  void labelCellByteForByte();
  void columns_data();
  void columns();
  void mapSeriesCells();
  void nullAndNonFinitePointsAreBlank();
  void labelText_data();
  void labelText();
  void rowLimit();
  void tooManyPointsWritesNothing();
  void failedWriteNamesPathAndKeepsOldFile();
  void missingFolderIsReported();
  void extensions_data();
  void extensions();
  void defaultExtension_data();
  void defaultExtension();
};

void TestXlsWriter::smallWorksheetByteForByte()
{
  XlsSeries s = series({1, 2}, {0.5, 0});
  s.nulls = {false, true};
  const QByteArray expected = QByteArray::fromHex(
      "090808000000100000000000"  // BOF
      "00020a00"
      "0000"
      "0200"
      "0000"
      "0200"
      "0000"  // DIMENSIONS 2 x 2
      "03000f00"
      "0000"
      "0000"
      "000000"
      "000000000000f03f"  // A1 = 1
      "03000f00"
      "0000"
      "0100"
      "000000"
      "000000000000e03f"  // B1 = 0.5
      "03000f00"
      "0100"
      "0000"
      "000000"
      "0000000000000040"  // A2 = 2
      "01000700"
      "0100"
      "0100"
      "000000"      // B2 blank (null)
      "0a000000");  // EOF
  QCOMPARE(xlsWorksheet(s, false).value_or(QByteArray()).toHex(), expected.toHex());
}

void TestXlsWriter::labelCellByteForByte()
{
  // Labels allowed: the label goes first; x = 0 alone is the plain sequence.
  const XlsSeries s = series({0}, {2}, {QStringLiteral("Ab")});
  const QByteArray expected = QByteArray::fromHex(
      "090808000000100000000000"
      "00020a00"
      "0000"
      "0100"
      "0000"
      "0200"
      "0000"
      "04000a00"
      "0000"
      "0000"
      "000000"
      "02"
      "4162"
      "03000f00"
      "0000"
      "0100"
      "000000"
      "0000000000000040"
      "0a000000");
  QCOMPARE(xlsWorksheet(s, true).value_or(QByteArray()).toHex(), expected.toHex());
}

void TestXlsWriter::columns_data()
{
  QTest::addColumn<XlsSeries>("input");
  QTest::addColumn<bool>("labelsAllowed");
  QTest::addColumn<int>("columns");
  QTest::addColumn<bool>("xColumn");
  QTest::addColumn<bool>("labelColumn");

  QTest::newRow("empty: y column only, no cells") << XlsSeries{} << false << 1 << false << false;
  QTest::newRow("x = 0..n-1: no x column") << sequence(36) << false << 1 << false << false;
  QTest::newRow("count numbers from 1") << sequence(36, 1) << false << 2 << true << false;
  {
    XlsSeries s = sequence(10);
    s.xs[5] = 50;  // starts and ends like the sequence
    QTest::newRow("one x off the sequence") << s << false << 2 << true << false;
  }
  {
    XlsSeries s = sequence(20000);
    s.xs[15000] = -1;  // far beyond the first ten thousand points
    QTest::newRow("x off the sequence late in a long series") << s << false << 2 << true << false;
  }
  {
    XlsSeries s = sequence(3);
    s.labels = QStringList{QString(), QString(), QString()};
    QTest::newRow("labels allowed but all empty") << s << true << 1 << false << false;
  }
  {
    XlsSeries s = sequence(300);
    s.labels.resize(300);
    s.labels[250] = QStringLiteral("late");
    QTest::newRow("only a late point labelled") << s << true << 2 << false << true;
  }
  {
    XlsSeries s = sequence(3, 10);
    s.labels = QStringList{QStringLiteral("05,43"), {}, {}};
    QTest::newRow("labels not allowed") << s << false << 2 << true << false;
    QTest::newRow("labels allowed: label, x, y") << s << true << 3 << true << true;
  }
}

void TestXlsWriter::columns()
{
  QFETCH(XlsSeries, input);
  QFETCH(bool, labelsAllowed);
  QFETCH(int, columns);
  QFETCH(bool, xColumn);
  QFETCH(bool, labelColumn);

  const BiffSheet sheet = sheetOf(input, labelsAllowed);
  QCOMPARE(sheet.recordTypes.value(0), quint16(0x0809));
  QCOMPARE(sheet.recordTypes.value(1), quint16(0x0200));
  QCOMPARE(sheet.recordTypes.last(), quint16(0x000A));
  QVERIFY(!sheet.trailingBytes);
  QCOMPARE(sheet.rows, input.count());
  QCOMPARE(sheet.columns, columns);
  QCOMPARE(sheet.cellCount(), input.count() * columns);  // no header, no gaps
  if (input.count() == 0)
    return;
  const int last = input.count() - 1;
  int col = 0;
  if (labelColumn) {
    QCOMPARE(sheet.cell(last, col)->kind, BiffCell::Kind::Label);
    QCOMPARE(QString::fromLatin1(sheet.cell(last, col)->label), input.label(last));
    ++col;
  }
  if (xColumn) {
    QCOMPARE(sheet.cell(last, col)->number, input.xs[last]);
    ++col;
  }
  QCOMPARE(sheet.cell(last, col)->kind, BiffCell::Kind::Number);
  QCOMPARE(sheet.cell(last, col)->number, input.ys[last]);
}

void TestXlsWriter::mapSeriesCells()
{
  // The map's nodes: x repeats from line to line, so x, value and z are written.
  XlsSeries s;
  s.hasZ = true;
  for (int line = 0; line < 3; ++line) {
    for (int x = 0; x < 12; ++x) {
      s.xs << x;
      s.ys << 5 + line + 0.01 * x;
      s.zs << line;
    }
  }
  s.labels = QStringList(36, QString());
  const BiffSheet sheet = sheetOf(s, true);
  QCOMPARE(sheet.rows, 36);
  QCOMPARE(sheet.columns, 3);
  QCOMPARE(sheet.cellCount(), 108);
  QCOMPARE(sheet.cell(13, 0)->number, 1.0);
  QCOMPARE(sheet.cell(13, 1)->number, 6.01);
  QCOMPARE(sheet.cell(13, 2)->number, 1.0);
  QCOMPARE(sheet.cell(35, 2)->number, 2.0);
}

void TestXlsWriter::nullAndNonFinitePointsAreBlank()
{
  const double inf = std::numeric_limits<double>::infinity();
  XlsSeries s;
  s.hasZ = true;
  s.xs = {1, inf, 3, 4};
  s.ys = {std::nan(""), 2, -inf, 7};
  s.zs = {0, std::nan(""), 0, 1};
  s.nulls = {false, false, false, true};
  const BiffSheet sheet = sheetOf(s, false);
  QCOMPARE(sheet.cellCount(), 12);
  auto kind = [&](int r, int c) { return sheet.cell(r, c)->kind; };
  QCOMPARE(kind(0, 1), BiffCell::Kind::Blank);   // NaN value
  QCOMPARE(kind(1, 0), BiffCell::Kind::Blank);   // infinite x
  QCOMPARE(kind(1, 2), BiffCell::Kind::Blank);   // NaN z
  QCOMPARE(kind(2, 1), BiffCell::Kind::Blank);   // -inf value
  QCOMPARE(kind(3, 0), BiffCell::Kind::Number);  // a null point keeps its x
  QCOMPARE(kind(3, 1), BiffCell::Kind::Blank);
  QCOMPARE(kind(3, 2), BiffCell::Kind::Blank);
}

void TestXlsWriter::labelText_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("plain") << QStringLiteral("05,43") << QByteArray("05,43");
  QTest::newRow("Latin-1 letters")
      << QStringLiteral("Stahl \u00e9\u00fc") << QByteArray("Stahl \xe9\xfc");
  QTest::newRow("1252 extras") << QStringLiteral("\u20ac\u2013\u201e")
                               << QByteArray("\x80\x96\x84");
  QTest::newRow("Cyrillic") << QStringLiteral("\u0421\u0442") << QByteArray("??");
  QTest::newRow("C1 control") << QStringLiteral("a\u0081b") << QByteArray("a?b");
  QTest::newRow("outside the BMP is one ?") << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
  QTest::newRow("cut to 255") << QString(300, u'w') << QByteArray(255, 'w');
  QTest::newRow("exactly 255") << QString(255, u'q') << QByteArray(255, 'q');
}

void TestXlsWriter::labelText()
{
  QFETCH(QString, text);
  QFETCH(QByteArray, bytes);
  QCOMPARE(xlsLabelBytes(text), bytes);
  const BiffSheet sheet = sheetOf(series({0}, {1}, {text}), true);
  QCOMPARE(sheet.cell(0, 0)->label, bytes);
}

void TestXlsWriter::rowLimit()
{
  const BiffSheet full = sheetOf(sequence(XlsMaxRows, 1), false);
  QCOMPARE(full.rows, 65535);
  QCOMPARE(full.cell(65534, 0)->number, 65535.0);

  QString error;
  QVERIFY(!xlsWorksheet(sequence(XlsMaxRows + 1), false, &error));
  QVERIFY2(error.contains(QStringLiteral("65536")) && error.contains(QStringLiteral("65535")),
           qPrintable(error));
  QVERIFY2(error.contains(QStringLiteral("\"Save...\"")), qPrintable(error));
}

void TestXlsWriter::tooManyPointsWritesNothing()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.xls"));
  QString error;
  QVERIFY(!writeXlsFile(path, sequence(70000), false, &error));
  QVERIFY(!error.isEmpty());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

  putFile(path, "old");
  QVERIFY(!writeXlsFile(path, sequence(70000), false, &error));
  QCOMPARE(fileBytes(path), QByteArray("old"));
}

void TestXlsWriter::failedWriteNamesPathAndKeepsOldFile()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("chart.xls"));
  putFile(path, "previous export");
  QString error;
  {
    const FileSizeLimit limit(1000);  // the disk fills up half-way through
    QVERIFY(!writeXlsFile(path, sequence(500, 1), false, &error));
  }
  QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
  QCOMPARE(fileBytes(path), QByteArray("previous export"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"chart.xls"});

  QVERIFY(writeXlsFile(path, sequence(500, 1), false, &error));
  QCOMPARE(readBiff(fileBytes(path))->rows, 500);
}

void TestXlsWriter::missingFolderIsReported()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("gone/chart.xls"));
  QString error;
  QVERIFY(!writeXlsFile(path, sequence(3), false, &error));
  QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
  QVERIFY(!QFileInfo::exists(path));
}

void TestXlsWriter::extensions_data()
{
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("extension");
  QTest::addColumn<QString>("written");
  const QString xls = XlsExtension;
  const QString bmp = BmpExtension;
  QTest::newRow("no extension") << "/o/chart" << xls << "/o/chart.xls";
  QTest::newRow("exact") << "/o/chart.xls" << xls << "/o/chart.xls";
  QTest::newRow("upper case") << "/o/chart.XLS" << xls << "/o/chart.XLS.xls";
  QTest::newRow("other extension") << "/o/chart.csv" << xls << "/o/chart.csv.xls";
  QTest::newRow("dot in the folder only") << "/o.d/chart" << xls << "/o.d/chart.xls";
  QTest::newRow("bmp exact") << "/o/pic.bmp" << bmp << "/o/pic.bmp";
  QTest::newRow("bmp mixed case") << "/o/pic.Bmp" << bmp << "/o/pic.Bmp.bmp";
  QTest::newRow("bmp none") << "/o/pic" << bmp << "/o/pic.bmp";
}

void TestXlsWriter::extensions()
{
  QFETCH(QString, chosen);
  QFETCH(QString, extension);
  QFETCH(QString, written);
  QCOMPARE(withExactExtension(chosen, extension), written);
}

void TestXlsWriter::defaultExtension_data()
{
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("written");
  QTest::newRow("none") << "/o/p"
                        << "/o/p.jpg";
  QTest::newRow("own") << "/o/p.jpg"
                       << "/o/p.jpg";
  QTest::newRow("other kept") << "/o/p.JPEG"
                              << "/o/p.JPEG";
  QTest::newRow("dot in folder") << "/o.x/p"
                                 << "/o.x/p.jpg";
}

void TestXlsWriter::defaultExtension()
{
  QFETCH(QString, chosen);
  QFETCH(QString, written);
  QCOMPARE(withDefaultExtension(chosen, JpegExtension), written);
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "test_xls_writer.moc"
