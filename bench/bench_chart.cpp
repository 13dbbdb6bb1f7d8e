// Benchmarks of what the user waits for: loading an acquisition file, drawing the full views at
// the largest N, the zoom views, one mouse move with its read-out, and "Ouvrir" on a schedule
// file or on a wrong, large file.
//
// Runs without a display (the offscreen platform unless QT_QPA_PLATFORM says otherwise).

#include "support/FakeDialogs.h" // tests/support
#include "support/Files.h"       // tests/support

#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "model/AcquisitionData.h"
#include "model/AcquisitionFile.h"
#include "model/DemoData.h"
#include "schedule/ScheduleSettings.h"
#include "viewer/GraphWindow.h"
#include "viewer/ProgramState.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

using namespace platine;

namespace {

constexpr int kLargestN = 1000; // HScroll1 maximum

// The worst case the user can draw: the demonstration data of "Aléatoire" (random values in every
// row, so every analog segment is long and every logic slot changes half the time).
void fillStore(AcquisitionData &d)
{
    DemoGenerator generator;
    fillDemoData(d, AcquisitionData::kRows - 1, generator); // rows 0..2000, slots 0..8000
}

// The chart area at its designer size (12405 x 5835 twips, 15 twips a pixel).
std::unique_ptr<ChartArea> makeChartArea()
{
    auto area = std::make_unique<ChartArea>();
    area->resize(12405 / 15, 5835 / 15);
    area->surface().clear();
    return area;
}

// The viewer window as the program makes it, with dialogs that are never shown.
struct Viewer {
    test::FakeDialogs dialogs;
    FileDialog fileDialog{nullptr, dialogs, nullptr};
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    GraphWindow window{fileDialog, *state};
};

// The drawings' own cost: a surface that only counts the segments.
class CountingSurface : public DrawingSurface
{
public:
    long long segments = 0;
    void clear() override {}
    void segment(float, float, float, float, const QColor &) override { ++segments; }
    void rectangle(float, float, float, float, const QColor &) override {}
    void setTextPosition(float, float) override {}
    void print(const QString &) override {}
    QColor foreground() const override { return Qt::black; }
    void setForeground(const QColor &) override {}
    int lineWidth() const override { return 1; }
    void setLineWidth(int) override {}
    double width() const override { return 12405; }
};

ChartInputs largestView(bool analog)
{
    ChartInputs in;
    in.analog = analog;
    in.rowCount = kLargestN;
    return in;
}

// For comparison with the chart area: the same persistent image painted the same way, but with
// one painter kept open across the operations of a drawing (begun at the first operation, ended
// when the image is shown) and the pen reused while the colour stays the same.
class HeldPainterSurface : public DrawingSurface
{
public:
    HeldPainterSurface() : m_image(12405 / 15 - 4, 5835 / 15 - 4, QImage::Format_RGB32)
    {
        m_image.fill(QColor(192, 192, 192));
    }
    void clear() override
    {
        m_image.fill(QColor(192, 192, 192)); // a painter may stay open across a fill
    }
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
            return;
        QPainter &p = painter();
        if (color != m_penColor) {
            m_penColor = color;
            QPen pen(color);
            if (m_lineWidth > 1) {
                pen.setWidthF(m_lineWidth);
                pen.setCapStyle(Qt::RoundCap);
            }
            p.setPen(pen);
        }
        p.drawLine(QPointF(x1 / 15.0, y1 / 15.0), QPointF(x2 / 15.0, y2 / 15.0));
    }
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        segment(x1, y1, x2, y1, color);
        segment(x2, y1, x2, y2, color);
        segment(x2, y2, x1, y2, color);
        segment(x1, y2, x1, y1, color);
    }
    void setTextPosition(float, float) override {}
    void print(const QString &) override {}
    QColor foreground() const override { return Qt::black; }
    void setForeground(const QColor &) override {}
    int lineWidth() const override { return m_lineWidth; }
    void setLineWidth(int pixels) override
    {
        m_lineWidth = pixels;
        m_penColor = QColor();
    }
    double width() const override { return 12405; }
    // What a paint event would do first: finish the drawing before the image is read.
    void show() { m_painter.reset(); }

private:
    QPainter &painter()
    {
        if (!m_painter) {
            m_painter.emplace(&m_image);
            m_penColor = QColor();
        }
        return *m_painter;
    }
    QImage m_image;
    std::optional<QPainter> m_painter;
    QColor m_penColor;
    int m_lineWidth = 1;
};

// For comparison: the same image with opaque segments written straight into its pixels, a run of
// `width` pixels across the line for each step along it (the chart area does the same with the
// exact line widths and ends; this one is the plainest form, as a yardstick).
class DirectPixelSurface : public HeldPainterSurface
{
public:
    DirectPixelSurface() : m_pixels(12405 / 15 - 4, 5835 / 15 - 4, QImage::Format_RGB32)
    {
        m_pixels.fill(QColor(192, 192, 192));
    }
    void clear() override { m_pixels.fill(QColor(192, 192, 192)); }
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
            return;
        const QRgb rgb = color.rgb();
        const int w = lineWidth();
        const int h = m_pixels.height(), wd = m_pixels.width();
        uchar *const bits = m_pixels.bits(); // once: scanLine() checks for sharing at every call
        const qsizetype bpl = m_pixels.bytesPerLine();
        double ax = x1 / 15.0, ay = y1 / 15.0, bx = x2 / 15.0, by = y2 / 15.0;
        if (std::fabs(by - ay) >= std::fabs(bx - ax)) { // steep: one horizontal run per row
            if (ay > by) {
                std::swap(ax, bx);
                std::swap(ay, by);
            }
            const double slope = by != ay ? (bx - ax) / (by - ay) : 0;
            const int ya = std::max(qRound(ay) - w / 2, 0),
                      yb = std::min(qRound(by) + w / 2, h - 1);
            for (int y = ya; y <= yb; ++y) {
                const int xc = qRound(ax + (std::clamp(double(y), ay, by) - ay) * slope);
                const int from = std::max(xc - w / 2, 0), to = std::min(xc + (w - 1) / 2, wd - 1);
                QRgb *row = reinterpret_cast<QRgb *>(bits + y * bpl);
                for (int x = from; x <= to; ++x)
                    row[x] = rgb;
            }
        } else { // shallow: one vertical run per column
            if (ax > bx) {
                std::swap(ax, bx);
                std::swap(ay, by);
            }
            const double slope = (by - ay) / (bx - ax);
            const int xa = std::max(qRound(ax) - w / 2, 0),
                      xb = std::min(qRound(bx) + w / 2, wd - 1);
            for (int x = xa; x <= xb; ++x) {
                const int yc = qRound(ay + (std::clamp(double(x), ax, bx) - ax) * slope);
                const int from = std::max(yc - w / 2, 0), to = std::min(yc + (w - 1) / 2, h - 1);
                for (int y = from; y <= to; ++y)
                    reinterpret_cast<QRgb *>(bits + y * bpl)[x] = rgb;
            }
        }
    }

private:
    QImage m_pixels;
};

QByteArray acquisitionFile(int rows)
{
    QByteArray bytes = "Période d'acquisition : 10 (s)\r\nCapture du 12/03/2024 à 08:00:00\r\n";
    bytes += "Temp;Ana1;Ana2;Ana3;Ana4;Log1;Log2;Log3;Log4;\r\n";
    unsigned seed = 7;
    for (int r = 0; r < rows; ++r) {
        seed = seed * 1103515245u + 12345u;
        const unsigned v = (seed >> 8) & 0x3ff;
        bytes += QByteArray::number(18 + (seed >> 20) % 80 / 10.0) + ';' + QByteArray::number(v)
            + ';' + QByteArray::number(1023 - v) + ';' + QByteArray::number(v / 2) + ';'
            + QByteArray::number(v / 3) + ';' + QByteArray::number(seed >> 31) + ";0;1;"
            + QByteArray::number((seed >> 30) & 1) + ";\r\n";
    }
    return bytes;
}

void BM_LoadAcquisitionFile(benchmark::State &st)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("acq.txt"));
    if (!test::putFile(path, acquisitionFile(2001))) {
        st.SkipWithError("cannot write the test file");
        return;
    }
    auto store = std::make_unique<AcquisitionData>();
    for (auto _ : st) {
        // What "Ouvrir fichier" does before its full view: the whole file read, then the store
        // filled from its first row.
        auto file = AcquisitionFile::open(path);
        (*file)->wait();
        benchmark::DoNotOptimize((*file)->fill(0, *store));
    }
    st.counters["rows"] = store->rows;
}
BENCHMARK(BM_LoadAcquisitionFile)->Unit(benchmark::kMillisecond);

// "Ouvrir": a schedule file as the program writes it (0), then a 50 MiB file picked by mistake,
// every line of which looks like an entry.
void BM_OpenScheduleFile(benchmark::State &st)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("horaires.txt"));
    const QByteArray entry = "[txt0]\r\nvaleur=08:30:00\r\n";
    QByteArray bytes;
    if (st.range(0) > 0) {
        bytes = entry.repeated((st.range(0) << 20) / entry.size());
    } else {
        for (int k = 0; k < 7; ++k)
            bytes += "[txt" + QByteArray::number(k) + "]\r\nvaleur=08:30:00\r\n";
        bytes += "[cmb0]\r\nvaleur=4\r\n";
    }
    if (!test::putFile(path, bytes)) {
        st.SkipWithError("cannot write the test file");
        return;
    }
    for (auto _ : st)
        benchmark::DoNotOptimize(loadScheduleFile(path));
    st.counters["MiB"] = double(bytes.size()) / (1 << 20);
}
BENCHMARK(BM_OpenScheduleFile)->Arg(0)->Arg(50)->ArgName("MiB")->Unit(benchmark::kMicrosecond);

// "Tracer" at N = 1000 into an image surface, over and over; `show` ends what a held painter
// still owes the image after each drawing.
void fullView(benchmark::State &st, DrawingSurface &surface, bool analog, int width,
              void (*show)(DrawingSurface &) = nullptr)
{
    auto store = std::make_unique<AcquisitionData>();
    fillStore(*store);
    const ChartInputs in = largestView(analog);
    surface.setLineWidth(width);
    ChartState state;
    for (auto _ : st) {
        drawFullView(in, {*store, state, surface});
        if (show)
            show(surface);
    }
}

void showHeldPainter(DrawingSurface &surface)
{
    static_cast<HeldPainterSurface &>(surface).show();
}

// Analog full view, N = 1000, all five channels: 5005 segments.
void BM_AnalogFullView_ChartArea(benchmark::State &st)
{
    fullView(st, makeChartArea()->surface(), true, static_cast<int>(st.range(0)));
}
BENCHMARK(BM_AnalogFullView_ChartArea)
    ->Arg(1)
    ->Arg(5)
    ->ArgName("width")
    ->Unit(benchmark::kMillisecond);

void BM_AnalogFullView_HeldPainter(benchmark::State &st)
{
    HeldPainterSurface surface;
    fullView(st, surface, true, static_cast<int>(st.range(0)), showHeldPainter);
}
BENCHMARK(BM_AnalogFullView_HeldPainter)
    ->Arg(1)
    ->Arg(5)
    ->ArgName("width")
    ->Unit(benchmark::kMillisecond);

void BM_AnalogFullView_DirectPixels(benchmark::State &st)
{
    DirectPixelSurface surface;
    fullView(st, surface, true, static_cast<int>(st.range(0)));
}
BENCHMARK(BM_AnalogFullView_DirectPixels)
    ->Arg(1)
    ->Arg(5)
    ->ArgName("width")
    ->Unit(benchmark::kMillisecond);

void BM_AnalogFullView_NoPainting(benchmark::State &st)
{
    CountingSurface surface;
    fullView(st, surface, true, 1);
    st.counters["segments"] = double(surface.segments) / double(st.iterations());
}
BENCHMARK(BM_AnalogFullView_NoPainting)->Unit(benchmark::kMillisecond);

// The same through the viewer window's own controls and chart area.
void BM_AnalogFullView_GraphWindow(benchmark::State &st)
{
    Viewer viewer;
    GraphWindow &window = viewer.window;
    if (st.range(0)) {
        // On screen: every change also schedules a repaint, painted when the events are processed.
        window.show();
        QCoreApplication::processEvents();
    }
    viewer.state->session.fillWithDemoData(AcquisitionData::kRows - 1, viewer.state->demo);
    window.findChild<QScrollBar *>(QStringLiteral("HScroll1"))->setValue(kLargestN);
    for (auto _ : st) {
        window.drawChart();
        if (st.range(0))
            QCoreApplication::processEvents(); // the repaint that shows the drawing
    }
}
BENCHMARK(BM_AnalogFullView_GraphWindow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("shown")
    ->Unit(benchmark::kMillisecond);

// Logic full view, N = 1000: 4004 level segments and their edges.
void BM_LogicFullView_ChartArea(benchmark::State &st)
{
    fullView(st, makeChartArea()->surface(), false, 1);
}
BENCHMARK(BM_LogicFullView_ChartArea)->Unit(benchmark::kMillisecond);

void BM_LogicFullView_HeldPainter(benchmark::State &st)
{
    HeldPainterSurface surface;
    fullView(st, surface, false, 1, showHeldPainter);
}
BENCHMARK(BM_LogicFullView_HeldPainter)->Unit(benchmark::kMillisecond);

void BM_LogicFullView_DirectPixels(benchmark::State &st)
{
    DirectPixelSurface surface;
    fullView(st, surface, false, 1);
}
BENCHMARK(BM_LogicFullView_DirectPixels)->Unit(benchmark::kMillisecond);

void BM_LogicFullView_NoPainting(benchmark::State &st)
{
    CountingSurface surface;
    fullView(st, surface, false, 1);
}
BENCHMARK(BM_LogicFullView_NoPainting)->Unit(benchmark::kMillisecond);

// Logic zoom view: 81 rows at W / 10, most of them beyond the right edge.
void BM_LogicZoomView_ChartArea(benchmark::State &st)
{
    auto area = makeChartArea();
    auto store = std::make_unique<AcquisitionData>();
    fillStore(*store);
    ChartState state;
    for (auto _ : st)
        drawZoomView(largestView(false), {*store, state, area->surface()}, 500, false);
}
BENCHMARK(BM_LogicZoomView_ChartArea)->Unit(benchmark::kMillisecond);

void BM_AnalogZoomView_ChartArea(benchmark::State &st)
{
    auto area = makeChartArea();
    auto store = std::make_unique<AcquisitionData>();
    fillStore(*store);
    ChartState state;
    for (auto _ : st)
        drawZoomView(largestView(true), {*store, state, area->surface()}, 500, true);
}
BENCHMARK(BM_AnalogZoomView_ChartArea)->Unit(benchmark::kMillisecond);

// One mouse move over the full view, through the viewer window: help line, cursors, both
// captions.
void BM_MouseMove_GraphWindow(benchmark::State &st)
{
    Viewer viewer;
    GraphWindow &window = viewer.window;
    if (st.range(0)) {
        window.show();
        QCoreApplication::processEvents();
    }
    window.findChild<QScrollBar *>(QStringLiteral("HScroll1"))->setValue(kLargestN);
    float x = 1000;
    for (auto _ : st) {
        window.followMouse(x, 2532.5f);
        if (st.range(0))
            QCoreApplication::processEvents(); // repaint of the cursors and captions
        x = x < 12000 ? x + 7.5f : 1000;
    }
}
BENCHMARK(BM_MouseMove_GraphWindow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("shown")
    ->Unit(benchmark::kMicrosecond);

void BM_MouseMove_NoWindow(benchmark::State &st)
{
    const ChartInputs in = largestView(true);
    ChartState state;
    float x = 1000;
    for (auto _ : st) {
        benchmark::DoNotOptimize(followMouse(in, state, 12405, x, 2532.5f));
        x = x < 12000 ? x + 7.5f : 1000;
    }
}
BENCHMARK(BM_MouseMove_NoWindow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
