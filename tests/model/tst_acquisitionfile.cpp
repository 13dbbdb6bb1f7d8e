// Guards against: windows of a long file unlike its rows, overviews hiding values, stale reads.
#include "model/AcquisitionData.h"
#include "model/AcquisitionFile.h"
#include "model/Overview.h"
#include "support/Files.h"
#include "support/PassKept.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

// The values of row r of a generated file: the temperature with one decimal, a spike on ANA 3 at
// every 1000th row, ANA 4 negative, the logic inputs the low bits of r.
RowValues generatedRow(qint64 r)
{
    return {double(r * 7 % 1000) / 10, double(r % 1024),
            double(r * 13 % 1024),     r % 1000 == 999 ? 5000.0 : 100.0,
            -double(r % 50),           double(r & 1),
            double(r >> 1 & 1),        double(r >> 2 & 1),
            double(r >> 3 & 1)};
}

QByteArray lineOf(const RowValues &v)
{
    QByteArray line;
    for (double x : v)
        line += QByteArray::number(x, 'g', 17) + ';';
    return line + "\r\n";
}

// A file of `rows` generated rows under a period and a date line, with a line cut short after
// every `shortEvery` rows and a second period line three quarters in (past the first piece read).
QByteArray generatedFile(qint64 rows, qint64 shortEvery)
{
    QByteArray file = "Periode (s) : 2\r\n12/03/2011 10:00\r\n";
    for (qint64 r = 0; r < rows; ++r) {
        file += lineOf(generatedRow(r));
        if (shortEvery && r % shortEvery == shortEvery - 1)
            file += "21.5;250;\r\n";
        if (r == rows * 3 / 4)
            file += "Periode (s) : 10\r\n";
    }
    return file;
}

// A file of rows of small values with many ties (so that the first row of a least or greatest
// value matters), negative ones, an empty ANA 2 field every 7th row (read as 0) and a line cut
// short every 1000 rows; `values` gets the rows as a read of the file gives them.
QByteArray figuresFile(qint64 rows, std::vector<RowValues> &values)
{
    QByteArray file = "Periode (s) : 2\r\n";
    for (qint64 r = 0; r < rows; ++r) {
        const bool empty = r % 7 == 0;
        const RowValues v = {double(r * 37 % 101 - 50) / 2,
                             double(r * 7 % 13),
                             empty ? 0.0 : double(r % 5),
                             double(r % 1000 == 777 ? 9999 : r % 3),
                             -double(r * 11 % 17),
                             double(r & 1),
                             double(r % 3 == 0),
                             1,
                             double(r % 5 == 0 ? 2 : 0)};
        values.push_back(v);
        for (std::size_t k = 0; k < v.size(); ++k)
            file += (k == 2 && empty ? QByteArray() : QByteArray::number(v[k], 'g', 17)) + ';';
        file += "\r\n";
        if (r % 1000 == 999)
            file += "21.5;250;\r\n";
    }
    return file;
}

std::unique_ptr<AcquisitionFile> loaded(const QString &path)
{
    auto opened = AcquisitionFile::open(path);
    if (!opened)
        return nullptr;
    (*opened)->wait();
    return std::move(*opened);
}

} // namespace

class TestAcquisitionFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_long;
    static constexpr qint64 kLongRows = 12000;
    static constexpr qint64 kFigureRows = 270001; // more than 4096 blocks; a short last block
    std::vector<RowValues> m_figureValues;

    std::unique_ptr<AcquisitionFile> figureFile()
    {
        const QString path = m_dir.filePath(u"figures.txt"_s);
        if (m_figureValues.empty()
            && !test::putFile(path, figuresFile(kFigureRows, m_figureValues)))
            return nullptr;
        return loaded(path);
    }

    // Against the rows one by one: the first least and greatest value, the sum, the levels.
    void compareFigures(const Figures &got, qint64 first, qint64 end)
    {
        QCOMPARE(got.rows, end - first);
        if (end == first)
            return;
        const auto from = m_figureValues.begin() + first;
        const auto to = m_figureValues.begin() + end;
        for (std::size_t k = 0; k < kChannelCount; ++k) {
            const auto less = [k](const RowValues &a, const RowValues &b) { return a[k] < b[k]; };
            const auto low = std::min_element(from, to, less);  // the first of the least
            const auto high = std::max_element(from, to, less); // the first of the greatest
            QCOMPARE(got.min[k], (*low)[k]);
            QCOMPARE(got.minRow[k], first + (low - from));
            QCOMPARE(got.max[k], (*high)[k]);
            QCOMPARE(got.maxRow[k], first + (high - from));
            double sum = 0;
            for (auto it = from; it != to; ++it)
                sum += (*it)[k];
            QVERIFY(std::abs(got.sum[k] - sum) <= 1e-9 * std::max(1.0, std::abs(sum)));
            if (k >= kAnalogChannelCount) {
                const bool low0 = std::any_of(from, to, [k](auto &v) { return v[k] == 0; });
                const bool high1 = std::any_of(from, to, [k](auto &v) { return v[k] == 1; });
                QCOMPARE(bool(got.logic[k - kAnalogChannelCount] & levels::kLow), low0);
                QCOMPARE(bool(got.logic[k - kAnalogChannelCount] & levels::kHigh), high1);
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_long = m_dir.filePath(u"long.txt"_s);
        QVERIFY(test::putFile(m_long, generatedFile(kLongRows, 997)));
    }

    void wholeFileRead()
    {
        const auto file = loaded(m_long);
        QVERIFY(file);
        const AcquisitionFileProgress p = file->progress();
        QCOMPARE(p.state, AcquisitionFileProgress::State::Done);
        QCOMPARE(p.rows, kLongRows);
        QCOMPARE(p.skippedLines, kLongRows / 997);
        QCOMPARE(p.firstSkipped, 2 + 997 + 1); // two header lines, 997 rows, then the short one
        QCOMPARE(p.periodLine, u"Periode (s) : 10"_s);
        QCOMPARE(p.bytesRead, p.size);
    }

    // A window holds the rows a read of the whole file gives, whatever its first row.
    void window_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::newRow("start") << 0LL;
        QTest::newRow("inside a group of 64") << 63LL;
        QTest::newRow("last row") << kLongRows - 1;
    }
    void window()
    {
        QFETCH(qint64, first);
        const auto file = loaded(m_long);
        auto store = std::make_unique<AcquisitionData>();
        QVERIFY(file->fill(first, *store).ok());
        const int rows = int(std::min<qint64>(kLongRows - first, AcquisitionData::kRows));
        QCOMPARE(store->rows, rows);
        for (int r = 0; r < AcquisitionData::kRows; ++r) {
            const RowValues expected = generatedRow(first + r);
            for (Channel c : kAllChannels) {
                if (!AcquisitionData::holds(c, r))
                    continue;
                const AcquisitionData::Slot want = r < rows
                    ? AcquisitionData::Slot(expected[std::size_t(column(c))])
                    : std::nullopt;
                if (store->at(c, r) != want)
                    QFAIL(qPrintable(u"row %1, field %2"_s.arg(first + r).arg(column(c))));
            }
        }
    }

    void windowOutsideTheRows()
    {
        const auto file = loaded(m_long);
        auto store = std::make_unique<AcquisitionData>();
        QVERIFY(!file->fill(kLongRows, *store).ok());
        QVERIFY(!file->fill(-1, *store).ok());
    }

    // Each overview column covers its rows, the columns cover the file in order, and its least and
    // greatest values and logic levels are those of its rows.
    void overview_data()
    {
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("fewer rows than columns") << 300LL << 825;
        QTest::newRow("one column") << 5000LL << 1;
        QTest::newRow("blocks merged, about a block a column")
            << 2 * Overview::kMaxBlocks + 123 << int(Overview::kMaxBlocks / 2);
    }
    void overview()
    {
        QFETCH(qint64, rows);
        QFETCH(int, columns);
        QRandomGenerator random(uint(rows * 31 + columns));
        std::vector<RowValues> values(std::size_t(rows), RowValues{});
        QByteArray bytes;
        for (RowValues &v : values) {
            for (double &x : v)
                x = double(random.bounded(-500, 500)) / 4;
            for (int b = kAnalogChannelCount; b < kChannelCount; ++b)
                v[std::size_t(b)] = double(random.bounded(3)); // 0, 1 or 2
            bytes += lineOf(v);
        }
        const QString path = m_dir.filePath(u"random.txt"_s);
        QVERIFY(test::putFile(path, bytes));
        const auto file = loaded(path);
        const std::vector<OverviewColumn> got = *file->overview(columns);
        QCOMPARE(int(got.size()), columns);
        qint64 next = 0;
        for (const OverviewColumn &c : got) {
            QVERIFY(c.first == next || (c.first < next && rows < columns)); // a block spans columns
            QVERIFY(c.end > c.first);
            next = c.end;
            OverviewSummary brute;
            for (qint64 r = c.first; r < c.end; ++r)
                brute.take(values[std::size_t(r)]);
            QCOMPARE(c.summary.min, brute.min);
            QCOMPARE(c.summary.max, brute.max);
            QCOMPARE(c.summary.logic, brute.logic);
        }
        QCOMPARE(next, rows);
    }

    // A file rewritten (same size, later time) or removed after its load: the window is refused
    // and the store keeps what it held. A shortened one: see the viewer's tests.
    void fileChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<AcquisitionFileFailure::Kind>("kind");
        QTest::newRow("rewritten") << "rewrite" << AcquisitionFileFailure::Kind::Changed;
        QTest::newRow("removed") << "remove" << AcquisitionFileFailure::Kind::Gone;
    }
    void fileChanged()
    {
        QFETCH(QString, change);
        const QString path = m_dir.filePath(u"changing.txt"_s);
        const QByteArray bytes = generatedFile(3000, 0);
        QVERIFY(test::putFile(path, bytes));
        const auto file = loaded(path);
        if (change == u"remove")
            QVERIFY(QFile::remove(path));
        else {
            QByteArray other = bytes;
            other.replace("Periode", "periode");
            QVERIFY(test::putFile(path, other));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                  QFileDevice::FileModificationTime));
        }
        auto store = std::make_unique<AcquisitionData>();
        store->at(Channel::Analog1, 0) = 77;
        const auto filled = file->fill(1000, *store);
        QTEST(filled.error().kind, "kind");
        QCOMPARE(store->at(Channel::Analog1, 0), 77.0);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<AcquisitionFileFailure::Kind>("kind");
#ifdef Q_OS_UNIX
        QTest::newRow("device that never ends")
            << u"/dev/zero"_s << AcquisitionFileFailure::Kind::NotRegular;
#else
        QTest::newRow("directory") << m_dir.path() << AcquisitionFileFailure::Kind::NotRegular;
#endif
    }
    void openFailures()
    {
        QFETCH(QString, path);
        QTEST(AcquisitionFile::open(path).error().kind, "kind");
    }

    // The figures of a span, from the index and the rows read again at its ends, are those of
    // its rows one by one: spans aligned with the blocks of 64 rows and not, across the levels
    // of the index (64 and 4096 blocks), at the file's start, middle and end.
    void figuresOfSpans_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("end");
        QTest::newRow("whole file") << 0LL << kFigureRows;
        QTest::newRow("inside a block") << 5LL << 40LL;
        QTest::newRow("whole blocks") << 64LL << 64 * 100LL;
        QTest::newRow("unaligned, middle") << 1001LL << 150001LL;
        QTest::newRow("across 4096 blocks") << 262000LL << 263000LL;
        QTest::newRow("over two levels") << 63LL << 4096 * 64 + 65LL;
        QTest::newRow("end, unaligned") << kFigureRows - 777 << kFigureRows;
        QTest::newRow("short last block") << kFigureRows - 10 << kFigureRows;
        QTest::newRow("past the end") << kFigureRows - 10 << kFigureRows + 500;
    }
    void figuresOfSpans()
    {
        QFETCH(qint64, first);
        QFETCH(qint64, end);
        const auto got = figureFile()->figures(first, end);
        QVERIFY(got.ok());
        compareFigures(*got, first, std::min(end, kFigureRows));
    }

    // The figures of many spans at once (the columns of a drawing) are those of each span.
    void figuresOfColumns()
    {
        const std::vector<qint64> bounds{0, 100, 6400, 6401, 6464, 200000, kFigureRows};
        const auto got = figureFile()->figures(bounds);
        QVERIFY(got.ok());
        QCOMPARE(got->size(), bounds.size() - 1);
        for (std::size_t i = 0; i < got->size(); ++i)
            compareFigures((*got)[i], bounds[i], bounds[i + 1]);
    }

    // While the file loads, the figures of the rows read so far, read from the index while the
    // thread appends to it (which ThreadSanitizer checks), and at last those of every row.
    void figuresWhileLoading()
    {
        QVERIFY(figureFile()); // written
        auto opened = AcquisitionFile::open(m_dir.filePath(u"figures.txt"_s));
        QVERIFY(opened.ok());
        AcquisitionFile &file = **opened;
        qint64 rows = 0;
        do {
            rows = file.progress().rows;
            QCOMPARE(file.figures(0, rows)->rows, rows);
        } while (rows < kFigureRows);
        compareFigures(*file.figures(0, rows), 0, rows);
    }

    // Two threads sorting the lines of a piece keep what one keeps, bit for bit, wherever the
    // pieces and the parts of a piece end, whatever lines the later parts hold.
    void twoThreadsAsOne_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");
        const QByteArray rows = generatedFile(3000, 0); // 34 to 60 bytes a line
        const auto line = [&rows](int n) {              // where line n starts
            qsizetype at = 0;
            while (--n > 0)
                at = rows.indexOf('\n', at) + 1;
            return at;
        };
        const auto with = [&](int n, const QByteArray &lines) {
            return QByteArray(rows).insert(line(n), lines);
        };
        QTest::newRow("pieces end between CR and LF") << rows << int(rows.indexOf('\r', 4000) + 1);
        QTest::newRow("lone CR") << QByteArray(rows).replace("\r\n", "\r") << 4096;
        QTest::newRow("lone LF, one piece")
            << QByteArray(rows).replace("\r\n", "\n") << int(rows.size());
        QTest::newRow("lines longer than a piece")
            << with(200,
                    "1;2;3;4;5;6;7;8;9;" + QByteArray(100000, '5') + "\r\n" + QByteArray(5000, 'x')
                        + "\r\n")
            << 4096;
        QTest::newRow("lines cut short and fields without a number, late in a piece")
            << with(90, "21.5;250;\r\n;;;;;;;;;\r\n1;;3;4;5;6;7;8;9;\r\n21;\r\n") << 4096;
        QTest::newRow("date lines in the first and the last part")
            << with(95, "12/03/2011 11:00\r\n") << 4096;
        QTest::newRow("no rows after the first part")
            << rows.left(line(12)) + QByteArray("note\r\n").repeated(3000) << 4096;
        QTest::newRow("pieces of one byte") << rows.left(line(300)) << 1;
        // The overview's blocks grow to 2, then 4 rows: the parts keep their rows in groups.
        QTest::newRow("past 131,072 rows") << generatedFile(140000, 0) << (1 << 20);
    }
    void twoThreadsAsOne()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        FilePass one;
        FilePass two;
        FilePass::Helper helper;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            one.feed(bytes.constData() + at, std::min<qsizetype>(piece, bytes.size() - at));
            two.feed(bytes.constData() + at, std::min<qsizetype>(piece, bytes.size() - at),
                     &helper);
        }
        one.finish();
        two.finish();
        const test::PassKept want = test::passKept(one);
        const test::PassKept got = test::passKept(two);
        QCOMPARE(got.counts, want.counts);
        QCOMPARE(got.headers, want.headers);
        QCOMPARE(got.offsets, want.offsets);
        QVERIFY(got.values == want.values);
    }

    // A wrong file picked by mistake, 200 MB without a line end: read in one pass, in bounded
    // memory, and its date line still found.
    void hugeLineInBoundedMemory()
    {
        const QString huge = m_dir.filePath(u"huge.bin"_s);
        QFile h(huge);
        QVERIFY(h.open(QIODevice::WriteOnly));
        h.write("21;1;2;3;4;1;0;1;0;");
        QVERIFY(h.resize(200 << 20) && h.seek(200 << 20) && h.write("\n31/12/2020\r\n") > 0);
        h.close();
#ifdef Q_OS_UNIX
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const auto file = loaded(huge);
        getrusage(RUSAGE_SELF, &after);
        QCOMPARE_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024); // KiB
#else
        const auto file = loaded(huge); // the peak memory is measured where the system tells it
#endif
        QCOMPARE(file->progress().rows, 1);
        QCOMPARE(file->progress().dateLine, u"31/12/2020"_s);
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionFile)
#include "tst_acquisitionfile.moc"
