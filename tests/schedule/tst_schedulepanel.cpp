// The schedule panel Frame4: layout, the day list, "Heure PC", "Programmer" with its files and
// refusals, "Enregistrer sous", "Ouvrir", a restart, and "Programmer" through a pseudo-terminal.

#include "board/BoardLink.h"
#include "board/FakeSerialPort.h"
#include "common/FakeDialogs.h"
#include "common/Pty.h"
#include "platform/Dialogs.h"
#include "platform/QtSerialPort.h"
#include "platform/SettingsDir.h"
#include "platform/Twips.h"
#include "schedule/SchedulePanel.h"
#include "schedule/ScheduleSettings.h"

#include "TestUtil.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using namespace Qt::StringLiterals;
using test::fileBytes;
using test::putFile;

class TestSchedulePanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::FakeDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_window;
    SettingsFiles m_files;
    FileDialog *m_dialogue1 = nullptr;
    SchedulePanel *m_panel = nullptr;
    BoardLink *m_link = nullptr;
    test::FakeSerialPort *m_port = nullptr;
    QStringList m_cleared; // the period box's text each time the replies were emptied

    // The seven boxes and the day list's text.
    QString editor() const
    {
        QStringList texts;
        for (int i = 0; i < kScheduleBoxCount; ++i)
            texts << m_panel->box(i)->text();
        return (texts << m_panel->dayList()->currentText()).join(u'|');
    }
    void fillEditor()
    {
        for (int i = 0; i < kScheduleBoxCount; ++i)
            m_panel->box(i)->setText(QString::fromLatin1(test::kFilledTexts[i]));
        m_panel->setDayPosition(9);
    }
    QString message() const { return m_dialogs->messages.value(0).text; }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_files = SettingsFiles{m_dir->path()};
        m_dialogs = std::make_unique<test::FakeDialogs>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(twips(13365), twips(8865));
        m_dialogue1 = new FileDialog(m_window.get(), *m_dialogs, m_window.get());
        m_panel = new SchedulePanel(*m_dialogue1, m_files, m_window.get());
        auto port = std::make_unique<test::FakeSerialPort>();
        m_port = port.get();
        m_link = new BoardLink(std::move(port), m_files.paramIni(), m_window.get());
        m_cleared.clear();
        m_panel->setBoard(m_link, [this] { m_cleared << m_panel->box(kPeriodBox)->text(); });
        m_panel->initScheduleEditor();
        fillEditor();
    }
    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void layout()
    {
        m_window->show();
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // Nothing outside its parent, no caption clipped, no two controls on top of each other.
        QList<QWidget *> widgets = m_panel->findChildren<QWidget *>(QRegularExpression(u"."_s));
        widgets.removeIf([this](QWidget *w) { return !w->isVisibleTo(m_panel); });
        for (QWidget *w : widgets) {
            const QString name = w->objectName();
            QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(name));
            if (w->inherits("QLabel") || w->inherits("QPushButton") || w->inherits("QComboBox"))
                QVERIFY2(w->width() >= w->sizeHint().width()
                             && w->height() >= w->sizeHint().height(), qPrintable(name));
            for (QWidget *other : widgets)
                QVERIFY2(other == w || other->parentWidget() != w->parentWidget()
                             || !w->geometry().intersects(other->geometry()),
                         qPrintable(name + u' ' + other->objectName()));
        }
    }

    void dayListAndDate()
    {
        QComboBox *combo = m_panel->dayList();
        combo->setEditText(QStringLiteral("les jours de pluie")); // a text of the user's own
        QCOMPARE(m_panel->values().dayPosition, -1);
        combo->setEditText(QStringLiteral("Lundi")); // an entry typed exactly
        QCOMPARE(m_panel->dayPosition(), 1);
        combo->setEditText(QStringLiteral("lundi"));
        QCOMPARE(m_panel->dayPosition(), -1);
        m_panel->setDayPosition(1); // the current position puts its text back
        QCOMPARE(combo->currentText(), QStringLiteral("Lundi"));
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->findChild<QLabel *>(u"Label5"_s)->text(), today, 2500);
        QLocale::setDefault(QLocale::c());
    }

    void heurePc()
    {
        int reads = 0; // the clock is read anew for each box; 7 January 2024 was a Sunday
        m_panel->setClock([&reads] {
            return QDateTime(QDate(2024, 1, 7), QTime(23, 58, 59)).addSecs(reads++ == 3 ? 60 : 0);
        });
        QTest::mouseClick(m_panel->findChild<QPushButton *>("Command6(0)"), Qt::LeftButton);
        QCOMPARE(editor(), "23:58:00|23:58:00|23:58:00|23:59:00|23:58:00|23:58:00|13|Dimanche");
        QVERIFY(m_port->calls.isEmpty());
    }

    void programmer()
    {
        const QByteArray portLines = "[Port COM]\r\nvaleur=1\r\n[Ports]\r\nCOM1=/dev/fake\r\n";
        QVERIFY(putFile(m_files.paramIni(), portLines));
        QVERIFY(putFile(m_files.debugIni(), QByteArray(5000, 'x')));
        m_panel->box(kPeriodBox)->setText(QStringLiteral("13.9"));
        QTest::mouseClick(m_panel->findChild<QPushButton *>("Command7"), Qt::LeftButton);
        QCOMPARE(m_cleared, QStringList{"13.9"}); // replies emptied before the period is corrected
        QCOMPARE(m_panel->box(kPeriodBox)->text(), QStringLiteral("13"));
        QCOMPARE(m_port->pending, test::kFilledFrame);
        QCOMPARE(fileBytes(m_files.debugIni()), debugIniContents(test::kFilledFrame.mid(1)));
        QCOMPARE(fileBytes(m_files.paramIni()), portLines + test::kFilledFile);
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(m_link->autoCloseTimer()->isActive());
    }

    void badTimeBoxStopsEverything()
    {
        m_window->show();
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_panel->box(kPeriodBox)->setText(QStringLiteral("5a"));
        for (const auto &[box, text, named] : {std::tuple{2, "8:30", "fenêtre 2, « Début »"},
                                               {5, "", "fenêtre 3, « Fin »"}}) {
            m_panel->box(box)->setText(QString::fromUtf8(text));
            m_panel->programBoard();
            QVERIFY2(message().contains(QString::fromUtf8(named)), qPrintable(message()));
            QVERIFY(m_panel->box(box)->hasFocus());
            m_panel->box(box)->setText(QStringLiteral("08:00"));
            m_dialogs->messages.clear();
        }
        QCOMPARE(m_cleared, (QStringList{"5a", "05"}));
        QCOMPARE(m_panel->box(kPeriodBox)->text(), QStringLiteral("05")); // corrected first
        QVERIFY(m_port->calls.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList()); // no file written
    }

    void programmerFailures_data()
    {
        QTest::addColumn<bool>("portRefused");
        QTest::addColumn<QStringList>("folders"); // in the way of these files
        QTest::addColumn<QStringList>("told");
        QTest::newRow("port refused") << true << QStringList() << QStringList{"Permission denied"};
        QTest::newRow("param.ini unwritable")
            << false << QStringList{"param.ini"}
            << QStringList{"/param.ini", "prochain démarrage"};
        QTest::newRow("both files unwritable") << false << QStringList{"param.ini", "debug.ini"}
                                               << QStringList{"/param.ini", "/debug.ini"};
    }

    void programmerFailures()
    {
        QFETCH(bool, portRefused);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, told);
        m_port->openFails = portRefused;
        for (const QString &name : folders)
            QVERIFY(QDir(m_dir->path()).mkdir(name));
        m_panel->programBoard();
        QCOMPARE(m_port->pending, portRefused ? QByteArray() : test::kFilledFrame); // sent anyway
        QCOMPARE(m_dialogs->messages.size(), 1);
        for (const QString &part : told)
            QVERIFY2(message().contains(part), qPrintable(message()));
        if (folders.size() < 2)
            QCOMPARE(fileBytes(m_files.debugIni()), debugIniContents(test::kFilledFrame.mid(1)));
    }

    void enregistrerSous_data()
    {
        QTest::addColumn<QString>("chosen"); // "" cancels
        QTest::newRow("no extension added") << "horaires";
        QTest::newRow("cancelled") << "";
    }

    void enregistrerSous()
    {
        QFETCH(QString, chosen);
        const QString path = m_dir->filePath(chosen);
        if (!chosen.isEmpty())
            m_dialogs->fileAnswers << path;
        m_panel->saveScheduleAs();
        QCOMPARE(m_dialogs->fileRequests, QStringList{"save:*.txt"});
        const bool saved = chosen == u"horaires";
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 saved ? QStringList{chosen} : QStringList());
        QCOMPARE(fileBytes(path),
                 saved ? test::kFilledFile : "<unreadable>"); // a fresh file
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void ouvrir_data()
    {
        QTest::addColumn<QString>("chosen"); // "" cancels
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("shown"); // "": the editor as it was, "told": and a message
        using QTest::newRow;
        const QString cleared = u"|||||||Dimanche"_s;
        newRow("schedule") << "h.txt"
                           << QByteArray("[txt0]\r\nvaleur= 05 \r\n[txt6]\r\nvaleur=500\r\n"
                                         "[txt3]\r\nvaleur=abcdefghijklmnopqrstuvwxyz\r\n"
                                         "[cmb0]\r\nvaleur=8\r\n")
                           << "05|||abcdefghijklmnopqrs|||500|Lundi à Vendredi";
        newRow("day list left alone")
            << "h.txt" << QByteArray("[cmb0]\r\nvaleur=12\r\n") << "|||||||Tous les jours";
        newRow("day list cleared") << "h.txt" << QByteArray("[cmb0]\r\nvaleur=-1\r\n") << "|||||||";
        newRow("no sections")
            << "h.txt" << QByteArray("Periode (s) : 10\r\n20.5;1;2;3;4;0;1;0;1;\r\n") << cleared;
        newRow("new name, nothing created") << "new.txt" << QByteArray() << cleared;
        newRow("cancelled") << "" << QByteArray() << "";
        newRow("initial name read back") << "*.txt" << QByteArray() << "";
        newRow("unreadable") << "." << QByteArray() << "told";
        newRow("larger than 1 MiB, refused at once")
            << "big.txt" << QByteArray("[txt0]\r\nvaleur=05\r\n") + QByteArray(1 << 20, 'x')
            << "told";
    }

    void ouvrir()
    {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, contents);
        QFETCH(QString, shown);
        const QString path = chosen == u"*.txt" ? chosen : QDir(m_dir->path()).filePath(chosen);
        QVERIFY(contents.isEmpty() || putFile(path, contents));
        const QString before = editor();
        if (!chosen.isEmpty())
            m_dialogs->fileAnswers << path;
        m_panel->openSchedule();
        QCOMPARE(m_dialogs->fileRequests, QStringList{"open:*.txt"});
        QCOMPARE(editor(), shown.isEmpty() || shown == u"told" ? before : shown);
        QCOMPARE(m_dialogs->messages.size(), shown == u"told" ? 1 : 0);
        if (shown == u"told") // the message names the file
            QVERIFY(message().contains(QFileInfo(path).fileName()));
        QVERIFY(!QFile::exists(m_files.paramIni()) && !QFile::exists(m_dir->filePath("new.txt")));
    }

    void restartShowsTheProgrammedSchedule()
    {
        m_panel->box(kPeriodBox)->setText(QStringLiteral("7"));
        m_panel->programBoard();
        m_window.reset(); // the program ends
        QWidget window;
        FileDialog dialogue1(&window, *m_dialogs, nullptr);
        SchedulePanel next(dialogue1, m_files, &window);
        next.initScheduleEditor();
        next.readScheduleSettings(m_files.paramIni());
        m_panel = &next;
        QCOMPARE(editor(), "11:13|99:87|08:30:00|14:45:59|20:10|23:59:00|07|Tous les jours");
    }

    void programmerOnTheLine()
    {
        test::Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(putFile(m_files.paramIni(), "[Port COM]\r\nvaleur=3\r\n" + pty.paramIniSection(3)));
        BoardLink link(makeQtSerialPort(), m_files.paramIni());
        link.loadPortSetting();
        m_panel->setBoard(&link, {});
        m_panel->programBoard();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(pty.readAtLeast(kScheduleFrameSize, 5000), test::kFilledFrame);
        QCOMPARE(pty.readFor(200), QByteArray()); // nothing after the frame
        m_panel->setBoard(nullptr, {});
    }
};

QTEST_MAIN(TestSchedulePanel)
#include "tst_schedulepanel.moc"
