// Settings that cannot be written and a schedule file in a missing folder: the user is told, and
// nothing else changes, neither the files nor the editor.
//
// The tests run as root in CI, and root writes into a read-only folder: permissions cannot make
// one. A path under a regular file cannot be created or written by anyone (the system answers
// "not a directory" to root too), so the settings live under a file here: neither the program's
// folder nor the per-user fallback can hold a file, as on a read-only installation.

#include "app/MainWindow.h"
#include "board/BoardLink.h"
#include "common/FakeDialogs.h"
#include "common/Program.h"
#include "platform/SettingsDir.h"
#include "schedule/SchedulePanel.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;
using platine::test::FakeDialogs;

namespace {

class RecordingPort : public SerialPort
{
public:
    QList<QByteArray> writes;
    bool open(const QString &, QString *) override { return m_open = true; }
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

// Every file and folder under root, with the files' contents.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        files[it.filePath()] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<dir>");
    }
    return files;
}

} // namespace

class TestUnwritable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_settings;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString blocker = m_dir.filePath(QStringLiteral("installation"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("un fichier, pas un dossier\n") > 0);
        f.close();
        m_settings = chooseSettingsDir(blocker + QStringLiteral("/bin"),
                                       blocker + QStringLiteral("/config"));
        QCOMPARE(m_settings, blocker + QStringLiteral("/config"));
    }

    void userIsToldNothingElseChanges_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("named"); // the path the message must name
        const QString missing = m_dir.filePath(QStringLiteral("absent/horaires.txt"));
        QTest::newRow("Programmer") << "Command7" << QString() << m_settings + "/param.ini";
        QTest::newRow("Port COM") << "n_port" << "5" << m_settings + "/param.ini";
        QTest::newRow("Enregistrer sous, missing folder") << "n_enregistrer" << missing << missing;
        QTest::newRow("Ouvrir, missing folder") << "n_ouvrir" << missing << missing;
    }
    void userIsToldNothingElseChanges()
    {
        QFETCH(QString, action);
        QFETCH(QString, answer);
        QFETCH(QString, named);
        FakeDialogs dialogs;
        dialogs.inputAnswers << answer;
        dialogs.fileAnswers << answer;
        auto port = std::make_unique<RecordingPort>();
        RecordingPort *wire = port.get();
        test::Program program(std::move(port), dialogs, m_settings);
        MainWindow &w = *program.window;
        SchedulePanel *panel = w.schedulePanel();
        const QStringList texts = {"08:30:00", "12:05:00", "13:45:00", "17:00:00",
                                   "20:10",    "23:59:00", "13"};
        for (int i = 0; i < kScheduleBoxCount; ++i)
            panel->box(i)->setText(texts[i]);
        panel->setDayPosition(9);
        const QMap<QString, QByteArray> files = snapshot(m_dir.path());

        if (action.startsWith(u'n'))
            w.findChild<QAction *>(action)->trigger();
        else
            QTest::mouseClick(w.findChild<QPushButton *>(action), Qt::LeftButton);

        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.first().icon, MessageIcon::Warning);
        QVERIFY2(dialogs.messages.first().text.contains(named),
                 qPrintable(dialogs.messages.first().text));
        QCOMPARE(snapshot(m_dir.path()), files);
        for (int i = 0; i < kScheduleBoxCount; ++i)
            QCOMPARE(panel->box(i)->text(), texts[i]);
        QCOMPARE(panel->dayList()->currentText(), QStringLiteral("Tous les jours"));
        // What was asked for still happens: the schedule goes to the board, the port changes.
        QCOMPARE(wire->writes.size(), action == u"Command7" ? 1 : 0);
        QCOMPARE(w.link()->portNumber(), action == u"n_port" ? 5 : 1);
    }
};

QTEST_MAIN(TestUnwritable)
#include "tst_unwritable.moc"
