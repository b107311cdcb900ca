// rz37m-tool xls, picture and report run as scripts run them: the built
// program on small files in a temporary folder.

#include "support/biff_reader.h"
#include "support/test_files.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
  int status = -1;
  QString out;
  QString err;
};

}  // namespace

class TestToolExport : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void worksheets_data();
  void worksheets();
  void failures_data();
  void failures();
  void pictures_data();
  void pictures();
  void report();

 private:
  Run run(QStringList args);
  QString path(const QString& name) const { return m_dir.filePath(name); }
  QTemporaryDir m_dir;
};

void TestToolExport::initTestCase()
{
  QVERIFY(m_dir.isValid());
  QByteArray pipe;
  for (int i = 0; i < 36; ++i)
    pipe += "10:00:" + QByteArray::number(i % 60).rightJustified(2, '0') + ";0" +
            QByteArray::number(5 + i % 3) + ",25\r\n";
  putFile(path("pipe.csv"), pipe);
  putFile(path("two.csv"),
          "10:00:01;05,43\r\n10:00:02;06,00\r\n              \r\n10:00:04;12,34\r\n");
  putFile(path("bad.csv"), "10:00:01;05,43\r\nnot a count\r\n");
  putFile(path("db.csv"), "Test;1,00;100;2,00;\r\n");
}

Run TestToolExport::run(QStringList args)
{
  for (QString& a : args) {
    if (a.endsWith(".csv") || a.contains('.') || a.contains('/'))
      a = a.startsWith('/') ? a : path(a);
  }
  QProcess p;
  p.setWorkingDirectory(m_dir.path());
  p.start(QStringLiteral(RZ37M_BIN_DIR "/rz37m-tool"), args);
  if (!p.waitForFinished(30000))
    return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

void TestToolExport::worksheets_data()
{
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QString>("out");
  QTest::addColumn<int>("lastRow");
  QTest::addColumn<QList<double>>("lastCells");

  QTest::newRow("linear: count numbers and values")
      << QStringList{"xls", "two.csv", "l.xls", "--chart", "linear"} << "rows=3 columns=2\n"
      << 2 << QList<double>{4, 12.34};
  QTest::newRow("linear in MPa, options first")
      << QStringList{"xls",     "--stress", "1",       "--db", "db.csv",
                     "--chart", "linear",   "two.csv", "l.xls"}
      << "rows=3 columns=2\n"
      << 2 << QList<double>{4, 1134};
  QTest::newRow("circular: angles and values")
      << QStringList{"xls", "pipe.csv", "c.xls", "--chart", "circular"} << "rows=36 columns=2\n"
      << 35 << QList<double>{350, 7.25};
  QTest::newRow("map 3x12: x, value, z of every node")
      << QStringList{"xls", "pipe.csv", "m.xls", "--chart", "map"} << "rows=52 columns=3\n"
      << 51 << QList<double>{12, 5.25, 3};
}

void TestToolExport::worksheets()
{
  QFETCH(QStringList, args);
  QFETCH(QString, out);
  QFETCH(int, lastRow);
  QFETCH(QList<double>, lastCells);
  const QString file = path(args[args.indexOf(QRegularExpression(".*\\.xls"))]);
  const Run r = run(args);
  QCOMPARE(r.status, 0);
  QCOMPARE(r.out, out);
  const auto sheet = readBiff(fileBytes(file));
  QVERIFY(sheet);
  QCOMPARE(sheet->rows, lastRow + 1);
  for (int c = 0; c < lastCells.size(); ++c)
    QCOMPARE(sheet->cell(lastRow, c)->number, lastCells[c]);
}

void TestToolExport::failures_data()
{
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("errHas");
  QTest::addColumn<QString>("notWritten");
  QTest::newRow("no chart") << QStringList{"xls", "two.csv", "u1.xls"} << 2 << "--chart"
                            << "u1.xls";
  QTest::newRow("bad chart") << QStringList{"xls", "two.csv", "u2.xls", "--chart", "bar"} << 2
                             << "linear|circular|map"
                             << "u2.xls";
  QTest::newRow("grid too small") << QStringList{"xls", "two.csv", "u3.xls", "--chart",
                                                 "map", "--grid",  "1x12"}
                                  << 2 << "outside"
                                  << "u3.xls";
  QTest::newRow("missing output") << QStringList{"xls", "two.csv", "--chart", "map"} << 2
                                  << "missing"
                                  << "";
  QTest::newRow("picture of unknown kind")
      << QStringList{"picture", "two.csv", "u4.gif", "--view", "linear"} << 2 << ".bmp"
      << "u4.gif";
  QTest::newRow("bad line") << QStringList{"xls", "bad.csv", "d1.xls", "--chart", "linear"} << 1
                            << "line 2"
                            << "d1.xls";
  QTest::newRow("no such file") << QStringList{"report", "none.csv", "d2.pdf"} << 1 << "none.csv"
                                << "d2.pdf";
  QTest::newRow("folder missing") << QStringList{"xls", "two.csv", "no/d3.xls", "--chart", "linear"}
                                  << 1 << "no/d3.xls"
                                  << "no/d3.xls";
  QTest::newRow("picture folder missing")
      << QStringList{"picture", "two.csv", "no/d4.jpg", "--view", "linear"} << 1 << "no/d4.jpg"
      << "no/d4.jpg";
}

void TestToolExport::failures()
{
  QFETCH(QStringList, args);
  QFETCH(int, status);
  QFETCH(QString, errHas);
  QFETCH(QString, notWritten);
  const Run r = run(args);
  QCOMPARE(r.status, status);
  QVERIFY2(r.err.contains(errHas), qPrintable(r.err));
  QCOMPARE(r.out, QString());
  if (!notWritten.isEmpty())
    QVERIFY(!QFileInfo::exists(path(notWritten)));
}

void TestToolExport::pictures_data()
{
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QByteArray>("format");
  QTest::addColumn<QSize>("size");
  QTest::newRow("linear JPEG at the window's size")
      << QStringList{"picture", "pipe.csv", "p.jpg", "--view", "linear"} << QByteArray("jpeg")
      << QSize(646, 353);
  QTest::newRow("linear BMP at a size given")
      << QStringList{"picture", "--size", "500x300", "pipe.csv", "p.bmp", "--view", "linear"}
      << QByteArray("bmp") << QSize(500, 300);
  QTest::newRow("circular PNG") << QStringList{"picture",  "pipe.csv", "p.png",  "--view",
                                               "circular", "--size",   "400x400"}
                                << QByteArray("png") << QSize(400, 400);
}

void TestToolExport::pictures()
{
  QFETCH(QStringList, args);
  QFETCH(QByteArray, format);
  QFETCH(QSize, size);
  const QString file = path(args[args.indexOf(QRegularExpression("p\\..*"))]);
  const Run r = run(args);
  QCOMPARE(r.status, 0);
  QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
  QImageReader reader(file);
  QCOMPARE(reader.format(), format);
  QCOMPARE(reader.size(), size);
}

void TestToolExport::report()
{
  const Run r = run({"report", "two.csv", "r.pdf", "--title", "Pipe 7", "--operator", "I. Petrov"});
  QCOMPARE(r.status, 0);
  QVERIFY(fileBytes(path("r.pdf")).startsWith("%PDF-1.4"));
  const Run pdf = run({"picture", "pipe.csv", "p.pdf", "--view", "linear"});
  QCOMPARE(pdf.status, 0);
  QVERIFY(fileBytes(path("p.pdf")).startsWith("%PDF-1.4"));
}

QTEST_GUILESS_MAIN(TestToolExport)
#include "test_tool_export.moc"
