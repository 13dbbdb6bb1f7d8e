// The serial device disappearing under the main window, while the port is open and while a
// command is being sent: no crash, the port closed, Label8 telling the truth, the user told, and
// the next command goes out whole once the device is back at a new path.

#include "app/MainWindow.h"
#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "common/Program.h"
#include "platform/ProfileFile.h"
#include "platform/QtSerialPort.h"
#include "tools/BoardSimulator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace platine;
using namespace Qt::StringLiterals;
using platine::test::FakeDialogs;

namespace {

const QByteArray kClockBytes = QByteArray::fromHex("4114073528020704");

// Points port 3 at the simulator's device; the link reads this each time it opens the port.
bool pointPort3At(const QString &paramIni, const BoardSimulator &board)
{
    return writeProfileString(paramIni, QStringLiteral("Ports"), QStringLiteral("COM3"),
                              board.devicePath())
        .ok;
}

} // namespace

class TestDeviceLost : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    template <typename T = QWidget>
    static T *find(MainWindow &w, const QString &name)
    {
        return w.findChild<T *>(name);
    }

    static void clickCommand1(MainWindow &w)
    {
        const QStringList names = {"heure", "minutes", "seconde", "jour",
                                   "mois",  "annee",   "numero_jour"};
        const QStringList values = {"14", "07", "35", "28", "02", "2007", "Mercredi"};
        for (int i = 0; i < names.size(); ++i)
            find<QLineEdit>(w, names[i])->setText(values[i]);
        QTest::mouseClick(find<QPushButton>(w, QStringLiteral("Command1")), Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void deviceVanishes_data()
    {
        QTest::addColumn<bool>("whileSending");
        QTest::newRow("port open, clock read-out coming in") << false;
        QTest::newRow("command being sent") << true;
    }
    void deviceVanishes()
    {
        QFETCH(bool, whileSending);
        FakeDialogs dialogs;
        BoardSimulator board;
        board.setClockInterval(20);
        QVERIFY(board.start());
        QVERIFY(writeProfileString(m_dir.filePath(u"param.ini"_s), QStringLiteral("Port COM"),
                                   QStringLiteral("valeur"), QStringLiteral("3"))
                    .ok);
        QVERIFY(pointPort3At(m_dir.filePath(u"param.ini"_s), board));
        test::Program program(makeQtSerialPort(), dialogs, m_dir.path());
        MainWindow &w = *program.window;
        w.showBoardDisplayPanel();
        auto *label8 = find<QLabel>(w, QStringLiteral("Label8"));
        auto *text1 = find<QLineEdit>(w, QStringLiteral("Text1"));

        int held = -1; // a second handle on the device, to hold back its output
        if (whileSending) {
            // The line stops taking output (as under flow control), so the command stays on its
            // way when the device goes.
            held = ::open(qPrintable(board.devicePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
            QVERIFY(held >= 0);
            QCOMPARE(::tcflow(held, TCOOFF), 0);
            clickCommand1(w);
            QVERIFY(w.link()->isOpen());
            QTest::qWait(100);
            QVERIFY2(board.received().isEmpty(), board.received().toHex().constData());
        } else {
            QTest::mouseClick(find<QPushButton>(w, QStringLiteral("Command2")), Qt::LeftButton);
            QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));
            QTRY_VERIFY_WITH_TIMEOUT(text1->text().contains(u':'), 3000);
        }

        board.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!w.link()->isOpen(), 3000);
        if (held >= 0)
            ::close(held);
        QCOMPARE(label8->text(), QStringLiteral("Port fermé"));
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages.size(), 1, 1000);
        QVERIFY2(dialogs.messages.first().text.contains(QStringLiteral("COM3")),
                 qPrintable(dialogs.messages.first().text));
        // Nothing is left to close the port again or to report twice.
        QTest::qWait(200);
        QCOMPARE(dialogs.messages.size(), 1);

        // The device is back at another path: the next command goes out whole, with nothing of
        // the lost one in front, and the answer shows.
        BoardSimulator back;
        back.setClockInterval(0);
        QVERIFY(back.start());
        QVERIFY(pointPort3At(m_dir.filePath(u"param.ini"_s), back));
        clickCommand1(w);
        QVERIFY(w.link()->isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(back.received(), kClockBytes, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(text1->text().contains(QStringLiteral("14:07:35")), 3000);
        QCOMPARE(dialogs.messages.size(), 1);
        QTest::mouseClick(find<QPushButton>(w, QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));
    }
};

QTEST_MAIN(TestDeviceLost)
#include "tst_devicelost.moc"
