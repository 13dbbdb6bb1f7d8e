// Guards against: acquisitions read into the wrong slots, loads that stop wrong, unbounded memory.
#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

// A device that hands out its bytes `piece` at a time, then reports the end or, when it fails,
// an error.
struct Device : QIODevice {
    QByteArray bytes;
    qint64 piece = 1, at = 0;
    bool fails = false;
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, piece, qint64(bytes.size()) - at});
        memcpy(data, bytes.constData() + at, size_t(n));
        at += n;
        return n > 0 || !fails ? n : -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// "period|date|rows end@line", "-" for a line not read, " data" when a data line was seen and
// " error" when a reason was given.
QString summary(const AcquisitionReadResult &r)
{
    const char *ends[] = {"eof", "short", "capacity", "error"};
    return u"%1|%2|%3 %4@%5%6%7"_s.arg(r.periodLine.value_or(u"-"_s), r.dateLine.value_or(u"-"_s))
        .arg(r.rowsStored)
        .arg(QLatin1String(ends[int(r.end)]))
        .arg(r.endLine)
        .arg(QLatin1String(r.dataLineSeen ? " data" : ""),
             QLatin1String(r.error.isEmpty() ? "" : " error"));
}

// The stored rows from `from` on, up to the last one holding anything, as the nine fields of a
// data line ("" for an empty slot or one the store does not have).
QStringList rowsOf(const AcquisitionData &s, int from = 0)
{
    QStringList out;
    for (int r = from; r < AcquisitionData::kRows; ++r) {
        QStringList fields;
        for (Channel c : kAllChannels) {
            const bool held = AcquisitionData::holds(c, r) && s.at(c, r).has_value();
            fields << (held ? QString::number(*s.at(c, r)) : QString());
        }
        out << fields.join(u';');
    }
    while (!out.isEmpty() && out.last() == u";;;;;;;;")
        out.removeLast();
    return out;
}

} // namespace

class TestAcquisitionReader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fails"); // the device fails after the bytes of the file
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("from"); // the first row compared
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const char *name, const QByteArray &file, const QString &result,
                            const QStringList &rows, bool fails = false, int from = 0) {
            QTest::newRow(name) << file << fails << result << from << rows;
        };
        // "(s)" first, then "/", then ";"; the last period and date lines stay.
        row("classification",
            "12/03/2011;1;2;3;4;5;6;7;8;\r\nx (s);1;2;3;4;5;6;7;8;\r\nP\xe9riode (s) : 10 / 2\r\n"
            "bonjour\r\n(S)\r\n\r\ntemp;a;b;c;d;e;f;g;h;",
            u"Période (s) : 10 / 2|12/03/2011;1;2;3;4;5;6;7;8;|1 eof@0 data"_s,
            {"0;0;0;0;0;0;0;0;0"});
        row("fields", "21.5;250V ;12,5;abc;;&HFFFF;1e2;-3.25; 2 45 7;\r\n6;6;6;6;6;0;1;0;1;99;98;",
            "-|-|2 eof@0 data", {"21.5;250;12.5;0;0;-1;100;-3.25;2457", "6;6;6;6;6;0;1;0;1"});
        row("decimal commas", "21,5;,5;5,;1,2,3;1 ,5;-0,25;1,5e2;7, 5;1.5,2;\r\n",
            "-|-|1 eof@0 data", {"21.5;0;5;1.2;1;-0.25;150;7;1.5"});
        row("UTF-8 headers", "P\xc3\xa9riode (s) : 10\r\nCapture : 01/02/2020 \xc3\r\n",
            u"Période (s) : 10|Capture : 01/02/2020 Ã|0 eof@0"_s, {}); // the date no UTF-8
        row("short line", "1;2;3;4;5;6;7;8;9;\r\n31;32;33;34;35;1;0;1;1\r\n01/01/2020\r\n7;7;7;",
            "-|-|1 short@2 data", {"1;2;3;4;5;6;7;8;9", "31;32;33;34;35;1;0;1;"});
        QByteArray rows = "Periode (s) : 2\r\n";
        for (int r = 0; r < 2500; ++r)
            rows += QByteArray::number(r) + ";2;3;4;" + QByteArray::number(r + 0.5) + ';'
                + QByteArray::number(r % 2) + ";1;1;0;\r\n";
        row("capacity: row 2000 and slot 8000 stored", rows + "31/12/2020\r\n",
            "Periode (s) : 2|-|2000 capacity@2002 data",
            {"1999;2;3;4;1999.5;1;1;1;0", "2000;2;3;4;2000.5;0;;;"}, false, 1999);
        // A first line of 64 KiB - 1 bytes puts its line end's first byte last in the first chunk.
        const QByteArray spaces(65534, ' ');
        for (const QByteArray end : {"\r\n", "\r", "\n"}) {
            for (const QByteArray &first : {QByteArray(), QByteArray('x' + spaces + end)}) {
                row(QByteArray(end + first.left(1)).toPercentEncoding(),
                    first + "Periode (s) : 2" + end + "01/02/2020" + end + "1;2;3;4;5;6;7;8;9;"
                        + end + "9;8;7;6;5;4;3;2;1;" + end + "7;",
                    u"Periode (s) : 2|01/02/2020|2 short@%1 data"_s.arg(first.isEmpty() ? 5 : 6),
                    {"1;2;3;4;5;6;7;8;9", "9;8;7;6;5;4;3;2;1", "7;;;;;;;;"});
            }
        }
        // Lines are kept up to the bound: the ";" of the second line lie beyond it.
        const QByteArray date = "01/02/2020 " + QByteArray(300 * 1024, 'z');
        row("over-long lines",
            date + "\r\n" + QByteArray(kMaxLineBytes, 'a') + "1;2;3;4;5;6;7;8;9;\n8;",
            u"-|"_s + QString::fromLatin1(date.left(kMaxLineBytes)) + u"|0 short@3 data",
            {"8;;;;;;;;"});
        // The device fails in the middle of a line: the cut line is not used.
        row("read error", "1;2;3;4;5;6;7;8;9;\n6;6;6;6;6;6;6;6;6;\n7;", "-|-|2 error@3 data error",
            {"1;2;3;4;5;6;7;8;9", "6;6;6;6;6;6;6;6;6"}, true);
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, fails);
        QFETCH(QString, result);
        QFETCH(int, from);
        QFETCH(QStringList, rows);
        for (const qint64 piece : {qint64(1) << 16, qint64(1)}) { // whole chunks, byte by byte
            Device device;
            device.bytes = file;
            device.fails = fails;
            device.piece = piece;
            QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
            const auto store = std::make_unique<AcquisitionData>();
            QCOMPARE(summary(readAcquisition(device, *store)), result);
            QCOMPARE(rowsOf(*store, from), rows);
        }
    }
    void load_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("result");   // "" when refused with a reason
        QTest::addColumn<QStringList>("rows"); // afterwards
        const QString one = m_dir.filePath(u"one.txt"_s), huge = m_dir.filePath(u"huge.bin"_s);
        const QString schedule = m_dir.filePath(u"schedule.txt"_s);
        QFile sch(schedule), f(one), h(huge);
        QVERIFY(sch.open(QIODevice::WriteOnly) && f.open(QIODevice::WriteOnly)
                && h.open(QIODevice::WriteOnly));
        sch.write("[txt0]\r\nvaleur=08:30:00\r\n[txt6]\r\nvaleur=10 (s)\r\n");
        f.write("1;2;3;4;5;6;7;8;9;\r\n");
        // A wrong file picked by mistake: 200 MB without a line end (a hole of NUL bytes where the
        // file system allows it), then a date line.
        h.write("21;1;2;3;4;1;0;1;0;");
        QVERIFY(h.resize(200 << 20) && h.seek(200 << 20) && h.write("\n31/12/2020\r\n") > 0);
        const QStringList before = {";;;;;;;;", "5;;;;;;;;1"};
        QTest::newRow("file") << one << "-|-|1 eof@0 data" << QStringList{"1;2;3;4;5;6;7;8;9"};
        QTest::newRow("200 MB without line ends")
            << huge << "-|31/12/2020|1 eof@0 data" << QStringList{"21;1;2;3;4;1;0;1;0"};
        QTest::newRow("no data line") << schedule << "valeur=10 (s)|-|0 eof@0" << before;
        QTest::newRow("missing") << m_dir.filePath(u"missing.txt"_s) << "" << before;
        QTest::newRow("directory") << m_dir.path() << "" << before;
        QTest::newRow("no path") << QString() << "" << before;
        QTest::newRow("device that never ends") << u"/dev/zero"_s << "" << before;
        // A regular file that cannot be opened: made unreadable or, as root reads any file, a
        // write-only kernel attribute.
        QString locked = m_dir.filePath(u"locked.txt"_s);
        if (geteuid() == 0)
            locked = u"/sys/bus/platform/drivers_probe"_s;
        else if (QFile::copy(one, locked))
            QFile::setPermissions(locked, {});
        if (QFileInfo(locked).isFile() && !QFile(locked).open(QIODevice::ReadOnly))
            QTest::newRow("cannot be opened") << locked << "" << before;
    }
    // A file with data lines replaces the whole store; any other leaves it as it was. Any file
    // loads in one pass with memory bounded by the line bound.
    void load()
    {
        QFETCH(QString, path);
        QFETCH(QString, result);
        QFETCH(QStringList, rows);
        const auto store = std::make_unique<AcquisitionData>();
        store->at(Channel::Temperature, 1) = 5;
        store->logicSlot(7) = 1;
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const Result<AcquisitionReadResult> read = loadAcquisitionFile(path, *store);
        getrusage(RUSAGE_SELF, &after);
        QCOMPARE_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024); // KiB
        QCOMPARE(read ? summary(*read) : QString(), result);
        QCOMPARE(read.reason().isEmpty(), read.ok());
        QCOMPARE(rowsOf(*store), rows);
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionReader)
#include "tst_acquisitionreader.moc"
