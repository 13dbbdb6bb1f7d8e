// Guards against: numbers or text misread or miswritten, wrong settings files or folder, litter.
#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"
#include "platform/NumberText.h"
#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "platform/SettingsDir.h"

#include "support/Fetch.h"
#include "support/Files.h"

#include <QtTest>

#include <cfloat>
#include <cmath>

using namespace platine;
using namespace platine::test;
using namespace Qt::StringLiterals;

// Key "k" of section "s" unless the row says otherwise; a read buffer of 0 is the default size.
// clang-format off
struct Read { QByteArray file; QString value, section = "s", key = "k"; int buffer = 0; };
struct Write { QByteArray before, after; QString value = "3", section = "s", key = "k"; };
// clang-format on
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Write)

class TestText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void leadingNumber_data() // NaN: no number at all, which reads as 0
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); // "." whatever the locale
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const QString tiny = "0." + QString(400, u'0') + u'1', huge(400, u'1');
        const double no = NAN;
        // clang-format off
        const QList<std::pair<QString, double>> rows = {
            {" \t\n ", no}, {"\t1\n2\t.\n5", 12.5}, {"1\r2", 1}, {".5", 0.5}, {".", no},
            {"2.e1", 20}, {"+8", 8}, {"-", no}, {"--1", no}, {"-0", 0}, {"e5", no}, {"1d2", 100},
            {"1E+12", 1e12}, {"5D-1", 0.5}, {"1eA", 1}, {"1 e - 2", 0.01}, {"-1e999", -DBL_MAX},
            {huge, DBL_MAX}, {tiny, 0}, {tiny + "e500", 1e99}, {huge + "e-50", DBL_MAX},
            {"123456789.123456789", 123456789.123456789}, {"900719925474099.5", 900719925474099.5},
            {"&hfa", 250}, {"&H90AF", -28497}, {"&H7FFF", 32767},
            {"&H8000", -32768}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&H123456789", 0x12345678},
            {"&H F", 15}, {"&HG", no}, {"&o177777", -1}, {"&O78", 7}, {"&12", no}, {"-&H1", no}};
        // clang-format on
        for (const auto &[text, value] : rows) // tags: the last 12 characters
            QTest::newRow(text.right(12).toUtf8().toPercentEncoding(" &+-.")) << text << value;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        const double got = platine::leadingNumber(text);
        QCOMPARE(got, std::isnan(value) ? 0.0 : value);
        QVERIFY(leadingNumberOfAnsi(text.toLatin1()) == got); // the same, to the bit, from bytes
        QVERIFY(!std::signbit(got) || got != 0);              // never -0
        QCOMPARE(beginsWithNumber(text), !std::isnan(value));
    }
    void numberText() // the C locale writes "." for the French ","
    {
        const double inf = INFINITY;
        // clang-format off
        const QList<std::pair<double, QString>> rows = {
            {-0.0, "0"}, {1234567.89012345, "1234567,89012345"}, {9.999999999999999, "10"},
            {999999999999999.0, "999999999999999"}, {999999999999999.9, "1E+15"},
            {-2.5e300, "-2,5E+300"}, {0.0001, "0,0001"}, {0.00001, "1E-05"}, {NAN, "NaN"},
            {inf, "Inf"}, {-inf, "-Inf"}};
        // clang-format on
        QStringList got, want;
        for (const auto &[value, french] : rows) {
            QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
            got << numberToText(value);
            QLocale::setDefault(QLocale::c());
            got << numberToText(value);
            want << french << QString(french).replace(u',', u'.');
        }
        QCOMPARE(got, want);
    }
    void portNumbers_data() // which device a number opens (->), which number a device takes (<-)
    {
        QTest::addColumn<QString>("ports"); // the "Ports" lines of param.ini, "|" between them
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("device");
        const QString two = "COM9=/dev/pts/4|COM4=/dev/pts/4", usb = "COM5=/dev/ttyUSB0",
                      taken = "COM33=/dev/pts/9", empty = "COM03=|COM3=/dev/pts/4";
        // clang-format off
        const QList<std::tuple<const char *, QString, int, const char *, QString>> rows = {
            {"port 0: no device", "", 0, "->", ""}, {"no device: no number", "", 0, "<-", ""},
            {"COM1", "", 1, "<->", "/dev/ttyS0"}, {"COM32", "", 32, "<->", "/dev/ttyS31"},
            {"COM33", "", 33, "<->", "/dev/ttyUSB0"}, {"COM64", "", 64, "<->", "/dev/ttyUSB31"},
            {"COM65", "", 65, "<->", "/dev/ttyACM0"}, {"COM96", "", 96, "<->", "/dev/ttyACM31"},
            {"COM97: none", "", 97, "->", ""}, {"Ports", "COM3=/dev/pts/4", 3, "<->", "/dev/pts/4"},
            {"any case, zeros, blanks, quotes", "com0003 = '/dev/pts/4' ", 3, "<->", "/dev/pts/4"},
            {"a usual device named", usb, 5, "<->", "/dev/ttyUSB0"},
            {"its own number still opens it", usb, 33, "->", "/dev/ttyUSB0"},
            {"a usual number given away", taken, 33, "<->", "/dev/pts/9"},
            {"its device left without", taken, 0, "<-", "/dev/ttyUSB0"},
            {"two numbers: the smallest", two, 4, "<-", "/dev/pts/4"},
            {"the other opens it too", two, 9, "->", "/dev/pts/4"},
            {"the first key wins, even empty", empty, 3, "<->", "/dev/ttyS2"},
            {"the key that lost", empty, 0, "<-", "/dev/pts/4"},
            {"COM0, COM32768", "COM0=/dev/pts/4|COM32768=/dev/pts/4", 0, "<-", "/dev/pts/4"},
            {"COM32767", "COM32767=/dev/pts/7", 32767, "<->", "/dev/pts/7"},
            {"not port keys", "COM3X=/x|COM 3=/y|PORT3=/z", 3, "<->", "/dev/ttyS2"},
            {"the first section only", "COM4=/a|[Ports]|COM9=/w", 9, "<->", "/dev/ttyS8"}};
        // clang-format on
        for (const auto &[name, ports, number, way, device] : rows)
            QTest::newRow(name) << ports << number << way << device;
    }
    void portNumbers()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows numbers its ports COM1, COM2...");
#endif
        QFETCH(QString, ports);
        QFETCH(QString, device);
        QTemporaryDir dir;
        const QString ini = ports.isEmpty() ? QString() : dir.filePath("param.ini");
        QVERIFY(ini.isNull()
                || putFile(ini, QString("[Ports]|" + ports + '|').replace('|', "\r\n").toUtf8()));
        if (fetch<QString>("way") != "<-")
            QCOMPARE(portDevice(fetch<int>("number"), ini), device);
        if (fetch<QString>("way") != "->")
            QCOMPARE(portNumberForDevice(device, ini), fetch<int>("number"));
    }
    void ansi()
    {
        QCOMPARE(fromAnsi("\x80\x9f\x8a\x81\xa0\xff"), u"\u20ac\u0178\u0160\x81\u00a0\u00ff"_s);
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(toWire(fromWire(all)), all); // the wire is Latin-1
        QCOMPARE(toAnsi(u"a日\u0080x😀y\u20ac\u0178😀"_s), QByteArray("a??x?y\x80\x9f?"));
        QCOMPARE(toWire(u"A\u0014é€"_s), QByteArray("A\x14\xe9?"));
    }
    void read_data()
    {
        QTest::addColumn<Read>("r");
        // clang-format off
        const QList<Read> rows = { // one pair of outer quotes goes, then the cut to 19
            {"[PORT com]\r\nVaLeUr=3\r\n", "3", "port COM", "VALEUR"},
            {"  [ s ]  \r\n \t k \t=  a  b \t\r\n", "a  b", " s ", "k "},
            {"[s]\r\nk=  \" a b \"  \r\n", " a b "}, {"[s]\r\nk='x'\r\n", "x"},
            {"[s]\r\nk=\"\"\r\n", ""}, {"[s]\r\nk=\"x'\r\n", "\"x'"}, {"[s]\r\nk=\"\r\n", "\""},
            {"[s]\r\nk=12345678901234567890\r\n", "1234567890123456789"},
            {"[s]\r\nk=\"abcdef\"\r\n", "abc", "s", "k", 4}, {"[s]\r\nk=abc\r\n", "", "s", "k", 1},
            {"[s]\r\nj=1\r\n[b]\r\nk=2\r\n", "<def>"}, {"[s]\r\n  ;k=1\r\nk=2\r\n", "2"},
            {"[s\r\nk=1\r\n", "<def>"}, {"[s] ;\r\nk=1", "1"}, {"[s]\r\nk\r\nk=2\r\n", "2"},
            {"[s]\r\nk=1\r\nK=2\r\n", "1"}, {"[s]\r\na=1\r\n[s]\r\nk=2\r\n", "<def>"},
            {"[x]\nk=0\n[s]\nk=1", "1"},
            {"[Ann\xe9" "e]\r\nk=\xe9t\xe9 \x80\x93\r\n", u"été €“"_s, u"ANNÉE"_s}};
        // clang-format on
        for (const Read &r : rows)
            QTest::newRow(r.file.toPercentEncoding(" []=;'\"").left(40)) << r;
    }
    void read()
    {
        QFETCH(Read, r);
        QCOMPARE(r.buffer ? profileLookup(r.file, r.section, r.key, u"<def>"_s, r.buffer)
                          : profileLookup(r.file, r.section, r.key, u"<def>"_s),
                 r.value);
    }
    void write_data()
    {
        QTest::addColumn<Write>("w");
        // clang-format off
        const QList<Write> rows = {
            {"", "[Port COM]\r\nvaleur= 3 x \r\n", " 3 x ", "Port COM", "valeur"},
            {"[S]\r\nK=1\r\nz=2\r\n", "[S]\r\nK=3\r\nz=2\r\n"}, {"[s]\nk=1\nx=2", "[s]\nk=3\nx=2"},
            {"[s]\r\n  k = 1=2 \n", "[s]\r\n  k =3\n"}, {"[s]\r\n;k=1", "[s]\r\nk=3\r\n;k=1"},
            {"[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=4\r\n", "[s]\r\nk=3\r\nk=2\r\n[s]\r\nk=4\r\n"},
            {"junk \t\r[s]\nx=1\r\n\r\ny = \"q\" \r=5\n;c\r\n[b]\n",
             "junk \t\r[s]\nx=1\r\n\r\ny = \"q\" \rk=3\r\n=5\n;c\r\n[b]\n"},
            {"[S]\r\nx=1", "[S]\r\nx=1\r\nk=3\r\n"}, {"[a]\r\n\r\n", "[a]\r\n\r\n[s]\r\nk=3\r\n"},
            {"[a]\rx=\r", "[a]\rx=\r[s]\r\nk=3\r\n"}, {"[a]\nx=1", "[a]\nx=1\r\n[s]\r\nk=3\r\n"},
            {"[s]\r\nk=1\r\n", "[s]\r\nk=v  [x] y=1 z\r\n", "v\r\n[x]\ry=1\nz"},
            {"", "[a  [b]]\r\nk j=3\r\n", "3", "a\r\n[b]", "k\nj"},
            {"", "[s]\r\nk=\xe9t\xe9 \x80\x93?\r\n", u"été €“日"_s}};
        // clang-format on
        for (const Write &w : rows)
            QTest::newRow(w.after.toPercentEncoding(" []=;'\"").left(48)) << w;
    }
    void write()
    {
        QFETCH(Write, w);
        QCOMPARE(profileUpdate(w.before, w.section, w.key, w.value), w.after);
    }
    void files() // keys that cannot be read back, files that cannot be written: left alone
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("p.ini"), ro = dir.filePath("ro.ini"),
                      big = dir.filePath("big.ini"), fresh = dir.filePath("new.ini"), d = "d";
        const QByteArray original = "[s]\r\nk=1\r\n[t]\r\nk=2\r\n",
                         limit = "[s]\r\nk=1\r\n" + QByteArray(kMaxProfileFileBytes - 10, ';');
        QVERIFY(putFile(ini, original) && putFile(ro, original) && putFile(big, limit));
        QCOMPARE(readProfileString(big, "s", "k", d), u"1"_s); // 1 MiB still is a profile file
        QVERIFY(putFile(big, limit + ';') && QFile::setPermissions(ro, QFileDevice::ReadOwner));
        QCOMPARE(readProfileFile(big).error().kind, FileProblem::TooLarge);
        QCOMPARE(readProfileString(big, "s", "k", d), d);
        using enum FileProblem;
        // clang-format off
        QList<std::tuple<QString, QString, FileProblem>> cases = {{ini, " \r\n", EmptyKey},
            {ini, "a=b", BadKey}, {ini, " ;k", BadKey}, {ini, "[t]", BadKey},
            {dir.filePath("no/p.ini"), "k", MissingFolder}, {dir.path(), "k", Folder},
            {big, "k", TooLarge}};
        // clang-format on
        if (!QFileInfo(ro).isWritable()) // the superuser writes read-only files
            cases.append({ro, "k", ReadOnly});
        for (const auto &[path, key, kind] : cases) {
            const FileStatus r = writeProfileString(path, "s", key, "3");
            QVERIFY2(!r && r.error().kind == kind, qPrintable(path + u' ' + key));
            QCOMPARE(profileUpdate(original, "s", key, "3") == original, key != u"k");
        }
        QVERIFY(writeProfileString(ini, "t", "k", "3"));
        QVERIFY(writeProfileString(fresh, "s", "k", "3"));
        QCOMPARE(fileBytes(ini) + fileBytes(fresh) + fileBytes(ro) + fileBytes(big),
                 "[s]\r\nk=1\r\n[t]\r\nk=3\r\n[s]\r\nk=3\r\n" + original + limit + ';');
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"big.ini", "new.ini", "p.ini", "ro.ini"})); // no temporary file left
    }
    void settingsDir() // beside a program not installed that can write there, else per user
    {
        QTemporaryDir tmp;
        const QString bin = tmp.filePath("bin"), user = tmp.filePath("config");
        const QString ini = user + "/param.ini", beside = bin + "/param.ini";
        const QByteArray kept = "[Port COM]\r\nvaleur=3\r\n";
        QVERIFY(QDir(tmp.path()).mkpath("bin") && putFile(beside, kept));
        QCOMPARE(chooseSettingsDir(bin + '/', user), bin);
        QCOMPARE(chooseSettingsDir(tmp.filePath("gone"), user), user);
        QVERIFY(QFileInfo(user).isDir() && !QFile::exists(ini));
        // Installed (its menu entry beside): the temporaries go from the per-user folder only.
        QVERIFY(QDir(tmp.path()).mkpath("share/applications")
                && putFile(tmp.filePath("share/applications/platine.desktop"), "x"));
        QVERIFY(putFile(user + "/param.ini.AbCdEf", "x")
                && putFile(bin + "/param.ini.AbCdEf", "x"));
        QCOMPARE(chooseSettingsDir(bin, user), user); // installed: param.ini carried over
        QVERIFY(putFile(beside, "v=5"));
        QCOMPARE(chooseSettingsDir(bin, user), user); // once: never over the user's own
        QCOMPARE(fileBytes(ini), kept);
        QVERIFY(QFile::remove(ini) && putFile(beside, QByteArray(kMaxProfileFileBytes + 1, 'x')));
        QCOMPARE(chooseSettingsDir(bin, user), user); // no profile file: not carried
        QCOMPARE(QDir(user).entryList(QDir::Files | QDir::Hidden), QStringList()); // no stray file
        QCOMPARE(QDir(bin).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"param.ini", "param.ini.AbCdEf"}));
    }
    void startUpRemovesOwnTemporaries_data() // those of a killed save, no other entry
    {
        using L = QStringList;
        QTest::addColumn<L>("files");   // in the settings folder before start-up
        QTest::addColumn<L>("folders"); // likewise
        QTest::addColumn<L>("links");   // likewise, to the first of the files
        QTest::addColumn<L>("left");    // every entry after it, sorted
        const L several = {"param.ini", "param.ini.VaIOYo", "param.ini.ZZaiC0", "debug.ini.a1B2c3",
                           "notes.txt"};
        const L lookAlikes = {"Param.ini.AbCdEf", "horaires.txt.AbCdEf", "param.ini.Ab-dEf",
                              "param.ini.AbCdE",  "param.ini.AbCdEfG",   "param.ini.bak",
                              "xparam.ini.AbCdEf"};
        // clang-format off
        QTest::newRow("those of param.ini and debug.ini, beside other files")
            << several << L{} << L{} << L{"notes.txt", "param.ini"};
        QTest::newRow("names that only look like one") << lookAlikes << L{} << L{} << lookAlikes;
        QTest::newRow("a folder named like one")
            << L{} << L{"param.ini.AbCdEf"} << L{} << L{"param.ini.AbCdEf"};
#ifndef Q_OS_WIN // there QFile::link makes a shortcut file, not a symbolic link
        QTest::newRow("a link named like one")
            << L{"target"} << L{} << L{"param.ini.AbCdEf"} << L{"param.ini.AbCdEf", "target"};
#endif
        // clang-format on
    }
    void startUpRemovesOwnTemporaries()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, links);
        QFETCH(QStringList, left);
        QTemporaryDir tmp;
        for (const QString &name : files)
            QVERIFY(putFile(tmp.filePath(name), "[Port COM]\r\nvaleur=3\r\n"));
        for (const QString &name : folders)
            QVERIFY(QDir(tmp.path()).mkdir(name));
        for (const QString &name : links)
            QVERIFY(QFile::link(tmp.filePath(files.first()), tmp.filePath(name)));
        QCOMPARE(chooseSettingsDir(tmp.path(), tmp.filePath("unused")), tmp.path());
        QCOMPARE(QDir(tmp.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 left);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
