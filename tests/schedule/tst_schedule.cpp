// Guards against: a wrong frame, debug.ini or schedule file byte or period; a failure untold.
#include "board/BoardLink.h"
#include "platform/QtSerialPort.h"
#include "schedule/SchedulePanel.h"
#include "schedule/ScheduleProgramming.h"
#include "schedule/ScheduleSettings.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPort.h"
#include "support/Files.h"
#include "tools/PseudoTerminal.h"
#include <QtTest>
#include <QtWidgets>
using namespace platine;
using namespace Qt::StringLiterals;
// A filled editor ("Tous les jours"), with the frame and the fresh schedule file it makes. Its
// bytes are distinct (XON, XOFF, day code LF, period CR): one out of place shows.
static ScheduleValues filledEditor()
{
    return {{"11:13", "19:57", "08:30:00", "14:45:59", "20:10", "23:59:00", "13"}, 9};
}
static const QByteArray kFilledFrame = QByteArray::fromHex("421113195708301445201023590a0d")
    + QByteArray(110, 0);
static const QByteArray kFilledFile =
    "[txt0]\r\nvaleur=11:13\r\n[txt1]\r\nvaleur=19:57\r\n[txt2]\r\nvaleur=08:30:00\r\n"
    "[txt3]\r\nvaleur=14:45:59\r\n[txt4]\r\nvaleur=20:10\r\n[txt5]\r\nvaleur=23:59:00\r\n"
    "[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n";
class TestSchedule : public QObject
{
    Q_OBJECT
    std::optional<QTemporaryDir> m_dir;
    SettingsFiles m_files;
    std::optional<test::FakeDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_window; // the panel and its file dialog
    SchedulePanel *m_panel = nullptr;
    QStringList m_cleared; // the period box's text each time the replies were emptied
    void setBoard(BoardLink *link)
    {
        m_panel->setBoard(link);
        connect(link, &BoardLink::replyChanged, this,
                [this] { m_cleared << m_panel->box(kPeriodBox)->text(); });
    }
    QString editor() const // the seven boxes and the day list's text
    {
        QString text;
        for (int i = 0; i < kScheduleBoxCount; ++i)
            text += m_panel->box(i)->text() + u'|';
        return text + m_panel->dayList()->currentText();
    }
private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        m_files = {m_dir->path()};
        m_dialogs.emplace();
        m_cleared.clear();
        m_window = std::make_unique<QWidget>();
        auto *fileDialog = new FileDialog(m_window.get(), *m_dialogs, m_window.get());
        m_panel = new SchedulePanel(*fileDialog, m_files, m_window.get());
        m_panel->initScheduleEditor();
        QVERIFY(test::putFile(m_dir->filePath(u"filled"_s), kFilledFile));
        m_panel->readScheduleSettings(m_dir->filePath(u"filled"_s));
    }
    void
    programmer() // period corrected; debug.ini, param.ini, the frame; a file failure stops none
    {
        const QByteArray ports = "[Port COM]\r\nvaleur=1\r\n", // debug.ini: the first 15 bytes
            dump = " 0 :17\r\n 1 :19\r\n 2 :25\r\n 3 :87\r\n 4 :8\r\n 5 :48\r\n 6 :20\r\n 7 :69\r\n"
                   " 8 :32\r\n 9 :16\r\n 10 :35\r\n 11 :89\r\n 12 :10\r\n 13 :13\r\n 14 :0\r\n";
        ScheduleValues v = filledEditor();
        v.boxes[kPeriodBox] = u"13.9"_s;
        for (const char *folder : {"", "debug.ini", "param.ini"}) {
            init(); // a folder in the way of a file
            QVERIFY(*folder ? QDir(m_files.dir).mkdir(QString::fromLatin1(folder))
                            : test::putFile(m_files.paramIni(), ports)); // kept with the schedule
            const ProgrammingResult r = programSchedule(v, m_files);
            QVERIFY(r.period == u"13" && r.invalidTimeBox < 0 && r.frame == kFilledFrame);
            QCOMPARE(r.debugIni.ok(), *folder != 'd');
            QCOMPARE(r.paramIni.ok(), *folder != 'p');
            QCOMPARE(test::fileBytes(m_files.debugIni()), *folder == 'd' ? "<unreadable>" : dump);
            QCOMPARE(test::fileBytes(m_files.paramIni()),
                     *folder == 'p' ? "<unreadable>"_ba : (*folder ? ""_ba : ports) + kFilledFile);
        }
    }
    void frame() // time boxes, day code and period as the frame carries them
    {
        // clang-format off
        for (auto [text, bcd] : {std::pair{"07:05", "\x07\x05"}, {"23:59:59", "\x23\x59"},
                                 {"24:00", ""}, {"12:60", ""}, {"12:30:60", ""}, {"12:30:5", ""},
                                 {"8:30", ""}, {"x8:30", ""}, {"٠٨:٣٠", ""}}) { // ASCII digits only
            // clang-format on
            for (int box = 0; box < kScheduleTimeCount; ++box) {
                ScheduleValues v = filledEditor();
                v.boxes[box] = QString::fromUtf8(text);
                QCOMPARE(firstInvalidTimeBox(v), *bcd ? -1 : box);
                QCOMPARE(scheduleBody(v).value_or("").mid(2 * box, 2), QByteArray(bcd));
            }
        }
        QCOMPARE(QList<int>({dayCode(-1), dayCode(0), dayCode(10)}), QList<int>({0, 1, 0}));
        // clang-format off
        for (auto [typed, corrected] :
             {std::pair{"", "02"}, {"0", "02"}, {"1", "02"}, {"2", "02"}, {"002", "002"},
              {"5", "05"}, {"120", "120"}, {"121", "120"}, {"5a", "05"}, {" 45", "45"},
              {"1e2", "100"}, {"119.9", "119"}}) {
            // clang-format on
            ScheduleValues v = filledEditor();
            v.boxes[kPeriodBox] = correctPeriod(QString::fromLatin1(typed));
            QCOMPARE(v.boxes[kPeriodBox], QString::fromLatin1(corrected));
            QCOMPARE(int(scheduleBody(v).value_or(QByteArray(14, 0)).at(13)), atoi(corrected));
        }
    }
    void scheduleFile() // updated in place, foreign lines kept; "cmb0" (-2: unusable); read-only
    {
        const QString file = m_dir->filePath(u"h.txt"_s);
        const QByteArray foreign = "; r\xe9glages\r\n[Divers]\r\nnote=a ; b\r\n\r\n";
        QVERIFY(test::putFile(file, QByteArray(kFilledFile).replace("19:57", "x") + foreign));
        QVERIFY(saveScheduleFile(file, filledEditor()));
        QCOMPARE(test::fileBytes(file), kFilledFile + foreign);
        for (auto [pos, text] : {std::pair{0, "0"}, {9, "9"}, {-1, "-1"}, {10, "-1"}}) // written
            QCOMPARE(updateScheduleSettings({}, {{}, pos}).split('=').last().trimmed(), text);
        // clang-format off
        for (auto [stored, position] : {std::pair{"-1", -1}, {"abc", 0}, {"9", 9}, {" 7 ", 7},
                                        {"3 jours", 3}, {"2.5", 2}, {"9.5", -2}, {"-1.5", -2}})
            // clang-format on
            QCOMPARE(storedDayPosition(QString::fromLatin1(stored)).value_or(-2), position);
        if (::geteuid() == 0)
            QSKIP("the superuser writes every file");
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
        const FileStatus r = saveScheduleFile(file, ScheduleValues());
        QVERIFY(!r && r.error().kind == FileProblem::ReadOnly);
        QVERIFY(test::fileBytes(file).endsWith(foreign));
    }
    void panelProgrammer() // replies emptied first, period shown corrected, 125 bytes on the line
    {
        PseudoTerminal pty;
        QVERIFY(pty.open()
                && test::putFile(m_files.paramIni(), test::portsSection(1, pty.devicePath())));
        BoardLink link(makeQtSerialPort(), m_files.paramIni());
        setBoard(&link);
        m_panel->box(kPeriodBox)->setText(u"13.9"_s);
        QTest::mouseClick(m_panel->findChild<QWidget *>(u"Command7"_s), Qt::LeftButton);
        QCOMPARE(m_cleared, QStringList({"13.9"}));
        QCOMPARE(m_panel->box(kPeriodBox)->text(), u"13"_s);
        QCOMPARE(pty.readAtLeast(kScheduleFrameSize, 5000), kFilledFrame);
        QCOMPARE(pty.readAtLeast(1, 200), QByteArray()); // nothing after the frame
        QVERIFY(m_dialogs->messages.isEmpty());
        QSignalSpy said(m_panel, &SchedulePanel::status);
        pty.write("Erreur : plage invalide\r\n"); // the board refuses it
        QTRY_VERIFY(!said.isEmpty()
                    && said.last()[0].toString().endsWith(
                        u", mais la platine a répondu : Erreur : plage invalide. Période ramenée "
                        "à 13 s."));
    }
    void panelTells() // the wrong box, the refused port, the files not written
    {
        auto *link = new BoardLink(std::make_unique<test::FakeSerialPort>(), {}, m_window.get());
        static_cast<test::FakeSerialPort *>(link->port())->openFails = true;
        setBoard(link);
        m_panel->box(kPeriodBox)->setText(u"5a"_s);
        m_panel->box(4)->setText(u"8:30"_s);
        m_panel->programBoard();
        QCOMPARE(m_dialogs->messages.value(0).text,
                 u"L'heure de la fenêtre 3, « Début » (« 8:30 ») doit s'écrire hh:mm ou hh:mm:ss : "
                 "l'heure de 00 à 23, les minutes et les secondes de 00 à 59.\nRien n'a été "
                 "programmé."_s);
        m_panel->box(4)->setText(u"08:30"_s);
        QVERIFY(QDir(m_files.dir).mkdir(u"param.ini"_s) && QDir(m_files.dir).mkdir(u"debug.ini"_s));
        m_panel->programBoard();
        QCOMPARE(m_dialogs->messages.value(1).text,
                 u"Le programme n'a pas été envoyé à la platine."
                 "\nImpossible d'ouvrir le port COM1 (/dev/ttyS0) : Permission denied"_s);
        const QString files = m_dialogs->messages.value(2).text;
        QVERIFY(files.contains(u"/debug.ini") && files.contains(u"/param.ini »")
                && files.endsWith(u"\nCe programme ne sera pas rétabli au prochain démarrage."));
        QCOMPARE(m_cleared, QStringList({"5a", "05"}));
    }
    void panelFiles() // "Enregistrer sous", "Heure PC", "Ouvrir"; cancel changes nothing
    {
        QDir::setCurrent(m_dir->path());
        // The filter given back as a name ("*.txt", in a folder or not) is a cancel too.
        m_dialogs->fileAnswers = {u"horaires"_s, std::nullopt, u"*.txt"_s,
                                  m_dir->filePath(u"*.txt"_s), u"absent/h.txt"_s};
        for (int i = 0; i < 5; ++i)
            m_panel->saveScheduleAs();
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"filled", "horaires.txt"}));
        QCOMPARE(test::fileBytes(u"horaires.txt"_s), kFilledFile); // a fresh file, ".txt" added
        QVERIFY(
            m_dialogs->messages.value(0).text.endsWith(u"\nLe programme n'a pas été enregistré."));
        int reads = 0; // "Heure PC" reads the clock anew for each box; 7 January 2024 was a Sunday
        m_panel->setClock([&reads] {
            return QDateTime(QDate(2024, 1, 7), QTime(23, 58, 59)).addSecs(reads++ == 3 ? 60 : 0);
        });
        QTest::mouseClick(m_panel->findChild<QWidget *>(u"Command6(0)"_s), Qt::LeftButton);
        QCOMPARE(editor(), u"23:58:00|23:58:00|23:58:00|23:59:00|23:58:00|23:58:00|13|Dimanche"_s);
        QVERIFY(QDir().mkdir(u"dossier.txt"_s));
        const QString was = u"07:00|||||||Dimanche"_s;
        // clang-format off
        const struct { const char *name; QByteArray bytes; QString shown; } rows[] = {
            {"h.txt", "[txt0]\r\nvaleur= 05 \r\n[txt6]\r\nvaleur=500\r\n[txt3]\r\nvaleur=abcdef"
                      "ghijklmnopqrstuvwxyz\r\n[cmb0]\r\nvaleur=8\r\n",
             u"05|||abcdefghijklmnopqrs|||500|Lundi à Vendredi"_s},
            {"h.txt", "[cmb0]\r\nvaleur=12\r\n", u"|||||||Lundi à Vendredi"_s}, // left alone
            {"h.txt", "[cmb0]\r\nvaleur=-1\r\n", u"|||||||"_s},
            {"h.txt", "[txt0]\r\nvaleur=07:00\r\n", was}, {"", "", was}, {"*.txt", "", was},
            {"dossier.txt", "", was}, {"big", QByteArray((1 << 20) + 1, ';'), was},
            {"h.txt", "Periode (s) : 10\r\n20.5;1;2;3\r\n", was}}; // no sections: refused
        // clang-format on
        for (const auto &r : rows) {
            QVERIFY(r.bytes.isEmpty() || test::putFile(QString::fromLatin1(r.name), r.bytes));
            m_dialogs->fileAnswers << QString::fromLatin1(r.name);
            m_panel->openSchedule();
            QCOMPARE(editor(), r.shown);
        }
        QStringList told; // by name
        for (const test::FakeDialogs::Message &m : m_dialogs->messages)
            told << m.text.section(u'«', 1).section(u'»', 0, 0).trimmed();
        QCOMPARE(told,
                 QStringList({"absent/h.txt", "h.txt", "h.txt", "h.txt", "h.txt", "dossier.txt",
                              "big", "h.txt"}));
        QCOMPARE(m_dialogs->messages[1].text, // loaded, and the first box "Programmer" refuses
                 u"Programme de « h.txt » chargé, mais « Programmer » le refusera tel quel : "
                 "l'heure de la fenêtre 1, « Début » (« 05 ») doit s'écrire hh:mm ou hh:mm:ss : "
                 "l'heure de 00 à 23, les minutes et les secondes de 00 à 59."_s);
        m_panel->readScheduleSettings(u"filled"_s);
        m_panel->box(3)->setText(u"25:99"_s);
        m_dialogs->fileAnswers = {u"refus.txt"_s};
        m_panel->saveScheduleAs(); // refused as "Programmer" refuses: nothing asked or written
        QVERIFY(!m_dialogs->fileAnswers.isEmpty() && !QFile::exists(u"refus.txt"_s));
        QVERIFY(m_dialogs->messages.last().text.startsWith(
                    u"L'heure de la fenêtre 2, « Fin » (« 25:99 ») doit s'écrire"_s)
                && m_dialogs->messages.last().text.endsWith(u"\nRien n'a été enregistré."_s));
    }
};
QTEST_MAIN(TestSchedule)
#include "tst_schedule.moc"
