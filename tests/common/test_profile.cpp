#include "common/profile.h"
#include "common/profile_settings.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The file the installer writes, with its DB set to `db`.
QByteArray installedFile(const QString& db)
{
  return "[Polar]\r\nGeneral=16711680\r\nMean=255\r\n[Surface]\r\nHigh=65535\r\nLow=16711680\r\n"
         "Mid=255\r\n[View]\r\nPage=1\r\nMean=0\r\nPoints=1\r\nPages=1\r\nFull=0\r\n"
         "Transpose=1\r\nApproximate=0\r\nGrid3D=1\r\nSmooth3D=1\r\nTransparent3D=0\r\nDB=" +
         db.toUtf8() + "\r\nX=17\r\nY=5\r\ndX=1\r\ndY=2\r\nCvtToStress=0\r\nStressDBItem=7\r\n";
}

const QStringList AllKeysInOrder = {
    "[Polar]",     "General",       "Mean",   "[Surface]", "High",        "Low",
    "Mid",         "[View]",        "Page",   "Mean",      "Points",      "Pages",
    "Full",        "Transpose",     "Approximate", "Grid3D", "Smooth3D", "Transparent3D",
    "DB",          "X",             "Y",      "dX",        "dY",          "CvtToStress",
    "StressDBItem"};

// Section headers and key names of a written file, in order.
QStringList namesOf(const QByteArray& text)
{
  QStringList names;
  for (const QByteArray& line : text.split('\n')) {
    const QString l = QString::fromUtf8(line).trimmed();
    if (l.startsWith(u'['))
      names << l;
    else if (l.contains(u'='))
      names << l.section(u'=', 0, 0);
  }
  return names;
}

}  // namespace

class TestProfile : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { QVERIFY(m_dir.isValid()); }

  void reading_data()
  {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");  // "<none>" when missing

    const QByteArray file = "[View]\r\nPage=5\r\n";
    QTest::newRow("plain") << file << "View"
                           << "Page"
                           << "5";
    QTest::newRow("names in any case") << file << "VIEW"
                                       << "page"
                                       << "5";
    QTest::newRow("blanks around names, = and value")
        << QByteArray("  [ View ]  \r\n  Page   =   5  \r\n") << "View"
        << "Page"
        << "5";
    QTest::newRow("first of two keys wins")
        << QByteArray("[View]\r\nPage=5\r\nPAGE=6\r\n") << "View"
        << "Page"
        << "5";
    QTest::newRow("first of two sections with the key wins")
        << QByteArray("[View]\nX=1\n[Polar]\nX=9\n[view]\nX=2\nY=3\n") << "View"
        << "Y"
        << "3";
    QTest::newRow("LF line ends") << QByteArray("[View]\nPage=5\nFull=1\n") << "View"
                                  << "Full"
                                  << "1";
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[View]\r\nPage=5\r\n")
                                           << "View"
                                           << "Page"
                                           << "5";
    QTest::newRow("UTF-8 folder name") << QByteArray("[View]\r\nDB=/home/u/Данные/\r\n") << "View"
                                       << "DB"
                                       << "/home/u/Данные/";
    QTest::newRow("a key of another section is missing") << file << "Polar"
                                                         << "Page"
                                                         << "<none>";
    QTest::newRow("a key before any section is missing")
        << QByteArray("Page=5\r\n[View]\r\n") << "View"
        << "Page"
        << "<none>";
    QTest::newRow("empty value") << QByteArray("[View]\r\nDB=\r\n") << "View"
                                 << "DB"
                                 << "";
  }

  void reading()
  {
    QFETCH(QByteArray, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    const auto v = Profile::parse(text).value(section, key);
    QTEST(v.value_or(QStringLiteral("<none>")), "value");
  }

  void integers_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");  // -7 is the fallback

    QTest::newRow("digits") << "17" << 17;
    QTest::newRow("plus sign") << "+17" << 17;
    QTest::newRow("minus sign") << "-3" << -3;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483648LL);
    QTest::newRow("past 32 bits") << "2147483648" << -7;
    QTest::newRow("far past 64 bits") << "99999999999999999999999" << -7;
    QTest::newRow("trailing text") << "12abc" << -7;
    QTest::newRow("group separator") << "16 711 680" << -7;
    QTest::newRow("hexadecimal") << "0x10" << -7;
    QTest::newRow("decimal comma") << "1,5" << -7;
    QTest::newRow("sign alone") << "-" << -7;
    QTest::newRow("empty") << "" << -7;
  }

  void integers()
  {
    QFETCH(QString, text);
    const Profile p = Profile::parse("[View]\r\nX=" + text.toUtf8() + "\r\n");
    QTEST(p.readInteger(QStringLiteral("View"), QStringLiteral("X"), -7), "value");
  }

  void writingKeepsPlaceAndOrder()
  {
    Profile p = Profile::parse("; made by hand\n[View]\nPage=1\nFull=0\n\n[Other]\nA=b\n");
    p.setValue(QStringLiteral("view"), QStringLiteral("FULL"), QStringLiteral("1"));
    p.setValue(QStringLiteral("View"), QStringLiteral("DB"), QStringLiteral("/d/"));
    p.setValue(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v"));
    QCOMPARE(p.text(), QByteArray("; made by hand\r\n[View]\r\nPage=1\r\nFull=1\r\nDB=/d/\r\n\r\n"
                                  "[Other]\r\nA=b\r\n[New]\r\nK=v\r\n"));
  }

  void settingsWithoutFileAreTheDefaults()
  {
    const QString data = m_dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(data);
    const ProfileSettings s = ReadProfileSettings(Profile::read(m_dir.filePath("none.ini")), data);
    const ProfileSettings d;
    QCOMPARE(s.General, 16711680u);
    QCOMPARE(s.PolarMean, 255u);
    QCOMPARE(s.High, 65535u);
    QCOMPARE(s.Mid, 255u);
    QCOMPARE(s.Low, 16711680u);
    QCOMPARE(s.X, 10);
    QCOMPARE(s.Y, 5);
    QCOMPARE(s.dX, 1);
    QCOMPARE(s.dY, 1);
    QVERIFY(s.Points && !s.Mean && !s.CvtToStress && !s.Approximate && !s.Transpose && !s.Pages);
    QVERIFY(!s.Grid3D && !s.Smooth3D && !s.Transparent3D && !s.Full);
    QCOMPARE(s.StressDBItem, 1);
    QCOMPARE(s.Page, 1);
    QCOMPARE(s.DB, data + u'/');
  }

  void installedValues()
  {
    const QString data = m_dir.path() + QStringLiteral("/Data/");
    QDir().mkpath(data);
    const ProfileSettings s =
        ReadProfileSettings(Profile::parse(installedFile(data)), QStringLiteral("/elsewhere"));
    QCOMPARE(s.X, 17);
    QCOMPARE(s.dY, 2);
    QCOMPARE(s.StressDBItem, 7);
    QVERIFY(s.Transpose && s.Pages && s.Grid3D && s.Smooth3D && !s.Transparent3D);
    QCOMPARE(s.DB, data);
    // Written back unchanged, in the installed file's order.
    QCOMPARE(WriteProfileSettings(s).text(), installedFile(data));
  }

  void badValuesReadAsDefaults_data()
  {
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("colour above 24 bits") << QByteArray("[Polar]\r\nGeneral=16777216\r\n");
    QTest::newRow("negative colour") << QByteArray("[Polar]\r\nGeneral=-1\r\n");
    QTest::newRow("colour with group separators") << QByteArray("[Polar]\r\nGeneral=16 711 680\r\n");
    QTest::newRow("truth not a number") << QByteArray("[View]\r\nPoints=yes\r\n");
    QTest::newRow("integer past 32 bits") << QByteArray("[View]\r\nX=4294967306\r\n");
    QTest::newRow("a Windows folder") << QByteArray("[View]\r\nDB=C:\\RZ-37m\\Data\\\r\n");
    QTest::newRow("a folder that is gone") << QByteArray("[View]\r\nDB=/no/such/folder/\r\n");
    QTest::newRow("a relative folder") << QByteArray("[View]\r\nDB=Data/\r\n");
  }

  void badValuesReadAsDefaults()
  {
    QFETCH(QByteArray, line);
    const ProfileSettings s = ReadProfileSettings(Profile::parse(line), m_dir.path());
    const ProfileSettings d;
    QCOMPARE(s.General, d.General);
    QCOMPARE(s.Points, d.Points);
    QCOMPARE(s.X, d.X);
    QCOMPARE(s.DB, m_dir.path() + u'/');
  }

  void truthIsAnyIntegerButZero()
  {
    const ProfileSettings s = ReadProfileSettings(
        Profile::parse("[View]\r\nPoints=0\r\nMean=-5\r\nFull=2\r\n"), m_dir.path());
    QVERIFY(!s.Points);
    QVERIFY(s.Mean);
    QVERIFY(s.Full);
  }

  void writesAllKeysInOrderAndKeepsOthers()
  {
    // A file in another order, with a note of the user's and a section of its own.
    const Profile old = Profile::parse(
        "[view]\nStressDBItem=3\nNote=mine\nPage=2\n[Polar]\nMean=1\n[Extra]\nA=1\n");
    ProfileSettings s;
    s.DB = QStringLiteral("/data/");
    s.General = 0xFFFFFF;
    const QByteArray text = WriteProfileSettings(s, old).text();
    QStringList expected = AllKeysInOrder;
    expected.insert(expected.size(), QStringLiteral("Note"));
    expected << QStringLiteral("[Extra]") << QStringLiteral("A");
    QCOMPARE(namesOf(text), expected);
    QVERIFY(text.contains("\r\nGeneral=16777215\r\n"));
    QVERIFY(text.contains("\r\nNote=mine\r\n"));
    QCOMPARE(text.count("\r\n"), text.count("\n"));  // CR LF throughout
  }

  void saveReplacesTheFileWhole()
  {
    const QString path = m_dir.filePath(QStringLiteral("Config.ini"));
    putFile(path, "[View]\r\nPage=3\r\n");
    ProfileSettings s;
    s.DB = QStringLiteral("/d/");
    QString reason;
    QVERIFY(WriteProfileSettings(s, Profile::read(path)).save(path, &reason));
    QCOMPARE(fileBytes(path), WriteProfileSettings(s).text());
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("Config.ini*")}, QDir::Files).size(), 1);
  }

  void failedSaveKeepsTheOldFile()
  {
    const QString path = m_dir.filePath(QStringLiteral("Kept.ini"));
    const QByteArray old = "[View]\r\nPage=3\r\n";
    putFile(path, old);
    ProfileSettings s;
    s.DB = QStringLiteral("/d/");
    QString reason;
    {
      const FileSizeLimit limit(64);  // the whole file is longer than that
      QVERIFY(!WriteProfileSettings(s).save(path, &reason));
    }
    QVERIFY(!reason.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QVERIFY(!WriteProfileSettings(s).save(m_dir.filePath("no/such/folder/Config.ini"), &reason));
    QVERIFY(!reason.isEmpty());
  }

 private:
  QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
