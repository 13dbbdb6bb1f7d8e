// Guards against: lost or misplaced pixels, segments off their line, bad clipping, wrong views
// drawn, tables, read-outs, zoom rows, chart state or overview.

#include "chart/ChartController.h"
#include "chart/ChartImage.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/LineRaster.h"
#include "chart/OverviewPicture.h"
#include "model/AcquisitionData.h"

#include "support/Fetch.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(platine::ChartState)

namespace {

// TEMP 25, 21.5, empty, then the row; ANA 1 511 and 0 in turn; ANA 2 the row; ANA 3 200;
// ANA 4 300; logic slot k is 1 when k is a multiple of 3, else 0.
std::unique_ptr<AcquisitionData> filledStore()
{
    auto d = std::make_unique<AcquisitionData>();
    for (int r = 0; r < AcquisitionData::kRows; ++r) {
        d->at(Channel::Temperature, r) = r;
        d->at(Channel::Analog1, r) = r % 2 ? 0 : 511;
        d->at(Channel::Analog2, r) = r;
        d->at(Channel::Analog3, r) = 200;
        d->at(Channel::Analog4, r) = 300;
    }
    d->at(Channel::Temperature, 0) = 25;
    d->at(Channel::Temperature, 1) = 21.5;
    d->at(Channel::Temperature, 2).reset();
    for (int k = 0; k < AcquisitionData::kLogicSlots; ++k)
        d->logicSlot(k) = k % 3 == 0 ? 1 : 0;
    return d;
}

ChannelFlags selection(const QStringList &labels)
{
    ChannelFlags flags;
    for (Channel c : kAllChannels)
        flags.set(c, labels.contains(QLatin1String(info(c).label)));
    return flags;
}

ChartInputs inputs(bool analog, const QString &coefficient = u"0.492"_s, int n = 100)
{
    ChartInputs in;
    in.analog = analog;
    in.coefficient = coefficient;
    in.rowCount = n;
    in.valueReadout = u"old"_s;
    return in;
}

// The filled store, a chart state and the viewer's chart drawing.
struct Scene {
    std::unique_ptr<AcquisitionData> store = filledStore();
    ChartState state{12, 40, true, true};
    ChartImage surface;
    Scene() { surface.setGeometry(QSize(823, 385), 1, 12405); }
    Chart chart() { return {*store, state, surface}; }
};

// What the line drawing promises for pixel (i, j) and a segment from a to b (device pixels), r its
// half width: 1 drawn, 0 not, -1 either (the centre within 1e-6 of the shape's edge). Thin
// (r = 0.5): in each row (steep) or column (flat) from one end's to the other's, the pixel it
// crosses at the middle, or at its end where the end comes first; and both end pixels. Wider: the
// centres within r of the segment (round ends) or of its body drawn on r beyond each end.
int promised(QPointF a, QPointF b, double r, bool roundEnds, int i, int j)
{
    const QPointF d = b - a, p = QPointF(i + 0.5, j + 0.5) - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF u = length > 0 ? d / length : QPointF(1, 0);
    const double along = p.x() * u.x() + p.y() * u.y(),
                 across = std::abs(p.x() * u.y() - p.y() * u.x());
    const auto sure = [](double margin) { return std::abs(margin) < 1e-6 ? -1 : int(margin > 0); };
    if (across > r + 1) // far from the line
        return 0;
    if (r > 0.5 && roundEnds)
        return sure(r - std::hypot(along - std::clamp(along, 0.0, length), across));
    if (r > 0.5)
        return sure(std::min({r - across, r + along, length + r - along}));
    const auto pixelOf = [](QPointF q) {
        return QPoint(int(std::floor(q.x())), int(std::floor(q.y())));
    };
    if (QPoint(i, j) == pixelOf(a) || QPoint(i, j) == pixelOf(b))
        return 1;
    const auto thin = [&](bool steep) { // k: the row (steep) or column, m the other index
        const auto [A, B, Av, Bv, k, m] = steep ? std::tuple(a.y(), b.y(), a.x(), b.x(), j, i)
                                                : std::tuple(a.x(), b.x(), a.y(), b.y(), i, j);
        if (k < std::floor(std::min(A, B)) || k > std::floor(std::max(A, B)))
            return 0;
        const double t = std::clamp(k + 0.5, std::min(A, B), std::max(A, B));
        const double v = A == B ? Av : Av + (t - A) * (Bv - Av) / (B - A);
        if (v != std::round(v) && std::abs(v - std::round(v)) < 1e-6) // which pixel is unsure
            return m == std::floor(v - 1e-6) || m == std::floor(v + 1e-6) ? -1 : 0;
        return int(m == std::floor(v));
    };
    const double slant = std::abs(d.y()) - std::abs(d.x()); // about 0: both ways are one line's
    return std::abs(slant) > 1e-9 * length ? thin(slant > 0)
        : thin(true) == thin(false)        ? thin(true)
                                           : -1;
}

constexpr double L = kClipLimit;

// A result as text, every coordinate with the digits that tell one double from the next.
QString text(const std::optional<Segment> &s)
{
    if (!s)
        return QStringLiteral("none");
    return QString::asprintf("%.17g %.17g %.17g %.17g", s->x1, s->y1, s->x2, s->y2);
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French)); }

    // A mouse move: the value and row read-outs, the cursor row and N taken into the state.
    void mouseMove_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoom");
        QTest::addColumn<QString>("coefficient");
        QTest::addColumn<int>("n");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("value"); // "old" when the caption stays as it was
        QTest::addColumn<QString>("row");
        QTest::addColumn<qint64>("cursorRow");
        const auto row = [](const char *name, bool analog, bool zoom, const char *coefficient,
                            int n, float x, float y, const char *value, const char *shownRow,
                            qint64 cursorRow) {
            QTest::newRow(name) << analog << zoom << QString::fromUtf8(coefficient) << n << x << y
                                << QString::fromUtf8(value) << QString::fromUtf8(shownRow)
                                << cursorRow;
        };
        // clang-format off
        row("left of the axis", true, false, "0.492", 100, 900, 2532.5, "2,5 V", "-1", -1);
        row("N 200", true, false, "0.492", 200, 2000, 2532.5, "2,5 V", "16", 16);
        row("zoom, logic", false, true, "0.492", 100, 2300, 2532.5, "", "36", 35);
        row("Temp preset", true, false, "5", 100, 2000, 2526, "25,01 °C", "8", 8);
        row("0-10 V preset", true, false, "0.246", 100, 2000, 15, "10, V", "8", 8);
        row("below the baseline", true, false, "0.492", 100, 2000, 5542.5, "-0,5 V", "8", 8);
        row("0-5 V preset, trailing zero", true, false, "0.4920", 100, 2000, 4035, "1, V", "8", 8);
        row("0-5 V preset, comma, blanks", true, false, " 0,492 ", 100, 2000, 4035, "1, V", "8", 8);
        row("not a preset", true, false, "0.49", 100, 2000, 4035, "0,49 V", "8", 8);
        row("Temp preset, blank then 5", true, false, " 5", 100, 2000, 4035, "10, °C", "8", 8);
        row("huge", true, false, "1e17", 100, 2000, -999960, "100000000000000000000, V", "8", 8);
        row("sign and exponent", true, false, "+2e1", 100, 2000, 4035, "20, V", "8", 8);
        row("number then unit", true, false, "0.5v", 100, 2000, 4035, "old", "8", 8);
        row("digits grouped by a blank", true, false, "1 000", 100, 2000, 4035, "old", "8", 8);
        row("no exponent digit", true, false, "1e", 100, 2000, 4035, "old", "8", 8);
        // Far right the cursor row stops at the far row, where no view reaches the store.
        row("far right", true, false, "0.492", 100, 3e18f, 2532.5, "2,5 V", "2,41837959226181E+16",
            kFarRow);
        // clang-format on
    }
    void mouseMove()
    {
        QFETCH(bool, zoom);
        QFETCH(float, x);
        QFETCH(float, y);
        ChartState state{100, 35, zoom, zoom};
        ChartInputs in = inputs(fetch<bool>("analog"), fetch<QString>("coefficient"),
                                fetch<int>("n"));
        const ChartOutput out = followMouse(in, state, 12405, x, y);
        QCOMPARE(out.valueReadout.value_or(u"old"_s), fetch<QString>("value"));
        QCOMPARE(out.rowReadout, u"Acquisition N°: "_s + fetch<QString>("row"));
        QCOMPARE(state,
                 (ChartState{std::int16_t(in.rowCount), fetch<qint64>("cursorRow"), zoom, zoom}));
        QCOMPARE(out.cursor, QPointF(x, y));
    }

    // The rows past those in use (past the end of a file) are neither drawn nor listed.
    void rowsPastTheEnd_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<int>("end"); // the last column drawn: row 3, or its logic level's end
        QTest::addColumn<QString>("table");
        QTest::newRow("analog") << true << 315 << "25\r\n21,5\r\n\r\n3\r\n";
        QTest::newRow("logic") << false << 397 << "";
    }
    void rowsPastTheEnd()
    {
        Scene scene;
        scene.store->rows = 4;
        ChartInputs in = inputs(fetch<bool>("analog"), u"1"_s, 10);
        in.selected = selection({"TEMP"});
        const ChartOutput out = drawFullView(in, scene.chart());
        const QImage &image = scene.surface.image();
        int end = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = end; x < image.width(); ++x)
                end = image.pixel(x, y) != qRgb(192, 192, 192) ? x : end;
        QCOMPARE(end, fetch<int>("end"));
        QCOMPARE(out.table.value_or(QString()), fetch<QString>("table"));
    }

    // A click or a key over the filled store, from row 35 at X 2000, Y 2532.5 (N = 100): the state,
    // the logic zoom's caption, and the view drawn (the full view or a zoom from a row).
    void clickOrKey_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoom"); // a zoom view opened by a click is on screen
        QTest::addColumn<qint64>("cursorRow");
        QTest::addColumn<QString>("input");
        QTest::addColumn<ChartState>("state");
        QTest::addColumn<QString>("logicZoom");
        QTest::addColumn<QString>("view");
        const auto row = [](const char *name, bool analog, bool zoom, qint64 cursorRow,
                            const char *input, ChartState state, const char *logicZoom,
                            const char *view) {
            QTest::newRow(name) << analog << zoom << cursorRow << QString::fromLatin1(input)
                                << state << QString::fromUtf8(logicZoom)
                                << QString::fromLatin1(view);
        };
        // clang-format off
        row("left click on row 11 zooms from 6", true, false, 11, "left", {100, 6, true, true}, "", "6");
        row("left click on row 10 zooms from 10", true, false, 10, "left", {100, 10, true, true}, "", "10");
        row("left click in the zoom: full view", true, true, 35, "left", {100, 35, false, false}, "", "full");
        row("other key in the full view zooms", true, false, 35, "other key", {100, 35, true, true}, "", "35");
        row("logic, left click in the zoom: full view", false, true, 35, "left", {100, 35, false, false}, "", "full");
        row("logic, right click in the zoom", false, true, 35, "right", {100, 35, true, true}, "140:dep= 35", "35");
        row("logic, a key leaves zoomShown", false, false, 35, "left arrow", {100, 37, true, false}, "148:dep= 37", "37");
        row("logic, at the end of the store", false, true, 1990, "other key", {100, 1990, true, true}, "7960:dep= 1990", "1990");
        // clang-format on
    }
    void clickOrKey()
    {
        QFETCH(bool, zoom);
        QFETCH(QString, input);
        QFETCH(QString, view);
        Scene scene, expected;
        scene.state = {100, fetch<qint64>("cursorRow"), zoom, zoom};
        const ChartInputs in = inputs(fetch<bool>("analog"));
        const QHash<QString, int> buttons{{"left", chart::kLeftButton},
                                          {"right", chart::kRightButton}};
        const QHash<QString, int> keys{{"left arrow", chart::kKeyLeft},
                                       {"right arrow", chart::kKeyRight},
                                       {"other key", chart::kOtherKey}};
        const ChartOutput out = buttons.contains(input)
            ? clickChart(in, scene.chart(), buttons[input], 2000, 2532.5)
            : stepZoomView(in, scene.chart(), keys.value(input));
        QCOMPARE(scene.state, fetch<ChartState>("state"));
        QCOMPARE(out.logicZoomCaption.value_or(QString()), fetch<QString>("logicZoom"));
        if (view == u"full")
            drawFullView(in, expected.chart());
        else
            drawZoomView(in, expected.chart(), view.toLongLong(), in.analog);
        QCOMPARE(scene.surface.image(), expected.surface.image());
    }

    // Hundreds of overviews of generated rows against the same columns drawn by hand, pixel by
    // pixel: empty columns, flat or boundless channels, every level, selection and full view.
    void overviewPicture()
    {
        std::mt19937_64 random(29);
        const auto pick = [&](int n) { return int(random() % unsigned(n)); };
        for (int k = 0; k < 400; ++k) {
            const QSize size(1 + pick(60), 12 + pick(40)); // logic bands of 3 pixels or more
            const int h = size.height(), band = h / 4;
            std::vector<OverviewColumn> columns(std::size_t(size.width()));
            qint64 rows = 0;
            for (OverviewColumn &c : columns) {
                c.first = rows;
                c.end = rows += 1 + pick(4);
                for (int r = pick(4); r > 0; --r) { // none: an empty column
                    RowValues row;
                    for (int i = 0; i < kChannelCount; ++i) // analog, all alike in a fifth
                        row[std::size_t(i)] = i >= kAnalogChannelCount ? pick(3)
                            : k % 5 == 0                               ? 7
                            : pick(50) == 0 ? std::copysign(1e308, pick(2) - 0.5)
                                            : pick(1000) / 4.0 - 50;
                    c.summary.take(row);
                }
            }
            OverviewLook look;
            look.analog = k % 3 != 0;
            for (int i = 0; i < kChannelCount; ++i)
                look.selected.set(channelAt(i), pick(2));
            look.shownFirst = pick(int(rows) + 2) - 1;
            look.shownEnd = look.shownFirst + pick(int(rows) / 2 + 2);
            const QImage image = drawOverview(columns, size, look);

            double low = INFINITY, high = -INFINITY; // the selected channels' over the file
            QList<int> shown;
            for (int x = 0; x < size.width(); ++x) {
                const OverviewColumn &c = columns[std::size_t(x)];
                for (int i = 0; i < kAnalogChannelCount && !c.summary.empty(); ++i) {
                    low = look.selected[channelAt(i)] ? std::min(low, c.summary.min[std::size_t(i)])
                                                      : low;
                    high = look.selected[channelAt(i)]
                        ? std::max(high, c.summary.max[std::size_t(i)])
                        : high;
                }
                if (c.first < look.shownEnd && c.end > look.shownFirst)
                    shown << x;
            }
            const auto at = [&](double v) { // its pixel row
                return high - low > 0 && high - low < INFINITY
                    ? std::lround((h - 1) * (1 - (v - low) / (high - low)))
                    : h / 2;
            };
            for (int x = 0; x < size.width(); ++x) {
                const OverviewSummary &sum = columns[std::size_t(x)].summary;
                for (int y = 0; y < h; ++y) {
                    QRgb want = shown.contains(x) ? qRgb(210, 225, 250) : qRgb(255, 255, 255);
                    for (int i = 0; i < kAnalogChannelCount && look.analog && !sum.empty(); ++i)
                        if (look.selected[channelAt(i)] && y >= at(sum.max[std::size_t(i)])
                            && y <= at(sum.min[std::size_t(i)]))
                            want = chart::traceColour(channelAt(i)).rgb();
                    for (int b = 0; b < kLogicChannelCount && !look.analog; ++b) {
                        const int l = sum.logic[std::size_t(b)], top = b * band + 1,
                                  bottom = top + band - 3;
                        const bool high = l & levels::kHigh, low = l & levels::kLow;
                        if ((high && low && y >= top && y <= bottom) || (high && !low && y == top)
                            || (low && !high && y == bottom))
                            want = chart::traceColour(logicChannelAt(b)).rgb();
                        want = (l & levels::kOther) && y == (top + bottom) / 2 ? qRgb(160, 160, 160)
                                                                               : want;
                    }
                    if (!shown.isEmpty()
                        && (x == std::max(shown.first() - 1, 0)
                            || x == std::min(shown.last() + 1, size.width() - 1)))
                        want = qRgb(0, 0, 160); // the edges of the full view's rows, over all
                    QVERIFY2(
                        image.pixel(x, y) == want,
                        qPrintable(QString::asprintf(
                            "overview %d, %dx%d, %s, rows %lld to %lld shown: pixel %d,%d is "
                            "#%06x, not #%06x",
                            k, size.width(), h, look.analog ? "analog" : "logic", look.shownFirst,
                            look.shownEnd, x, y, image.pixel(x, y) & 0xffffff, want & 0xffffff)));
                }
            }
        }
    }

    void overviewRow_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<qint64>("row");
        QTest::newRow("last column") << 3 << 35LL;
        QTest::newRow("left of the strip") << -5 << 5LL;
        QTest::newRow("right of the strip") << 99 << 35LL;
    }
    void overviewRow() // four columns of ten rows
    {
        const std::vector<OverviewColumn> columns{
            {0, 10, {}}, {10, 20, {}}, {20, 30, {}}, {30, 40, {}}};
        QTEST(overviewRowAt(columns, fetch<int>("x")).value_or(-1), "row");
    }

    // Thousands of segments of every width and direction, on screens of three densities, against
    // the pixels the line drawing promises: across the edges, from far outside, and the pixels
    // reported changed. Each failure names its segment.
    void segmentPixels()
    {
        std::mt19937_64 random(29);
        const auto uniform = [&](double lo, double hi) {
            return lo + (hi - lo) * double(random() >> 11) * 0x1p-53;
        };
        ChartImage surface;
        const QRgb background = qRgb(192, 192, 192);
        QStringList failures;
        for (int k = 0; k < 6000 && failures.size() < 5; ++k) {
            const int width = 1 + k % 5;
            const double dpr = (2 + k / 5 % 3) / 2.0;
            // Twips of a 40 x 30 pixel drawing: an end near it, the other near, far or on it.
            double x = uniform(-300, 900), y = uniform(-300, 750), angle = uniform(0, 7);
            double reach = k % 4 ? uniform(0, 900) * (k % 9 != 1) : std::pow(10, uniform(3, 30));
            if (k % 7 == 0) { // along an axis or a diagonal, from a pixel's middle or edge
                for (double *v : {&x, &y, &reach})
                    *v = std::round(*v / 7.5) * 7.5;
                angle = std::round(angle * 8 / 7) * M_PI / 4;
            }
            const double dx = reach * std::cos(angle), dy = reach * std::sin(angle);
            const bool through = k % 8 == 0; // both ends far, either side of the drawing
            const float x1 = float(through ? x - dx : x), y1 = float(through ? y - dy : y);
            const float x2 = float(x + dx), y2 = float(y + dy);
            surface.setGeometry(QSize(40, 30), dpr, 615);
            surface.setLineWidth(width);
            surface.clear();
            surface.takeChanges();
            surface.segment(x1, y1, x2, y2, Qt::red);
            const QRect changed = surface.takeChanges();
            const auto s = platine::clipToLimit(x1, y1, x2, y2);
            QVERIFY(s);
            const QPointF a = pixelCentre(s->x1, s->y1) * dpr, b = pixelCentre(s->x2, s->y2) * dpr;
            const QImage &image = surface.image();
            for (int j = 0; j < image.height() && failures.size() < 5; ++j) {
                const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(j));
                for (int i = 0; i < image.width(); ++i) {
                    const bool drawn = row[i] != background;
                    const int want = promised(a, b, width * dpr / 2, width > 1, i, j);
                    if ((want >= 0 && drawn != bool(want))
                        || (drawn && !changed.contains(int(i / dpr), int(j / dpr)))) {
                        failures << QString::asprintf(
                            "segment %.9g,%.9g to %.9g,%.9g twips, width %d, density %g: pixel "
                            "%d,%d %s",
                            x1, y1, x2, y2, width, dpr, i, j, drawn ? "drawn" : "not drawn");
                        break;
                    }
                }
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        // Nothing for a segment with no position or no colour.
        surface.segment(qQNaN(), 0, 300, 300, Qt::red);
        surface.segment(0, 0, 300, 300, QColor(255, 0, 0, 0));
        QCOMPARE(surface.takeChanges(), QRect());
    }

    // Clipped segments keep their line and direction, at any finite coordinates.
    // Vertical lines drawn together give the pixels of the same lines drawn one by one.
    void verticalsPixels()
    {
        std::mt19937_64 random(27);
        const auto uniform = [&](double lo, double hi) {
            return lo + (hi - lo) * double(random() >> 11) * 0x1p-53;
        };
        ChartImage together, apart;
        for (int k = 0; k < 300; ++k) {
            std::vector<VerticalLine> lines;
            for (int i = 0; i < 20; ++i) {
                // Twips of a 40 x 30 pixel drawing: on a pixel's middle or edge, or anywhere;
                // some far outside or of no length.
                float x = float(uniform(-60, 660)), y1 = float(uniform(-120, 570));
                float y2 = i % 5 == 0 ? y1 : float(uniform(-120, 570));
                if (i % 3 == 0)
                    x = float(std::round(x / 7.5) * 7.5);
                if (i % 11 == 0)
                    y2 = float(std::pow(10, uniform(3, 30)) * (i % 2 ? 1 : -1));
                lines.push_back({x, y1, y2, QColor::fromRgb(QRgb(random()))});
            }
            for (ChartImage *surface : {&together, &apart}) {
                surface->setGeometry(QSize(40, 30), 1, 615);
                surface->clear();
                surface->takeChanges();
            }
            together.verticals(lines);
            for (const VerticalLine &l : lines)
                apart.segment(l.x, l.y1, l.x, l.y2, l.color);
            const QRect changed = together.takeChanges();
            const QImage &image = together.image();
            for (int j = 0; j < image.height(); ++j) {
                for (int i = 0; i < image.width(); ++i) {
                    const bool drawn = image.pixel(i, j) != qRgb(192, 192, 192);
                    QVERIFY2(image.pixel(i, j) == apart.image().pixel(i, j)
                                 && (!drawn || changed.contains(i, j)),
                             qPrintable(QString::asprintf("drawing %d, pixel %d,%d", k, i, j)));
                }
            }
        }
    }

    void clipToLimit_data()
    {
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<double>("y2");
        QTest::addColumn<QString>("clipped"); // the exact crossings, each rounded to a double
        const double inf = std::numeric_limits<double>::infinity();
        const double tiny = std::numeric_limits<double>::denorm_min();
        const QString none = QStringLiteral("none");

        QTest::newRow("an end not finite") << 0.0 << 0.0 << inf << 0.0 << none;
        QTest::newRow("diagonal, largest doubles")
            << -DBL_MAX << -DBL_MAX << DBL_MAX << DBL_MAX << text(Segment{-L, -L, L, L});
        QTest::newRow("steep, largest doubles")
            << 3.0 << -DBL_MAX << 5.0 << DBL_MAX << text(Segment{4, -L, 4, L});
        QTest::newRow("flat, smallest double above 0") // at the border: tiny (1 -+ L / DBL_MAX)
            << -DBL_MAX << 0.0 << DBL_MAX << 2 * tiny << text(Segment{-L, tiny, L, tiny});
        QTest::newRow("touching a corner") << 0.0 << 2e6 << 2e6 << 0.0 << text(Segment{L, L, L, L});
        QTest::newRow("passing beside a corner") << 0.0 << 2e6 + 2 << 2e6 + 2 << 0.0 << none;
    }
    void clipToLimit()
    {
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, x2);
        QFETCH(double, y2);
        QFETCH(QString, clipped);
        QCOMPARE(text(platine::clipToLimit(x1, y1, x2, y2)), clipped);
    }

    // Segments from inside to far outside, of coordinates on a grid where 128-bit floating point
    // is exact but for its last division: the end outside goes to the crossing with the border it
    // passes, rounded once.
    void clipToLimitRounding()
    {
#ifdef __SIZEOF_FLOAT128__
        using Exact = __float128;
        const auto cross = [](double u1, double v1, double u2, double v2, double u) {
            return double((Exact(v1) * (Exact(u2) - u) + Exact(v2) * (Exact(u) - u1))
                          / (Exact(u2) - u1));
        };
        std::mt19937_64 random(2929);
        const auto uniform = [&] { return double(random() >> 11) * 0x1p-53; };
        for (int k = 0; k < 3000; ++k) {
            const int e = -int(random() % 21); // multiples of 2^e, at most 2^51 of them
            const auto on = [&](double m) {
                return std::ldexp(std::round((2 * uniform() - 1) * std::ldexp(m, -e)), e);
            };
            const double far = L * std::exp2(uniform() * (31 + e)), px = on(L / 2), py = on(L / 2);
            const double qx = on(far), qy = on(far), X = std::copysign(L, qx),
                         Y = std::copysign(L, qy);
            const double yAtX = std::abs(qx) > L ? cross(px, py, qx, qy, X) : INFINITY;
            if ((std::abs(qx) <= L && std::abs(qy) <= L) || std::abs(std::abs(yAtX) - L) < 1)
                continue; // inside, or through a corner
            const Segment q = std::abs(yAtX) < L ? Segment{qx, qy, X, yAtX}
                                                 : Segment{qx, qy, cross(py, px, qy, qx, Y), Y};
            const QString want = text(k % 2 ? Segment{px, py, q.x2, q.y2}
                                            : Segment{q.x2, q.y2, px, py});
            const QString got = text(k % 2 ? platine::clipToLimit(px, py, qx, qy)
                                           : platine::clipToLimit(qx, qy, px, py));
            QVERIFY2(
                got == want,
                qPrintable(text(Segment{px, py, qx, qy}) + u": "_s + got + u", not "_s + want));
        }
#else
        QSKIP("no 128-bit floating point");
#endif
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
