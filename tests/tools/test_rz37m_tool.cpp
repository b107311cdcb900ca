#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "support/test_files.h"

// rz37m-tool run as scripts run it: the built program, a small measurement file
// and a stress table in a temporary folder, the default table beside the tool.
class TestRz37mTool : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void commands_data();
  void commands();
  void edit_data();
  void edit();

 private:
  QTemporaryDir m_dir;
};

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(content), content.size());
}

}  // namespace

void TestRz37mTool::initTestCase()
{
  QVERIFY(m_dir.isValid());
  // Two records: 05,43 and 06,00, then 12,34; a third file holds a ramp.
  writeFile(m_dir.filePath("two.csv"),
            "10:00:01;05,43\r\n10:00:02;06,00\r\n              \r\n10:00:04;12,34\r\n");
  writeFile(m_dir.filePath("ramp.csv"),
            "10:00:01;01,00\r\n10:00:02;02,00\r\n10:00:03;03,00\r\n10:00:04;04,00\r\n"
            "10:00:05;05,00\r\n");
  writeFile(m_dir.filePath("bad.csv"), "10:00:01;05,43\r\nnot a count\r\n");
  // Zero at 1 mT, 100 MPa per mT.
  writeFile(m_dir.filePath("db.csv"), "Test;1,00;100;2,00;\r\nBroken;1,00;x;2,00;\r\n");
}

void TestRz37mTool::commands_data()
{
  QTest::addColumn<QStringList>("args");  // FILE and DB stand for the temporary files
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("out");     // the whole standard output
  QTest::addColumn<QString>("errHas");  // what the error output must contain

  QTest::newRow("stats in mT") << QStringList{"stats", "two.csv"} << 0
                               << "records=2\nBr max =12,30 mT \nBr avg =7,92 mT \n"
                                  "Br min =5,43 mT \n"
                               << "";
  QTest::newRow("stats in MPa with a table")
      << QStringList{"stats", "two.csv", "--stress", "1", "--db", "db.csv"} << 0
      << "records=2\nS max =1134,0 MPa \nS avg =692,3 MPa \nS min =443,0 MPa \n"
      << "";
  QTest::newRow("stats in MPa, the table beside the tool (St_3_flat)")
      << QStringList{"stats", "--stress", "1", "two.csv"} << 0
      << "records=2\nS max =2972,0 MPa \nS avg =1852,0 MPa \nS min =1220,0 MPa \n"
      << "";
  QTest::newRow("linear line with its breaks")
      << QStringList{"linear", "two.csv"} << 0 << "0;\n1;5,4299999999999997\n2;6\n3;\n4;12,34\n"
      << "";
  QTest::newRow("linear with the trend removed")
      << QStringList{"linear", "ramp.csv", "--trend"} << 0 << "0;\n1;3\n2;3\n3;3\n4;3\n5;3\n"
      << "";
  QTest::newRow("linear in MPa") << QStringList{"linear", "ramp.csv", "--stress",
                                                "1",      "--db",     "db.csv"}
                                 << 0 << "0;\n1;0\n2;100\n3;200\n4;300\n5;400\n"
                                 << "";
  QTest::newRow("record 1") << QStringList{"record", "two.csv", "1"} << 0
                            << "Range [1..2]  L=2\nleft=4..7\nbottom=1..2\n"
                            << "";
  QTest::newRow("record 2 in MPa")
      << QStringList{"record", "two.csv", "2", "--stress", "1", "--db", "db.csv"} << 0
      << "Range [4..4]  L=1\nleft=1034..1234\nbottom=4..4\n"
      << "";
  QTest::newRow("circular: angles by place, the separator's place empty")
      << QStringList{"circular", "two.csv"} << 0
      << "mean=12,34\n0;5,43;05,43\n90;6;06,00\n270;12,34;12,34\n"
      << "";
  QTest::newRow("circular with the trend removed")
      << QStringList{"circular", "ramp.csv", "--trend"} << 0
      << "mean=3\n0;3;01,00\n72;3;02,00\n144;3;03,00\n216;3;04,00\n288;3;05,00\n"
      << "";
  QTest::newRow("circular in MPa")
      << QStringList{"circular", "ramp.csv", "--stress", "1", "--db", "db.csv"} << 0
      << "mean=200\n0;0;01,00\n72;100;02,00\n144;200;03,00\n216;300;04,00\n288;400;05,00\n"
      << "";
  QTest::newRow("map: runs down the columns, closed, holes empty")
      << QStringList{"map", "ramp.csv", "--grid", "2x3"} << 0
      << "levels=1,2;1,6;2;2,4;2,8;3,2;3,6;4;4,4;4,8\n"
         "labels=1,2;1,6;2;2,4;2,8;3,2;3,6;4;4,4;4,8\naxis=-1..7\n"
         "1;3;5;1\n2;4;;\n1;3;5;1\n"
      << "";
  QTest::newRow("map transposed, lines of three counts kept by the trend")
      << QStringList{"map", "ramp.csv", "--grid", "2x3", "--transpose", "--trend"} << 0
      << "levels=1,2;1,6;2;2,4;2,8;3,2;3,6;4;4,4;4,8\n"
         "labels=1,2;1,6;2;2,4;2,8;3,2;3,6;4;4,4;4,8\naxis=-1..7\n"
         "1;2;3;1\n4;5;;4\n1;2;;1\n"
      << "";
  QTest::newRow("map in MPa: labels in whole MPa, the axis rounded to even")
      << QStringList{"map", "two.csv", "--grid", "2x2", "--stress", "1", "--db", "db.csv"} << 0
      << "levels=477,55;546,65;615,75;684,85;753,95;823,05;892,15;961,25;1030,35;1099,45\n"
         "labels=478;547;616;685;754;823;892;961;1030;1099\naxis=98..1480\n"
         "443;;443\n500;1134;500\n443;;443\n"
      << "";

  QTest::newRow("record beyond the file") << QStringList{"record", "two.csv", "3"} << 1 << ""
                                          << "two.csv: there is no record 3";
  QTest::newRow("missing file") << QStringList{"stats", "none.csv"} << 1 << ""
                                << "none.csv: cannot be read";
  QTest::newRow("bad line") << QStringList{"stats", "bad.csv"} << 1 << ""
                            << "bad.csv: line 2 is not a measurement line";
  QTest::newRow("stress item that does not convert")
      << QStringList{"stats", "two.csv", "--stress", "2", "--db", "db.csv"} << 1 << ""
      << "db.csv: The stress item";
  QTest::newRow("no command") << QStringList{} << 2 << ""
                              << "usage:";
  QTest::newRow("record without K") << QStringList{"record", "two.csv"} << 2 << ""
                                    << "missing arguments";
  QTest::newRow("unknown option") << QStringList{"stats", "two.csv", "--fast"} << 2 << ""
                                  << "unknown option --fast";
  QTest::newRow("trend is for linear only") << QStringList{"stats", "two.csv", "--trend"} << 2 << ""
                                            << "unknown option --trend";
  QTest::newRow("map without a grid") << QStringList{"map", "two.csv"} << 2 << ""
                                      << "map needs --grid LINESxCOLUMNS";
  QTest::newRow("map grid not RxC") << QStringList{"map", "two.csv", "--grid", "3by12"} << 2 << ""
                                    << "--grid needs LINESxCOLUMNS, e.g. 3x12, not \"3by12\"";
  QTest::newRow("map grid smaller than a view shows")
      << QStringList{"map", "two.csv", "--grid", "1x12"} << 2 << ""
      << "--grid 1x12 is outside the maps shown: 2-99 lines of 2-999 columns";
  QTest::newRow("map grid larger than a view shows")
      << QStringList{"map", "two.csv", "--grid", "3x1000"} << 2 << ""
      << "is outside the maps shown";
  QTest::newRow("grid is for map only")
      << QStringList{"circular", "two.csv", "--grid", "3x12"} << 2 << ""
      << "unknown option --grid";
  QTest::newRow("transpose is for map only")
      << QStringList{"stats", "two.csv", "--transpose"} << 2 << ""
      << "unknown option --transpose";
  QTest::newRow("map of a missing file")
      << QStringList{"map", "none.csv", "--grid", "3x12"} << 1 << ""
      << "none.csv: cannot be read";
  QTest::newRow("stress row not a number")
      << QStringList{"stats", "two.csv", "--stress", "a"} << 2 << ""
      << "--stress needs a row number";
}

void TestRz37mTool::commands()
{
  QFETCH(QStringList, args);
  QFETCH(int, status);
  QFETCH(QString, out);
  QFETCH(QString, errHas);
  for (QString& a : args)
    if (a.endsWith(QStringLiteral(".csv")))
      a = m_dir.filePath(a);

  QProcess tool;
  tool.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-tool"), args);
  QVERIFY(tool.waitForFinished(20000));
  const QString stdOut = QString::fromUtf8(tool.readAllStandardOutput());
  const QString stdErr = QString::fromUtf8(tool.readAllStandardError());
  QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
  QCOMPARE(tool.exitCode(), status);
  QCOMPARE(stdOut, out);
  if (errHas.isEmpty())
    QCOMPARE(stdErr, QString());
  else
    QVERIFY2(stdErr.contains(errHas), qPrintable(stdErr));
  // A file or data error is one line on the error output.
  if (status == 1)
    QCOMPARE(stdErr.count(u'\n'), 1);
}

void TestRz37mTool::edit_data()
{
  QTest::addColumn<QStringList>("ops");
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("out");         // the whole standard output
  QTest::addColumn<QByteArray>("written");  // OUT.csv afterwards ("-" when not written)
  QTest::addColumn<QString>("errHas");

  const QByteArray count1 = "10:00:01;05,43\r\n";
  const QByteArray count2 = "10:00:02;06,00\r\n";
  const QByteArray count4 = "10:00:04;12,34\r\n";
  const QByteArray separator = "              \r\n";
  // two.csv: rows 2 and 3 the first record, row 4 a separator, row 5 the second.
  QTest::newRow("insert splits a record")
      << QStringList{"insert:3"} << 0
      << "records=3\n1) 10:00:01;05,43\n;\n3) 10:00:02;06,00\n;\n5) 10:00:04;12,34\n"
      << count1 + separator + count2 + separator + count4 << "";
  QTest::newRow("delete a separator joins the records")
      << QStringList{"delete:4-4"} << 0 << "records=1\n1) 10:00:01;05,43\n2) 10:00:02;06,00\n"
         "3) 10:00:04;12,34\n"
      << count1 + count2 + count4 << "";
  QTest::newRow("in order, rows as numbered at each step")
      << QStringList{"insert:2", "delete:3-4"} << 0 << "records=3\n;\n;\n3) 10:00:04;12,34\n"
      << separator + separator + count4 << "";
  QTest::newRow("below row 2 and beyond the end")
      << QStringList{"delete:0-2", "delete:3-99"} << 0 << "records=1\n1) 10:00:02;06,00\n"
      << count2 << "";
  QTest::newRow("insert after the last row, and beyond it: nothing")
      << QStringList{"insert:6", "insert:8"} << 0
      << "records=3\n1) 10:00:01;05,43\n2) 10:00:02;06,00\n;\n4) 10:00:04;12,34\n;\n"
      << count1 + count2 + separator + count4 + separator << "";
  QTest::newRow("a reversed range is no selection")
      << QStringList{"delete:5-3"} << 2 << "" << QByteArray("-") << "is not an edit";
  QTest::newRow("no edits") << QStringList{} << 2 << "" << QByteArray("-") << "missing the edits";
  QTest::newRow("a bad input file") << QStringList{"insert:2", "@bad.csv"} << 1 << ""
                                    << QByteArray("-") << "line 2 is not a measurement line";
  QTest::newRow("an output that cannot be written")
      << QStringList{"insert:2", "@nowhere"} << 1 << "records=3\n;\n2) 10:00:01;05,43\n"
         "3) 10:00:02;06,00\n;\n5) 10:00:04;12,34\n"
      << QByteArray("-") << "cannot be written";
}

void TestRz37mTool::edit()
{
  QFETCH(QStringList, ops);
  QFETCH(int, status);
  QFETCH(QByteArray, written);
  QFETCH(QString, errHas);
  // "@bad.csv" edits the bad file instead; "@nowhere" writes into a missing folder.
  QString input = m_dir.filePath("two.csv");
  QString output = m_dir.filePath("out.csv");
  QFile::remove(output);
  if (ops.removeAll("@bad.csv"))
    input = m_dir.filePath("bad.csv");
  if (ops.removeAll("@nowhere"))
    output = m_dir.filePath("no/such/folder/out.csv");
  const QByteArray before = fileBytes(input);

  QProcess tool;
  tool.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-tool"),
             QStringList{"edit", input} + ops + QStringList{"--out", output});
  QVERIFY(tool.waitForFinished(20000));
  const QString stdErr = QString::fromUtf8(tool.readAllStandardError());
  QCOMPARE(tool.exitCode(), status);
  QTEST(QString::fromUtf8(tool.readAllStandardOutput()), "out");
  if (errHas.isEmpty())
    QCOMPARE(stdErr, QString());
  else
    QVERIFY2(stdErr.contains(errHas), qPrintable(stdErr));
  QCOMPARE(QFile::exists(output), written != "-");
  if (written != "-")
    QCOMPARE(fileBytes(output), written);
  QCOMPARE(fileBytes(input), before);  // the input is never touched
}

QTEST_GUILESS_MAIN(TestRz37mTool)
#include "test_rz37m_tool.moc"
