// The port-number box's suggestions: which number designates a device, the list built from the
// machine's ports and the "Ports" section of param.ini, and the desktop's box with its list.

#include "platform/Dialogs.h"
#include "platform/PortChoice.h"
#include "platform/ProfileFile.h"
#include "platform/SerialPort.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace platine;
using Overrides = QMap<int, QString>;

Q_DECLARE_METATYPE(Overrides)

class TestPortChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberForDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<Overrides>("overrides");
        QTest::addColumn<int>("number");
        const QString usb0 = QStringLiteral("/dev/ttyUSB0"), pts = QStringLiteral("/dev/pts/4");
        QTest::newRow("first usb") << usb0 << Overrides{} << 33;
        QTest::newRow("last acm") << QStringLiteral("/dev/ttyACM31") << Overrides{} << 96;
        QTest::newRow("ttyS32 has none") << QStringLiteral("/dev/ttyS32") << Overrides{} << 0;
        QTest::newRow("pty without entry") << pts << Overrides{} << 0;
        QTest::newRow("empty") << QString() << Overrides{} << 0;
        QTest::newRow("pty named") << pts << Overrides{{3, pts}} << 3;
        QTest::newRow("entry before usual") << usb0 << Overrides{{5, usb0}} << 5;
        QTest::newRow("smallest entry") << pts << Overrides{{9, pts}, {4, pts}} << 4;
        QTest::newRow("usual number taken") << usb0 << Overrides{{33, pts}} << 0;
        QTest::newRow("other entry only") << usb0 << Overrides{{3, pts}} << 33;
    }

    void numberForDevice()
    {
        QFETCH(QString, device);
        QFETCH(Overrides, overrides);
        QFETCH(int, number);
        QCOMPARE(portNumberForDevice(device, overrides), number);
    }

    void numberIsTheInverseOfDevice()
    {
        for (int n = 1; n <= 96; ++n)
            QCOMPARE(portNumberForDevice(portDevice(n, QString()), Overrides{}), n);
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
        QVERIFY(portOverrides(dir.filePath(QStringLiteral("missing.ini"))).isEmpty());

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
            {QStringLiteral("/dev/pts/4"), QStringLiteral(" ")},
            {QStringLiteral("/dev/pts/5"), QString()}};
        const QList<InputSuggestion> expected = {
            {QStringLiteral("1 — /dev/ttyS0"), QStringLiteral("1")},
            {QStringLiteral("3 — /dev/pts/4"), QStringLiteral("3")},
            {QStringLiteral("33 — /dev/ttyUSB0 — FT232R USB UART"), QStringLiteral("33")}};
        QCOMPARE(portSuggestions(ports, Overrides{{3, QStringLiteral("/dev/pts/4")}}), expected);
    }

    void desktopBox_data()
    {
        QTest::addColumn<QString>("keys");
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

    // Keys: "v" is arrow down, anything else is typed in place of the field's text.
    void desktopBox()
    {
        QFETCH(QString, keys);
        QFETCH(bool, accept);
        QFETCH(QString, field);
        QFETCH(std::optional<QString>, answer);
        QStringList shown;
        QString initial, title, prompt, fieldAfter;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            auto *combo = box ? box->findChild<QComboBox *>() : nullptr;
            if (!combo || !combo->isEditable())
                return box ? box->reject() : void();
            title = box->windowTitle();
            prompt = box->labelText();
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
            initial = combo->currentText();
            for (const QChar c : keys) {
                if (c == u'v') {
                    QTest::keyClick(combo, Qt::Key_Down);
                } else {
                    combo->lineEdit()->clear();
                    QTest::keyClicks(combo->lineEdit(), QString(c));
                }
            }
            fieldAfter = combo->currentText();
            accept ? box->accept() : box->reject();
        });
        const QList<InputSuggestion> offered = {
            {QStringLiteral("33 — /dev/ttyUSB0 — FT232R USB UART"), QStringLiteral("33")},
            {QStringLiteral("65 — /dev/ttyACM0"), QStringLiteral("65")}};
        const auto got = DialogService::instance().inputBox(
            nullptr, QStringLiteral("Port de communication"),
            QStringLiteral("Changement du port de communication"), QStringLiteral("1"), offered);
        QCOMPARE(title, QStringLiteral("Changement du port de communication"));
        QCOMPARE(prompt, QStringLiteral("Port de communication"));
        QCOMPARE(shown, (QStringList{offered[0].label, offered[1].label}));
        QCOMPARE(initial, QStringLiteral("1"));
        QCOMPARE(fieldAfter, field); // a chosen suggestion shows its number
        QCOMPARE(got, answer);
    }
};

QTEST_MAIN(TestPortChoice)
#include "tst_portchoice.moc"
