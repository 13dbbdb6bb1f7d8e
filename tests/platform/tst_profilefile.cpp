// Profile files: the reading and writing rules, failures, and where param.ini and debug.ini live.

#include "platform/ProfileFile.h"
#include "platform/SettingsDir.h"

#include "common/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace platine;
using namespace Qt::StringLiterals;
using test::fileBytes;
using test::putFile;

namespace {

// Rows read key "k" of section "s" unless they say otherwise; "<def>" is the default.
void readRow(const char *name, const QByteArray &file, const QString &value,
             const QString &section = u"s"_s, const QString &key = u"k"_s, int buffer = 20)
{
    QTest::newRow(name) << file << section << key << buffer << value;
}

// Rows set key "k" of section "s" to "3" unless they say otherwise.
void writeRow(const char *name, const QByteArray &before, const QByteArray &after,
              const QString &value = u"3"_s, const QString &section = u"s"_s,
              const QString &key = u"k"_s)
{
    QTest::newRow(name) << before << section << key << value << after;
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file at all
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QString>("value");
        readRow("no file", "", "<def>");
        readRow("empty file", "\r\n", "<def>");
        readRow("case-insensitive", "[PORT com]\r\nVaLeUr=3\r\n", "3", "port COM", "VALEUR");
        readRow("blanks around", "  [ s ]  \r\n \t k \t=  a  b \t\r\n", "a  b");
        readRow("blanks in asked names", "[s]\r\nk=a\r\n", "a", " s ", "k ");
        readRow("valeur= 05 ", "[txt6]\r\nvaleur= 05 \r\n", "05", "txt6", "valeur");
        readRow("double quotes", "[s]\r\nk=  \" a b \"  \r\n", " a b ");
        readRow("single quotes", "[s]\r\nk='x'\r\n", "x");
        readRow("mismatched quotes kept", "[s]\r\nk=\"x'\r\n", "\"x'");
        readRow("lone quote kept", "[s]\r\nk=\"\r\n", "\"");
        readRow("one pair only", "[s]\r\nk=\"\"x\"\"\r\n", "\"x\"");
        readRow("empty value", "[s]\r\nk=\r\n", "");
        readRow("value holding =", "[s]\r\nk=a=b\r\n", "a=b");
        readRow("cut to 19", "[s]\r\nk=1234567890123456789012345\r\n", "1234567890123456789");
        readRow("cut after quotes", "[s]\r\nk=\"abcdef\"\r\n", "abc", "s", "k", 4);
        readRow("buffer of one", "[s]\r\nk=abc\r\n", "", "s", "k", 1);
        readRow("missing section", "[a]\r\nk=1\r\n", "<def>");
        readRow("missing key", "[s]\r\nj=1\r\n", "<def>");
        readRow("key of another section", "[s]\r\nj=1\r\n[b]\r\nk=2\r\n", "<def>");
        readRow("comment", "[s]\r\n  ;k=1\r\nk=2\r\n", "2");
        readRow("entries before the first section", "k=1\r\n[s]\r\n", "<def>");
        readRow("unclosed header is no section", "[s\r\nk=1\r\n", "<def>");
        readRow("text after a header", "[s] ; note\r\nk=1\r\n", "1");
        readRow("line without =", "[s]\r\nk\r\nk=2\r\n", "2");
        readRow("first key wins", "[s]\r\nk=1\r\nK=2\r\n", "1");
        readRow("first section wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "1");
        readRow("second same-named section unread", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "<def>");
        readRow("lone CR", "[x]\rk=0\r[s]\rk=1\r", "1");
        readRow("lone LF", "[x]\nk=0\n[s]\nk=1\n", "1");
        readRow("Windows-1252", "[Ann\xe9" "e]\r\nk=\xe9t\xe9 \x80\x93\r\n", u"été €“"_s,
                u"ANNÉE"_s);
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, buffer);
        QFETCH(QString, value);
        const QString def = QStringLiteral("<def>");
        QCOMPARE(profileLookup(file, section, key, def, buffer), value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        QVERIFY(file.isEmpty() || putFile(path, file));
        QCOMPARE(readProfileString(path, section, key, def, buffer), value);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // empty: no file yet
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        writeRow("new file", "", "[Port COM]\r\nvaleur=3\r\n", "3", "Port COM", "valeur");
        writeRow("value written as given", "", "[s]\r\nk= 3 x \r\n", " 3 x ");
        writeRow("replace keeps the key's case", "[S]\r\nK=1\r\nz=2\r\n", "[S]\r\nK=3\r\nz=2\r\n");
        writeRow("replace keeps what precedes =", "[s]\r\n  k = 1 \r\n", "[s]\r\n  k =3\r\n");
        writeRow("replace keeps the line end", "[s]\nk=1\nx=2\n", "[s]\nk=3\nx=2\n");
        writeRow("replace on a last line without end", "[s]\r\nk=1", "[s]\r\nk=22", "22");
        writeRow("replace the first of two keys", "[s]\r\nk=1\r\nk=2\r\n", "[s]\r\nk=3\r\nk=2\r\n");
        writeRow("replace in the first of two sections", "[s]\r\nk=1\r\n[s]\r\nk=2\r\n",
                 "[s]\r\nk=3\r\n[s]\r\nk=2\r\n");
        writeRow("commented key is no entry", "[s]\r\n;k=1\r\n", "[s]\r\nk=3\r\n;k=1\r\n");
        writeRow("new key after the last entry", "[s]\r\nx=1\r\n\r\ny=2\r\n\r\n;c\r\n[b]\r\n",
                 "[s]\r\nx=1\r\n\r\ny=2\r\nk=3\r\n\r\n;c\r\n[b]\r\n");
        writeRow("new key in a section without entries", "[s]\r\n\r\n[b]\r\n",
                 "[s]\r\nk=3\r\n\r\n[b]\r\n");
        writeRow("new key at the end, any case", "[S]\r\nx=1", "[S]\r\nx=1\r\nk=3\r\n");
        writeRow("new key after an LF line", "[s]\nx=1\n[b]\n", "[s]\nx=1\nk=3\r\n[b]\n");
        writeRow("new section, no blank line added", "[a]\r\nx=1\r\n\r\n",
                 "[a]\r\nx=1\r\n\r\n[s]\r\nk=3\r\n");
        writeRow("new section after a last line without end", "[a]\r\nx=1",
                 "[a]\r\nx=1\r\n[s]\r\nk=3\r\n");
        writeRow("new section after a lone CR", "[a]\rx=1\r", "[a]\rx=1\r[s]\r\nk=3\r\n");
        writeRow("other lines byte for byte", "junk \t\r; c\n[s]\rk=1\r\n  \r\n[z]\ny = \"q\" \n",
                 "junk \t\r; c\n[s]\rk=3\r\n  \r\n[z]\ny = \"q\" \n");
        writeRow("CR LF in the value become blanks", "[s]\r\nk=1\r\n", "[s]\r\nk=v  [x] y=1 z\r\n",
                 "v\r\n[x]\ry=1\nz");
        writeRow("CR LF in names become blanks", "", "[a  [b]]\r\nk j=3\r\n", "3", "a\r\n[b]",
                 "k\nj");
        writeRow("Windows-1252", "", "[s]\r\nk=\xe9t\xe9 \x80\x93?\r\n", u"été €“日"_s);
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QCOMPARE(profileUpdate(before, section, key, value), after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        QVERIFY(before.isEmpty() || putFile(path, before));
        const ProfileWriteResult r = writeProfileString(path, section, key, value);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(fileBytes(path), after);
        // Replaced whole: no temporary copy is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.ini"});
    }

    void refused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::newRow("missing directory") << "nothere/p.ini" << "k";
        QTest::newRow("path is a directory") << "sub" << "k";
        QTest::newRow("read-only file") << "ro.ini" << "k";
        QTest::newRow("empty key") << "p.ini" << " ";
        QTest::newRow("key holding =") << "p.ini" << "a=b";
        QTest::newRow("key read as a comment") << "p.ini" << " ;k";
        QTest::newRow("key read as a header") << "p.ini" << "[t]";
    }

    void refused()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        const QByteArray original = "[s]\r\nk=1\r\n[t]\r\nk=2\r\n";
        const bool exists = file.endsWith(u".ini") && !file.contains(u'/');
        QVERIFY(!exists || putFile(path, original));
        if (file == u"sub")
            QVERIFY(QDir(dir.path()).mkdir(file));
        if (file == u"ro.ini") {
            if (geteuid() == 0)
                QSKIP("the superuser can write read-only files");
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        }
        if (key != u"k")
            QCOMPARE(profileUpdate(original, u"s"_s, key, u"3"_s), original);
        const ProfileWriteResult r = writeProfileString(path, u"s"_s, key, u"3"_s);
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(path) && r.error.size() > path.size() + 5); // with the reason
        QCOMPARE(QFileInfo(path).isDir(), file == u"sub");
        QCOMPARE(fileBytes(path), exists ? original : QByteArray("<unreadable>"));
    }

    // A file of more than 1 MiB is no profile file: it reads as unreadable and is never written.
    void overOneMebibyte()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"big.ini"_s);
        QByteArray big = "[s]\r\nk=1\r\n";
        const QByteArray limit = big + QByteArray(kMaxProfileFileBytes - big.size(), ';');
        QVERIFY(putFile(path, limit));
        QCOMPARE(readProfileString(path, u"s"_s, u"k"_s, u"d"_s), u"1"_s); // 1 MiB still is one
        big = limit + ';';
        QVERIFY(putFile(path, big));
        QString why;
        QVERIFY(!readProfileFile(path, &why) && why.contains(u"1 Mio"));
        QCOMPARE(readProfileString(path, u"s"_s, u"k"_s, u"d"_s), u"d"_s);
        QVERIFY(!writeProfileString(path, u"s"_s, u"k"_s, u"2"_s).ok);
        QCOMPARE(fileBytes(path), big);
    }

    void settingsDirChoice_data()
    {
        QTest::addColumn<QString>("program"); // "" for the temporary directory itself
        QTest::addColumn<bool>("fallback");
        QTest::newRow("writable program directory") << "" << false;
        QTest::newRow("missing program directory") << "gone" << true;
        QTest::newRow("program path is a file") << "afile" << true;
        QTest::newRow("installed program") << "bin" << true;
    }

    void settingsDirChoice()
    {
        QFETCH(QString, program);
        QFETCH(bool, fallback);
        QTemporaryDir tmp;
        QVERIFY(test::putFile(tmp.filePath(QStringLiteral("afile")), "x"));
        // A writable bin/ with the menu entry installed beside it in share/.
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("bin"))
                && QDir(tmp.path()).mkpath(QStringLiteral("share/applications")));
        QVERIFY(test::putFile(tmp.filePath(QStringLiteral("share/applications/platine.desktop")), "x"));
        const QString programDir = program.isEmpty() ? tmp.path() + u'/' : tmp.filePath(program);
        const QString fallbackDir = tmp.filePath(QStringLiteral("config/platine"));
        QCOMPARE(chooseSettingsDir(programDir, fallbackDir), fallback ? fallbackDir : tmp.path());
        // The fallback is created only when chosen; the write probe leaves nothing behind.
        QCOMPARE(QFileInfo(fallbackDir).isDir(), fallback);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"afile"});
    }

    // Settings that move to the per-user folder take the program folder's param.ini with them,
    // once, and only a profile file.
    void paramIniCarriedOver_data()
    {
        QTest::addColumn<QByteArray>("beside");  // the program folder's param.ini, "-" for none
        QTest::addColumn<QByteArray>("already"); // the per-user folder's, "-" for none
        QTest::addColumn<QByteArray>("after");   // the per-user folder's afterwards
        const QByteArray kept = "[Port COM]\r\nvaleur=3\r\n[txt0]\r\nvaleur=08:30:00\r\n";
        const QByteArray huge(kMaxProfileFileBytes + 1, 'x');
        QTest::newRow("copied") << kept << QByteArray("-") << kept;
        QTest::newRow("never over the user's own")
            << kept << QByteArray("valeur=5") << QByteArray("valeur=5");
        QTest::newRow("none beside the program")
            << QByteArray("-") << QByteArray("-") << QByteArray("-");
        QTest::newRow("no profile file") << huge << QByteArray("-") << QByteArray("-");
    }

    void paramIniCarriedOver()
    {
        QFETCH(QByteArray, beside);
        QFETCH(QByteArray, already);
        QFETCH(QByteArray, after);
        QTemporaryDir tmp;
        // An installed program keeps its settings in the per-user folder.
        QVERIFY(QDir(tmp.path()).mkpath(u"bin"_s)
                && QDir(tmp.path()).mkpath(u"share/applications"_s)
                && QDir(tmp.path()).mkpath(u"config"_s));
        QVERIFY(test::putFile(tmp.filePath(u"share/applications/platine.desktop"_s), "x"));
        const QString program = tmp.filePath(u"bin/param.ini"_s),
                      user = tmp.filePath(u"config/param.ini"_s);
        if (beside != "-")
            QVERIFY(test::putFile(program, beside));
        if (already != "-")
            QVERIFY(test::putFile(user, already));
        QCOMPARE(chooseSettingsDir(tmp.filePath(u"bin"_s), tmp.filePath(u"config"_s)),
                 tmp.filePath(u"config"_s));
        QCOMPARE(QFile::exists(user) ? fileBytes(user) : QByteArray("-"), after);
        QCOMPARE(QFile::exists(program) ? fileBytes(program) : QByteArray("-"),
                 beside); // untouched
        QCOMPARE(QDir(tmp.filePath(u"config"_s)).count(),
                 uint(after == "-" ? 2 : 3)); // no stray file
    }

    void chosenBesideTheProgram()
    {
        const SettingsFiles files = chooseSettingsFiles(); // the build directory is writable
        QCOMPARE(files.dir, QDir::cleanPath(QCoreApplication::applicationDirPath()));
        QCOMPARE(files.paramIni(), files.dir + QStringLiteral("/param.ini"));
        QCOMPARE(files.debugIni(), files.dir + QStringLiteral("/debug.ini"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
