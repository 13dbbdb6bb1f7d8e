// The schedule panel Frame4: its controls and layout, "Heure PC", "Programmer" with its files and
// its refusals, "Enregistrer sous", "Ouvrir", and a schedule surviving a restart.

#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "platform/SerialPort.h"
#include "platform/SettingsDir.h"
#include "platform/Twips.h"
#include "schedule/SchedulePanel.h"
#include "schedule/ScheduleSettings.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace platine;
using platine::test::FakeDialogs;

namespace {

// A serial port that keeps what is written to it.
class RecordingPort : public SerialPort
{
public:
    bool refuseOpen = false;
    QList<QByteArray> writes;

    bool open(const QString &, QString *error) override
    {
        if (refuseOpen) {
            if (error)
                *error = QStringLiteral("périphérique occupé");
            return false;
        }
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool setDtr(bool) override { return true; }
    qint64 write(const QByteArray &bytes) override
    {
        writes << bytes;
        return bytes.size();
    }
    bool flush(int) override { return true; }
    QByteArray readAll() override { return {}; }

private:
    bool m_open = false;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every row of a filled editor, and the frame it makes.
const char *const kTexts[] = {"08:30:00", "12:05:00", "13:45:00", "17:00:00", "20:10", "23:59:00"};
const QByteArray kBody = QByteArray("\x08\x30\x12\x05\x13\x45\x17\x00\x20\x10\x23\x59\x0a\x0d", 14)
                         + QByteArray(110, '\0');

} // namespace

class TestSchedulePanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_window;
    SchedulePanel *m_panel = nullptr;
    BoardLink *m_link = nullptr;
    RecordingPort *m_port = nullptr;
    QStringList m_calls; // what happened, in order

    template <typename W>
    W *child(const char *name) const
    {
        return m_panel->findChild<W *>(QString::fromUtf8(name));
    }

    void fillEditor()
    {
        for (int k = 0; k < kScheduleTimeCount; ++k)
            m_panel->text2(k)->setText(QString::fromLatin1(kTexts[k]));
        m_panel->text2(kPeriodBox)->setText(QStringLiteral("13"));
        m_panel->setComboPosition(9); // "Tous les jours": day code 10, a line feed on the wire
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        setSettingsDir(m_dir->path());
        m_dialogs = std::make_unique<FakeDialogs>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(twips(13365), twips(8865));
        m_panel = new SchedulePanel(m_window.get());
        auto port = std::make_unique<RecordingPort>();
        m_port = port.get();
        m_link = new BoardLink(std::move(port), paramIniPath(), m_window.get());
        m_calls.clear();
        m_panel->setBoard(m_link, [this] {
            m_calls << QStringLiteral("clear:") + m_panel->text2(kPeriodBox)->text();
            m_panel->text3()->clear();
        });
        m_panel->initScheduleEditor();
    }
    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
        setSettingsDir(QString());
        m_dir.reset();
    }

    void controls()
    {
        QCOMPARE(m_panel->objectName(), QStringLiteral("Frame4"));
        QCOMPARE(m_panel->geometry(), twipsRect(0, 0, 13365, 8865));
        QVERIFY(m_panel->isHidden());

        auto *frame2 = child<QGroupBox>("Frame2");
        QVERIFY(frame2);
        QCOMPARE(frame2->title(), QStringLiteral("Programmation des horaires d'acquisition"));
        for (int i = 0; i < kScheduleTextCount; ++i) {
            const QString name = QStringLiteral("Text2(%1)").arg(i);
            auto *box = m_panel->findChild<QLineEdit *>(name);
            QVERIFY2(box, qPrintable(name));
            QCOMPARE(box->parentWidget(), frame2);
            QCOMPARE(box, m_panel->text2(i));
            QVERIFY(box->text().isEmpty());
        }
        auto *combo = child<QComboBox>("combo1(0)");
        QVERIFY(combo && combo->isEditable());
        QCOMPARE(combo->parentWidget(), frame2);
        auto *text3 = child<QLineEdit>("Text3");
        QVERIFY(text3 && text3->isReadOnly());
        QCOMPARE(text3, m_panel->text3());
        QCOMPARE(text3->text(), QStringLiteral("...."));
        QCOMPARE(text3->parentWidget(), frame2);
        auto *command6 = child<QPushButton>("Command6(0)");
        QVERIFY(command6);
        QCOMPARE(command6->text(), QStringLiteral("Heure PC"));
        QCOMPARE(command6->parentWidget(), frame2);

        const std::pair<const char *, QString> buttons[] = {
            {"Command7", QStringLiteral("Programmer")}, {"Command5", QStringLiteral("Quitter")}};
        for (const auto &[name, caption] : buttons) {
            auto *b = child<QPushButton>(name);
            QVERIFY2(b, name);
            QCOMPARE(b->text(), caption);
            QCOMPARE(b->parentWidget(), m_panel);
        }
        QCOMPARE(child<QLabel>("Label5")->text(), QStringLiteral("..."));
        QCOMPARE(child<QLabel>("Label5")->parentWidget(), m_panel);
        QVERIFY(!child<QLabel>("Label_credit")->text().isEmpty());

        QStringList captions;
        for (QLabel *l : frame2->findChildren<QLabel *>())
            captions << l->text();
        QCOMPARE(captions.count(QStringLiteral("Début")), 3);
        QCOMPARE(captions.count(QStringLiteral("Fin")), 3);
        QVERIFY(captions.contains(QStringLiteral("Période d'acquisition  (2s - 120s)")));
        QVERIFY(captions.contains(QStringLiteral("Jour(s) concerné(s)")));

        auto *timer2 = m_panel->findChild<QTimer *>(QStringLiteral("Timer2"));
        QVERIFY(timer2 && timer2->isActive());
        QCOMPARE(timer2->interval(), 1000);
    }

    void layout()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_panel->show();
        auto *frame2 = child<QGroupBox>("Frame2");
        QVERIFY(m_panel->rect().contains(frame2->geometry()));

        // Time boxes in one column, top to bottom, each with its label on its left.
        for (int k = 0; k < kScheduleTimeCount; ++k) {
            const QRect box = m_panel->text2(k)->geometry();
            QCOMPARE(box.left(), m_panel->text2(0)->geometry().left());
            if (k > 0)
                QVERIFY(box.top() > m_panel->text2(k - 1)->geometry().bottom());
            const QString caption = k % 2 == 0 ? QStringLiteral("Début") : QStringLiteral("Fin");
            bool labelled = false;
            for (QLabel *l : frame2->findChildren<QLabel *>()) {
                if (l->text() == caption && l->geometry().right() < box.left()
                    && l->geometry().intersects(QRect(0, box.top(), frame2->width(), box.height())))
                    labelled = true;
            }
            QVERIFY2(labelled, qPrintable(QString::number(k)));
        }
        // Below them the period, then Text3 across the frame, then "Heure PC".
        const QRect period = m_panel->text2(kPeriodBox)->geometry();
        const QRect text3 = m_panel->text3()->geometry();
        const QRect command6 = child<QPushButton>("Command6(0)")->geometry();
        QVERIFY(period.top() > m_panel->text2(5)->geometry().bottom());
        QVERIFY(text3.top() > period.bottom());
        QVERIFY(text3.width() > frame2->width() * 3 / 4);
        QVERIFY(command6.top() > text3.bottom());
        // The day list right of the first window.
        const QRect combo = m_panel->combo1()->geometry();
        QVERIFY(combo.left() > m_panel->text2(0)->geometry().right());
        QVERIFY(combo.top() < m_panel->text2(2)->geometry().top());

        // Nothing clipped, nothing outside its parent, no two controls on top of each other.
        const QList<QWidget *> widgets = m_panel->findChildren<QWidget *>();
        for (QWidget *w : widgets) {
            if (!w->isVisibleTo(m_panel) || w->parentWidget() == nullptr || w->objectName().isEmpty())
                continue;
            QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
            if (qobject_cast<QLabel *>(w) || qobject_cast<QPushButton *>(w)
                || qobject_cast<QComboBox *>(w)) {
                const QSize hint = w->sizeHint();
                QVERIFY2(hint.width() <= w->width() && hint.height() <= w->height(),
                         qPrintable(w->objectName()));
            }
            for (QWidget *other : widgets) {
                if (other != w && other->parentWidget() == w->parentWidget()
                    && !other->objectName().isEmpty() && other->isVisibleTo(m_panel))
                    QVERIFY2(!w->geometry().intersects(other->geometry()),
                             qPrintable(w->objectName() + u' ' + other->objectName()));
            }
        }
        QCOMPARE(m_panel->combo1()->maxVisibleItems() >= kDayEntryCount, true);
    }

    void quitterHides()
    {
        m_panel->show();
        QVERIFY(m_panel->isVisibleTo(m_window.get()));
        QTest::mouseClick(child<QPushButton>("Command5"), Qt::LeftButton);
        QVERIFY(m_panel->isHidden());
        QVERIFY(m_port->writes.isEmpty());
    }

    void label5ShowsTheDate()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QTRY_COMPARE_WITH_TIMEOUT(
            m_panel->label5()->text(),
            QLocale(QLocale::French, QLocale::France).toString(QDate::currentDate(), QLocale::ShortFormat),
            2500);
        QLocale::setDefault(QLocale::c());
    }

    void dayList()
    {
        QComboBox *combo = m_panel->combo1();
        QCOMPARE(combo->count(), kDayEntryCount);
        for (int i = 0; i < kDayEntryCount; ++i)
            QCOMPARE(combo->itemText(i), dayListEntries().at(i));
        QCOMPARE(m_panel->comboPosition(), 0);
        QCOMPARE(combo->currentText(), QStringLiteral("Dimanche"));

        // A text of the user's own is no selection; an entry typed exactly is that entry.
        combo->setEditText(QStringLiteral("les jours de pluie"));
        QCOMPARE(m_panel->comboPosition(), -1);
        QCOMPARE(m_panel->values().comboIndex, -1);
        combo->setEditText(QStringLiteral("Lundi"));
        QCOMPARE(m_panel->comboPosition(), 1);
        combo->setEditText(QStringLiteral("lundi"));
        QCOMPARE(m_panel->comboPosition(), -1);
        // Selecting the position already current puts its text back.
        m_panel->setComboPosition(0);
        QCOMPARE(combo->currentText(), QStringLiteral("Dimanche"));
        m_panel->setComboPosition(-1);
        QCOMPARE(combo->currentIndex(), -1);
        QVERIFY(combo->currentText().isEmpty());
        QCOMPARE(combo->count(), kDayEntryCount);
    }

    void heurePc()
    {
        m_panel->text2(kPeriodBox)->setText(QStringLiteral("45"));
        m_panel->setComboPosition(9);
        // 2024-01-10 was a Wednesday. The clock is read once per box.
        int reads = 0;
        m_panel->setClock([&reads] {
            return QDateTime(QDate(2024, 1, 10), QTime(14, 37, 52)).addSecs(reads++ == 3 ? 60 : 0);
        });
        QTest::mouseClick(child<QPushButton>("Command6(0)"), Qt::LeftButton);
        for (int k = 0; k < kScheduleTimeCount; ++k)
            QCOMPARE(m_panel->text2(k)->text(),
                     k == 3 ? QStringLiteral("14:38:00") : QStringLiteral("14:37:00"));
        QCOMPARE(m_panel->combo1()->currentText(), QStringLiteral("Mercredi"));
        QCOMPARE(m_panel->comboPosition(), 3);
        QCOMPARE(m_panel->text2(kPeriodBox)->text(), QStringLiteral("45"));
        QVERIFY(m_port->writes.isEmpty());
    }

    void programmer()
    {
        fillEditor();
        m_panel->text2(kPeriodBox)->setText(QStringLiteral("13.9"));
        m_panel->text3()->setText(QStringLiteral("ancienne réponse"));
        QTest::mouseClick(child<QPushButton>("Command7"), Qt::LeftButton);

        // The replies were emptied before the period was corrected.
        QCOMPARE(m_calls, QStringList{QStringLiteral("clear:13.9")});
        QVERIFY(m_panel->text3()->text().isEmpty());
        QCOMPARE(m_panel->text2(kPeriodBox)->text(), QStringLiteral("13"));

        QCOMPARE(m_port->writes.size(), 1);
        QCOMPARE(m_port->writes.first(), QByteArray("B") + kBody);
        QCOMPARE(readAll(debugIniPath()), debugIniContents(kBody));
        QCOMPARE(readAll(paramIniPath()),
                 QByteArray("[txt0]\r\nvaleur=08:30:00\r\n[txt1]\r\nvaleur=12:05:00\r\n"
                            "[txt2]\r\nvaleur=13:45:00\r\n[txt3]\r\nvaleur=17:00:00\r\n"
                            "[txt4]\r\nvaleur=20:10\r\n[txt5]\r\nvaleur=23:59:00\r\n"
                            "[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n"));
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(m_link->autoCloseTimer()->isActive());
    }

    void programmerKeepsThePortSetting()
    {
        QVERIFY(writeAll(paramIniPath(), "[Port COM]\r\nvaleur=3\r\n"));
        fillEditor();
        m_panel->command7Click();
        const QByteArray param = readAll(paramIniPath());
        QVERIFY(param.startsWith("[Port COM]\r\nvaleur=3\r\n[txt0]\r\nvaleur=08:30:00\r\n"));
        QCOMPARE(m_port->writes.size(), 1);
    }

    void badTimeBoxStopsEverything_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("one hour digit") << 2 << "8:30" << QStringLiteral("fenêtre 2, « Début »");
        QTest::newRow("empty") << 5 << "" << QStringLiteral("fenêtre 3, « Fin »");
        QTest::newRow("letters") << 1 << "hh:mm" << QStringLiteral("fenêtre 1, « Fin »");
    }
    void badTimeBoxStopsEverything()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, named);
        m_window->show();
        m_panel->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        fillEditor();
        m_panel->text2(kPeriodBox)->setText(QStringLiteral("5a"));
        m_panel->text2(box)->setText(text);
        m_panel->command7Click();

        QCOMPARE(m_calls.size(), 1); // the replies are emptied first all the same
        QCOMPARE(m_panel->text2(kPeriodBox)->text(), QStringLiteral("05")); // corrected first
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages.first().text.contains(named),
                 qPrintable(m_dialogs->messages.first().text));
        QVERIFY(m_panel->text2(box)->hasFocus());
        QCOMPARE(m_panel->text2(box)->text(), text);
        QVERIFY(m_port->writes.isEmpty());
        QVERIFY(!m_link->isOpen());
        QVERIFY(!QFile::exists(debugIniPath()));
        QVERIFY(!QFile::exists(paramIniPath()));
    }

    void sendFailureIsShownFilesStayWritten()
    {
        m_port->refuseOpen = true;
        fillEditor();
        m_panel->command7Click();
        QVERIFY(m_port->writes.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.first().icon, MessageIcon::Critical);
        QVERIFY2(m_dialogs->messages.first().text.contains(QStringLiteral("périphérique occupé")),
                 qPrintable(m_dialogs->messages.first().text));
        QCOMPARE(readAll(debugIniPath()), debugIniContents(kBody));
        QVERIFY(readAll(paramIniPath()).endsWith("[cmb0]\r\nvaleur=9\r\n"));
    }

    void unwritableFilesAreReportedAfterSending()
    {
        // debug.ini and param.ini are directories here: neither can be written.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("debug.ini")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("param.ini")));
        fillEditor();
        m_panel->command7Click();
        QCOMPARE(m_port->writes.size(), 1);
        QCOMPARE(m_port->writes.first(), QByteArray("B") + kBody);
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages.first().text;
        QVERIFY2(text.contains(debugIniPath()) && text.contains(paramIniPath()), qPrintable(text));
    }

    void onlyParamIniUnwritable()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("param.ini")));
        fillEditor();
        m_panel->command7Click();
        QCOMPARE(m_port->writes.size(), 1);
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString text = m_dialogs->messages.first().text;
        QVERIFY(text.contains(paramIniPath()));
        QVERIFY(!text.contains(debugIniPath()));
        QCOMPARE(readAll(debugIniPath()), debugIniContents(kBody));
    }

    void enregistrerSous()
    {
        fillEditor();
        const QString file = m_dir->filePath(QStringLiteral("horaires"));
        m_dialogs->fileAnswers << file;
        m_panel->enregistrerClick();
        QCOMPARE(m_dialogs->fileRequests, QStringList{QStringLiteral("save:*.txt")});
        QVERIFY(!QFile::exists(file + QStringLiteral(".txt"))); // no extension added
        QCOMPARE(readAll(file), updateScheduleSettings(QByteArray(), m_panel->values()));
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(!QFile::exists(paramIniPath()));
        QVERIFY(m_port->writes.isEmpty());
    }

    void enregistrerSousCancelled()
    {
        fillEditor();
        m_panel->enregistrerClick(); // no answer queued: cancelled
        QCOMPARE(m_dialogs->fileRequests.size(), 1);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void enregistrerSousUnwritable()
    {
        fillEditor();
        const QString file = m_dir->filePath(QStringLiteral("absent/horaires.txt"));
        m_dialogs->fileAnswers << file;
        m_panel->enregistrerClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.contains(file));
        QCOMPARE(m_panel->text2(0)->text(), QStringLiteral("08:30:00"));
        QCOMPARE(m_panel->comboPosition(), 9);
    }

    void ouvrir()
    {
        const QString file = m_dir->filePath(QStringLiteral("horaires.txt"));
        QVERIFY(writeAll(file, "[txt0]\r\nvaleur= 06:00:00 \r\n[txt6]\r\nvaleur=500\r\n"
                               "[cmb0]\r\nvaleur=8\r\n[txt3]\r\nvaleur=abcdefghijklmnopqrstuvwxyz\r\n"));
        fillEditor();
        m_dialogs->fileAnswers << file;
        m_panel->ouvrirClick();
        QCOMPARE(m_dialogs->fileRequests, QStringList{QStringLiteral("open:*.txt")});
        QCOMPARE(m_panel->text2(0)->text(), QStringLiteral("06:00:00"));
        QVERIFY(m_panel->text2(1)->text().isEmpty());
        QCOMPARE(m_panel->text2(3)->text(), QStringLiteral("abcdefghijklmnopqrs"));
        QCOMPARE(m_panel->text2(kPeriodBox)->text(), QStringLiteral("500")); // not checked here
        QCOMPARE(m_panel->combo1()->currentText(), QStringLiteral("Lundi à Vendredi"));
        QVERIFY(!QFile::exists(paramIniPath()));
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(m_port->writes.isEmpty());
    }

    void ouvrirChangesNothing_data()
    {
        QTest::addColumn<QList<std::optional<QString>>>("answers");
        QTest::newRow("cancelled") << QList<std::optional<QString>>{};
        QTest::newRow("initial name read back")
            << QList<std::optional<QString>>{QStringLiteral("*.txt")};
    }
    void ouvrirChangesNothing()
    {
        QFETCH(QList<std::optional<QString>>, answers);
        fillEditor();
        const ScheduleValues before = m_panel->values();
        m_dialogs->fileAnswers = answers;
        m_panel->ouvrirClick();
        for (int i = 0; i < kScheduleTextCount; ++i)
            QCOMPARE(m_panel->text2(i)->text(), before.text2[i]);
        QCOMPARE(m_panel->comboPosition(), before.comboIndex);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void ouvrirUnreadable()
    {
        fillEditor();
        m_dialogs->fileAnswers << m_dir->path(); // a folder cannot be read as a file
        m_panel->ouvrirClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.contains(m_dir->path()));
        QCOMPARE(m_panel->text2(0)->text(), QStringLiteral("08:30:00"));
        QCOMPARE(m_panel->text2(kPeriodBox)->text(), QStringLiteral("13"));
        QCOMPARE(m_panel->comboPosition(), 9);
    }

    void ouvrirFileWithoutSections_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("exists");
        QTest::newRow("acquisition file")
            << QByteArray("Periode (s) : 10\r\n12/03/2024 10:00\r\n20.5;1;2;3;4;0;1;0;1;\r\n")
            << true;
        QTest::newRow("new name") << QByteArray() << false;
    }
    void ouvrirFileWithoutSections()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, exists);
        const QString file = m_dir->filePath(QStringLiteral("acq.txt"));
        if (exists)
            QVERIFY(writeAll(file, contents));
        fillEditor();
        m_dialogs->fileAnswers << file;
        m_panel->ouvrirClick();
        for (int i = 0; i < kScheduleTextCount; ++i)
            QVERIFY(m_panel->text2(i)->text().isEmpty());
        QCOMPARE(m_panel->combo1()->currentText(), QStringLiteral("Dimanche"));
        QCOMPARE(m_panel->comboPosition(), 0);
        QCOMPARE(QFile::exists(file), exists); // opening creates nothing
    }

    void storedDayPosition_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1 clears") << QByteArray("-1") << -1 << QString();
        QTest::newRow("abc selects Dimanche") << QByteArray("abc") << 0 << "Dimanche";
        QTest::newRow("empty selects Dimanche") << QByteArray("") << 0 << "Dimanche";
        QTest::newRow("12 leaves the list") << QByteArray("12") << 4 << "Jeudi";
        QTest::newRow("2.5 is Mardi") << QByteArray("2.5") << 2 << "Mardi";
        QTest::newRow("3.5 is Jeudi") << QByteArray("3.5") << 4 << "Jeudi";
    }
    void storedDayPosition()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, position);
        QFETCH(QString, text);
        m_panel->setComboPosition(4);
        const QString file = m_dir->filePath(QStringLiteral("jours.ini"));
        QVERIFY(writeAll(file, "[cmb0]\r\nvaleur=" + stored + "\r\n"));
        m_panel->readScheduleSettings(file);
        QCOMPARE(m_panel->comboPosition(), position);
        QCOMPARE(m_panel->combo1()->currentText(), text);
    }

    void restartShowsTheProgrammedSchedule()
    {
        fillEditor();
        m_panel->text2(kPeriodBox)->setText(QStringLiteral("7"));
        m_panel->command7Click();
        QCOMPARE(m_port->writes.size(), 1);
        m_window.reset(); // the program ends

        QWidget window;
        SchedulePanel next(&window);
        next.initScheduleEditor();
        next.readScheduleSettings(paramIniPath());
        for (int k = 0; k < kScheduleTimeCount; ++k)
            QCOMPARE(next.text2(k)->text(), QString::fromLatin1(kTexts[k]));
        QCOMPARE(next.text2(kPeriodBox)->text(), QStringLiteral("07"));
        QCOMPARE(next.combo1()->currentText(), QStringLiteral("Tous les jours"));
        QCOMPARE(next.comboPosition(), 9);
    }

    void startWithoutParamIni()
    {
        QWidget window;
        SchedulePanel fresh(&window);
        fresh.initScheduleEditor();
        fresh.readScheduleSettings(paramIniPath());
        for (int i = 0; i < kScheduleTextCount; ++i)
            QVERIFY(fresh.text2(i)->text().isEmpty());
        QCOMPARE(fresh.combo1()->count(), kDayEntryCount);
        QCOMPARE(fresh.combo1()->currentText(), QStringLiteral("Dimanche"));
    }
};

QTEST_MAIN(TestSchedulePanel)
#include "tst_schedulepanel.moc"
