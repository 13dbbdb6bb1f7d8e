// The read-out under the chart: K and unit from the coefficient text, the value text, the row.

#include "chart/ReadOut.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace platine;

class TestReadOut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // The value caption at height Y: (5040 - Y) / 1005 * K in "0.##" with the locale's separator,
    // kept after a whole value, then the unit. Y 4035 shows K itself. Only the exact texts
    // "0.492", "0.246" and "5" are presets; any other is read with "." or "," as its separator,
    // whatever the locale, and one that is no number gives no caption.
    void text_data()
    {
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("y");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text"); // empty: unreadable coefficient
        const QLocale fr(QLocale::French), c = QLocale::c();
        QTest::newRow("Y 2532.5, 0-5 V") << "0.492" << 2532.5 << fr << "2,5 V";
        QTest::newRow("Y 2526, temperature") << "5" << 2526.0 << fr << "25,01 °C";
        QTest::newRow("Y 15, 0-10 V: whole") << "0.246" << 15.0 << fr << "10, V";
        QTest::newRow("Y 15, C locale") << "0.246" << 15.0 << c << "10. V";
        QTest::newRow("below the baseline") << "0.492" << 5542.5 << fr << "-0,5 V";
        QTest::newRow("rounds to zero: no sign") << "0.492" << 5044.02 << fr << "0, V";
        QTest::newRow("half away from zero") << "0.492" << 4914.375 << fr << "0,13 V";
        QTest::newRow("negative half") << "0.492" << 5165.625 << c << "-0.13 V";
        QTest::newRow("huge") << "1e17" << -999960.0 << fr << "100000000000000000000, V";
        QTest::newRow("trailing zero: no preset") << "0.4920" << 4035.0 << fr << "0,49 V";
        QTest::newRow("5.0: no preset") << "5.0" << 4035.0 << fr << "5, V";
        QTest::newRow("blank then 5: no preset") << " 5" << 4035.0 << fr << "5, V";
        QTest::newRow("comma typed by the user") << "1,5" << 4035.0 << fr << "1,5 V";
        QTest::newRow("exponent") << "2e1" << 4035.0 << c << "20. V";
        QTest::newRow("empty") << "" << 4035.0 << fr << "";
        QTest::newRow("comma and dot") << "1,5.2" << 4035.0 << fr << "";
        QTest::newRow("number then unit") << "0.5v" << 4035.0 << fr << "";
        QTest::newRow("exponent without digits") << "1e" << 4035.0 << fr << "";
        QTest::newRow("overflow") << "1e400" << 4035.0 << fr << "";
    }
    void text()
    {
        QFETCH(QString, coeff);
        QFETCH(double, y);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        for (const QLocale &reading : {QLocale::c(), QLocale(QLocale::French),
                                       QLocale(QLocale::English, QLocale::UnitedStates)}) {
            QLocale::setDefault(reading);
            const ReadOutScale s = readOutScale(coeff);
            QLocale::setDefault(locale);
            QCOMPARE(s.k ? formatReadOut(readOutValue(y, *s.k)) + s.unit : QString(), text);
        }
    }

    void row_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("row"); // NaN: no row
        QTest::newRow("X 2000, N 100") << 2000.0 << 124.05 << 8.0;
        QTest::newRow("X 900: left of the axis") << 900.0 << 124.05 << -1.0;
        QTest::newRow("on the axis") << 960.0 << 124.05 << 0.0;
        QTest::newRow("step 0 on the axis") << 960.0 << 0.0 << std::nan("");
        QTest::newRow("X not a number") << std::nan("") << 124.05 << std::nan("");
    }
    void row()
    {
        QFETCH(double, x);
        QFETCH(double, step);
        QFETCH(double, row);
        const std::optional<double> r = readOutRow(x, step);
        QCOMPARE(r.has_value(), !std::isnan(row));
        if (r)
            QCOMPARE(*r, row);
    }
};

QTEST_GUILESS_MAIN(TestReadOut)
#include "tst_readout.moc"
