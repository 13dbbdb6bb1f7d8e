// The program and the board simulator on a real pseudo-terminal: what the main window puts on the
// line, what the board answers, and when the port closes again.

#include "app/MainWindow.h"
#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "common/Program.h"
#include "platform/ProfileFile.h"
#include "platform/QtSerialPort.h"
#include "tools/BoardSimulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;

class TestBoardLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<BoardSimulator> m_board;
    test::FakeDialogs m_dialogs;
    std::unique_ptr<test::Program> m_program;
    MainWindow *m_window = nullptr;

    template <typename T = QWidget>
    T *find(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }

    void setClockFields(const QStringList &values)
    {
        const QStringList names = {QStringLiteral("heure"), QStringLiteral("minutes"),
                                   QStringLiteral("seconde"), QStringLiteral("jour"),
                                   QStringLiteral("mois"), QStringLiteral("annee"),
                                   QStringLiteral("numero_jour")};
        for (int i = 0; i < names.size(); ++i)
            find<QLineEdit>(names[i])->setText(values[i]);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_board = std::make_unique<BoardSimulator>();
        m_board->setClockInterval(0);
        QString error;
        QVERIFY2(m_board->start(&error), qPrintable(error));
        // Port 3 designates the simulator's terminal; the program reads this at start-up.
        const QString ini = m_dir.filePath(QStringLiteral("param.ini"));
        QFile::remove(ini);
        QVERIFY(writeProfileString(ini, QStringLiteral("Port COM"), QStringLiteral("valeur"),
                                   QStringLiteral("3")).ok);
        QVERIFY(writeProfileString(ini, QStringLiteral("Ports"), QStringLiteral("COM3"),
                                   m_board->devicePath()).ok);
        m_program = std::make_unique<test::Program>(makeQtSerialPort(), m_dialogs, m_dir.path());
        m_window = m_program->window.get();
    }

    void cleanup()
    {
        m_program.reset();
        m_board.reset();
    }

    void clockCommandRoundTrip()
    {
        QCOMPARE(m_window->link()->portNumber(), 3);
        m_window->showClockPanel();
        setClockFields({QStringLiteral("14"), QStringLiteral("07"), QStringLiteral("35"),
                        QStringLiteral("28"), QStringLiteral("02"), QStringLiteral("2007"),
                        QStringLiteral("Mercredi")});

        QElapsedTimer sent;
        QTest::mouseClick(find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
        sent.start();
        QVERIFY(m_window->link()->isOpen());
        // The label still shows what the port buttons last set.
        QCOMPARE(find<QLabel>(QStringLiteral("Label8"))->text(), QStringLiteral("Port fermé"));

        QTRY_COMPARE_WITH_TIMEOUT(m_board->received().size(), 8, 3000);
        QCOMPARE(m_board->received(), QByteArray::fromHex("4114073528020704"));

        // The simulator answers with its new time; whatever the board sends shows in all three
        // reply displays, in one piece.
        QTRY_VERIFY_WITH_TIMEOUT(!find<QLineEdit>(QStringLiteral("Text1"))->text().isEmpty(), 3000);
        QTest::qWait(50);
        const QString shown = find<QLineEdit>(QStringLiteral("Text1"))->text();
        QVERIFY2(shown.contains(QStringLiteral("14:07:35")), qPrintable(shown));
        QCOMPARE(find<QLineEdit>(QStringLiteral("Text3"))->text(), shown);
        QCOMPARE(find<QLineEdit>(QStringLiteral("Text4"))->text(), shown);

        // A reply typed on the board side replaces the previous one.
        m_board->sendText(QStringLiteral("bonjour"));
        QTRY_COMPARE_WITH_TIMEOUT(find<QLineEdit>(QStringLiteral("Text4"))->text(),
                                  QStringLiteral("bonjour"), 3000);

        // About 4.5 s after the command the port closes by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->link()->isOpen(), 7000);
        QVERIFY2(sent.elapsed() >= 4400, qPrintable(QString::number(sent.elapsed())));
        QVERIFY2(sent.elapsed() < 6500, qPrintable(QString::number(sent.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!m_board->peerConnected(), 2000);
    }
};

QTEST_MAIN(TestBoardLine)
#include "tst_boardline.moc"
