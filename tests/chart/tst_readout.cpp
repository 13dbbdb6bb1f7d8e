// The read-out's scale table, its number format and its row.

#include "chart/ReadOut.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace platine;

class TestReadOut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void scale_data()
    {
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("k");
        QTest::addColumn<QString>("unit");
        QTest::newRow("0-5 V preset") << "0.492" << true << 1.0 << " V";
        QTest::newRow("0-10 V preset") << "0.246" << true << 2.0 << " V";
        QTest::newRow("temperature preset") << "5" << true << 10.0 << " °C";
        QTest::newRow("other decimal") << "0.3" << true << 0.3 << " V";
        QTest::newRow("preset with a trailing zero is not the preset") << "0.4920" << true << 0.492
                                                                       << " V";
        QTest::newRow("5.0 is not the temperature preset") << "5.0" << true << 5.0 << " V";
        QTest::newRow("blank before 5 is not the preset") << " 5" << true << 5.0 << " V";
        QTest::newRow("comma typed by the user") << "1,5" << true << 1.5 << " V";
        QTest::newRow("negative") << "-0.5" << true << -0.5 << " V";
        QTest::newRow("exponent") << "2e1" << true << 20.0 << " V";
        QTest::newRow("leading separator") << ".5" << true << 0.5 << " V";
        QTest::newRow("trailing separator") << "7." << true << 7.0 << " V";
        QTest::newRow("letters") << "abc" << false << 0.0 << " V";
        QTest::newRow("empty") << "" << false << 0.0 << " V";
        QTest::newRow("two dots") << "1.5.2" << false << 0.0 << " V";
        QTest::newRow("comma and dot") << "1,5.2" << false << 0.0 << " V";
        QTest::newRow("number then unit") << "0.5v" << false << 0.0 << " V";
        QTest::newRow("sign only") << "-" << false << 0.0 << " V";
        QTest::newRow("separator only") << "." << false << 0.0 << " V";
        QTest::newRow("exponent without digits") << "1e" << false << 0.0 << " V";
        QTest::newRow("overflow") << "1e400" << false << 0.0 << " V";
    }
    void scale()
    {
        QFETCH(QString, coeff);
        QFETCH(bool, readable);
        QFETCH(double, k);
        QFETCH(QString, unit);
        // The reading must not depend on the locale the user runs.
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::French),
                                      QLocale(QLocale::English, QLocale::UnitedStates)}) {
            QLocale::setDefault(locale);
            const ReadOutScale s = readOutScale(coeff);
            QCOMPARE(s.k.has_value(), readable);
            if (readable)
                QCOMPARE(*s.k, k);
            QCOMPARE(s.unit, unit);
        }
    }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("french");
        QTest::addColumn<QString>("c");
        QTest::newRow("rounded to one decimal") << 2.4950248756 << "2,5" << "2.5";
        QTest::newRow("two decimals") << 25.0149253731 << "25,01" << "25.01";
        QTest::newRow("whole keeps its separator") << 10.0 << "10," << "10.";
        QTest::newRow("zero") << 0.0 << "0," << "0.";
        QTest::newRow("rounds up to whole") << 1.999 << "2," << "2.";
        QTest::newRow("below one") << 0.25 << "0,25" << "0.25";
        QTest::newRow("negative") << -2.5 << "-2,5" << "-2.5";
        QTest::newRow("negative two decimals") << -0.07 << "-0,07" << "-0.07";
        QTest::newRow("tiny negative shows no sign") << -0.004 << "0," << "0.";
        QTest::newRow("half rounds away from zero") << 0.125 << "0,13" << "0.13";
        QTest::newRow("negative half") << -0.125 << "-0,13" << "-0.13";
        QTest::newRow("large") << 123456.789 << "123456,79" << "123456.79";
        QTest::newRow("huge") << 1e20 << "100000000000000000000," << "100000000000000000000.";
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, french);
        QFETCH(QString, c);
        QLocale::setDefault(QLocale(QLocale::French));
        QCOMPARE(formatReadOut(value), french);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(formatReadOut(value), c);
    }

    void row_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("expected");
        QTest::newRow("X 2000, N 100") << 2000.0 << 124.05 << 8.0;
        QTest::newRow("left of the axis") << 900.0 << 124.05 << -1.0;
        QTest::newRow("on the axis") << 960.0 << 124.05 << 0.0;
        QTest::newRow("far left") << 0.0 << 124.05 << -8.0;
        QTest::newRow("zoom step") << 2000.0 << 1240.5 << 0.0;
        QTest::newRow("zoom step, second row") << 2300.0 << 1240.5 << 1.0;
        QTest::newRow("N 1000") << 12000.0 << 12.405 << 889.0;
    }
    void row()
    {
        QFETCH(double, x);
        QFETCH(double, step);
        QFETCH(double, expected);
        const std::optional<double> r = readOutRow(x, step);
        QVERIFY(r);
        QCOMPARE(*r, expected);
    }

    void rowWithoutNumber()
    {
        QVERIFY(!readOutRow(960.0, 0.0));
        QVERIFY(!readOutRow(std::numeric_limits<double>::quiet_NaN(), 124.05));
    }
};

QTEST_GUILESS_MAIN(TestReadOut)
#include "tst_readout.moc"
