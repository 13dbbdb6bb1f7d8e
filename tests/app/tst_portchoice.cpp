// The port-number box's suggestions: which number designates a device, the list built from the
// machine's ports and the "Ports" section of param.ini, and the desktop's box with its list.

#include "platform/DesktopDialogs.h"
#include "platform/PortNumbers.h"
#include "platform/QtSerialPort.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;
using Overrides = QMap<int, QString>;

class TestPortChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberForDevice()
    {
        const QString usb0 = QStringLiteral("/dev/ttyUSB0"), pts = QStringLiteral("/dev/pts/4");
        for (int n = 1; n <= 96; ++n) // the inverse of the usual numbering
            QCOMPARE(portNumberForDevice(portDevice(n, QString()), Overrides{}), n);
        QCOMPARE(portNumberForDevice(QStringLiteral("/dev/ttyS32"), Overrides{}), 0);
        QCOMPARE(portNumberForDevice(pts, Overrides{}), 0);
        QCOMPARE(portNumberForDevice(QString(), Overrides{}), 0);
        QCOMPARE(portNumberForDevice(pts, Overrides{{9, pts}, {4, pts}}), 4);
        QCOMPARE(portNumberForDevice(usb0, Overrides{{5, usb0}}), 5);     // the entry comes first
        QCOMPARE(portNumberForDevice(usb0, Overrides{{33, pts}}), 0);     // its number is taken
        QCOMPARE(portNumberForDevice(usb0, Overrides{{3, pts}}), 33);
    }

    void overridesReadAsPortDeviceReadsThem()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("param.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Port COM]\r\nvaleur=3\r\n[Autre]\r\nCOM4=/dev/x\r\n[ports]\r\nCOM3=/dev/pts/4\r\n"
                " com7 = \"/dev/pts/9\"\r\nCOM8=\r\n;COM9=/dev/y\r\nCOM3=/dev/second\r\n");
        f.close();
        const Overrides read = portOverrides(ini);
        QCOMPARE(read, (Overrides{{3, QStringLiteral("/dev/pts/4")}, {7, QStringLiteral("/dev/pts/9")}}));
        for (auto it = read.cbegin(); it != read.cend(); ++it)
            QCOMPARE(portDevice(it.key(), ini), it.value());
        QCOMPARE(portNumberForDevice(QStringLiteral("/dev/pts/9"), ini), 7);

        // An entry naming a link designates the device the link leads to.
        const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
        QFile(device).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(device, dir.filePath(QStringLiteral("by-id"))));
        QCOMPARE(portNumberForDevice(device, Overrides{{5, dir.filePath(QStringLiteral("by-id"))}}), 5);
    }

    void suggestions()
    {
        const QList<SerialPortEntry> ports = {
            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART")},
            {QStringLiteral("/dev/ttyS0"), QString()},
            {QStringLiteral("/dev/rfcomm0"), QStringLiteral("Bluetooth")},
            {QStringLiteral("/dev/pts/4"), QStringLiteral(" ")}};
        const QList<InputSuggestion> expected = {
            {QStringLiteral("1 — /dev/ttyS0"), QStringLiteral("1")},
            {QStringLiteral("3 — /dev/pts/4"), QStringLiteral("3")},
            {QStringLiteral("33 — /dev/ttyUSB0 — FT232R USB UART"), QStringLiteral("33")}};
        QCOMPARE(portSuggestions(ports, Overrides{{3, QStringLiteral("/dev/pts/4")}}), expected);
    }

    void desktopBox_data()
    {
        QTest::addColumn<QString>("keys"); // "v" is arrow down, anything else replaces the text
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("field");
        QTest::addColumn<std::optional<QString>>("answer");
        const auto answer = [](const char *text) { return std::optional<QString>(QLatin1String(text)); };
        QTest::newRow("kept") << QString() << true << "1" << answer("1");
        QTest::newRow("typed, not completed") << "3" << true << "3" << answer("3");
        QTest::newRow("first chosen") << "v" << true << "33" << answer("33");
        QTest::newRow("second chosen") << "vv" << true << "65" << answer("65");
        QTest::newRow("cancelled") << "v" << false << "33" << std::optional<QString>();
    }

    void desktopBox()
    {
        QFETCH(QString, keys);
        QFETCH(bool, accept);
        QFETCH(QString, field);
        QFETCH(std::optional<QString>, answer);
        QStringList shown; // title, prompt, the list, the field before and after the keys
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            auto *combo = box ? box->findChild<QComboBox *>() : nullptr;
            if (!combo || !combo->isEditable())
                return box ? box->reject() : void();
            shown << box->windowTitle() << box->labelText();
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            shown << combo->currentText();
            for (const QChar c : keys) {
                if (c == u'v') {
                    QTest::keyClick(combo, Qt::Key_Down);
                } else {
                    combo->lineEdit()->clear();
                    QTest::keyClicks(combo->lineEdit(), QString(c));
                }
            }
            shown << combo->currentText();
            accept ? box->accept() : box->reject();
        });
        const QString usb = QStringLiteral("33 — /dev/ttyUSB0 — FT232R USB UART"),
                      acm = QStringLiteral("65 — /dev/ttyACM0");
        DesktopDialogs desktop;
        const auto got = desktop.inputBox(
            nullptr, QStringLiteral("Port de communication"),
            QStringLiteral("Changement du port de communication"), QStringLiteral("1"),
            {{usb, QStringLiteral("33")}, {acm, QStringLiteral("65")}});
        QCOMPARE(shown, (QStringList{QStringLiteral("Changement du port de communication"),
                                     QStringLiteral("Port de communication"), usb, acm,
                                     QStringLiteral("1"), field}));
        QCOMPARE(got, answer);
    }
};

QTEST_MAIN(TestPortChoice)
#include "tst_portchoice.moc"
