#include "data/count_editing.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A grid from a picture of rows 2..: a letter is a count whose Br cell is the
// letter and whose time ends in the letter's place in the alphabet, '-' a
// separator. Counts are numbered as a loader numbers them.
void fill(MeasurementGrid& g, const QString& picture, const QString& returnRow = {})
{
  QVector<GridRow> rows(2);
  rows[0].cell = {TimeHeader, BrHeader};
  rows[1].cell = {returnRow, QString()};
  for (QChar c : picture) {
    GridRow row;
    if (c != u'-') {
      const QString time = QStringLiteral("10:42:%1").arg(c.unicode() - 'a', 2, 10, QLatin1Char('0'));
      row.cell = {MeasurementGrid::countNumberCell(rows.size(), time), QString(c)};
    }
    rows.append(row);
  }
  g.replaceRows(rows);
}

// The picture of rows 2..; a count whose number or time is not what it should
// be shows as '!'.
QString picture(const MeasurementGrid& g)
{
  QString p;
  for (int r = 2; r < g.RowCount(); ++r) {
    const QString& br = g.cell(r, 1);
    if (br.isEmpty()) {
      p += g.cell(r, 0).isEmpty() ? u'-' : u'!';
      continue;
    }
    const QChar c = br[0];
    const QString time = QStringLiteral("10:42:%1").arg(c.unicode() - 'a', 2, 10, QLatin1Char('0'));
    p += g.cell(r, 0) == MeasurementGrid::countNumberCell(r, time) ? c : u'!';
  }
  return p;
}

}  // namespace

class TestCountEditing : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void insertSeparator_data()
  {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("row");

    QTest::newRow("second count splits 1 + 23")
        << "abcdefghijklmnopqrstuvwx" << 3 << "a-bcdefghijklmnopqrstuvwx" << true << 3;
    QTest::newRow("on a separator: an empty record") << "ab-cd" << 4 << "ab--cd" << true << 4;
    QTest::newRow("the return row counts as row 2") << "abc" << 1 << "-abc" << true << 2;
    QTest::newRow("the header row counts as row 2") << "abc" << 0 << "-abc" << true << 2;
    QTest::newRow("the row after the last: a trailing separator")
        << "abc" << 5 << "abc-" << true << 5;
    QTest::newRow("beyond the row after the last: nothing") << "abc" << 6 << "abc" << false << 6;
    QTest::newRow("into a grid without counts") << "" << 2 << "-" << true << 2;
  }

  void insertSeparator()
  {
    QFETCH(QString, before);
    QFETCH(int, top);
    MeasurementGrid g;
    fill(g, before);
    const int records = g.countRecords();
    const CountEdit edit = InsertSeparator(g, top);
    QTEST(picture(g), "after");
    QTEST(edit.changed, "changed");
    QTEST(edit.row, "row");
    QCOMPARE(edit.recordsDelta, edit.changed ? 1 : 0);
    QCOMPARE(records + edit.recordsDelta, g.countRecords());
  }

  void deleteCounts_data()
  {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("recordsDelta");

    QTest::newRow("one count") << "abcd" << 3 << 3 << "acd" << 0;
    QTest::newRow("one separator and five counts join two records")
        << "abc-defgh" << 4 << 9 << "abh" << -1;
    QTest::newRow("two separators") << "a-b-c" << 3 << 5 << "ac" << -2;
    QTest::newRow("from the return row: from row 2") << "abcd" << 1 << 3 << "cd" << 0;
    QTest::newRow("last row beyond the grid: to the last row") << "ab-cd" << 4 << 500 << "ab" << -1;
    QTest::newRow("everything") << "a-b" << 2 << 4 << "" << -1;
    QTest::newRow("the return row alone: nothing") << "abc" << 1 << 1 << "abc" << 0;
    QTest::newRow("below the grid: nothing") << "abc" << 6 << 9 << "abc" << 0;
  }

  void deleteCounts()
  {
    QFETCH(QString, before);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(QString, after);
    MeasurementGrid g;
    fill(g, before);
    const int records = g.countRecords();
    const CountEdit edit = DeleteCounts(g, top, bottom);
    QCOMPARE(picture(g), after);
    QTEST(edit.recordsDelta, "recordsDelta");
    QCOMPARE(edit.changed, after != before);
    QCOMPARE(records + edit.recordsDelta, g.countRecords());
  }

  // 100 000 counts must not cost 100 000 view updates: the rows go in one
  // removal and the renumbering is one change of column 0.
  void deleteIsOneModelChange()
  {
    MeasurementGrid g;
    fill(g, QStringLiteral("abc-defghijklmnop"));
    QSignalSpy removed(&g, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&g, &QAbstractItemModel::dataChanged);
    DeleteCounts(g, 3, 7);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed[0][1].toInt(), 3);
    QCOMPARE(removed[0][2].toInt(), 7);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(picture(g), QStringLiteral("afghijklmnop"));
  }

  void rowHelpers_data()
  {
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("rowCount");  // grid of 2 + 3 rows before

    QTest::newRow("insert at the end") << true << 5 << true << 6;
    QTest::newRow("insert past the end") << true << 6 << false << 5;
    QTest::newRow("insert before the header") << true << -1 << false << 5;
    QTest::newRow("delete the last row") << false << 4 << true << 4;
    QTest::newRow("delete past the end") << false << 5 << false << 5;
    QTest::newRow("the header stays") << false << 0 << false << 5;
  }

  void rowHelpers()
  {
    QFETCH(bool, insert);
    QFETCH(int, index);
    MeasurementGrid g;
    fill(g, QStringLiteral("abc"));
    const bool done = insert ? InsertGridRow(g, index) : DeleteGridRow(g, index);
    QTEST(done, "done");
    QTEST(g.RowCount(), "rowCount");
    QCOMPARE(g.cell(0, 0), TimeHeader);
  }

  void renumberKeepsTheTimeAndSkipsSeparators()
  {
    MeasurementGrid g;
    QVector<GridRow> rows(6);
    rows[0].cell = {TimeHeader, BrHeader};
    rows[1].cell = {ReturnText, QString()};
    rows[2].cell = {QStringLiteral("7) 10:42:05"), QStringLiteral("05,43")};
    rows[4].cell = {QStringLiteral("12345) 23:59:59"), QStringLiteral("19,99")};
    rows[5].cell = {QStringLiteral("12:00:00"), QStringLiteral("01,00")};  // no number yet
    g.replaceRows(rows);
    RenumberCounts(g, 2);
    QCOMPARE(g.cell(1, 0), ReturnText);
    QCOMPARE(g.cell(2, 0), QStringLiteral("1) 10:42:05"));
    QCOMPARE(g.cell(3, 0), QString());
    QCOMPARE(g.cell(4, 0), QStringLiteral("3) 23:59:59"));
    QCOMPARE(g.cell(5, 0), QStringLiteral("4) 12:00:00"));
  }

  // Count numbers are plain digits however large: no group separators.
  void largeNumbersHaveNoSeparators()
  {
    MeasurementGrid g;
    fill(g, QString(12000, u'a'));
    InsertSeparator(g, 2);
    QCOMPARE(g.cell(12002, 0), QStringLiteral("12001) 10:42:00"));
  }
};

QTEST_GUILESS_MAIN(TestCountEditing)
#include "test_count_editing.moc"
