// The acquisition file reader: line classification, fields, stops, line ends, bounded lines and
// the load that empties the store only once the file is open.

#include "viewer/AcquisitionData.h"
#include "viewer/AcquisitionReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace platine;
using End = AcquisitionReadResult::End;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

std::unique_ptr<AcquisitionData> emptyStore()
{
    return std::make_unique<AcquisitionData>();
}

// A data line of nine fields.
QByteArray dataLine(double t, double a1, double a2, double a3, double a4, int l1, int l2, int l3,
                    int l4)
{
    return QByteArray::number(t) + ';' + QByteArray::number(a1) + ';' + QByteArray::number(a2)
           + ';' + QByteArray::number(a3) + ';' + QByteArray::number(a4) + ';'
           + QByteArray::number(l1) + ';' + QByteArray::number(l2) + ';' + QByteArray::number(l3)
           + ';' + QByteArray::number(l4) + ';';
}

// Peak resident memory of this process, in KiB (0 when unknown).
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// A device that hands out some bytes, then fails.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray first) : m_first(std::move(first)) {}

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_first.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>(maxSize, m_first.size());
        memcpy(data, m_first.constData(), size_t(n));
        m_first.remove(0, n);
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_first;
};

} // namespace

class TestAcquisitionReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void classification_data();
    void classification();
    void fields_data();
    void fields();
    void firstDataLine();
    void fieldsAfterTheNinthSemicolonIgnored();
    void shortLineStops_data();
    void shortLineStops();
    void capacityStopsAtRow2000();
    void lineEnds_data();
    void lineEnds();
    void crLfSplitAcrossChunks();
    void overlongLineIsCut();
    void readErrorKeepsWhatWasStored();
    void readerDoesNotClear();
    void loadEmptiesStoreAfterOpening();
    void loadLeavesStoreWhenFileCannotOpen();
    void hugeFileWithoutLineEnds();
};

void TestAcquisitionReader::classification_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<std::optional<QString>>("period");
    QTest::addColumn<std::optional<QString>>("date");
    QTest::addColumn<int>("rows");

    const std::optional<QString> none;
    QTest::newRow("period and slash is a period line")
        << QByteArray("Periode (s) : 10 / 2\r\n") << std::optional<QString>("Periode (s) : 10 / 2")
        << none << 0;
    QTest::newRow("slash and nine semicolons is a date line")
        << QByteArray("12/03/2011;1;2;3;4;5;6;7;8;\r\n") << none
        << std::optional<QString>("12/03/2011;1;2;3;4;5;6;7;8;") << 0;
    QTest::newRow("period marker with nine semicolons is a period line")
        << QByteArray("(s);1;2;3;4;5;6;7;8;\r\n") << std::optional<QString>("(s);1;2;3;4;5;6;7;8;")
        << none << 0;
    QTest::newRow("title of nine words is a data line")
        << QByteArray("temp;a1;a2;a3;a4;l1;l2;l3;l4;\r\n") << none << none << 1;
    QTest::newRow("blank and other lines are ignored")
        << QByteArray("\r\n   \r\nbonjour\r\n(S) upper case\r\n") << none << none << 0;
    QTest::newRow("last header of a kind stays")
        << QByteArray("a (s)\r\n01/02\r\nb (s)\r\n" + dataLine(1, 2, 3, 4, 5, 0, 1, 0, 1)
                      + "\r\n03/04\r\n")
        << std::optional<QString>("b (s)") << std::optional<QString>("03/04") << 1;
    QTest::newRow("Windows-1252 header")
        << QByteArray("P\xe9riode (s) : 10\r\nCapture : 1/2 \xb0" "C\r\n")
        << std::optional<QString>(QStringLiteral("Période (s) : 10"))
        << std::optional<QString>(QStringLiteral("Capture : 1/2 °C")) << 0;
}

void TestAcquisitionReader::classification()
{
    QFETCH(QByteArray, file);
    QFETCH(std::optional<QString>, period);
    QFETCH(std::optional<QString>, date);
    QFETCH(int, rows);

    auto store = emptyStore();
    const AcquisitionReadResult result = readAcquisition(file, *store);
    QCOMPARE(result.periodLine, period);
    QCOMPARE(result.dateLine, date);
    QCOMPARE(result.rowsStored, rows);
    QCOMPARE(result.end, End::EndOfFile);
    if (rows == 0) {
        QVERIFY(!store->temperature[0].has_value());
        QVERIFY(!store->logique[0].has_value());
    } else {
        // A title row stores zeros, not empty fieldSlots.
        QVERIFY(store->temperature[0].has_value());
        QVERIFY(store->logique[3].has_value());
    }
}

void TestAcquisitionReader::fields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<double>("value");

    QTest::newRow("number then blank") << QByteArray("250 ") << 250.0;
    QTest::newRow("number then unit") << QByteArray("250V") << 250.0;
    QTest::newRow("comma stops") << QByteArray("12,5") << 12.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("leading blanks and fraction") << QByteArray("  21.5") << 21.5;
    QTest::newRow("blanks inside digits") << QByteArray("2 45") << 245.0;
    QTest::newRow("negative") << QByteArray("-3.25") << -3.25;
    QTest::newRow("exponent") << QByteArray("1e2") << 100.0;
    QTest::newRow("hexadecimal") << QByteArray("&H1F") << 31.0;
    QTest::newRow("octal") << QByteArray("&O17") << 15.0;
}

// Each field goes through the leading-number rule, in every position of the line.
void TestAcquisitionReader::fields()
{
    QFETCH(QByteArray, field);
    QFETCH(double, value);

    for (int position = 0; position < 9; ++position) {
        QByteArrayList parts(9, "7");
        parts[position] = field;
        const QByteArray line = parts.join(';') + ";\r\n";
        auto store = emptyStore();
        const auto result = readAcquisition(line, *store);
        QCOMPARE(result.rowsStored, 1);
        const std::array<AcquisitionData::Slot, 9> fieldSlots = {
            store->temperature[0], store->ana1[0], store->ana2[0],
            store->ana3[0],        store->ana4[0], store->logique[0],
            store->logique[1],     store->logique[2], store->logique[3]};
        for (int k = 0; k < 9; ++k) {
            QVERIFY2(fieldSlots[std::size_t(k)].has_value(), qPrintable(QString::number(k)));
            QCOMPARE(*fieldSlots[std::size_t(k)], k == position ? value : 7.0);
        }
    }
}

void TestAcquisitionReader::firstDataLine()
{
    auto store = emptyStore();
    const auto result = readAcquisition(
        QByteArray("Periode (s) : 2\r\n21.5;250;251;252;253;0;1;0;1;\r\n20;1;2;3;4;1;1;1;0;\r\n"),
        *store);
    QCOMPARE(result.rowsStored, 2);
    QCOMPARE(store->temperature[0], 21.5);
    QCOMPARE(store->ana1[0], 250.0);
    QCOMPARE(store->ana2[0], 251.0);
    QCOMPARE(store->ana3[0], 252.0);
    QCOMPARE(store->ana4[0], 253.0);
    QCOMPARE(store->logique[0], 0.0);
    QCOMPARE(store->logique[1], 1.0);
    QCOMPARE(store->logique[2], 0.0);
    QCOMPARE(store->logique[3], 1.0);
    // The second row follows at row 1 and logic fieldSlots 4..7.
    QCOMPARE(store->temperature[1], 20.0);
    QCOMPARE(store->logique[4], 1.0);
    QCOMPARE(store->logique[7], 0.0);
    QVERIFY(!store->logique[8].has_value());
}

void TestAcquisitionReader::fieldsAfterTheNinthSemicolonIgnored()
{
    auto store = emptyStore();
    const auto result
        = readAcquisition(QByteArray("1;2;3;4;5;0;1;0;1;99;98;\r\n6;7;8;9;10;1;1;1;1;"), *store);
    QCOMPARE(result.rowsStored, 2);
    QCOMPARE(store->temperature[1], 6.0);
    QCOMPARE(store->logique[4], 1.0);
}

void TestAcquisitionReader::shortLineStops_data()
{
    QTest::addColumn<QByteArray>("shortLine");
    QTest::addColumn<int>("fieldsStored");

    QTest::newRow("eight semicolons") << QByteArray("31;32;33;34;35;1;1;1;1") << 8;
    QTest::newRow("one semicolon") << QByteArray("31;32") << 1;
    QTest::newRow("five semicolons") << QByteArray("31;32;33;34;35;") << 5;
}

// A data line with fewer than nine ";" stores the fields before the missing separator, does not
// advance the row, and ends the load: the lines after it are not read.
void TestAcquisitionReader::shortLineStops()
{
    QFETCH(QByteArray, shortLine);
    QFETCH(int, fieldsStored);

    auto store = emptyStore();
    const QByteArray file = dataLine(1, 2, 3, 4, 5, 0, 0, 0, 0) + "\r\n" + shortLine
                            + "\r\n01/01/2020\r\n" + dataLine(9, 9, 9, 9, 9, 0, 0, 0, 0) + "\r\n";
    const auto result = readAcquisition(file, *store);
    QCOMPARE(result.end, End::ShortLine);
    QCOMPARE(result.rowsStored, 1);
    QVERIFY(!result.dateLine.has_value());

    const std::array<AcquisitionData::Slot, 9> row1 = {
        store->temperature[1], store->ana1[1], store->ana2[1],
        store->ana3[1],        store->ana4[1], store->logique[4],
        store->logique[5],     store->logique[6], store->logique[7]};
    for (int k = 0; k < 9; ++k)
        QCOMPARE(row1[std::size_t(k)].has_value(), k < fieldsStored);
    QCOMPARE(store->temperature[1], 31.0);
    QVERIFY(!store->temperature[2].has_value());

    // The next load starts again at row 0.
    const auto again = readAcquisition(QByteArray("5;5;5;5;5;5;5;5;5;"), *store);
    QCOMPARE(again.rowsStored, 1);
    QCOMPARE(store->temperature[0], 5.0);
    QCOMPARE(store->temperature[1], 31.0);
}

void TestAcquisitionReader::capacityStopsAtRow2000()
{
    QByteArray file = "Periode (s) : 2\r\n";
    for (int r = 0; r < 2500; ++r)
        file += dataLine(r, r + 0.5, 2, 3, 4, r % 2, 1, 1, 0) + "\r\n";
    file += "31/12/2020\r\n";

    auto store = emptyStore();
    const auto result = readAcquisition(file, *store);
    QCOMPARE(result.end, End::Capacity);
    QCOMPARE(result.rowsStored, 2000);
    QVERIFY(result.periodLine.has_value());
    QVERIFY(!result.dateLine.has_value()); // later lines are not read
    for (int r = 0; r <= 2000; ++r) {
        QCOMPARE(store->temperature[std::size_t(r)], double(r));
        QCOMPARE(store->ana1[std::size_t(r)], r + 0.5);
        QCOMPARE(store->ana4[std::size_t(r)], 4.0);
    }
    QCOMPARE(store->logique[7996], 1.0); // row 1999, first logic field
    QCOMPARE(store->logique[7999], 0.0);
    QCOMPARE(store->logique[8000], 0.0); // row 2000 is even: its first logic field is 0
    QVERIFY(store->logique[8000].has_value());
}

void TestAcquisitionReader::lineEnds_data()
{
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("lone CR") << QByteArray("\r");
    QTest::newRow("lone LF") << QByteArray("\n");
    QTest::newRow("LF CR") << QByteArray("\n\r"); // an empty line between, ignored
}

void TestAcquisitionReader::lineEnds()
{
    QFETCH(QByteArray, end);
    const QByteArray file = "Periode (s) : 2" + end + "01/02/2020" + end
                            + dataLine(1, 1, 1, 1, 1, 1, 1, 1, 1) + end
                            + dataLine(2, 2, 2, 2, 2, 0, 0, 0, 0) + end
                            + dataLine(3, 3, 3, 3, 3, 1, 0, 1, 0);
    auto store = emptyStore();
    const auto result = readAcquisition(file, *store);
    QCOMPARE(result.periodLine, std::optional<QString>("Periode (s) : 2"));
    QCOMPARE(result.dateLine, std::optional<QString>("01/02/2020"));
    QCOMPARE(result.rowsStored, 3);
    QCOMPARE(store->temperature[2], 3.0);
    QCOMPARE(store->logique[8], 1.0);
}

// A CR at the very end of one read chunk and its LF at the start of the next make one line end.
void TestAcquisitionReader::crLfSplitAcrossChunks()
{
    for (int shift = -2; shift <= 2; ++shift) {
        QByteArray file = "x";
        file += QByteArray(64 * 1024 - 2 + shift, ' ');
        file += "\r\n";
        file += dataLine(4, 4, 4, 4, 4, 1, 1, 1, 1) + "\r\n" + dataLine(5, 5, 5, 5, 5, 0, 0, 0, 0);
        auto store = emptyStore();
        const auto result = readAcquisition(file, *store);
        QCOMPARE(result.rowsStored, 2);
        QCOMPARE(store->temperature[0], 4.0);
        QCOMPARE(store->temperature[1], 5.0);
    }
}

// An over-long line is kept up to the bound; the rest of it is skipped and the next line is read
// normally.
void TestAcquisitionReader::overlongLineIsCut()
{
    QByteArray longDate = "01/02/2020 ";
    longDate += QByteArray(300 * 1024, 'z');
    QByteArray longData = QByteArray(kMaxLineBytes + 10, 'a') + "1;2;3;4;5;6;7;8;9;";
    const QByteArray file
        = longDate + "\r\n" + longData + "\r\n" + dataLine(8, 8, 8, 8, 8, 1, 0, 0, 0) + "\n";
    auto store = emptyStore();
    const auto result = readAcquisition(file, *store);
    QVERIFY(result.dateLine.has_value());
    QCOMPARE(result.dateLine->size(), kMaxLineBytes);
    QVERIFY(result.dateLine->startsWith(QLatin1String("01/02/2020 zzz")));
    // The semicolons of the second line lie beyond the bound: it is an ignored line.
    QCOMPARE(result.rowsStored, 1);
    QCOMPARE(store->temperature[0], 8.0);
    QCOMPARE(result.end, End::EndOfFile);
}

void TestAcquisitionReader::readErrorKeepsWhatWasStored()
{
    FailingDevice device(dataLine(1, 2, 3, 4, 5, 1, 1, 1, 1) + "\r\n" + dataLine(6, 7, 8, 9, 10, 0,
                                                                                 0, 0, 0)
                         + "\r\n7;");
    QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    auto store = emptyStore();
    const auto result = readAcquisition(device, *store);
    QCOMPARE(result.end, End::ReadError);
    QCOMPARE(result.rowsStored, 2);
    QCOMPARE(store->temperature[1], 6.0);
}

// The reader itself keeps rows beyond the file's end; the load empties the store first.
void TestAcquisitionReader::readerDoesNotClear()
{
    auto store = emptyStore();
    store->temperature[3] = 42.0;
    readAcquisition(dataLine(1, 1, 1, 1, 1, 1, 1, 1, 1), *store);
    QCOMPARE(store->temperature[3], 42.0);
}

void TestAcquisitionReader::loadEmptiesStoreAfterOpening()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString &name, int rows) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Periode (s) : 2\r\n");
        for (int r = 0; r < rows; ++r)
            f.write(dataLine(100 + r, r, r, r, r, 1, 1, 1, 1) + "\r\n");
    };
    write(QStringLiteral("fifty.txt"), 50);
    write(QStringLiteral("five.txt"), 5);

    auto store = emptyStore();
    auto result = loadAcquisitionFile(dir.filePath(QStringLiteral("fifty.txt")), *store);
    QVERIFY(result.has_value());
    QCOMPARE(result->rowsStored, 50);
    QCOMPARE(store->temperature[49], 149.0);

    result = loadAcquisitionFile(dir.filePath(QStringLiteral("five.txt")), *store);
    QVERIFY(result.has_value());
    QCOMPARE(result->rowsStored, 5);
    QCOMPARE(store->temperature[4], 104.0);
    // Nothing of the first file is left beyond the second one's end.
    QVERIFY(!store->temperature[5].has_value());
    QVERIFY(!store->temperature[49].has_value());
    QVERIFY(!store->logique[20].has_value());
    QVERIFY(!store->ana4[49].has_value());
}

void TestAcquisitionReader::loadLeavesStoreWhenFileCannotOpen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto store = emptyStore();
    store->temperature[0] = 12.0;
    store->logique[8000] = 1.0;

    QVERIFY(!loadAcquisitionFile(dir.filePath(QStringLiteral("missing.txt")), *store));
    QVERIFY(!loadAcquisitionFile(dir.path(), *store)); // a directory
    QVERIFY(!loadAcquisitionFile(QString(), *store));
    QVERIFY(!loadAcquisitionFile(QStringLiteral("/dev/zero"), *store)); // never ends
    if (geteuid() != 0) {
        const QString locked = dir.filePath(QStringLiteral("locked.txt"));
        QFile f(locked);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1;2;3;4;5;6;7;8;9;\r\n");
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::Permissions()));
        QVERIFY(!loadAcquisitionFile(locked, *store));
    }
    QCOMPARE(store->temperature[0], 12.0);
    QCOMPARE(store->logique[8000], 1.0);
}

// A 200 MB file without a single line end, as a wrong file picked by mistake: the load runs
// through it in one pass, with memory bounded by the line bound, and reads what follows.
void TestAcquisitionReader::hugeFileWithoutLineEnds()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("huge.bin"));
    constexpr qint64 kSize = 200LL * 1024 * 1024;
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("21;1;2;3;4;1;0;1;0;");
        // The bulk is a hole of NUL bytes (sparse where the file system allows it).
        QVERIFY(f.resize(kSize));
        QVERIFY(f.seek(kSize));
        f.write("\n31/12/2020\r\n");
    }
    QCOMPARE(QFileInfo(path).size(), kSize + 13);

    auto store = emptyStore();
    store->temperature[5] = 9.0;
    const qint64 before = peakResidentKiB();
    QElapsedTimer timer;
    timer.start();
    const auto result = loadAcquisitionFile(path, *store);
    const qint64 elapsed = timer.elapsed();
    const qint64 after = peakResidentKiB();

    QVERIFY(result.has_value());
    QCOMPARE(result->end, End::EndOfFile);
    QCOMPARE(result->rowsStored, 1); // the first line, cut at the bound, is still a data line
    QCOMPARE(store->temperature[0], 21.0);
    QCOMPARE(store->logique[3], 0.0);
    QVERIFY(!store->temperature[5].has_value());
    QCOMPARE(result->dateLine, std::optional<QString>("31/12/2020"));
    QVERIFY2(elapsed < 20000, qPrintable(QString::number(elapsed)));
    if (before > 0)
        QVERIFY2(after - before < 16 * 1024, qPrintable(QString::number(after - before)));
}

QTEST_GUILESS_MAIN(TestAcquisitionReader)
#include "tst_acquisitionreader.moc"
