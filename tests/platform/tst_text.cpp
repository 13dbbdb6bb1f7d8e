// Text conversions: the leading-number rule, numbers as text, Windows-1252 and the wire's Latin-1.

#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"
#include "platform/NumberText.h"

#include <QLocale>
#include <QTest>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace platine;
using namespace Qt::StringLiterals;

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingNumber_data()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); // "." whatever the locale
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("begins");
        using QTest::newRow;
        newRow("blanks only") << " \t\n " << 0.0 << false;
        newRow("blanks inside digits") << " 2 45 7" << 2457.0 << true;
        newRow("blank in fraction") << "1. 1" << 1.1 << true;
        newRow("tabs and line feeds") << "\t1\n2\t.\n5" << 12.5 << true;
        newRow("CR stops") << "1\r2" << 1.0 << true;
        newRow("stops at a word") << "24 and 57" << 24.0 << true;
        newRow("comma stops") << "12,5" << 12.0 << true;
        newRow("fraction only") << ".5" << 0.5 << true;
        newRow("second point stops") << "1.2.3" << 1.2 << true;
        newRow("point, then exponent") << "2.e1" << 20.0 << true;
        newRow("point alone") << "." << 0.0 << false;
        newRow("plus") << "+8" << 8.0 << true;
        newRow("sign alone") << "-" << 0.0 << false;
        newRow("two signs") << "--1" << 0.0 << false;
        newRow("minus zero") << "-0" << 0.0 << true;
        newRow("exponent e") << "1e2" << 100.0 << true;
        newRow("exponent d") << "1d2" << 100.0 << true;
        newRow("exponent E") << "2.5E3" << 2500.0 << true;
        newRow("exponent D, negative") << "5D-1" << 0.5 << true;
        newRow("exponent sign") << "1e+1+" << 10.0 << true;
        newRow("exponent without digits") << "1eA" << 1.0 << true;
        newRow("exponent sign without digits") << "1e+" << 1.0 << true;
        newRow("blanks in exponent") << "1 e - 2" << 0.01 << true;
        newRow("too large") << "1e999" << DBL_MAX << true;
        newRow("negative too large") << "-1e999" << -DBL_MAX << true;
        newRow("too small") << "1e-999" << 0.0 << true;
        newRow("long digits") << QString(400, u'1') << DBL_MAX << true;
        const QString tiny = u"0."_s + QString(400, u'0') + u'1';
        newRow("too small in its digits") << tiny << 0.0 << true;
        newRow("negative, too small in its digits") << u'-' + tiny << 0.0 << true;
        newRow("too small despite an exponent") << tiny + u"e50" << 0.0 << true;
        newRow("small digits, exponent brings back") << tiny + u"e500" << 1e99 << true;
        newRow("too large despite a negative exponent") << QString(400, u'1') + u"e-50" << DBL_MAX
                                                        << true;
        newRow("correctly rounded") << "123456789.123456789" << 123456789.123456789 << true;
        newRow("hex") << "&H1F" << 31.0 << true;
        newRow("hex lower") << "&hff" << 255.0 << true;
        newRow("hex 16-bit -1") << "&HFFFF" << -1.0 << true;
        newRow("hex 16-bit min") << "&H8000" << -32768.0 << true;
        newRow("hex 17 bits") << "&H10000" << 65536.0 << true;
        newRow("hex 32-bit -1") << "&HFFFFFFFF" << -1.0 << true;
        newRow("hex past 32 bits stops") << "&H123456789" << double(0x12345678) << true;
        newRow("hex with blank") << "&H F" << 15.0 << true;
        newRow("hex no fraction") << "&H1.5" << 1.0 << true;
        newRow("hex no digits") << "&H" << 0.0 << false;
        newRow("octal") << "&O17" << 15.0 << true;
        newRow("octal 16-bit") << "&o177777" << -1.0 << true;
        newRow("octal stops at 8") << "&O78" << 7.0 << true;
        newRow("ampersand digits") << "&12" << 0.0 << false;
        newRow("sign before hex") << "-&H1" << 0.0 << false;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, begins);
        const double got = platine::leadingNumber(text);
        QCOMPARE(got, value);
        QVERIFY(!std::signbit(got) || got != 0); // never -0
        QCOMPARE(beginsWithNumber(text), begins);
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("french");
        using QTest::newRow;
        const double inf = std::numeric_limits<double>::infinity();
        newRow("minus zero") << -0.0 << "0" << "0";
        newRow("trailing zeros of an integer kept") << 100.0 << "100" << "100";
        newRow("leading zero") << 0.5 << "0.5" << "0,5";
        newRow("negative fraction") << -0.25 << "-0.25" << "-0,25";
        newRow("binary noise hidden") << 0.1 + 0.2 << "0.3" << "0,3";
        newRow("15 digits") << 1234567.89012345 << "1234567.89012345" << "1234567,89012345";
        newRow("rounded to 15") << 1.23456789012345678 << "1.23456789012346" << "1,23456789012346";
        newRow("round up carries") << 9.999999999999999 << "10" << "10";
        newRow("largest plain") << 999999999999999.0 << "999999999999999" << "999999999999999";
        newRow("1E+15") << 1e15 << "1E+15" << "1E+15";
        newRow("rounds into exponent") << 999999999999999.9 << "1E+15" << "1E+15";
        newRow("1E+20") << 1e20 << "1E+20" << "1E+20";
        newRow("mantissa") << 1.5e20 << "1.5E+20" << "1,5E+20";
        newRow("three exponent digits") << -2.5e300 << "-2.5E+300" << "-2,5E+300";
        newRow("smallest plain") << 0.0001 << "0.0001" << "0,0001";
        newRow("1E-05") << 0.00001 << "1E-05" << "1E-05";
        newRow("small mantissa") << 0.0000123 << "1.23E-05" << "1,23E-05";
        newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "NaN" << "NaN";
        newRow("Inf") << inf << "Inf" << "Inf";
        newRow("-Inf") << -inf << "-Inf" << "-Inf";
    }

    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, c);
        QFETCH(QString, french);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(numberToText(value), c);
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(numberToText(value), french);
    }

    void ansi_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        using QTest::newRow;
        newRow("high block ends") << QByteArray("\x80\x9f") << u"\u20ac\u0178"_s;
        newRow("inside") << QByteArray("\x82\x8a\x8c\x93\x99") << u"\u201a\u0160\u0152\u201c\u2122"_s;
        newRow("undefined") << QByteArray("\x81\x8d\x8f\x90\x9d") << u"\x81\x8d\x8f\x90\x9d"_s;
        newRow("Latin-1 half") << QByteArray("\xa0\xb0" "C \xe9t\xe9\xff") << u"\u00a0°C été\u00ff"_s;
    }

    void ansi()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(fromAnsi(bytes), text);
        QCOMPARE(toAnsi(text), bytes);
    }

    void roundTripsAndUnmappable()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(toWire(fromWire(all)), all);
        QCOMPARE(fromWire(QByteArray("\x80\xe9")), u"\u0080é"_s); // the wire is Latin-1
        QCOMPARE(toAnsi(u"a日\u0080x😀y"_s), QByteArray("a??x?y")); // one '?' per character
        QCOMPARE(toWire(u"A\u0014é€"_s), QByteArray("A\x14\xe9?"));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
