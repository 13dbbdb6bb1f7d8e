#include "platform/NumberText.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace platine;

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void text_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("french");

        QTest::newRow("zero") << 0.0 << "0" << "0";
        QTest::newRow("minus zero") << -0.0 << "0" << "0";
        QTest::newRow("integer") << 42.0 << "42" << "42";
        QTest::newRow("negative") << -7.0 << "-7" << "-7";
        QTest::newRow("fraction") << 2.5 << "2.5" << "2,5";
        QTest::newRow("leading zero") << 0.5 << "0.5" << "0,5";
        QTest::newRow("negative fraction") << -0.25 << "-0.25" << "-0,25";
        QTest::newRow("tenth") << 0.1 << "0.1" << "0,1";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3" << "0,3";
        QTest::newRow("15 digits") << 1234567.89012345 << "1234567.89012345" << "1234567,89012345";
        QTest::newRow("rounded to 15") << 1.23456789012345678 << "1.23456789012346"
                                       << "1,23456789012346";
        QTest::newRow("round up carries") << 9.999999999999999 << "10" << "10";
        QTest::newRow("trailing zeros") << 100.0 << "100" << "100";
        QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999"
                                       << "999999999999999";
        QTest::newRow("1E+15") << 1e15 << "1E+15" << "1E+15";
        QTest::newRow("rounds into exponent") << 999999999999999.9 << "1E+15" << "1E+15";
        QTest::newRow("1E+20") << 1e20 << "1E+20" << "1E+20";
        QTest::newRow("mantissa") << 1.5e20 << "1.5E+20" << "1,5E+20";
        QTest::newRow("three exponent digits") << -2.5e300 << "-2.5E+300" << "-2,5E+300";
        QTest::newRow("smallest plain") << 0.0001 << "0.0001" << "0,0001";
        QTest::newRow("1E-05") << 0.00001 << "1E-05" << "1E-05";
        QTest::newRow("small mantissa") << 0.0000123 << "1.23E-05" << "1,23E-05";
        QTest::newRow("tiny") << 1e-300 << "1E-300" << "1E-300";
        QTest::newRow("plain small") << 0.00123 << "0.00123" << "0,00123";
        QTest::newRow("temperature") << 23.45 << "23.45" << "23,45";
        QTest::newRow("coefficient") << 0.0196 << "0.0196" << "0,0196";
    }

    void text()
    {
        QFETCH(double, value);
        QFETCH(QString, c);
        QFETCH(QString, french);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(numberToText(value), c);
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(numberToText(value), french);
    }

    void notANumber()
    {
        QCOMPARE(numberToText(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("NaN"));
        QCOMPARE(numberToText(std::numeric_limits<double>::infinity()), QStringLiteral("Inf"));
        QCOMPARE(numberToText(-std::numeric_limits<double>::infinity()), QStringLiteral("-Inf"));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
