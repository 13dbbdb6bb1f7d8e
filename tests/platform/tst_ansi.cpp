#include "platform/Ansi.h"

#include <QTest>

using namespace platine;
using namespace Qt::StringLiterals;

class TestAnsi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void highBlock_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("code");
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 81") << 0x81 << 0x81;
        QTest::newRow("low quote") << 0x82 << 0x201A;
        QTest::newRow("ellipsis") << 0x85 << 0x2026;
        QTest::newRow("S caron") << 0x8A << 0x0160;
        QTest::newRow("OE") << 0x8C << 0x0152;
        QTest::newRow("undefined 8D") << 0x8D << 0x8D;
        QTest::newRow("Z caron") << 0x8E << 0x017D;
        QTest::newRow("undefined 8F") << 0x8F << 0x8F;
        QTest::newRow("undefined 90") << 0x90 << 0x90;
        QTest::newRow("left quote") << 0x93 << 0x201C;
        QTest::newRow("en dash") << 0x96 << 0x2013;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("oe") << 0x9C << 0x0153;
        QTest::newRow("undefined 9D") << 0x9D << 0x9D;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("nbsp") << 0xA0 << 0xA0;
        QTest::newRow("degree") << 0xB0 << 0xB0;
        QTest::newRow("e acute") << 0xE9 << 0xE9;
        QTest::newRow("y diaeresis") << 0xFF << 0xFF;
        QTest::newRow("ascii") << 0x41 << 0x41;
        QTest::newRow("nul") << 0x00 << 0x00;
    }

    void highBlock()
    {
        QFETCH(int, byte);
        QFETCH(int, code);
        const QByteArray b(1, char(byte));
        const QString s = fromAnsi(b);
        QCOMPARE(s.size(), 1);
        QCOMPARE(int(s[0].unicode()), code);
        QCOMPARE(toAnsi(s), b);
    }

    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(toWire(fromWire(all)), all);
    }

    void unmappable()
    {
        QCOMPARE(toAnsi(u"a日b"_s), QByteArray("a?b"));
        QCOMPARE(toAnsi(u"\u0080"_s), QByteArray("?")); // a control the code page does not hold
        QCOMPARE(toAnsi(u"x😀y"_s), QByteArray("x?y"));  // one character, one '?'
        QCOMPARE(toAnsi(u"°C été"_s), QByteArray("\xb0" "C \xe9t\xe9"));
    }

    void wireIsLatin1()
    {
        QCOMPARE(fromWire(QByteArray("\x80\xe9")), u"\u0080é"_s);
        QCOMPARE(toWire(u"A\u0014é€"_s), QByteArray("A\x14\xe9?"));
    }
};

QTEST_GUILESS_MAIN(TestAnsi)
#include "tst_ansi.moc"
