// The stress table, its file, and applying an item to the conversion law.

#include "analysis/record_display.h"
#include "analysis/stress_table.h"
#include "analysis/test_statistics_grid.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include "support/test_files.h"

#include <sys/resource.h>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>

Q_DECLARE_METATYPE(StressItemRow)

namespace {

void compareTables(const StressTable& got, const StressTable& want)
{
  QCOMPARE(got.RowCount(), want.RowCount());
  for (int r = 0; r < want.RowCount(); ++r)
    for (int c = 0; c < 4; ++c)
      QCOMPARE(got.cell(r, c), want.cell(r, c));
}

}  // namespace

class TestStressTable : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void convertsWithTheAppliedItem_data();
  void convertsWithTheAppliedItem();
  void findsCharacters_data();
  void findsCharacters();
  void parsesFileLines_data();
  void parsesFileLines();
  void saveThenLoadGivesTheSameTable();
  void shippedFileHoldsTheBuiltInItems();
  void unreadableFileLeavesTheTable();
  void failedSaveKeepsTheOldFile();
  void badItemLeavesTheAppliedItem_data();
  void badItemLeavesTheAppliedItem();
  void storedItemAtStart_data();
  void storedItemAtStart();
  void steepestItemsGiveDrawableAxes_data();
  void steepestItemsGiveDrawableAxes();
};

void TestStressTable::convertsWithTheAppliedItem_data()
{
  QTest::addColumn<double>("br");
  QTest::addColumn<double>("mpa");
  // St_3_flat: 0,62 mT at 0 MPa, 2,00 mT at 350 MPa.
  QTest::newRow("Br(S=0)") << 0.62 << 0.0;
  QTest::newRow("Br(Smax)") << 2.00 << 350.0;
  QTest::newRow("midway") << 1.31 << 175.0;
  QTest::newRow("below Br(S=0) is negative") << 0.0 << -0.62 * 350 / 1.38;
  QTest::newRow("above Br(Smax) exceeds Smax") << 3.38 << 700.0;
}

void TestStressTable::convertsWithTheAppliedItem()
{
  QFETCH(double, br);
  QFETCH(double, mpa);
  StressTable table;
  StressLaw law;
  QString msg;
  QVERIFY2(ApplyStressItem(table, 1, &law, &msg), qPrintable(msg));
  QCOMPARE(law.AppliedStressItem, 1);
  QVERIFY2(std::fabs(law.ToStress(br) - mpa) < 1e-9, qPrintable(QString::number(law.ToStress(br))));
}

void TestStressTable::findsCharacters_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("position");
  QTest::newRow("first") << "A;1;" << 1 << 2;
  QTest::newRow("from the next") << "A;1;" << 3 << 4;
  QTest::newRow("at start itself") << "A;1;x" << 4 << 4;
  QTest::newRow("none left") << "A;1x" << 3 << 0;
  QTest::newRow("start at the length") << "A;;" << 3 << 0;
  QTest::newRow("start past the end") << "A;" << 5 << 0;
  QTest::newRow("empty text") << "" << 1 << 0;
}

void TestStressTable::findsCharacters()
{
  QFETCH(QString, text);
  QFETCH(int, start);
  QFETCH(int, position);
  QCOMPARE(FindCharInString(u';', text, start), position);
}

void TestStressTable::parsesFileLines_data()
{
  QTest::addColumn<QString>("line");
  QTest::addColumn<StressItemRow>("fields");
  QTest::newRow("full line") << "St_3_flat;0,62;350;2,00;"
                             << StressItemRow{"St_3_flat", "0,62", "350", "2,00"};
  QTest::newRow("no final separator")
      << "St_3_flat;0,62;350;2,00" << StressItemRow{"St_3_flat", "0,62", "350", ""};
  QTest::newRow("two fields") << "Pipe;0,9;" << StressItemRow{"Pipe", "0,9", "", ""};
  QTest::newRow("empty field kept") << "Pipe;;400;2,1;" << StressItemRow{"Pipe", "", "400", "2,1"};
  QTest::newRow("more than four") << "A;1;2;3;note;" << StressItemRow{"A", "1", "2", "3"};
  QTest::newRow("blanks kept") << " A ; 1,5;2 ;3;" << StressItemRow{" A ", " 1,5", "2 ", "3"};
  QTest::newRow("no separator") << "just text" << StressItemRow{};
  QTest::newRow("empty line") << "" << StressItemRow{};
}

void TestStressTable::parsesFileLines()
{
  QFETCH(QString, line);
  QFETCH(StressItemRow, fields);
  QCOMPARE(ParseStressLine(line), fields);
}

void TestStressTable::saveThenLoadGivesTheSameTable()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(StressTableFileName);
  StressTable table;
  table.insertItemRow(12);
  const StressItemRow user = {QStringLiteral("Сталь 3 (pipe)"), QStringLiteral("0,8"),
                              QStringLiteral("330"), QStringLiteral("2,2")};
  for (int c = 0; c < 4; ++c)
    table.setCell(12, c, user[static_cast<size_t>(c)]);
  table.insertItemRow(13);  // an empty item survives as an empty line
  QString reason;
  QVERIFY2(SaveStressTable(table, path, &reason), qPrintable(reason));
  const QByteArray bytes = fileBytes(path);
  QVERIFY(bytes.startsWith("St_3_flat;0,62;350;2,00;\r\nMSt_3_flat;0,72;310;2,00;\r\n"));
  QVERIFY(bytes.endsWith("10XSND_flat;1,38;540;4,24;\r\n" + user.at(0).toUtf8() +
                         ";0,8;330;2,2;\r\n;;;;\r\n"));

  StressTable back;
  back.replaceItems({});
  QVERIFY2(LoadStressTable(back, path, &reason), qPrintable(reason));
  compareTables(back, table);
  QCOMPARE(back.cell(0, 3), QStringLiteral("Br(Smax)"));
}

void TestStressTable::shippedFileHoldsTheBuiltInItems()
{
  const QString shipped = QStringLiteral(RZ37M_BIN_DIR "/") + StressTableFileName;
  StressTable loaded;
  loaded.replaceItems({});
  QString reason;
  QVERIFY2(LoadStressTable(loaded, shipped, &reason), qPrintable(reason));
  QCOMPARE(loaded.RowCount(), BuiltInStressItems + 1);
  compareTables(loaded, StressTable());

  // Written back, it is the same file byte for byte.
  QTemporaryDir dir;
  QVERIFY(SaveStressTable(loaded, dir.filePath(StressTableFileName), &reason));
  QCOMPARE(fileBytes(dir.filePath(StressTableFileName)), fileBytes(shipped));
}

void TestStressTable::unreadableFileLeavesTheTable()
{
  QTemporaryDir dir;
  StressTable table;
  table.setCell(1, 0, QStringLiteral("edited"));
  QString reason;
  QVERIFY(!LoadStressTable(table, dir.filePath(StressTableFileName), &reason));
  QVERIFY(!reason.isEmpty());
  QCOMPARE(table.RowCount(), BuiltInStressItems + 1);
  QCOMPARE(table.cell(1, 0), QStringLiteral("edited"));
}

void TestStressTable::failedSaveKeepsTheOldFile()
{
  QTemporaryDir dir;
  const QString path = dir.filePath(StressTableFileName);
  StressTable table;
  QString reason;
  QVERIFY(SaveStressTable(table, path, &reason));
  const QByteArray old = fileBytes(path);

  for (int i = 0; i < 300; ++i) {
    table.insertItemRow(table.RowCount());
    table.setCell(table.RowCount() - 1, 0, QStringLiteral("user item with a long name %1").arg(i));
  }
  {
    FileSizeLimit limit(4096);
    QVERIFY(!SaveStressTable(table, path, &reason));
  }
  QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
  QCOMPARE(fileBytes(path), old);
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{StressTableFileName});
}

void TestStressTable::badItemLeavesTheAppliedItem_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<StressItemRow>("item");  // put in row 12 when row is 12
  QTest::addColumn<QString>("because");
  QTest::newRow("Br(S=0) not a number")
      << 12 << StressItemRow{"Bad", "abc", "350", "2,00"} << "Br(S=0) \"abc\"";
  QTest::newRow("Smax not whole") << 12 << StressItemRow{"Bad", "0,62", "350,5", "2,00"}
                                  << "Smax \"350,5\"";
  QTest::newRow("Br(Smax) empty") << 12 << StressItemRow{"Bad", "0,62", "350", ""}
                                  << "Br(Smax) \"\"";
  QTest::newRow("Br(Smax) equals Br(S=0)")
      << 12 << StressItemRow{"Flat", "1,5", "350", "1,50"} << "equals";
  QTest::newRow("slope overflows") << 12 << StressItemRow{"Inf", "0", "1000000000", "1E-300"}
                                   << "too close";
  // Finite slopes that still send the 0..20 mT scale past a thousand million MPa.
  QTest::newRow("Br(Smax) a hair from Br(S=0)")
      << 12 << StressItemRow{"X", "0", "350", "0,00000000000000001"} << "beyond";
  QTest::newRow("past the limit at 20 mT")
      << 12 << StressItemRow{"Steep", "0", "1000000000", "19"} << "at 20 mT";
  QTest::newRow("past the limit at 0 mT")
      << 12 << StressItemRow{"Far", "5", "-1000000000", "4"} << "at 0 mT";
  QTest::newRow("Smax of two thousand million")
      << 12 << StressItemRow{"Big", "0", "2000000000", "2"} << "beyond";
  QTest::newRow("beyond the table") << 40 << StressItemRow{} << "no such row";
  QTest::newRow("header row") << 0 << StressItemRow{} << "no such row";
}

void TestStressTable::badItemLeavesTheAppliedItem()
{
  QFETCH(int, row);
  QFETCH(StressItemRow, item);
  QFETCH(QString, because);
  StressTable table;
  table.insertItemRow(12);
  for (int c = 0; c < 4; ++c)
    table.setCell(12, c, item[static_cast<size_t>(c)]);
  StressLaw law;
  QVERIFY(ApplyStressItem(table, 3, &law, nullptr));
  const StressLaw before = law;

  QString msg;
  QVERIFY(!ApplyStressItem(table, row, &law, &msg));
  QCOMPARE(law.AppliedStressItem, before.AppliedStressItem);
  QCOMPARE(law.StressZeroBr, before.StressZeroBr);
  QCOMPARE(law.StressSlope, before.StressSlope);
  QVERIFY2(msg.contains(because), qPrintable(msg));
  QVERIFY2(msg.contains(QStringLiteral("VSt_3kp_flat (row 3)")), qPrintable(msg));
}

void TestStressTable::storedItemAtStart_data()
{
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("applied");
  QTest::addColumn<bool>("noted");
  QTest::newRow("a built-in item") << 5 << 5 << false;
  QTest::newRow("the user item") << 12 << 12 << false;
  QTest::newRow("beyond the table") << 20 << 1 << true;
  QTest::newRow("zero") << 0 << 1 << true;
  QTest::newRow("an item that does not convert") << 13 << 1 << true;
}

void TestStressTable::storedItemAtStart()
{
  QFETCH(int, stored);
  QFETCH(int, applied);
  QFETCH(bool, noted);
  StressTable table;
  table.replaceItems(DefaultStressItems() + QVector<StressItemRow>{{"Pipe", "0,8", "330", "2,2"},
                                                                   {"Broken", "x", "1", "2"}});
  StressLaw law;
  const QString note = ApplyStoredStressItem(table, stored, &law);
  QCOMPARE(law.AppliedStressItem, applied);
  QCOMPARE(!note.isEmpty(), noted);
  StressLaw direct;
  QVERIFY(ApplyStressItem(table, applied, &direct, nullptr));
  QCOMPARE(law.StressSlope, direct.StressSlope);
  QCOMPARE(law.StressZeroBr, direct.StressZeroBr);
}

QTEST_GUILESS_MAIN(TestStressTable)
#include "test_stress_table.moc"

void TestStressTable::steepestItemsGiveDrawableAxes_data()
{
  QTest::addColumn<StressItemRow>("item");
  QTest::addColumn<QStringList>("cells");
  QTest::newRow("a thousand million MPa at 20 mT")
      << StressItemRow{"Top", "0", "1000000000", "20"} << QStringList{"19,99", "00,01"};
  QTest::newRow("minus a thousand million MPa at 0 mT")
      << StressItemRow{"Bottom", "20", "1000000000", "40"} << QStringList{"00,00", "20,00"};
}

// At the limit the stress table allows, the record display's axes are whole
// numbers an axis can hold and the label shows numbers, not "inf".
void TestStressTable::steepestItemsGiveDrawableAxes()
{
  QFETCH(StressItemRow, item);
  QFETCH(QStringList, cells);
  StressTable table;
  table.insertItemRow(12);
  for (int c = 0; c < 4; ++c)
    table.setCell(12, c, item[static_cast<size_t>(c)]);
  StressLaw law;
  QString msg;
  QVERIFY2(ApplyStressItem(table, 12, &law, &msg), qPrintable(msg));

  MeasurementGrid grid;
  fillGrid(grid, cells);
  const RecordDisplay d = ComputeRecordDisplay(grid, 1, {true, law}, LineValueAt{});
  for (const double v : {d.leftAxis.min, d.leftAxis.max}) {
    QVERIFY2(std::isfinite(v) && std::fabs(v) < 2e9, qPrintable(QString::number(v)));
    QCOMPARE(v, std::nearbyint(v));
  }
  QVERIFY(d.leftAxis.min < d.leftAxis.max);
  QVERIFY2(!d.labelText.contains(QStringLiteral("inf"), Qt::CaseInsensitive), qPrintable(d.labelText));
}
