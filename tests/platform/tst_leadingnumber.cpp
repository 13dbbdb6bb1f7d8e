#include "platform/LeadingNumber.h"

#include <QLocale>
#include <QTest>

#include <cfloat>
#include <cmath>

using namespace platine;

class TestLeadingNumber : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The decimal point is "." whatever the locale.
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }

    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("begins");

        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("blanks only") << " \t\n " << 0.0 << false;
        QTest::newRow("integer") << "42" << 42.0 << true;
        QTest::newRow("leading blanks") << "   7" << 7.0 << true;
        QTest::newRow("blanks inside digits") << " 2 45 7" << 2457.0 << true;
        QTest::newRow("blank in fraction") << "1. 1" << 1.1 << true;
        QTest::newRow("tabs and line feeds") << "\t1\n2\t.\n5" << 12.5 << true;
        QTest::newRow("CR stops") << "1\r2" << 1.0 << true;
        QTest::newRow("stops at a word") << "24 and 57" << 24.0 << true;
        QTest::newRow("comma stops") << "12,5" << 12.0 << true;
        QTest::newRow("fraction") << "3.25" << 3.25 << true;
        QTest::newRow("fraction only") << ".5" << 0.5 << true;
        QTest::newRow("point after digits") << "7." << 7.0 << true;
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << true;
        QTest::newRow("point alone") << "." << 0.0 << false;
        QTest::newRow("minus") << "-3.5" << -3.5 << true;
        QTest::newRow("plus") << "+8" << 8.0 << true;
        QTest::newRow("blank after sign") << "- 8" << -8.0 << true;
        QTest::newRow("sign alone") << "-" << 0.0 << false;
        QTest::newRow("sign and point") << "-." << 0.0 << false;
        QTest::newRow("two signs") << "--1" << 0.0 << false;
        QTest::newRow("minus zero") << "-0" << 0.0 << true;
        QTest::newRow("letters") << "abc" << 0.0 << false;
        QTest::newRow("exponent e") << "1e2" << 100.0 << true;
        QTest::newRow("exponent D") << "1d2" << 100.0 << true;
        QTest::newRow("exponent E upper") << "2.5E3" << 2500.0 << true;
        QTest::newRow("exponent sign") << "1e+1+" << 10.0 << true;
        QTest::newRow("negative exponent") << "5e-1" << 0.5 << true;
        QTest::newRow("exponent without digits") << "1eA" << 1.0 << true;
        QTest::newRow("exponent sign without digits") << "1e+" << 1.0 << true;
        QTest::newRow("blanks in exponent") << "1 e - 2" << 0.01 << true;
        QTest::newRow("exponent after point") << "2.e1" << 20.0 << true;
        QTest::newRow("exponent too large") << "1e999" << DBL_MAX << true;
        QTest::newRow("negative too large") << "-1e999" << -DBL_MAX << true;
        QTest::newRow("too small") << "1e-999" << 0.0 << true;
        QTest::newRow("hex") << "&H1F" << 31.0 << true;
        QTest::newRow("hex lower") << "&hff" << 255.0 << true;
        QTest::newRow("hex 16-bit -1") << "&HFFFF" << -1.0 << true;
        QTest::newRow("hex 16-bit min") << "&H8000" << -32768.0 << true;
        QTest::newRow("hex 7FFF") << "&H7FFF" << 32767.0 << true;
        QTest::newRow("hex 17 bits") << "&H10000" << 65536.0 << true;
        QTest::newRow("hex leading zeros") << "&H0000FFFF" << -1.0 << true;
        QTest::newRow("hex 32-bit -1") << "&HFFFFFFFF" << -1.0 << true;
        QTest::newRow("hex 32-bit max") << "&H7FFFFFFF" << 2147483647.0 << true;
        QTest::newRow("hex past 32 bits stops") << "&H123456789" << double(0x12345678) << true;
        QTest::newRow("hex with blank") << "&H F" << 15.0 << true;
        QTest::newRow("blank after &") << "& H10" << 16.0 << true;
        QTest::newRow("hex stops") << "&H1G" << 1.0 << true;
        QTest::newRow("hex no digits") << "&H" << 0.0 << false;
        QTest::newRow("hex bad digit") << "&HG" << 0.0 << false;
        QTest::newRow("hex no fraction") << "&H1.5" << 1.0 << true;
        QTest::newRow("octal") << "&O17" << 15.0 << true;
        QTest::newRow("octal 16-bit") << "&o177777" << -1.0 << true;
        QTest::newRow("octal 17 bits") << "&O200000" << 65536.0 << true;
        QTest::newRow("octal stops at 8") << "&O78" << 7.0 << true;
        QTest::newRow("ampersand alone") << "&" << 0.0 << false;
        QTest::newRow("ampersand digits") << "&12" << 0.0 << false;
        QTest::newRow("sign before hex") << "-&H1" << 0.0 << false;
        QTest::newRow("acquisition field") << "23.5;" << 23.5 << true;
        QTest::newRow("long digits") << QString(400, u'1') << DBL_MAX << true;
    }

    void read()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, begins);
        const double got = leadingNumber(text);
        QCOMPARE(got, value);
        QVERIFY(!std::signbit(got) || got != 0); // never -0
        QCOMPARE(beginsWithNumber(text), begins);
    }

    void exactDecimal()
    {
        // Correctly rounded, not accumulated digit by digit.
        QCOMPARE(leadingNumber(u"0.1"), 0.1);
        QCOMPARE(leadingNumber(u"123456789.123456789"), 123456789.123456789);
        QCOMPARE(leadingNumber(u"1.7976931348623157e308"), DBL_MAX);
    }
};

QTEST_GUILESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"
