#include "common/formats.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <climits>
#include <limits>

#include <clocale>

class TestFormats : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase()
  {
    // A user locale with a decimal point must not change anything.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::setlocale(LC_ALL, "C");
  }

  void readReal_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("cell") << "05,43" << true << 5.43;
    QTest::newRow("negative") << "-1,5" << true << -1.5;
    QTest::newRow("whole") << "20" << true << 20.0;
    QTest::newRow("blanks") << " 7,25 " << true << 7.25;
    QTest::newRow("exponent") << "1,5E3" << true << 1500.0;
    QTest::newRow("decimal point") << "05.43" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters") << "0a,43" << false << 0.0;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0;
    QTest::newRow("half a cell") << "05," << true << 5.0;
  }
  void readReal()
  {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double v = -99.0;
    QCOMPARE(fmt::readReal(text, &v), ok);
    if (ok)
      QCOMPARE(v, value);
    else
      QCOMPARE(v, -99.0);
  }

  void nearest_data()
  {
    QTest::addColumn<double>("x");
    QTest::addColumn<long long>("n");
    QTest::newRow("0.5") << 0.5 << 0LL;
    QTest::newRow("1.5") << 1.5 << 2LL;
    QTest::newRow("2.5") << 2.5 << 2LL;
    QTest::newRow("-0.5") << -0.5 << 0LL;
    QTest::newRow("-1.5") << -1.5 << -2LL;
    QTest::newRow("2.51") << 2.51 << 3LL;
    QTest::newRow("-2.49") << -2.49 << -2LL;
    // Values no integer holds: the bound, never undefined behaviour (the
    // sanitizer run of this test catches a cast that slips through).
    constexpr long long Max = std::numeric_limits<long long>::max();
    constexpr long long Min = std::numeric_limits<long long>::min();
    QTest::newRow("inf") << std::numeric_limits<double>::infinity() << Max;
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << Min;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0LL;
    QTest::newRow("1e300") << 1e300 << Max;
    QTest::newRow("2^63") << 9223372036854775808.0 << Max;
    QTest::newRow("-2^63") << -9223372036854775808.0 << Min;
    QTest::newRow("2^62") << 4611686018427387904.0 << 4611686018427387904LL;
  }
  void nearest()
  {
    QFETCH(double, x);
    QFETCH(long long, n);
    QCOMPARE(fmt::nearest(x), n);
    const int asInt = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
    QCOMPARE(fmt::nearestInt(x), asInt);
  }

  void fixed_data()
  {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("significant");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("mT 12.345") << 12.345 << 3 << 2 << "12,30";
    QTest::newRow("mT 0.5") << 0.5 << 3 << 2 << "0,50";
    QTest::newRow("MPa 123.45") << 123.45 << 4 << 1 << "123,5";
    QTest::newRow("mT 20") << 20.0 << 3 << 2 << "20,00";
    QTest::newRow("mT rounds up to 10") << 9.996 << 3 << 2 << "10,00";
    QTest::newRow("mT small") << 0.001234 << 3 << 2 << "0,00";
    QTest::newRow("mT negative") << -1.235 << 3 << 2 << "-1,24";
    QTest::newRow("MPa half away from zero") << -350.25 << 4 << 1 << "-350,3";
    QTest::newRow("zero") << 0.0 << 3 << 2 << "0,00";
    QTest::newRow("MPa rounds at the decimal") << 96.38 << 4 << 1 << "96,4";
    QTest::newRow("MPa negative at the decimal") << -87.25 << 4 << 1 << "-87,3";
    QTest::newRow("rounds up into the first decimal") << 0.96 << 3 << 1 << "1,0";
    QTest::newRow("below the last decimal") << 0.004 << 3 << 2 << "0,00";
    QTest::newRow("half of the last decimal") << 0.005 << 3 << 2 << "0,01";
    QTest::newRow("integer part too long") << 1234.5 << 3 << 2 << "1,23E+003";
    QTest::newRow("MPa too long") << 12345.0 << 4 << 1 << "1,235E+004";
  }
  void fixed()
  {
    QFETCH(double, x);
    QFETCH(int, significant);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(fmt::fixed(x, significant, decimals), text);
  }

  void general_data()
  {
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("5.43") << 5.43 << "5,43";
    QTest::newRow("20") << 20.0 << "20";
    QTest::newRow("negative") << -0.25 << "-0,25";
    QTest::newRow("tiny") << 1e-7 << "1E-7";
  }
  void general()
  {
    QFETCH(double, x);
    QFETCH(QString, text);
    QCOMPARE(fmt::general(x), text);
  }

  void datesAndTimes()
  {
    const QDateTime t(QDate(2024, 3, 3), QTime(9, 5, 7));
    QCOMPARE(fmt::formatDate(t.date()), QStringLiteral("03.03.2024"));
    QCOMPARE(fmt::formatTime(t.time()), QStringLiteral("9:05:07"));
    QCOMPARE(fmt::formatTimeLong(t.time()), QStringLiteral("09:05:07"));
    QCOMPARE(fmt::formatDateTime(t), QStringLiteral("03.03.2024 9:05:07"));
  }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "test_formats.moc"
