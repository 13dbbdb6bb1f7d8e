// Benchmarks of a long recording: a generated file of 10 million rows (about 290 MB, written once
// per run into a temporary folder, so it sits in the page cache) read in the background, its first
// full view, window moves at its start, middle and end, the overview, a cancel, and, while the
// viewer loads it (and a file of a tenth of its length, to compare), how long its event loop waits
// at most, how much work each look at the load costs it, and how long the reading thread and the
// viewer hold the lock they share.

#include "support/FakeDialogs.h" // tests/support

#include "chart/ChartArea.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/OverviewPicture.h"
#include "chart/SpanView.h"
#include "chart/ValuesLine.h"
#include "model/AcquisitionData.h"
#include "model/AcquisitionFile.h"
#include "viewer/GraphWindow.h"
#include "viewer/ProgramState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>

#include <sys/resource.h>

using namespace platine;

namespace {

constexpr qint64 kLongRows = 10'000'000;

// The long file (or a shorter one), written at the first use: varied values as the board writes
// them.
const QString &longFile(qint64 rows = kLongRows)
{
    static QTemporaryDir dir;
    static std::map<qint64, QString> paths;
    QString &path = paths[rows];
    if (path.isEmpty()) {
        const QString p = dir.filePath(QStringLiteral("long-%1.txt").arg(rows));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly))
            return path;
        f.write("Periode d'acquisition : 2 (s)\r\nCapture du 12/03/2024 a 08:00:00\r\n");
        QByteArray chunk;
        char line[96];
        unsigned seed = 11;
        for (qint64 r = 0; r < rows; ++r) {
            seed = seed * 1103515245u + 12345u;
            const unsigned v = (seed >> 8) & 0x3ff;
            const int n = std::snprintf(line, sizeof line, "%u.%u;%u;%u;%u;%u;%u;%u;%u;%u;\r\n",
                                        15 + (seed >> 20) % 20, (seed >> 16) % 10, v, 1023 - v,
                                        v / 2, v / 3, seed >> 31, (seed >> 30) & 1u, 0u, 1u);
            chunk.append(line, n);
            if (chunk.size() > (1 << 20)) {
                f.write(chunk);
                chunk.clear();
            }
        }
        f.write(chunk);
        path = p;
    }
    return path;
}

std::unique_ptr<AcquisitionFile> readWhole()
{
    auto file = AcquisitionFile::open(longFile());
    if (!file)
        return nullptr;
    (*file)->wait();
    return std::move(*file);
}

// The most memory the process has had resident so far.
qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

ChartInputs fullView()
{
    ChartInputs in;
    in.rowCount = 1000;
    return in;
}

// The whole file read: rows, offsets and overview.
void BM_LongFile_ReadWhole(benchmark::State &st)
{
    longFile();
    qint64 rows = 0;
    qint64 kept = 0;
    MeasuredMutex::Longest holds;
    for (auto _ : st) {
        const auto file = readWhole();
        rows = file->progress().rows;
        kept = file->memoryBytes();
        holds = file->lockTimes();
    }
    st.counters["rows"] = double(rows);
    st.counters["kept_bytes_per_row"] = double(kept) / double(rows);
    st.counters["thread_longest_hold_us"] = double(holds.workerHold) / 1e3;
    st.counters["thread_longest_hold_work_us"] = double(holds.workerHoldWork) / 1e3;
    st.counters["peak_resident_MB"] = double(peakResidentBytes()) / 1e6;
    st.SetBytesProcessed(st.iterations() * QFile(longFile()).size());
}
BENCHMARK(BM_LongFile_ReadWhole)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// From the start of the read to the first full view drawn (N = 1000) in the chart area.
void BM_LongFile_FirstView(benchmark::State &st)
{
    longFile();
    ChartArea area;
    area.resize(12405 / 15, 5835 / 15);
    auto store = std::make_unique<AcquisitionData>();
    ChartState state;
    for (auto _ : st) {
        auto file = AcquisitionFile::open(longFile());
        while ((*file)->progress().rows < AcquisitionData::kRows)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (!(*file)->fill(0, *store))
            st.SkipWithError("fill failed");
        drawFullView(fullView(), {*store, state, area.surface()});
        st.PauseTiming();
        file->reset(); // cancels the read
        st.ResumeTiming();
    }
}
BENCHMARK(BM_LongFile_FirstView)->Unit(benchmark::kMillisecond)->UseRealTime();

// A window move with its full view (N = 1000, line width 1), at the start, middle and end.
void BM_LongFile_Move(benchmark::State &st)
{
    static const auto file = readWhole();
    ChartArea area;
    area.resize(12405 / 15, 5835 / 15);
    auto store = std::make_unique<AcquisitionData>();
    ChartState state;
    const qint64 rows = file->progress().rows;
    const qint64 first = std::min(st.range(0) * (rows / 2), rows - 1001);
    for (auto _ : st) {
        if (!file->fill(first, *store))
            st.SkipWithError("fill failed");
        drawFullView(fullView(), {*store, state, area.surface()});
    }
    st.counters["first_row"] = double(first);
}
BENCHMARK(BM_LongFile_Move)->Arg(0)->Arg(1)->Arg(2)->ArgName("half")->Unit(benchmark::kMillisecond);

// The overview strip's picture, 825 columns, five channels.
void BM_LongFile_Overview(benchmark::State &st)
{
    static const auto file = readWhole();
    OverviewLook look;
    look.shownEnd = 1001;
    for (auto _ : st) {
        const std::vector<OverviewColumn> columns = *file->overview(825);
        benchmark::DoNotOptimize(drawOverview(columns, QSize(825, 44), look));
    }
}
BENCHMARK(BM_LongFile_Overview)->Unit(benchmark::kMillisecond);

// The long file read whole once, for the span benchmarks.
const AcquisitionFile &longRead()
{
    static const auto file = readWhole();
    return *file;
}

// The spans of the zoom: 50,000 rows (a few rows a pixel column, read again from the file),
// 1 million rows and the whole file (blocks of 64 a column, from the index).
ChartSpan benchSpan(benchmark::State &st, qint64 rows)
{
    const qint64 n = st.range(0) == 0 ? 50'000 : st.range(0) == 1 ? 1'000'000 : rows;
    const qint64 first = std::clamp<qint64>(st.range(1) * (rows / 2) - n / 2 + 17, 0, rows - n);
    return {first, n};
}

// The chart area a span is drawn into, and the pixel columns of the benchmark's span in it.
struct SpanBench {
    ChartArea area;
    SpanColumns columns;
    qint64 rows = 0;

    SpanBench(benchmark::State &st, const AcquisitionFile &file)
    {
        area.resize(12405 / 15, 5835 / 15);
        const ChartSpan span = benchSpan(st, file.progress().rows);
        columns = spanColumns(span, 12405, (area.width() - 4) * 15.0, file.progress().rows);
        rows = span.n;
    }
    void draw(const std::vector<Figures> &figures)
    {
        area.surface().clear();
        drawSpan(area.surface(), columns, figures, ChartInputs{});
    }
};

// A span shown the first time: the figures of its pixel columns and their strokes, in the chart
// area's image; at the start, middle and end of the file.
void BM_LongFile_SpanFirst(benchmark::State &st)
{
    const AcquisitionFile &file = longRead();
    SpanBench bench(st, file);
    for (auto _ : st) {
        const auto figures = file.figures(bench.columns.bounds);
        if (!figures)
            st.SkipWithError("figures failed");
        bench.draw(*figures);
    }
    st.counters["rows"] = double(bench.rows);
}
BENCHMARK(BM_LongFile_SpanFirst)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->ArgNames({"span", "half"})
    ->Unit(benchmark::kMillisecond);

// The same span drawn again from the figures of its columns.
void BM_LongFile_SpanRedraw(benchmark::State &st)
{
    const AcquisitionFile &file = longRead();
    SpanBench bench(st, file);
    const auto figures = file.figures(bench.columns.bounds);
    for (auto _ : st)
        bench.draw(*figures);
}
BENCHMARK(BM_LongFile_SpanRedraw)
    ->ArgsProduct({{0, 2}, {1}})
    ->ArgNames({"span", "half"})
    ->Unit(benchmark::kMillisecond);

// The figures of a span, its ends not on blocks: the whole file, a third of it, 50,000 rows.
void BM_LongFile_Figures(benchmark::State &st)
{
    const AcquisitionFile &file = longRead();
    const qint64 rows = file.progress().rows;
    const qint64 first = st.range(0) == 0 ? 0 : rows / 3 + 29;
    const qint64 end = st.range(0) == 0 ? rows
        : st.range(0) == 1              ? 2 * rows / 3 - 5
                                        : first + 50'000;
    for (auto _ : st)
        benchmark::DoNotOptimize(file.figures(first, end));
}
BENCHMARK(BM_LongFile_Figures)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("span")
    ->Unit(benchmark::kMillisecond);

// The valeurs line of a pixel column of many rows, as for one mouse move.
void BM_LongFile_ValuesLine(benchmark::State &st)
{
    const AcquisitionFile &file = longRead();
    const auto figures = file.figures(1000, 14000);
    for (auto _ : st)
        benchmark::DoNotOptimize(valuesLine(ChartInputs{}, 1000, 14000, *figures));
}
BENCHMARK(BM_LongFile_ValuesLine)->Unit(benchmark::kMicrosecond);

// From the cancel, 50 ms into the read, to the end of the reading thread.
void BM_LongFile_Cancel(benchmark::State &st)
{
    longFile();
    for (auto _ : st) {
        st.PauseTiming();
        auto file = AcquisitionFile::open(longFile());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        st.ResumeTiming();
        (*file)->cancel();
        (*file)->wait();
    }
}
BENCHMARK(BM_LongFile_Cancel)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// "Ouvrir fichier" in the viewer window, with its event loop running, to the end of the load:
// the longest wait of a 1 ms timer, the time to the first full view, the viewer's work on each look
// at the load (what it does when the file is told read further: captions, the overview's columns
// and picture), mean and longest, and the longest the reading thread and the viewer waited for the
// lock they share and held it (on the wall clock, and as work on the thread's processor clock).
void BM_LongFile_ViewerLoad(benchmark::State &st)
{
    const QString &path = longFile(st.range(0));
    double longestWait = 0;
    double firstView = 0;
    double lookMean = 0;
    double lookLongest = 0;
    MeasuredMutex::Longest lock;
    for (auto _ : st) {
        test::FakeDialogs dialogs;
        FileDialog fileDialog{nullptr, dialogs, nullptr};
        auto state = std::make_unique<ProgramState>();
        QElapsedTimer clock;
        clock.start();
        qint64 lookStart = 0;
        qint64 lookSum = 0;
        qint64 lookMax = 0;
        int looks = 0;
        // Connected before and after the window's own receivers of the same signal.
        FileSession &session = state->session;
        QObject::connect(&session, &FileSession::fileProgressed,
                         [&] { lookStart = clock.nsecsElapsed(); });
        GraphWindow window(fileDialog, *state);
        QObject::connect(&session, &FileSession::fileProgressed, [&] {
            const qint64 spent = clock.nsecsElapsed() - lookStart;
            lookSum += spent;
            lookMax = std::max(lookMax, spent);
            ++looks;
        });
        window.show();
        QApplication::processEvents(); // its first painting, before the load
        QTimer tick;
        tick.setInterval(1);
        qint64 last = 0;
        qint64 longest = 0;
        qint64 drawn = -1;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (drawn < 0 && session.file())
                drawn = now;
            if (!session.loading())
                QApplication::exit();
        });
        const qint64 start = clock.nsecsElapsed();
        window.loadFile(path);
        last = clock.nsecsElapsed();
        tick.start();
        QApplication::exec();
        longestWait = std::max(longestWait, double(longest) / 1e6);
        firstView = double(drawn - start) / 1e6;
        lookMean = double(lookSum) / 1e6 / std::max(1, looks);
        lookLongest = double(lookMax) / 1e6;
        lock = session.file()->lockTimes();
    }
    st.counters["longest_wait_ms"] = longestWait;
    st.counters["first_view_ms"] = firstView;
    st.counters["look_mean_ms"] = lookMean;
    st.counters["look_longest_ms"] = lookLongest;
    st.counters["thread_longest_wait_us"] = double(lock.workerWait) / 1e3;
    st.counters["thread_longest_hold_us"] = double(lock.workerHold) / 1e3;
    st.counters["thread_longest_hold_work_us"] = double(lock.workerHoldWork) / 1e3;
    st.counters["viewer_longest_wait_us"] = double(lock.callerWait) / 1e3;
    st.counters["viewer_longest_hold_us"] = double(lock.callerHold) / 1e3;
    st.counters["viewer_longest_hold_work_us"] = double(lock.callerHoldWork) / 1e3;
}
BENCHMARK(BM_LongFile_ViewerLoad)
    ->Arg(kLongRows / 10)
    ->Arg(kLongRows)
    ->ArgName("rows")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// Wheel turns over the viewer's chart once the file is read, with the event loop running, one
// every 5 ms: from the full view out to the whole file at its middle, along it with Shift + wheel,
// in near its end, out again and in near its start. The longest wait of a 1 ms timer, and the
// longest a turn took to handle (the span's figures and drawing; the painting follows in the loop).
void BM_LongFile_ViewerZoom(benchmark::State &st)
{
    const QString &path = longFile();
    struct Turn {
        int notches;
        bool along;
        double at; // share of the chart's width
    };
    std::vector<Turn> turns;
    for (const Turn &t : {Turn{-1, false, 0.5}, Turn{1, true, 0.5}, Turn{-1, true, 0.5},
                          Turn{1, false, 0.9}, Turn{-1, false, 0.9}, Turn{1, false, 0.2}}) {
        const int times = t.along ? 20 : 55;
        turns.insert(turns.end(), std::size_t(times), t);
    }
    double longestWait = 0;
    double longestTurn = 0;
    qint64 widest = 0; // rows of the widest span shown
    for (auto _ : st) {
        test::FakeDialogs dialogs;
        FileDialog fileDialog{nullptr, dialogs, nullptr};
        auto state = std::make_unique<ProgramState>();
        GraphWindow window(fileDialog, *state);
        window.show();
        window.loadFile(path);
        while (state->session.loading()) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QApplication::processEvents();
        auto *chart = window.findChild<ChartArea *>(QStringLiteral("Picture1"));
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        qint64 longest = 0;
        qint64 turnMax = 0;
        std::size_t next = 0;
        int ticks = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (++ticks % 5 != 0)
                return;
            if (next == turns.size())
                return QApplication::exit();
            const Turn &t = turns[next++];
            const QPointF at(chart->width() * t.at, chart->height() / 2.0);
            QWheelEvent wheel(at, chart->mapToGlobal(at), QPoint(), QPoint(0, 120 * t.notches),
                              Qt::NoButton, t.along ? Qt::ShiftModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            const qint64 start = clock.nsecsElapsed();
            QApplication::sendEvent(chart, &wheel);
            turnMax = std::max(turnMax, clock.nsecsElapsed() - start); // and in the next wait
            widest = std::max(widest, state->chart.spanShown ? state->chart.spanRows : 0);
        });
        tick.start();
        QApplication::exec();
        longestWait = std::max(longestWait, double(longest) / 1e6);
        longestTurn = std::max(longestTurn, double(turnMax) / 1e6);
    }
    st.counters["longest_wait_ms"] = longestWait;
    st.counters["longest_turn_ms"] = longestTurn;
    st.counters["widest_span_rows"] = double(widest);
}
BENCHMARK(BM_LongFile_ViewerZoom)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace
