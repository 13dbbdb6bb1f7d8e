// "Programmer" end to end: the schedule panel, the board link and the real serial port, with a
// pseudo-terminal standing in for the board. What reaches the line must be exactly the 125 bytes.

#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "common/Pty.h"
#include "platform/SerialPort.h"
#include "platform/SettingsDir.h"
#include "schedule/SchedulePanel.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;

class TestScheduleLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setSettingsDir(m_dir.path());
    }

    void programmerPutsTheFrameOnTheLine()
    {
        test::Pty pty;
        QVERIFY(pty.isValid());
        {
            QFile param(paramIniPath());
            QVERIFY(param.open(QIODevice::WriteOnly));
            param.write("[Port COM]\r\nvaleur=3\r\n" + pty.paramIniSection(3));
        }
        test::FakeDialogs dialogs;
        QWidget window;
        BoardLink link(makeQtSerialPort(), paramIniPath());
        link.loadPortSetting();
        QCOMPARE(link.commPort(), 3);

        SchedulePanel panel(&window);
        panel.setBoard(&link, [&panel] { panel.text3()->clear(); });
        panel.initScheduleEditor();
        panel.readScheduleSettings(paramIniPath());

        // Bytes a terminal would like to interpret: XON 0x11, XOFF 0x13, LF 0x0a (day code 10),
        // CR 0x0d (period 13), high bytes 0x99 and zeros.
        const char *texts[] = {"11:13", "99:99", "00:00:00", "08:30:00", "13:11", "23:59"};
        for (int k = 0; k < kScheduleTimeCount; ++k)
            panel.text2(k)->setText(QString::fromLatin1(texts[k]));
        panel.text2(kPeriodBox)->setText(QStringLiteral("13"));
        panel.setComboPosition(9);

        QTest::mouseClick(panel.findChild<QPushButton *>(QStringLiteral("Command7")),
                          Qt::LeftButton);
        QVERIFY(dialogs.messages.isEmpty());

        const QByteArray expected =
            QByteArray("B\x11\x13\x99\x99\x00\x00\x08\x30\x13\x11\x23\x59\x0a\x0d", 15)
            + QByteArray(110, '\0');
        QCOMPARE(expected.size(), kScheduleFrameSize);
        QCOMPARE(pty.readAtLeast(kScheduleFrameSize, 5000), expected);
        QCOMPARE(pty.readFor(200), QByteArray()); // nothing after the frame
        QVERIFY(link.isOpen());

        // param.ini keeps its port lines and now holds the schedule too.
        QFile param(paramIniPath());
        QVERIFY(param.open(QIODevice::ReadOnly));
        const QByteArray contents = param.readAll();
        const QByteArray portLines = "[Port COM]\r\nvaleur=3\r\n" + pty.paramIniSection(3);
        QVERIFY(contents.startsWith(portLines));
        QVERIFY(contents.endsWith("[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n"));

        // A second press starts from a fresh body: a typed day text sends day code 0.
        panel.combo1()->setEditText(QStringLiteral("jours fériés"));
        panel.text2(kPeriodBox)->setText(QStringLiteral("250"));
        panel.command7Click();
        QByteArray second = expected;
        second[13] = 0;
        second[14] = char(120);
        QCOMPARE(pty.readAtLeast(kScheduleFrameSize, 5000), second);
        QCOMPARE(panel.text2(kPeriodBox)->text(), QStringLiteral("120"));
        link.closePort();
    }
};

QTEST_MAIN(TestScheduleLine)
#include "tst_scheduleline.moc"
