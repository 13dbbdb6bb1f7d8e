// Guards against: temporaries of a killed save piling up, and start-up removing files not its own.
#include "platform/SettingsDir.h"
#include "support/Files.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

class TestLeftovers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpRemovesOwnTemporaries_data()
    {
        QTest::addColumn<QStringList>("files");   // in the settings folder before start-up
        QTest::addColumn<QStringList>("folders"); // likewise
        QTest::addColumn<QStringList>("left");    // every entry after it, sorted
        QTest::newRow("temporary of param.ini") << QStringList{"param.ini", "param.ini.VaIOYo"}
                                                << QStringList{} << QStringList{"param.ini"};
        QTest::newRow("temporary of debug.ini, with digits")
            << QStringList{"debug.ini.a1B2c3"} << QStringList{} << QStringList{};
        QTest::newRow("several, beside other files")
            << QStringList{"param.ini.AbCdEf", "param.ini.ZZaiC0", "debug.ini.xYzzy9", "notes.txt"}
            << QStringList{} << QStringList{"notes.txt"};
        QTest::newRow("names that only look like one")
            << QStringList{"param.ini.bak",    "param.ini.AbCdEfG", "param.ini.AbCdE",
                           "Param.ini.AbCdEf", "param.ini.Ab-dEf",  "horaires.txt.AbCdEf",
                           "xparam.ini.AbCdEf"}
            << QStringList{}
            << QStringList{"Param.ini.AbCdEf", "horaires.txt.AbCdEf", "param.ini.Ab-dEf",
                           "param.ini.AbCdE",  "param.ini.AbCdEfG",   "param.ini.bak",
                           "xparam.ini.AbCdEf"};
        QTest::newRow("a folder named like one")
            << QStringList{} << QStringList{"param.ini.AbCdEf"} << QStringList{"param.ini.AbCdEf"};
    }
    void startUpRemovesOwnTemporaries()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, left);
        QTemporaryDir tmp;
        for (const QString &name : files)
            QVERIFY(test::putFile(tmp.filePath(name), "[Port COM]\r\nvaleur=3\r\n"));
        for (const QString &name : folders)
            QVERIFY(QDir(tmp.path()).mkdir(name));
        QCOMPARE(chooseSettingsDir(tmp.path(), tmp.filePath(u"unused"_s)), tmp.path());
        QCOMPARE(QDir(tmp.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 left);
    }
    void linkNamedLikeOneStays() // a link is no temporary of the program, whatever it points at
    {
        QTemporaryDir tmp;
        QVERIFY(test::putFile(tmp.filePath(u"target"_s), "x"));
        QVERIFY(QFile::link(tmp.filePath(u"target"_s), tmp.filePath(u"param.ini.AbCdEf"_s)));
        chooseSettingsDir(tmp.path(), tmp.filePath(u"unused"_s));
        QVERIFY(QFileInfo(tmp.filePath(u"param.ini.AbCdEf"_s)).isSymLink());
        QCOMPARE(test::fileBytes(tmp.filePath(u"target"_s)), QByteArray("x"));
    }
    void cleanedWhereTheSettingsLive() // the per-user folder when the program is installed
    {
        QTemporaryDir tmp;
        const QString bin = tmp.filePath(u"bin"_s), user = tmp.filePath(u"user"_s);
        QVERIFY(QDir().mkpath(tmp.filePath(u"share/applications"_s)) && QDir().mkpath(bin)
                && QDir().mkpath(user));
        QVERIFY(test::putFile(tmp.filePath(u"share/applications/platine.desktop"_s), ""));
        QVERIFY(test::putFile(user + u"/param.ini.AbCdEf"_s, "x"));
        QVERIFY(test::putFile(bin + u"/param.ini.AbCdEf"_s, "x")); // not the settings folder
        QCOMPARE(chooseSettingsDir(bin, user), user);
        QVERIFY(!QFile::exists(user + u"/param.ini.AbCdEf"_s));
        QVERIFY(QFile::exists(bin + u"/param.ini.AbCdEf"_s));
    }
};

QTEST_GUILESS_MAIN(TestLeftovers)
#include "tst_leftovers.moc"
