#include "data/measurement_grid.h"

#include <QTest>

namespace {

// Builds a measurement grid from a compact picture: 'c' a count, '-' a separator.
MeasurementGrid* gridOf(const QString& rows, QObject* parent, const QString& returnRow = {})
{
  auto* g = new MeasurementGrid(parent);
  QVector<GridRow> r(2);
  r[0].cell = {TimeHeader, BrHeader};
  r[1].cell = {returnRow, QString()};
  for (QChar c : rows) {
    GridRow row;
    if (c == u'c')
      row.cell = {MeasurementGrid::countNumberCell(r.size(), QStringLiteral("10:42:05")),
                  QStringLiteral("05,43")};
    r.append(row);
  }
  g->replaceRows(r);
  return g;
}

}  // namespace

class TestMeasurementGrid : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startsAsEmptyFileList()
  {
    MeasurementGrid g;
    QCOMPARE(g.RowCount(), 32);
    QCOMPARE(g.cell(0, 0), QStringLiteral(" File name"));
    QCOMPARE(g.cell(0, 1), QStringLiteral(" Size, bytes"));
    QVERIFY(g.isFileListHeader());
    QCOMPARE(g.cell(500, 0), QString());  // beyond the last row reads as empty
    QCOMPARE(g.cell(3, 7), QString());
  }

  void records_data()
  {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("returnRow");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("count");
    // rows 2.. : "ccc-cc-cccc" -> records 2..4, 6..7, 9..12
    QTest::newRow("three, no trailing separator, 1") << "ccc-cc-cccc"
                                                     << "" << 3 << 1 << 2 << 4 << 3;
    QTest::newRow("three, no trailing separator, 2") << "ccc-cc-cccc"
                                                     << "" << 3 << 2 << 6 << 7 << 2;
    QTest::newRow("three, no trailing separator, 3") << "ccc-cc-cccc"
                                                     << "" << 3 << 3 << 9 << 12 << 4;
    QTest::newRow("trailing separator makes an empty record") << "cc-"
                                                              << "" << 2 << 2 << 5 << 4 << 0;
    QTest::newRow("adjacent separators make an empty record") << "c--c"
                                                              << "" << 3 << 2 << 4 << 3 << 0;
    QTest::newRow("record 1 at row 2 after a download") << "cc-c"
                                                        << "Return" << 2 << 1 << 2 << 3 << 2;
    QTest::newRow("record 2 after a download") << "cc-c"
                                               << "Return" << 2 << 2 << 5 << 5 << 1;
    QTest::newRow("record 1 at row 2 from a file") << "cc"
                                                   << "" << 1 << 1 << 2 << 3 << 2;
  }
  void records()
  {
    QFETCH(QString, rows);
    QFETCH(QString, returnRow);
    QFETCH(int, records);
    QFETCH(int, k);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, count);
    MeasurementGrid* g = gridOf(rows, this, returnRow);
    QCOMPARE(g->countRecords(), records);
    const RecordRows rec = g->findRecord(k);
    QCOMPARE(rec.first, first);
    QCOMPARE(rec.last, last);
    QCOMPARE(rec.count, count);
  }

  void countCellsAndTimes()
  {
    QCOMPARE(MeasurementGrid::countNumberCell(18, QStringLiteral("10:42:05")),
             QStringLiteral("17) 10:42:05"));
    QCOMPARE(MeasurementGrid::timeOf(QStringLiteral("17) 10:42:05")), QStringLiteral("10:42:05"));
  }

  void replaceRowsSignalsOneReset()
  {
    MeasurementGrid* g = gridOf(QStringLiteral("cc"), this);
    int resets = 0;
    connect(g, &QAbstractItemModel::modelReset, this, [&] { ++resets; });
    QVector<GridRow> rows(100002);
    g->replaceRows(rows);
    QCOMPARE(resets, 1);
    QCOMPARE(g->rowCount(), 100002);
  }
};

QTEST_GUILESS_MAIN(TestMeasurementGrid)
#include "test_measurement_grid.moc"
