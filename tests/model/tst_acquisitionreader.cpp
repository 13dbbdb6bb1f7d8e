// The acquisition file reader: line classification, fields, stops and where they happened, line
// ends, bounded lines, and the load that replaces the store only with a file of acquisitions.

#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace platine;
using namespace Qt::StringLiterals;
using End = AcquisitionReadResult::End;
using Text = std::optional<QString>;

namespace {

// One slot after the read: array ('t' temperature, '1'..'4' analog1..analog4, 'l' logique), index and
// value (NaN: empty).
struct Expect {
    char array;
    int index;
    double value;
};
using Expects = QList<Expect>;
constexpr double kEmpty = NAN;

AcquisitionData::Slot &slotOf(AcquisitionData &s, char array, int i)
{
    auto *rows = array == 't' ? &s.temperature
        : array == '1'        ? &s.analog1
        : array == '2'        ? &s.analog2
        : array == '3'        ? &s.analog3
                              : &s.analog4;
    return array == 'l' ? s.logic[std::size_t(i)] : (*rows)[std::size_t(i)];
}

// A data line whose nine fields are all v (logic fields: v % 2).
QByteArray dataLine(int v)
{
    const QByteArray a = QByteArray::number(v) + ';', l = QByteArray::number(v % 2) + ';';
    return a + a + a + a + a + l + l + l + l;
}

// A device that hands out its bytes, then reports the end or, when it fails, an error.
struct Device : QIODevice {
    QByteArray bytes;
    bool fails = false;
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, bytes.size());
        memcpy(data, bytes.constData(), size_t(n));
        bytes.remove(0, n);
        return n > 0 || !fails ? n : -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

Q_DECLARE_METATYPE(Text)
Q_DECLARE_METATYPE(End)
Q_DECLARE_METATYPE(Expects)

class TestAcquisitionReader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fails"); // the device fails after the bytes of the file
        QTest::addColumn<Text>("period");
        QTest::addColumn<Text>("date");
        QTest::addColumn<int>("rows");
        QTest::addColumn<End>("end");
        QTest::addColumn<qint64>("endLine"); // the line the load stopped at, 0 at the end
        QTest::addColumn<Expects>("expects");
        const Text none;
        const End eof = End::EndOfFile;
        const Expects nothing{{'t', 0, kEmpty}, {'l', 0, kEmpty}};
        const auto row = [](const QByteArray &name, const QByteArray &file, const Text &period,
                            const Text &date, int rows, End end, const Expects &expects,
                            bool fails = false, qint64 endLine = 0) {
            QTest::newRow(name.constData())
                << file << fails << period << date << rows << end << endLine << expects;
        };

        // Classification: "(s)" first, then "/", then ";" (a data line); other lines ignored.
        row("(s) and /: period", "Periode (s) : 10 / 2\r\n", "Periode (s) : 10 / 2", none, 0, eof,
            nothing);
        row("/ and nine ;: date", "12/03/2011;1;2;3;4;5;6;7;8;\r\n", none,
            "12/03/2011;1;2;3;4;5;6;7;8;", 0, eof, nothing);
        row("(s) and nine ;: period", "(s);1;2;3;4;5;6;7;8;", "(s);1;2;3;4;5;6;7;8;", none, 0, eof,
            nothing);
        row("title of nine words: zeros", "temp;a;b;c;d;e;f;g;h;\r\n", none, none, 1, eof,
            {{'t', 0, 0}, {'l', 3, 0}});
        row("other lines ignored", "\r\n  \r\nbonjour\r\n(S) upper\r\n", none, none, 0, eof,
            nothing);
        row("last header of a kind stays",
            "a (s)\r\n01/02\r\nb (s)\r\n" + dataLine(1) + "\r\n03/04", "b (s)", "03/04", 1, eof,
            {{'t', 0, 1}});
        row("Windows-1252 headers",
            "P\xe9riode (s) : 10\r\nCapture : 1/2 \xb0"
            "C\r\n",
            u"Période (s) : 10"_s, u"Capture : 1/2 °C"_s, 0, eof, nothing);

        // Each field, in every position, by the leading-number rule; the next line is row 1
        // (logic slots 4..7), and its fields after the ninth ";" are ignored.
        const QList<std::tuple<const char *, QByteArray, double>> fields = {
            {"number then unit", "250V ", 250},
            {"comma stops", "12,5", 12},
            {"no number", "abc", 0},
            {"empty", "", 0},
            {"blanks, tab, fraction", " \t21.5", 21.5},
            {"blanks inside digits", " 2 45 7", 2457},
            {"negative", "-3.25", -3.25},
            {"exponent E", "1e2", 100},
            {"exponent D", "1d2", 100},
            {"exponent, sign", "1e+1+", 10},
            {"&H", "&H1F", 31},
            {"&H 16-bit signed", "&HFFFF", -1},
            {"&O", "&O17", 15}};
        for (const auto &[name, field, value] : fields) {
            for (int position = 0; position < 9; ++position) {
                QByteArrayList parts(9, "7");
                parts[position] = field;
                Expects expects{{'l', 7, 0}, {'l', 8, kEmpty}, {'t', 2, kEmpty}};
                for (int k = 0; k < 9; ++k)
                    expects.append({"t1234llll"[k], k < 5 ? 0 : k - 5, k == position ? value : 7});
                row(name + QByteArray(" in field ") + char('0' + position),
                    parts.join(';') + ";\r\n" + dataLine(6) + "99;98;", none, none, 2, eof,
                    expects);
            }
        }

        // A data line with fewer than nine ";" stores the fields before the missing one, is no
        // row, and ends the load: the lines after it are not read.
        using Short = std::pair<QByteArray, Expects>;
        for (const auto &[line, expects] :
             {Short{"31;32;33;34;35;1;1;1;1", {{'l', 6, 1}, {'l', 7, kEmpty}}},
              Short{"31;32;33;34;35;", {{'4', 1, 35}, {'l', 4, kEmpty}}},
              Short{"31;32", {{'t', 1, 31}, {'1', 1, kEmpty}, {'t', 2, kEmpty}}}}) {
            row("short line " + line,
                dataLine(1) + "\r\n" + line + "\r\n01/01/2020\r\n" + dataLine(9), none, none, 1,
                End::ShortLine, expects, false, 2);
        }

        // Row 2000 stores its temperature, analog values and logic slot 8000; then the load ends.
        QByteArray rows = "Periode (s) : 2\r\n";
        for (int r = 0; r < 2500; ++r)
            rows += QByteArray::number(r) + ";2;3;4;" + QByteArray::number(r + 0.5) + ';'
                + QByteArray::number(r % 2) + ";1;1;0;\r\n";
        row("capacity", rows + "31/12/2020\r\n", "Periode (s) : 2", none, 2000, End::Capacity,
            {{'t', 1999, 1999},
             {'t', 2000, 2000},
             {'4', 2000, 2000.5},
             {'l', 7996, 1},
             {'l', 7999, 0},
             {'l', 8000, 0}},
            false, 2002);

        // A line ends at CR LF, lone CR or lone LF, also where a 64 KiB read chunk ends: a first
        // line of 64 KiB - 1 bytes puts its line end's first byte last in the first chunk.
        for (const QByteArray end : {"\r\n", "\r", "\n", "\n\r"}) {
            const QByteArray chunkEnd = "x" + QByteArray(65534, ' ') + end;
            for (const QByteArray &first : {QByteArray(), chunkEnd}) {
                row(QByteArray(end).replace('\r', "CR ").replace('\n', "LF ")
                        + (first.isEmpty() ? "" : "at a chunk end"),
                    first + "Periode (s) : 2" + end + "01/02/2020" + end + dataLine(1) + end
                        + dataLine(2) + end + dataLine(3),
                    "Periode (s) : 2", "01/02/2020", 3, eof, {{'t', 2, 3}, {'l', 8, 1}});
            }
        }

        // A longer line is kept up to the bound, the rest skipped; here the second line's ";"
        // lie beyond the bound: it is ignored.
        const QByteArray date = "01/02/2020 " + QByteArray(300 * 1024, 'z');
        row("over-long lines",
            date + "\r\n" + QByteArray(kMaxLineBytes, 'a') + "1;2;3;4;5;6;7;8;9;\r\n" + dataLine(8),
            none, QString::fromLatin1(date.left(kMaxLineBytes)), 1, eof, {{'t', 0, 8}});

        // The device fails in the middle of a line: what was stored stays, and the cut line (a
        // short line as it stands) is not used.
        row("read error", dataLine(1) + "\r\n" + dataLine(6) + "\r\n7;", none, none, 2,
            End::ReadError, {{'t', 1, 6}, {'t', 2, kEmpty}}, true, 3);
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, fails);
        QFETCH(Text, period);
        QFETCH(Text, date);
        QFETCH(int, rows);
        QFETCH(End, end);
        QFETCH(qint64, endLine);
        QFETCH(Expects, expects);
        Device device;
        device.bytes = file;
        device.fails = fails;
        QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        auto store = std::make_unique<AcquisitionData>();
        const AcquisitionReadResult result = readAcquisition(device, *store);
        QCOMPARE(result.periodLine, period);
        QCOMPARE(result.dateLine, date);
        QCOMPARE(result.rowsStored, rows);
        QCOMPARE(result.end, end);
        QCOMPARE(result.endLine, endLine);
        QCOMPARE(result.dataLineSeen, rows > 0 || end != End::EndOfFile);
        QCOMPARE(result.error.isEmpty(), end != End::ReadError);
        for (const Expect &e : expects) {
            const auto &slot = slotOf(*store, e.array, e.index);
            QVERIFY2(std::isnan(e.value) ? !slot : slot == e.value,
                     qPrintable(u"%1[%2]"_s.arg(e.array).arg(e.index)));
        }
    }

    void load_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("rows"); // -1: not opened
        QTest::addColumn<Text>("date");
        QTest::addColumn<bool>("replaced"); // the store now holds the file's rows alone
        const QString five = m_dir.filePath(u"five.txt"_s), huge = m_dir.filePath(u"huge.bin"_s);
        const QString schedule = m_dir.filePath(u"schedule.txt"_s);
        QFile sch(schedule);
        QVERIFY(sch.open(QIODevice::WriteOnly)
                && sch.write("[txt0]\r\nvaleur=08:30:00\r\n[txt6]\r\nvaleur=10 (s)\r\n") > 0);
        QFile f(five), h(huge);
        QVERIFY(f.open(QIODevice::WriteOnly) && h.open(QIODevice::WriteOnly));
        for (int r = 0; r < 5; ++r)
            f.write(dataLine(100 + r) + "\r\n");
        // A wrong file picked by mistake: 200 MB without a line end (a hole of NUL bytes where the
        // file system allows it), then a date line.
        h.write("21;1;2;3;4;1;0;1;0;");
        QVERIFY(h.resize(200 << 20) && h.seek(200 << 20) && h.write("\n31/12/2020\r\n") > 0);
        QTest::newRow("file") << five << 5 << Text() << true;
        QTest::newRow("200 MB without line ends") << huge << 1 << Text("31/12/2020") << true;
        QTest::newRow("no data line") << schedule << 0 << Text() << false;
        QTest::newRow("missing") << m_dir.filePath(u"missing.txt"_s) << -1 << Text() << false;
        QTest::newRow("directory") << m_dir.path() << -1 << Text() << false;
        QTest::newRow("no path") << QString() << -1 << Text() << false;
        QTest::newRow("device that never ends") << u"/dev/zero"_s << -1 << Text() << false;
        // A regular file that cannot be opened: made unreadable or, as root reads any file, a
        // write-only kernel attribute.
        QString locked = m_dir.filePath(u"locked.txt"_s);
        if (geteuid() == 0)
            locked = u"/sys/bus/platform/drivers_probe"_s;
        else if (QFile::copy(five, locked))
            QFile::setPermissions(locked, {});
        if (QFileInfo(locked).isFile() && !QFile(locked).open(QIODevice::ReadOnly))
            QTest::newRow("cannot be opened") << locked << -1 << Text() << false;
    }
    // A file with data lines replaces the whole store, so nothing of an earlier, longer file is
    // left; a file that cannot be opened, or holds no data line, leaves the store as it was (and
    // a reason is given when it cannot be opened). Any file loads in one pass with memory bounded
    // by the line bound (the huge file's first line, cut at the bound, is still a data line).
    void load()
    {
        QFETCH(QString, path);
        QFETCH(int, rows);
        QFETCH(Text, date);
        QFETCH(bool, replaced);
        auto store = std::make_unique<AcquisitionData>();
        store->temperature[49] = 12.0;
        store->logic[8000] = 1.0;
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        QElapsedTimer timer;
        timer.start();
        QString why;
        const auto result = loadAcquisitionFile(path, *store, &why);
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        getrusage(RUSAGE_SELF, &after);
        QCOMPARE_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024); // KiB
        QCOMPARE(result.has_value(), rows >= 0);
        QCOMPARE(why.isEmpty(), rows >= 0);
        QCOMPARE(store->temperature[49].has_value(), !replaced);
        QCOMPARE(store->logic[8000].has_value(), !replaced);
        QCOMPARE(result ? result->rowsStored : -1, rows);
        QCOMPARE(result ? result->dateLine : Text(), date);
        QCOMPARE(result ? result->end : End::EndOfFile, End::EndOfFile);
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionReader)
#include "tst_acquisitionreader.moc"
