// The main window as a user meets it: start-up, menu, panels, port number, replies.

#include "app/MainWindow.h"
#include "board/BoardLink.h"
#include "board/FakeSerialPort.h"
#include "common/FakeDialogs.h"
#include "common/Pty.h"
#include "platform/ProfileFile.h"
#include "platform/SettingsDir.h"
#include "viewer/GraphWindow.h"
#include "viewer/ProgramState.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;
using platine::test::FakeDialogs;
using platine::test::FakeSerialPort;

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeSerialPort *m_port = nullptr;
    FakeDialogs m_dialogs;
    std::unique_ptr<ProgramState> m_state = std::make_unique<ProgramState>();

    QString paramIni() const { return m_dir.filePath(QStringLiteral("param.ini")); }

    std::unique_ptr<MainWindow> start()
    {
        auto port = std::make_unique<FakeSerialPort>();
        m_port = port.get();
        auto window = std::make_unique<MainWindow>(std::move(port), m_dialogs,
                                                   SettingsFiles{m_dir.path()}, *m_state);
        window->show();
        return window;
    }

    template <typename T = QWidget>
    static T *find(QObject *root, const QString &name)
    {
        auto *w = root->findChild<T *>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }

    static void trigger(QObject *window, const QString &action)
    {
        find<QAction>(window, action)->trigger();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        QFile::remove(paramIni());
        m_dialogs = FakeDialogs();
    }

    void startsWithMenuOnly()
    {
        auto w = start();
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Acquisition de données sur carte SD - DORNAL  - Ferlanex V:1.1"));
        QCOMPARE(w->centralWidget()->size(), QSize(889, 594));

        QStringList menus; // the bar, then "Fichier" and "Paramètrage" item by item
        for (QAction *a : w->menuBar()->actions())
            menus << a->text();
        for (const char *menu : {"n_fichier", "n_param"})
            for (QAction *a : find<QMenu>(w.get(), QLatin1String(menu))->actions())
                menus << a->objectName() + u'=' + a->text();
        QCOMPARE(menus, (QStringList{u"Fichier"_s, u"Paramètrage"_s, u"Graphique"_s, QString(12, u' '),
                                     u"à propos de ..."_s, u"n_enregistrer=Enregistrer sous"_s,
                                     u"n_ouvrir=Ouvrir"_s, u"n_quit=Quitter"_s,
                                     u"n_prog=Programmation"_s,
                                     u"n_mise_a_l_heure=Mise à l'heure platine"_s,
                                     u"n_heure_platine=Affichage heure platine"_s,
                                     u"n_port=Port COM"_s}));
        for (const char *frame : {"Frame1", "Frame3", "Frame4"})
            QVERIFY2(!find(w.get(), QLatin1String(frame))->isVisible(), frame);
        // Without param.ini the day list still holds its ten days, Sunday first and selected.
        auto *combo = find<QComboBox>(w.get(), QStringLiteral("combo1(0)"));
        QCOMPARE(combo->count(), 10);
        QCOMPARE(combo->currentText(), QStringLiteral("Dimanche"));
        QCOMPARE(w->link()->portNumber(), 1);
        QVERIFY(!m_port->isOpen());
        QCOMPARE(find<QLabel>(w.get(), QStringLiteral("Label8"))->text(), QStringLiteral("Port fermé"));
    }

    void panelsShowAndHide()
    {
        auto w = start();
        auto *frame1 = find(w.get(), QStringLiteral("Frame1"));
        auto *frame3 = find(w.get(), QStringLiteral("Frame3"));
        auto *frame4 = find(w.get(), QStringLiteral("Frame4"));

        trigger(w.get(), QStringLiteral("n_heure_platine"));
        trigger(w.get(), QStringLiteral("n_mise_a_l_heure"));
        QVERIFY(frame1->isVisible() && frame3->isVisible());
        QVERIFY(!frame1->geometry().intersects(frame3->geometry()));

        // The schedule panel covers the whole window; its "Quitter" uncovers what lay beneath.
        trigger(w.get(), QStringLiteral("n_prog"));
        QVERIFY(frame4->isVisible());
        QVERIFY(frame4->geometry().contains(frame1->geometry()));
        QWidget *onTop = w->centralWidget()->childAt(frame1->geometry().center());
        QVERIFY(onTop == frame4 || frame4->isAncestorOf(onTop));
        QTest::mouseClick(find<QPushButton>(frame4, QStringLiteral("Command5")), Qt::LeftButton);
        QVERIFY(!frame4->isVisible());
        QVERIFY(frame1->isVisible() && frame3->isVisible());

        QTest::mouseClick(find<QPushButton>(frame1, QStringLiteral("Command8")), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(frame3, QStringLiteral("Command9")), Qt::LeftButton);
        QVERIFY(!frame1->isVisible() && !frame3->isVisible());
        // "Quitter" hides only: the port stays as it was and the program goes on.
        QVERIFY(w->isVisible());
    }

    void clockMenuFillsFieldsFromComputerClock()
    {
        auto w = start();
        trigger(w.get(), QStringLiteral("n_mise_a_l_heure"));
        const QDate today = QDate::currentDate();
        QVERIFY(QRegularExpression(QStringLiteral("^([01][0-9]|2[0-3])$"))
                    .match(find<QLineEdit>(w.get(), QStringLiteral("heure"))->text())
                    .hasMatch());
        QCOMPARE(find<QLineEdit>(w.get(), QStringLiteral("annee"))->text(),
                 QString::number(today.year()));
        QCOMPARE(find<QLineEdit>(w.get(), QStringLiteral("mois"))->text(),
                 QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0')));
        const QStringList days = {u"Lundi"_s, u"Mardi"_s, u"Mercredi"_s, u"Jeudi"_s,
                                  u"Vendredi"_s, u"Samedi"_s, u"Dimanche"_s};
        QCOMPARE(find<QLineEdit>(w.get(), QStringLiteral("numero_jour"))->text(),
                 days[today.dayOfWeek() - 1]);
    }

    void clockTimerShowsTime()
    {
        auto w = start();
        auto *label1 = find<QLabel>(w.get(), QStringLiteral("Label1"));
        QCOMPARE(label1->text(), QStringLiteral("Label1"));
        QTRY_VERIFY_WITH_TIMEOUT(label1->text() != QStringLiteral("Label1"), 2500);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(label1->text()).hasMatch());
    }

    void viewerIsCreatedOnce()
    {
        auto w = start();
        QVERIFY(!w->graphWindow());
        trigger(w.get(), QStringLiteral("n_graphique"));
        QPointer<GraphWindow> first = w->graphWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Graphique des acquisitions"));
        QVERIFY(!first->isModal());
        trigger(w.get(), QStringLiteral("n_graphique"));
        QCOMPARE(w->graphWindow(), first.data());
    }

    void aboutBox()
    {
        FakeDialogs &dialogs = m_dialogs;
        auto w = start();
        trigger(w.get(), QStringLiteral("n_a_propos_de"));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].icon, MessageIcon::Information);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Acquisition de données sur carte SD ver:1.1"));
    }

    void portNumberChange_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("told");
        QTest::newRow("cancel") << std::optional<QString>() << 1 << QString() << false;
        QTest::newRow("blanks kept as typed") << std::optional<QString>(QStringLiteral(" 33 "))
                                              << 33 << QStringLiteral("33") << false;
        QTest::newRow("not a number") << std::optional<QString>(QStringLiteral("abc")) << 1
                                      << QString() << true;
    }

    void portNumberChange()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(int, port);
        QFETCH(QString, stored);
        QFETCH(bool, told);
        FakeDialogs &dialogs = m_dialogs;
        dialogs.inputAnswers << answer;
        auto w = start();
        trigger(w.get(), QStringLiteral("n_port"));
        QCOMPARE(dialogs.inputRequests,
                 QStringList{QStringLiteral("Changement du port de communication|Port de communication|1")});
        QCOMPARE(w->link()->portNumber(), port);
        // The profile layer trims what it reads back; the file keeps the answer as typed.
        QCOMPARE(readProfileString(paramIni(), QStringLiteral("Port COM"), QStringLiteral("valeur")),
                 stored);
        QCOMPARE(!dialogs.messages.isEmpty(), told);
        QVERIFY(!m_port->isOpen());
    }

    void portSuggestionChosenStoresTheNumber()
    {
        // A device named in "Ports" that exists is offered with its number; choosing it changes
        // the port and keeps the number alone in param.ini.
        test::Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(writeProfileString(paramIni(), QStringLiteral("Ports"), QStringLiteral("COM7"),
                                   pty.devicePath())
                    .ok);
        const QString label = QStringLiteral("7 — ") + pty.devicePath();
        FakeDialogs &dialogs = m_dialogs;
        dialogs.chooseSuggestion = [&](const QList<InputSuggestion> &offered) {
            for (const InputSuggestion &s : offered) {
                if (s.label == label)
                    return std::optional<QString>(s.value);
            }
            return std::optional<QString>();
        };
        auto w = start();
        trigger(w.get(), QStringLiteral("n_port"));
        QCOMPARE(dialogs.inputSuggestions.size(), 1);
        QCOMPARE(w->link()->portNumber(), 7);
        QCOMPARE(readProfileString(paramIni(), QStringLiteral("Port COM"), QStringLiteral("valeur")),
                 QStringLiteral("7"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void portNumberSurvivesRestart_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("port");
        QTest::newRow("4 then text") << QStringLiteral("4 et du texte") << 4;
        QTest::newRow("letters keep 1") << QStringLiteral("abc") << 1;
    }

    void portNumberSurvivesRestart()
    {
        QFETCH(QString, stored);
        QFETCH(int, port);
        QVERIFY(writeProfileString(paramIni(), QStringLiteral("Port COM"), QStringLiteral("valeur"),
                                   stored)
                    .ok);
        auto w = start();
        QCOMPARE(w->link()->portNumber(), port);
    }

    // A param.ini of more than 1 MiB is no settings file: the program starts on its defaults and
    // leaves the file alone.
    void oversizedParamIniLeftAlone()
    {
        const QByteArray big = "[Port COM]\r\nvaleur=3\r\n[txt0]\r\nvaleur=08:30:00\r\n[cmb0]\r\n"
                               "valeur=4\r\n"
            + QByteArray(1 << 20, ';');
        QFile f(paramIni());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(big) == big.size());
        f.close();
        auto w = start();
        QCOMPARE(w->link()->portNumber(), 1);
        QCOMPARE(find<QLineEdit>(w.get(), u"Text2(0)"_s)->text(), QString());
        QCOMPARE(find<QComboBox>(w.get(), u"combo1(0)"_s)->currentText(), u"Dimanche"_s);
        w.reset();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), big);
    }

    void portButtonsAndLabel()
    {
        auto w = start();
        auto *label8 = find<QLabel>(w.get(), QStringLiteral("Label8"));
        auto *open = find<QPushButton>(w.get(), QStringLiteral("Command2"));
        auto *close = find<QPushButton>(w.get(), QStringLiteral("Command3"));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(open, Qt::LeftButton);
            QVERIFY(m_port->isOpen());
            QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));
        }
        QCOMPARE(m_port->calls.count(QStringLiteral("open:/dev/ttyS0")), 1);
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(close, Qt::LeftButton);
            QVERIFY(!m_port->isOpen());
            QCOMPARE(label8->text(), QStringLiteral("Port fermé"));
        }
    }

    void failedOpenIsToldAndLeavesPortClosed()
    {
        FakeDialogs &dialogs = m_dialogs;
        auto w = start();
        m_port->openFails = true;
        QTest::mouseClick(find<QPushButton>(w.get(), QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(!m_port->isOpen());
        QCOMPARE(find<QLabel>(w.get(), QStringLiteral("Label8"))->text(), QStringLiteral("Port fermé"));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.contains(u"/dev/ttyS0"), qPrintable(dialogs.messages[0].text));

    }

    void repliesAreMirroredAndCleared()
    {
        auto w = start();
        auto *text1 = find<QLineEdit>(w.get(), QStringLiteral("Text1"));
        auto *text3 = find<QLineEdit>(w.get(), QStringLiteral("Text3"));
        auto *text4 = find<QLineEdit>(w.get(), QStringLiteral("Text4"));
        QCOMPARE(text1->text(), QStringLiteral("...."));
        QCOMPARE(text3->text(), QStringLiteral("...."));
        QCOMPARE(text4->text(), QStringLiteral("..."));

        // Typing into Text1 is mirrored too.
        trigger(w.get(), QStringLiteral("n_heure_platine"));
        text1->clear();
        QTest::keyClicks(text1, QStringLiteral("abc"));
        QCOMPARE(text3->text(), QStringLiteral("abc"));
        QCOMPARE(text4->text(), QStringLiteral("abc"));

        // A reply in two pieces: the last piece stays in all three displays.
        QTest::mouseClick(find<QPushButton>(w.get(), QStringLiteral("Command2")), Qt::LeftButton);
        m_port->receive("12:3");
        m_port->receive("4:56");
        QTRY_COMPARE(text1->text(), QStringLiteral("4:56"));
        QCOMPARE(text3->text(), QStringLiteral("4:56"));
        QCOMPARE(text4->text(), QStringLiteral("4:56"));

        QTest::mouseClick(text1, Qt::LeftButton);
        QVERIFY(text1->text().isEmpty() && text3->text().isEmpty() && text4->text().isEmpty());
    }

    void refusedClockFieldSendsNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("hours 27") << QStringLiteral("heure") << QStringLiteral("27");
        QTest::newRow("month 13") << QStringLiteral("mois") << QStringLiteral("13");
        QTest::newRow("day name lower case") << QStringLiteral("numero_jour") << QStringLiteral("dimanche");
    }

    void refusedClockFieldSendsNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        FakeDialogs &dialogs = m_dialogs;
        auto w = start();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        trigger(w.get(), QStringLiteral("n_mise_a_l_heure"));
        auto *box = find<QLineEdit>(w.get(), field);
        box->setText(text);
        QTest::mouseClick(find<QPushButton>(w.get(), QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(m_port->sent.isEmpty() && m_port->pending.isEmpty());
        QVERIFY(!m_port->isOpen());
        QVERIFY(box->hasFocus());
        // The replies were emptied: the command did start.
        QVERIFY(find<QLineEdit>(w.get(), QStringLiteral("Text1"))->text().isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
