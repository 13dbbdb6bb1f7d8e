// Guards against: "Ports" keys offered by the port chooser but not read, or read unlike it.
#include "platform/PortNumbers.h"
#include "support/Files.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

class TestPortKeys : public QObject
{
    Q_OBJECT

    // The chooser's reading of the "Ports" section, as "<number>=<device>" in number order.
    static QString chooserReading(const QString &ini)
    {
        QStringList entries;
        const QMap<int, QString> overrides = portOverrides(ini);
        for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
            entries << QString::number(it.key()) + u'=' + it.value();
        return entries.join(u';');
    }

private Q_SLOTS:
    void portKeys_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("port3");   // what port 3 opens
        QTest::addColumn<QString>("chooser"); // every number the chooser knows from "Ports"
        QTest::newRow("plain key")
            << QByteArray("[Ports]\r\nCOM3=/dev/pts/4\r\n") << u"/dev/pts/4"_s << u"3=/dev/pts/4"_s;
        QTest::newRow("leading zero") << QByteArray("[Ports]\r\nCOM03=/dev/pts/4\r\n")
                                      << u"/dev/pts/4"_s << u"3=/dev/pts/4"_s;
        QTest::newRow("zeros, lower case") << QByteArray("[ports]\r\n com0003 = /dev/pts/4\r\n")
                                           << u"/dev/pts/4"_s << u"3=/dev/pts/4"_s;
        QTest::newRow("plain key first") << QByteArray("[Ports]\r\nCOM3=/dev/a\r\nCOM03=/dev/b\r\n")
                                         << u"/dev/a"_s << u"3=/dev/a"_s;
        QTest::newRow("zero key first") << QByteArray("[Ports]\r\nCOM03=/dev/b\r\nCOM3=/dev/a\r\n")
                                        << u"/dev/b"_s << u"3=/dev/b"_s;
        QTest::newRow("first key empty")
            << QByteArray("[Ports]\r\nCOM03=\r\nCOM3=/dev/a\r\n") << u"/dev/ttyS2"_s << QString();
        QTest::newRow("key of another section before")
            << QByteArray("[Autre]\r\nCOM03=/dev/x\r\n[Ports]\r\nCOM4=/dev/c\r\nCOM3=/dev/a\r\n")
            << u"/dev/a"_s << u"3=/dev/a;4=/dev/c"_s;
        QTest::newRow("second Ports section unread")
            << QByteArray("[Ports]\r\nCOM4=/dev/c\r\n[Ports]\r\nCOM03=/dev/b\r\n")
            << u"/dev/ttyS2"_s << u"4=/dev/c"_s;
        QTest::newRow("zero names no port")
            << QByteArray("[Ports]\r\nCOM0=/dev/x\r\nCOM000=/dev/y\r\n") << u"/dev/ttyS2"_s
            << QString();
        QTest::newRow("largest port, zeros before")
            << QByteArray("[Ports]\r\nCOM032767=/dev/x\r\nCOM032768=/dev/y\r\n") << u"/dev/ttyS2"_s
            << u"32767=/dev/x"_s;
        QTest::newRow("not a port key") << QByteArray("[Ports]\r\nCOM3X=/dev/x\r\nCOM 3=/dev/y\r\n")
                                        << u"/dev/ttyS2"_s << QString();
    }
    void portKeys()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, port3);
        QFETCH(QString, chooser);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"param.ini"_s);
        QVERIFY(test::putFile(path, ini));
        QCOMPARE(portDevice(3, path), port3);
        QCOMPARE(chooserReading(path), chooser);
    }
    void chooserAndLookupAgree() // every number the chooser offers opens the device it shows
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"param.ini"_s);
        QVERIFY(test::putFile(path,
                              "[Ports]\r\nCOM03=/dev/b\r\nCOM3=/dev/a\r\nCOM007=/dev/c\r\n"
                              "COM7=/dev/d\r\nCOM10=/dev/e\r\n"));
        const QMap<int, QString> overrides = portOverrides(path);
        QCOMPARE(overrides.keys(), (QList<int>{3, 7, 10}));
        for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
            QCOMPARE(portDevice(it.key(), path), it.value());
            QCOMPARE(portNumberForDevice(it.value(), path), it.key());
        }
    }
};

QTEST_GUILESS_MAIN(TestPortKeys)
#include "tst_portkeys.moc"
