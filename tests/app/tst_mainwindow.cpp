// Guards against: a wrong main window, panel, port label, status line, journal or message shown;
// a command said sent before its last byte left.
#include "app/JournalWindow.h"
#include "board/BoardLink.h"
#include "board/ClockPanel.h"
#include "platform/QtSerialPort.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPort.h"
#include "support/Fetch.h"
#include "support/Files.h"
#include "support/Program.h"
#include "tools/BoardSimulator.h"
#include "tools/PseudoTerminal.h"
#include <QtTest>
#include <QtWidgets>
#include <fcntl.h>
#include <unistd.h>
using namespace platine;
using namespace Qt::StringLiterals;
using Answer = std::optional<QString>;
using platine::test::fetch;
class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeDialogs m_dlg;
    std::optional<test::Program> m_p;
    MainWindow *w() { return m_p->window.get(); }
    QString ini() { return m_dir.filePath(u"param.ini"_s); }
    template <typename T = QWidget> T *get(const QString &n) { return m_p->get<T>(n); }
    QString text(const QString &n) { return get<QLineEdit>(n)->text(); }
    QStringList replies() { return {text(u"Text1"_s), text(u"Text3"_s), text(u"Text4"_s)}; }
    auto *port() { return static_cast<test::FakeSerialPort *>(w()->link()->port()); }
    void use(const QString &n) // a menu entry or a button
    {
        if (n.startsWith(u'n'))
            get<QAction>(n)->trigger();
        else
            QTest::mouseClick(get(n), Qt::LeftButton);
    }
    static int ink(const QImage &image) // the pixels of text drawn black on a light background
    {
        int dark = 0;
        for (int i = 0; i < image.width() * image.height(); ++i)
            dark += qGray(image.pixel(i % image.width(), i / image.width())) < 128;
        return dark;
    }
    void start() { m_p.emplace(std::make_unique<test::FakeSerialPort>(), m_dlg, m_dir.path()); }
private Q_SLOTS:
    void init() // a fresh main window on the fake port, without param.ini
    {
        m_p.reset();
        QFile::remove(ini());
        m_dlg = {};
        start();
    }
    void startUp_data() // the stored port and schedule come back; without them: defaults
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown"); // port number | Text2(0)
        const QByteArray s = "[Port COM]\nvaleur=4\n[txt0]\nvaleur=08:30\n";
        QTest::newRow("no param.ini") << QByteArray() << u"1|"_s;
        QTest::newRow("stored") << s << u"4|08:30"_s;
    }
    void startUp()
    {
        QFETCH(QByteArray, file);
        QVERIFY(file.isEmpty() || test::putFile(ini(), file));
        start();
        QTEST(u"%1|%2"_s.arg(w()->link()->portNumber()).arg(text(u"Text2(0)"_s)), "shown");
        m_p.reset(); // nothing written, neither at start-up nor at the end
        QCOMPARE(test::fileBytes(ini()), file.isEmpty() ? "<unreadable>"_ba : file);
    }
    void portButtonsAndReplies() // the last piece of a reply stays, in all three; a click empties
    {
        use(u"n_heure_platine"_s);
        use(u"Command2"_s);
        QCOMPARE(get<QLabel>(u"Label8"_s)->text(), u"Port ouvert : COM1 (/dev/ttyS0)"_s);
        port()->receive("12:3");
        port()->receive("4:56");
        QTRY_COMPARE(replies(), QStringList(3, u"4:56"_s));
        QTest::mouseClick(get(u"Text1"_s), Qt::LeftButton);
        QCOMPARE(replies(), QStringList(3, QString()));
        use(u"Command3"_s);
        QCOMPARE(get<QLabel>(u"Label8"_s)->text(), u"Port fermé"_s);
    }
    void statusLine_data() // how "Programmer" and the clock's "Programmation" went
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("boxes"); // the schedule's seven boxes
        QTest::addColumn<bool>("openFails");
        QTest::addColumn<QString>("line");   // the bytes leave at once, "never", meet an "error" or
                                             // are "refused" outright
        QTest::addColumn<QString>("status"); // the time of sending left out
        const QString day = u"08:00|12:00|13:00|17:00|18:00|20:00|"_s,
                      sent = u"Programme envoyé à la platine sur le port COM1 (/dev/ttyS0)."_s,
                      rule =
                          u"doit s'écrire hh:mm ou hh:mm:ss : l'heure de 00 à 23, les minutes et "
                          u"les secondes de 00 à 59. Rien n'a été programmé."_s;
        // clang-format off
        QTest::newRow("clock sent") << "Command1" << "" << false << ""
            << "Heure « mercredi 28/02/07 14:07:35 » envoyée à la platine sur le port COM1 "
               "(/dev/ttyS0).";
        QTest::newRow("clock not sent") << "Command1" << "" << true << "" << "Heure non envoyée : "
            "Impossible d'ouvrir le port COM1 (/dev/ttyS0) : Permission denied";
        QTest::newRow("clock never leaves") << "Command1" << "" << false << "never" << "L'heure n'a "
            "pas pu être envoyée à la platine sur le port COM1 (/dev/ttyS0) : aucun des 8 octets "
            "n'est parti en 1\u202F016 ms.";
        QTest::newRow("clock refused by the port") << "Command1" << "" << false << "refused"
            << "L'heure n'a pas pu être envoyée à la platine sur le port COM1 (/dev/ttyS0) : le "
               "port a refusé les octets.";
        QTest::newRow("hour 25") << "Command7" << "25:00:00|" + day.mid(6) + "10" << false << ""
            << "L'heure de la fenêtre 1, « Début » (« 25:00:00 ») " + rule;
        QTest::newRow("period 500") << "Command7" << day + "500" << false << ""
            << sent + " Période ramenée à 120 s.";
        QTest::newRow("period 500, write error") << "Command7" << day + "500" << false << "error"
            << "Le programme n'a pas pu être envoyé à la platine sur le port COM1 (/dev/ttyS0) : "
               "erreur d'écriture sur le port (Input/output error). Période ramenée à 120 s.";
        QTest::newRow("over midnight") << "Command7" << "10:50|10:40|" + day.mid(12) + "10" << false
            << "" << sent + " La fenêtre 1 (10:40 avant 10:50) finit avant de commencer : envoyée "
                            "telle quelle, la platine peut la lire comme une plage sur minuit.";
        QTest::newRow("two over midnight, period 500") // two lines at most, as the others
            << "Command7" << "10:50|10:40|13:00|12:00|18:00|20:00|500" << false << ""
            << sent + " Période ramenée à 120 s. Les fenêtres 1 (10:40 avant 10:50) et 2 (12:00 "
                      "avant 13:00) finissent avant de commencer : envoyées telles quelles, la "
                      "platine peut les lire comme des plages sur minuit.";
        QTest::newRow("into the next hour") << "Command7" << "10:50|11:10|" + day.mid(12) + "10"
            << false << "" << sent;
        QTest::newRow("not sent") << "Command7" << day + "10" << true << "" << "Programme non "
            "envoyé : Impossible d'ouvrir le port COM1 (/dev/ttyS0) : Permission denied";
        // clang-format on
    }
    void statusLine()
    {
        QFETCH(QString, boxes);
        const QSize size = w()->size();
        use(u"n_prog"_s);
        for (int i = 0; i < 7 && !boxes.isEmpty(); ++i)
            get<QLineEdit>(u"Text2(%1)"_s.arg(i))->setText(boxes.section(u'|', i, i));
        port()->openFails = fetch<bool>("openFails");
        port()->leaveAtOnce = fetch<QString>("line").isEmpty();
        port()->writeLimit = fetch<QString>("line") == u"refused" ? 0 : -1;
        if (fetch<QString>("command") == u"Command1")
            m_p->sendClock();
        else
            use(u"Command7"_s);
        if (fetch<QString>("line") == u"error")
            Q_EMIT port()->failed({SerialError::Write, u"Input/output error"_s});
        static const QRegularExpression time(u" à \\d\\d:\\d\\d:\\d\\d\\."_s);
        QTRY_COMPARE_WITH_TIMEOUT(get<QLabel>(u"aide"_s)->text().replace(time, u"."_s),
                                  fetch<QString>("status"), 2000);
        // The whole sentence drawn (as much ink as on one unbounded line), the window as it was.
        QLabel *aide = get<QLabel>(u"aide"_s);
        QImage line(QFontMetrics(aide->font()).horizontalAdvance(aide->text()), 40,
                    QImage::Format_RGB32);
        line.fill(Qt::white);
        QPainter(&line).drawText(0, 30, aide->text());
        QVERIFY(ink(aide->grab().toImage()) > ink(line) * 95 / 100 && w()->size() == size);
        if (!fetch<QString>("line").isEmpty()) { // journaled as not sent
            use(u"n_journal"_s);
            QVERIFY(
                w()->journalWindow()->text().contains(u"  non envoyé sur COM1 (/dev/ttyS0) : "));
        }
    }
    void boardRefusal() // told; in view over the read-out until a click; every line journaled
    {
        BoardSimulator board;
        board.setClockInterval(50);
        QVERIFY(board.start() && test::putPort3Ini(ini(), board.devicePath()));
        m_p.emplace(makeQtSerialPort(), m_dlg, m_dir.path());
        board.refuseNext(u"Erreur : heure invalide"_s);
        m_p->sendClock();
        QTRY_VERIFY(get<QLabel>(u"aide"_s)->text().contains(QRegularExpression(
            u"^Heure « mercredi 28/02/07 14:07:35 » envoyée à la platine sur le port COM3 \\(.*, "
            "mais la platine a répondu : Erreur : heure invalide\\.$"_s)));
        QTest::qWait(1000);
        QCOMPARE(replies(), QStringList(3, text(u"Text1"_s))); // a read-out may share its burst
        QVERIFY(text(u"Text1"_s).startsWith(u"Erreur : heure invalide\r\n"_s));
        use(u"n_journal"_s);
        const QStringList journal = w()->journalWindow()->text().split(u'\n');
        QVERIFY(journal[0].endsWith(u" : 41 14 07 35 28 02 07 04 (mercredi 28/02/07 14:07:35)"));
        QVERIFY(journal[1].endsWith(u"  reçu : Erreur : heure invalide"));
        QVERIFY(journal.size() > 10 && journal.last().contains(u"  reçu : "_s));
        QTest::mouseClick(get(u"Text1"_s), Qt::LeftButton); // the read-out again
        QTRY_VERIFY(text(u"Text4"_s).contains(u':') && !text(u"Text4"_s).startsWith(u'E'));
    }
    void clockFollowsTheComputer() // until a field is changed; what is sent: the time of the click
    {
        const auto fields = [this]() -> QString {
            QString shown;
            for (const char *f : {"heure", "minutes", "seconde", "jour", "mois", "annee"})
                shown += text(QString::fromLatin1(f)) + u' ';
            return shown + text(u"numero_jour"_s);
        };
        QDateTime now(QDate(2026, 12, 7), QTime(23, 59, 58));
        get<ClockPanel>(u"Frame1"_s)->setClock([&] { return now; });
        use(u"n_mise_a_l_heure"_s);
        QCOMPARE(fields(), u"23 59 58 07 12 2026 Lundi"_s);
        now = now.addSecs(30);
        use(u"Command1"_s);
        QCOMPARE(port()->pending + port()->sent, QByteArray::fromHex("4100002808122603"));
        now = now.addSecs(30);
        QTRY_COMPARE(fields(), u"00 00 58 08 12 2026 Mardi"_s);
        QTest::keyClicks(get(u"minutes"_s), u"1"_s);
        now = now.addSecs(30);
        QTest::qWait(1100);
        QCOMPARE(text(u"seconde"_s), u"58"_s);
    }
    void clockDate_data() // a date that does not exist refused; the weekday follows the date
    {
        QTest::addColumn<QString>("date");   // the date fields, then the weekday typed
        QTest::addColumn<QString>("sent");   // the bytes sent after "A" hh mm ss, in hex
        QTest::addColumn<QString>("status"); // the time of sending left out
        const QString none = u"Mise à l'heure de la platine : le champ « Jour » donne une date "
                             "qui n'existe pas (%1). Rien n'a été envoyé."_s,
                      sent = u" » envoyée à la platine sur le port COM1 (/dev/ttyS0)."_s;
        // clang-format off
        QTest::newRow("31 February") << "31|02|2026|Lundi" << "" << none.arg("31/02/2026");
        QTest::newRow("29 February 2100") << "29|02|2100|" << "" << none.arg("29/02/2100");
        QTest::newRow("29 February 2028, followed") << "29|02|2028|" << "29022803"
            << "Heure « mardi 29/02/28 14:07:35" + sent;
        QTest::newRow("typed against the date") << "07|12|2026|Mardi" << "07122602"
            << "Heure « lundi 07/12/26 14:07:35" + sent
                + " « Jour de la semaine » corrigé en « Lundi » : le 07/12/2026 est un lundi.";
        // clang-format on
    }
    void clockDate()
    {
        QFETCH(QString, date);
        use(u"n_mise_a_l_heure"_s);
        for (const QString f : {"heure=14", "minutes=07", "seconde=35"})
            get<QLineEdit>(f.section(u'=', 0, 0))->setText(f.section(u'=', 1));
        for (const QString f : {"jour", "mois", "annee", "numero_jour"})
            if (const QString t = date.section(u'|', 0, 0); !t.isEmpty() || f != u"numero_jour")
                get<QLineEdit>(f)->setText(t), date = date.section(u'|', 1);
        use(u"Command1"_s);
        static const QRegularExpression time(u" à \\d\\d:\\d\\d:\\d\\d\\."_s);
        QTRY_COMPARE(get<QLabel>(u"aide"_s)->text().replace(time, u"."_s),
                     fetch<QString>("status"));
        QCOMPARE(port()->sent.mid(4).toHex(), fetch<QString>("sent").toLatin1());
        QVERIFY(!port()->sent.isEmpty() // refused: one message, the field to mend, port left alone
                || (m_dlg.messages.size() == 1 && w()->focusWidget() == get(u"jour"_s)
                    && port()->calls.isEmpty()));
    }
    void sentOnceTheLastByteLeft() // on a line whose reader is late; the bytes as they were
    {
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putPort3Ini(ini(), pty.devicePath()));
        const int line = ::open(qPrintable(pty.devicePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        // What the line holds before the command: as much as the system takes, which makes room
        // as it goes: until a pause brings no more.
        QByteArray filler;
        for (qsizetype before = -1; before < filler.size(); QThread::msleep(50)) {
            before = filler.size();
            for (const char c = 'a'; ::write(line, &c, 1) == 1;)
                filler += c;
        }
        m_p.emplace(makeQtSerialPort(), m_dlg, m_dir.path());
        m_p->sendClock();
        use(u"n_journal"_s);
        QTest::qWait(300);
        QCOMPARE(
            get<QLabel>(u"aide"_s)->text(),
            u"Heure « mercredi 28/02/07 14:07:35 » en cours d'envoi à la platine sur le port COM3 "
            "(%1)…"_s.arg(pty.devicePath()));
        QVERIFY(w()->journalWindow()->text().isEmpty());
        ::close(line);
        QCOMPARE(pty.readAtLeast(filler.size() + 8, 3000), filler + test::Program::kClockCommand);
        QTRY_VERIFY(get<QLabel>(u"aide"_s)->text().contains(u"» envoyée à la platine"_s));
        QVERIFY(w()->journalWindow()->text().endsWith(u"07 04 (mercredi 28/02/07 14:07:35)"_s));
    }
    void silentBoardTold() // a port where no board answers
    {
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putPort3Ini(ini(), pty.devicePath()));
        m_p.emplace(makeQtSerialPort(), m_dlg, m_dir.path());
        m_p->sendClock();
        w()->link()->autoCloseTimer()->start(1);
        QTRY_VERIFY(!w()->link()->isOpen());
        QCOMPARE(get<QLabel>(u"aide"_s)->text().section(u'.', -2),
                 u" La platine n'a rien répondu."_s);
    }
    void failedOpenTold() // naming the device; the port left closed
    {
        use(u"n_heure_platine"_s);
        port()->openFails = true;
        use(u"Command2"_s);
        QVERIFY(!port()->isOpen());
        QCOMPARE(get<QLabel>(u"Label8"_s)->text(), u"Port fermé"_s);
        QCOMPARE(m_dlg.messages.size(), 1);
        QVERIFY(m_dlg.messages[0].text.contains(u"/dev/ttyS0"_s));
    }
    void missingDeviceTold() // unplugged when it was there; never there: the ports there are
    {
        PseudoTerminal pty;
        QVERIFY(pty.open() && test::putPort3Ini(ini(), pty.devicePath()));
        QVERIFY(test::putFile(ini(), test::fileBytes(ini()) + "COM4=/dev/platine-absent\r\n"));
        m_p.emplace(makeQtSerialPort(), m_dlg, m_dir.path());
        m_dlg.inputAnswers = {u"4"_s};
        for (const QString n : {"n_heure_platine", "Command2", "Command3"})
            use(n);
        pty.close(); // then opened again; port 4 chosen, told then and again at the opening
        for (const QString n : {"Command2", "n_port", "Command2"})
            use(n);
        QCOMPARE(m_dlg.messages.size(), 3);
        QVERIFY(m_dlg.messages[0].text.contains(u"a été débranché"));
        QVERIFY(m_dlg.messages[1].text.startsWith(u"Le port COM4 ne correspond à aucun "
                                                  "périphérique de cet ordinateur.\nPorts "
                                                  "présents : "));
        QCOMPARE(m_dlg.messages[2].text, m_dlg.messages[1].text);
    }
    void portQuestion_data() // cancelled, refused, as typed, a suggestion chosen, no such device
    {
        QTest::addColumn<Answer>("answer"); // "<7>": the suggestion for port 7
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("told"); // the message as a pattern; empty: none
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("cancelled") << Answer() << 1 << QString() << QByteArray();
        QTest::newRow("refused") << Answer(u"3x"_s) << 1 << u"« 3x » n'est pas un numéro.*"_s
                                 << QByteArray();
        QTest::newRow("as typed") << Answer(u" 7 "_s) << 7 << QString()
                                  << "[Port COM]\r\nvaleur= 7 \r\n"_ba;
        QTest::newRow("suggestion")
            << Answer(u"<7>"_s) << 7 << QString() << "[Port COM]\r\nvaleur=7\r\n"_ba;
        QTest::newRow("no device here") // taken; told the ports there are and how to map one
            << Answer(u"3"_s) << 3
            << u"Le port COM3 ne correspond à aucun périphérique de cet ordinateur\\.\nPorts "
               "présents : COM7 \\(/dev/pts/\\d+\\)\\..* les lignes :\n\\[Ports\\]\nCOM3=/dev/pts/.*"_s
            << "[Port COM]\r\nvaleur=3\r\n"_ba;
    }
    void portQuestion()
    {
        QFETCH(Answer, answer);
        PseudoTerminal pty; // a device that exists, named in "Ports", is offered with its number
        QVERIFY(pty.open() && test::putFile(ini(), test::portsSection(7, pty.devicePath())));
        m_dlg.chooseSuggestion = [&](const QList<InputSuggestion> &offered) {
            const InputSuggestion seven{u"7 — "_s + pty.devicePath(), u"7"_s};
            return answer == u"<7>" && offered.contains(seven) ? Answer(u"7"_s) : answer;
        };
        start();
        const QMap<int, SerialPortEntry> ports{{7, {pty.devicePath(), {}}}}; // those of the machine
        w()->link()->setPortLister([ports] { return ports; });
        use(u"n_port"_s);
        QCOMPARE(m_dlg.inputRequests,
                 QStringList{u"Changement du port de communication|Port de communication|1"_s});
        QTEST(w()->link()->portNumber(), "port");
        const QRegularExpression told(u"^(%1)$"_s.arg(fetch<QString>("told")),
                                      QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(told.match(m_dlg.messages.value(0).text).hasMatch() && m_dlg.messages.size() < 2,
                 qPrintable(m_dlg.messages.value(0).text));
        QCOMPARE(test::fileBytes(ini()),
                 test::portsSection(7, pty.devicePath()) + fetch<QByteArray>("stored"));
    }
};
QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
