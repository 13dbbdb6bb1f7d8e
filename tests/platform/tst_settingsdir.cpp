#include "platform/SettingsDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;

class TestSettingsDir : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { setSettingsDir(QString()); }

    void programDirWhenWritable()
    {
        QTemporaryDir program;
        QTemporaryDir fallback;
        const QString fallbackDir = fallback.filePath(QStringLiteral("config/platine"));
        QCOMPARE(chooseSettingsDir(program.path() + u'/', fallbackDir),
                 QDir::cleanPath(program.path()));
        // The write probe leaves nothing behind, and the fallback is not created.
        QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(!QFileInfo::exists(fallbackDir));
    }

    void fallbackWhenNotWritable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing program directory") << "missing";
        QTest::newRow("program path is a file") << "file";
        QTest::newRow("empty program path") << "empty";
    }

    void fallbackWhenNotWritable()
    {
        QFETCH(QString, kind);
        QTemporaryDir tmp;
        QString programDir;
        if (kind == u"missing") {
            programDir = tmp.filePath(QStringLiteral("gone"));
        } else if (kind == u"file") {
            programDir = tmp.filePath(QStringLiteral("afile"));
            QFile f(programDir);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString fallbackDir = tmp.filePath(QStringLiteral("config/platine"));
        QCOMPARE(chooseSettingsDir(programDir, fallbackDir), fallbackDir);
        QVERIFY(QFileInfo(fallbackDir).isDir());
    }

    void defaultIsBesideTheProgram()
    {
        setSettingsDir(QString());
        // The build directory is writable here, so the choice is the program's own directory.
        const QString dir = settingsDir();
        QCOMPARE(dir, QDir::cleanPath(QCoreApplication::applicationDirPath()));
        QCOMPARE(settingsDir(), dir); // chosen once
        QCOMPARE(paramIniPath(), dir + QStringLiteral("/param.ini"));
        QCOMPARE(debugIniPath(), dir + QStringLiteral("/debug.ini"));
    }

    void testsChooseTheirOwn()
    {
        QTemporaryDir tmp;
        setSettingsDir(tmp.path() + QStringLiteral("//"));
        QCOMPARE(settingsDir(), tmp.path());
        QCOMPARE(paramIniPath(), tmp.path() + QStringLiteral("/param.ini"));
        QCOMPARE(debugIniPath(), tmp.path() + QStringLiteral("/debug.ini"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsDir)
#include "tst_settingsdir.moc"
