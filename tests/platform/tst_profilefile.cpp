#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace platine;
using namespace Qt::StringLiterals;

class TestProfileFile : public QObject
{
    Q_OBJECT

private:
    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void putFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private Q_SLOTS:
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("bufferSize");
        QTest::addColumn<QString>("expected"); // default is "<def>"

        const int n = kProfileBufferSize;
        QTest::newRow("plain") << QByteArray("[Port COM]\r\nvaleur=3\r\n") << "Port COM"
                               << "valeur" << n << "3";
        QTest::newRow("case-insensitive")
            << QByteArray("[PORT com]\r\nVaLeUr=3\r\n") << "port COM" << "VALEUR" << n << "3";
        QTest::newRow("blanks around names and value")
            << QByteArray("  [ Port COM ]  \r\n \t valeur \t=  4 \t\r\n") << "Port COM"
            << "valeur" << n << "4";
        QTest::newRow("blanks in asked names")
            << QByteArray("[txt0]\r\nvaleur=a\r\n") << " txt0 " << " valeur" << n << "a";
        QTest::newRow("valeur= 05 ") << QByteArray("[txt6]\r\nvaleur= 05 \r\n") << "txt6"
                                     << "valeur" << n << "05";
        QTest::newRow("inner blanks kept")
            << QByteArray("[s]\r\nk= a  b \r\n") << "s" << "k" << n << "a  b";
        QTest::newRow("double quotes") << QByteArray("[s]\r\nk=\" a b \"\r\n") << "s" << "k" << n
                                       << " a b ";
        QTest::newRow("single quotes") << QByteArray("[s]\r\nk='x'\r\n") << "s" << "k" << n << "x";
        QTest::newRow("quotes after blanks")
            << QByteArray("[s]\r\nk=  \"x\"  \r\n") << "s" << "k" << n << "x";
        QTest::newRow("mismatched quotes kept")
            << QByteArray("[s]\r\nk=\"x'\r\n") << "s" << "k" << n << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("[s]\r\nk=\"\r\n") << "s" << "k" << n << "\"";
        QTest::newRow("one pair only")
            << QByteArray("[s]\r\nk=\"\"x\"\"\r\n") << "s" << "k" << n << "\"x\"";
        QTest::newRow("empty value is not the default")
            << QByteArray("[s]\r\nk=\r\n") << "s" << "k" << n << "";
        QTest::newRow("value holding =") << QByteArray("[s]\r\nk=a=b\r\n") << "s" << "k" << n
                                         << "a=b";
        QTest::newRow("cut to 19")
            << QByteArray("[s]\r\nk=1234567890123456789012345\r\n") << "s" << "k" << n
            << "1234567890123456789";
        QTest::newRow("exactly 19") << QByteArray("[s]\r\nk=1234567890123456789\r\n") << "s"
                                    << "k" << n << "1234567890123456789";
        QTest::newRow("cut after quotes")
            << QByteArray("[s]\r\nk=\"abcdef\"\r\n") << "s" << "k" << 4 << "abc";
        QTest::newRow("buffer of one") << QByteArray("[s]\r\nk=abc\r\n") << "s" << "k" << 1 << "";
        QTest::newRow("missing section") << QByteArray("[a]\r\nk=1\r\n") << "b" << "k" << n
                                         << "<def>";
        QTest::newRow("missing key") << QByteArray("[a]\r\nk=1\r\n") << "a" << "j" << n << "<def>";
        QTest::newRow("empty file") << QByteArray() << "a" << "k" << n << "<def>";
        QTest::newRow("key of another section")
            << QByteArray("[a]\r\nk=1\r\n[b]\r\nj=2\r\n") << "b" << "k" << n << "<def>";
        QTest::newRow("comment") << QByteArray("[s]\r\n;k=1\r\nk=2\r\n") << "s" << "k" << n << "2";
        QTest::newRow("indented comment")
            << QByteArray("[s]\r\n  ;k=1\r\n") << "s" << "k" << n << "<def>";
        QTest::newRow("commented section")
            << QByteArray(";[s]\r\nk=1\r\n") << "s" << "k" << n << "<def>";
        QTest::newRow("entries before the first section")
            << QByteArray("k=1\r\n[s]\r\n") << "s" << "k" << n << "<def>";
        QTest::newRow("line without =") << QByteArray("[s]\r\nk\r\nk=2\r\n") << "s" << "k" << n
                                        << "2";
        QTest::newRow("unclosed header")
            << QByteArray("[s\r\nk=1\r\n") << "s" << "k" << n << "<def>";
        QTest::newRow("text after header")
            << QByteArray("[s] ; note\r\nk=1\r\n") << "s" << "k" << n << "1";
        QTest::newRow("first key wins") << QByteArray("[s]\r\nk=1\r\nK=2\r\n") << "s" << "k" << n
                                        << "1";
        QTest::newRow("first section wins")
            << QByteArray("[s]\r\nk=1\r\n[S]\r\nk=2\r\n") << "s" << "k" << n << "1";
        QTest::newRow("second same-named section not consulted")
            << QByteArray("[s]\r\na=1\r\n[s]\r\nk=2\r\n") << "s" << "k" << n << "<def>";
        QTest::newRow("lone CR") << QByteArray("[x]\rk=0\r[s]\rk=1\r") << "s" << "k" << n << "1";
        QTest::newRow("lone LF") << QByteArray("[x]\nk=0\n[s]\nk=1\n") << "s" << "k" << n << "1";
        QTest::newRow("mixed ends") << QByteArray("[x]\r\nk=0\n[s]\rk=1") << "s" << "k" << n
                                    << "1";
        QTest::newRow("CR LF is one end")
            << QByteArray("[s]\r\n\r\nk=1\r\n") << "s" << "k" << n << "1";
        QTest::newRow("Windows-1252")
            << QByteArray("[Ann\xe9" "e]\r\nk=\xe9t\xe9 \x80\x93\r\n") << u"ANNÉE"_s << "k" << n
            << u"été €“"_s;
    }

    void lookup()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, bufferSize);
        QFETCH(QString, expected);
        const QString got = profileLookup(contents, section, key, QStringLiteral("<def>"), bufferSize);
        QCOMPARE(got, expected);

        // The file-based read follows the same rules.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        putFile(path, contents);
        QCOMPARE(readProfileString(path, section, key, QStringLiteral("<def>"), bufferSize),
                 expected);
    }

    void missingFileGivesDefault()
    {
        QTemporaryDir dir;
        QCOMPARE(readProfileString(dir.filePath(QStringLiteral("none.ini")), QStringLiteral("s"),
                                   QStringLiteral("k"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QCOMPARE(readProfileString(dir.filePath(QStringLiteral("none.ini")), QStringLiteral("s"),
                                   QStringLiteral("k")),
                 QString());
    }

    void update_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("new file") << QByteArray() << "Port COM" << "valeur" << "3"
                                  << QByteArray("[Port COM]\r\nvaleur=3\r\n");
        QTest::newRow("value written as given")
            << QByteArray() << "s" << "k" << " 3 x " << QByteArray("[s]\r\nk= 3 x \r\n");
        QTest::newRow("replace in place keeps key spelling")
            << QByteArray("[S]\r\nVALEUR=1\r\nz=2\r\n") << "s" << "valeur" << "5"
            << QByteArray("[S]\r\nVALEUR=5\r\nz=2\r\n");
        QTest::newRow("replace keeps what stands before =")
            << QByteArray("[s]\r\n  valeur = 1 \r\n") << "s" << "valeur" << "5"
            << QByteArray("[s]\r\n  valeur =5\r\n");
        QTest::newRow("replace keeps the line end")
            << QByteArray("[s]\nvaleur=1\nx=2\n") << "s" << "valeur" << "9"
            << QByteArray("[s]\nvaleur=9\nx=2\n");
        QTest::newRow("replace on a last line without end")
            << QByteArray("[s]\r\nvaleur=1") << "s" << "valeur" << "22"
            << QByteArray("[s]\r\nvaleur=22");
        QTest::newRow("replace the first of two keys")
            << QByteArray("[s]\r\nk=1\r\nk=2\r\n") << "s" << "k" << "3"
            << QByteArray("[s]\r\nk=3\r\nk=2\r\n");
        QTest::newRow("replace in the first of two sections")
            << QByteArray("[s]\r\nk=1\r\n[s]\r\nk=2\r\n") << "s" << "k" << "3"
            << QByteArray("[s]\r\nk=3\r\n[s]\r\nk=2\r\n");
        QTest::newRow("commented key is not replaced")
            << QByteArray("[s]\r\n;k=1\r\n") << "s" << "k" << "3"
            << QByteArray("[s]\r\nk=3\r\n;k=1\r\n");
        QTest::newRow("new key after the last entry, before blank and comment lines")
            << QByteArray("[a]\r\nx=1\r\n\r\n;c\r\n[b]\r\ny=2\r\n") << "a" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\nvaleur=3\r\n\r\n;c\r\n[b]\r\ny=2\r\n");
        QTest::newRow("new key after entries separated by blanks")
            << QByteArray("[a]\r\nx=1\r\n\r\ny=2\r\n\r\n[b]\r\n") << "a" << "k" << "3"
            << QByteArray("[a]\r\nx=1\r\n\r\ny=2\r\nk=3\r\n\r\n[b]\r\n");
        QTest::newRow("new key in a section without entries")
            << QByteArray("[a]\r\n\r\n[b]\r\n") << "a" << "valeur" << "3"
            << QByteArray("[a]\r\nvaleur=3\r\n\r\n[b]\r\n");
        QTest::newRow("new key in the last section")
            << QByteArray("[a]\r\nx=1\r\n") << "A" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\nvaleur=3\r\n");
        QTest::newRow("new key after a last line without end")
            << QByteArray("[a]\r\nx=1") << "a" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\nvaleur=3\r\n");
        QTest::newRow("new key after an LF line")
            << QByteArray("[a]\nx=1\n[b]\n") << "a" << "k" << "3"
            << QByteArray("[a]\nx=1\nk=3\r\n[b]\n");
        QTest::newRow("new section at the end")
            << QByteArray("[a]\r\nx=1\r\n") << "b" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\n[b]\r\nvaleur=3\r\n");
        QTest::newRow("new section, no blank line added")
            << QByteArray("[a]\r\nx=1\r\n\r\n") << "b" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\nvaleur=3\r\n");
        QTest::newRow("new section after a last line without end")
            << QByteArray("[a]\r\nx=1") << "b" << "valeur" << "3"
            << QByteArray("[a]\r\nx=1\r\n[b]\r\nvaleur=3\r\n");
        QTest::newRow("new section after a lone CR")
            << QByteArray("[a]\rx=1\r") << "b" << "k" << "3"
            << QByteArray("[a]\rx=1\r[b]\r\nk=3\r\n");
        QTest::newRow("other lines byte for byte")
            << QByteArray("junk \t\r; c\n[a]\rx=1\r\n  \r\n[z]\ny = \"q\" \n") << "a" << "x" << "2"
            << QByteArray("junk \t\r; c\n[a]\rx=2\r\n  \r\n[z]\ny = \"q\" \n");
        QTest::newRow("CR LF in the value become blanks")
            << QByteArray("[s]\r\nk=1\r\n") << "s" << "k" << "v\r\n[x]\ry=1\nz"
            << QByteArray("[s]\r\nk=v  [x] y=1 z\r\n");
        QTest::newRow("CR LF in names become blanks")
            << QByteArray() << "a\r\n[b]" << "k\nj" << "1" << QByteArray("[a  [b]]\r\nk j=1\r\n");
        QTest::newRow("Windows-1252 value")
            << QByteArray() << "s" << "k" << u"été €“日"_s
            << QByteArray("[s]\r\nk=\xe9t\xe9 \x80\x93?\r\n");
    }

    void update()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(profileUpdate(contents, section, key, value), expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        if (!contents.isEmpty())
            putFile(path, contents);
        const ProfileWriteResult r = writeProfileString(path, section, key, value);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(fileBytes(path), expected);
    }

    void valueCannotInjectLines()
    {
        const QByteArray file = profileUpdate({}, QStringLiteral("s"), QStringLiteral("k"),
                                              QStringLiteral("1\r\n[Port COM]\r\nvaleur=7"));
        QCOMPARE(profileLookup(file, QStringLiteral("Port COM"), QStringLiteral("valeur"),
                               QStringLiteral("none")),
                 QStringLiteral("none"));
        QCOMPARE(file.count('\n'), 2);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("time") << "08:30:00" << "08:30:00";
        QTest::newRow("19 chars") << "abcdefghijklmnopqrs" << "abcdefghijklmnopqrs";
        QTest::newRow("20 chars cut") << "abcdefghijklmnopqrst" << "abcdefghijklmnopqrs";
        QTest::newRow("outer blanks dropped") << "  05 " << "05";
        QTest::newRow("looks like a section") << "[txt1]" << "[txt1]";
        QTest::newRow("looks like a comment") << ";x" << ";x";
        QTest::newRow("equals signs") << "a=b=c" << "a=b=c";
        QTest::newRow("accents") << u"Lundi à Vendredi"_s << u"Lundi à Vendredi"_s;
        QTest::newRow("minus one") << "-1" << "-1";
    }

    void roundTrip()
    {
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        QByteArray file = "[txt0]\r\nvaleur=old\r\n[other]\r\nvaleur=keep\r\n";
        file = profileUpdate(file, QStringLiteral("txt1"), QStringLiteral("valeur"), value);
        file = profileUpdate(file, QStringLiteral("txt0"), QStringLiteral("valeur"), value);
        QCOMPARE(profileLookup(file, QStringLiteral("txt0"), QStringLiteral("valeur")), readBack);
        QCOMPARE(profileLookup(file, QStringLiteral("txt1"), QStringLiteral("valeur")), readBack);
        QCOMPARE(profileLookup(file, QStringLiteral("other"), QStringLiteral("valeur")),
                 QStringLiteral("keep"));
    }

    void fileWriteSequence()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("param.ini"));
        for (int i = 0; i < 7; ++i) {
            const ProfileWriteResult r = writeProfileString(path, QStringLiteral("txt%1").arg(i),
                                                            QStringLiteral("valeur"),
                                                            QString::number(i));
            QVERIFY2(r.ok, qPrintable(r.error));
        }
        QVERIFY(writeProfileString(path, QStringLiteral("cmb0"), QStringLiteral("valeur"),
                                   QStringLiteral("9"))
                    .ok);
        QVERIFY(writeProfileString(path, QStringLiteral("txt3"), QStringLiteral("valeur"),
                                   QStringLiteral("x"))
                    .ok);
        QCOMPARE(fileBytes(path), QByteArray("[txt0]\r\nvaleur=0\r\n[txt1]\r\nvaleur=1\r\n"
                                             "[txt2]\r\nvaleur=2\r\n[txt3]\r\nvaleur=x\r\n"
                                             "[txt4]\r\nvaleur=4\r\n[txt5]\r\nvaleur=5\r\n"
                                             "[txt6]\r\nvaleur=6\r\n[cmb0]\r\nvaleur=9\r\n"));
        // Nothing but the file itself is left in the directory (no temporary copies).
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QStringLiteral("param.ini")});
    }

    void permissionsKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        putFile(path, "[s]\r\nk=1\r\n");
        const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, perms));
        QVERIFY(writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"),
                                   QStringLiteral("2"))
                    .ok);
        QCOMPARE(fileBytes(path), QByteArray("[s]\r\nk=2\r\n"));
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 perms);
    }

    void unwritable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing directory") << "missing-dir";
        QTest::newRow("path is a directory") << "directory";
        QTest::newRow("read-only file") << "read-only";
    }

    void unwritable()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path;
        const QByteArray original = "[s]\r\nk=1\r\n";
        if (kind == u"missing-dir") {
            path = dir.filePath(QStringLiteral("nothere/p.ini"));
        } else if (kind == u"directory") {
            path = dir.filePath(QStringLiteral("sub"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        } else {
            if (geteuid() == 0)
                QSKIP("the superuser can write read-only files");
            path = dir.filePath(QStringLiteral("p.ini"));
            putFile(path, original);
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        }
        const ProfileWriteResult r =
            writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(path));
        QVERIFY(r.error.size() > path.size() + 5);
        if (kind == u"missing-dir")
            QVERIFY(!QFileInfo::exists(path));
        else if (kind == u"directory")
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(fileBytes(path), original);
    }

    void emptyKeyRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        const ProfileWriteResult r =
            writeProfileString(path, QStringLiteral("s"), QStringLiteral(" "), QStringLiteral("1"));
        QVERIFY(!r.ok);
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(profileUpdate("x", QStringLiteral("s"), QString(), QStringLiteral("1")),
                 QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
