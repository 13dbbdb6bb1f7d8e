// Guards against: wrong segments, edges, read-outs or zoom rows; lost or stale pixels; wrong input.

#include "FakeChartView.h"
#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/ChartWiring.h"
#include "chart/LineControl.h"

#include <QtTest>
#include <QtWidgets>

using namespace platine;
using namespace Qt::StringLiterals;
using Kind = RecordingSurface::Kind;

namespace {

constexpr int kLeft = 1, kRight = 2, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39;
constexpr int B = ChartArea::kBorder;
const QColor kGrey(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);

// TEMP 25, 21.5, empty, then the row; ANA 1 511 and 0 in turn; ANA 2 the row; ANA 3 200; ANA 4 300.
void fillStore(AcquisitionData &d)
{
    for (int r = 0; r < AcquisitionData::kRows; ++r)
        d.temperature[r] = d.analog2[r] = r, d.analog1[r] = r % 2 ? 0 : 511, d.analog3[r] = 200,
        d.analog4[r] = 300;
    d.temperature[0] = 25, d.temperature[1] = 21.5, d.temperature[2].reset();
    for (int i = 0; i < AcquisitionData::kLogicSlots; ++i)
        d.logic[i] = i % 3 == 0 ? 1 : 0;
}

// Drawn since the last clear: "S x1,y1 x2,y2 #colour" a segment, "R ..." an outline, "P x,y text".
QStringList drawn(const RecordingSurface &s)
{
    const auto t = [](float v) { return QString::number(std::round(v * 100.0) / 100, 'g', 12); };
    QStringList out;
    for (const RecordingSurface::Operation &o : s.operations()) {
        if (o.kind == Kind::Clear)
            out.clear();
        else if (o.kind == Kind::Print)
            out << u"P %1,%2 %3 %4"_s.arg(t(o.textX), t(o.textY), o.text, o.color.name());
        else if (o.kind == Kind::Segment || o.kind == Kind::Rectangle)
            out << u"%1 %2,%3 %4,%5 %6"_s.arg(o.kind == Kind::Segment ? "S" : "R", t(o.x1),
                                               t(o.y1), t(o.x2), t(o.y2), o.color.name());
    }
    return out;
}

struct Full { bool analog = true; QString selected{}; QString coeff{}; int n = 10;
              QList<double> logic{}; QString band{}; QStringList first{}; QString last{};
              int count = 0; };
// A move (input 0), click or key from row 35 at X, Y: the state, captions and drawing after.
struct Step { bool analog = true, zoom = false; long long cursor = 35; int input = 0, times = 1;
              float x = 2000, y = 2532.5; QString coeff = "0.492"; int n = 100; long long to = 35;
              int flags = 3; QString value = "2,5 V", row = "8", caption{}; int segs = 0;
              QStringList first{}; };

std::unique_ptr<ChartArea> shownArea(int dpr = 1)
{
    auto area = std::make_unique<ChartArea>();
    area->setGeometry(50, 50, 404, 304);
    area->show();
    if (!QTest::qWaitForWindowExposed(area.get()))
        return nullptr;
    area->segment(0, 300, 3000, 300, Qt::blue); // y = 20, drawn before the move
    area->windowHandle()->setScreen(QGuiApplication::screens().at(dpr - 1));
    return area->devicePixelRatioF() == dpr ? std::move(area) : nullptr;
}

QImage rgb(const QPixmap &pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }

int count(const QImage &image, const std::function<bool(int, int, QRgb)> &test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(x, y, image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Red pixels of a with no red within one pixel in b (all red pixels of a when b is null).
int redAwayFrom(const QImage &a, const QImage &b = {})
{
    return count(a, [&](int x, int y, QRgb c) {
        for (int d = 0; d < 9 && c == kRed; ++d)
            if (const QPoint p(x + d % 3 - 1, y + d / 3 - 1); b.valid(p) && b.pixel(p) == kRed)
                return false;
        return c == kRed;
    });
}

struct PaintSpy : QObject { // collects the regions painted
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        return e->type() == QEvent::Paint && (painted += static_cast<QPaintEvent *>(e)->region(), false);
    }
};

} // namespace

Q_DECLARE_METATYPE(Full)
Q_DECLARE_METATYPE(Step)

class TestChart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // "Tracer": the operations (of one band's colour when set), the last one, how many.
    void fullView_data()
    {
        QTest::addColumn<Full>("c");
        QTest::newRow("all, 0-5 V") << Full{.selected = "111111111",
            .coeff = "0.492", .n = 100, .first = {"S 1000,4794 1124.05,4828.44 #808080",
            "S 1000,11.76 1124.05,5040 #000000", "S 1000,5040 1124.05,5030.16 #ff0000",
            "S 1000,3072 1124.05,3072 #00ff00", "S 1000,2088 1124.05,2088 #ffff00"},
            .last = "S 13405,2088 13529.05,2088 #ffff00", .count = 505};
        QTest::newRow("ANA 2, LOG 1, TEMP, Temp") << Full{.selected = "010010001", .coeff = "5",
            .first = {"S 1000,2540 2240.5,2890 #808080", "S 1000,5040 2240.5,4940 #ff0000"},
            .last = "S 13405,4040 14645.5,3940 #ff0000", .count = 22};
        QTest::newRow("ANA 4, LOG 1, number then unit") << Full{.selected = "000110000",
            .coeff = "0.5 V", .last = "S 13405,2040 14645.5,2040 #ffff00", .count = 11};
        QTest::newRow("TEMP out of single precision but rows 2..17")
            << Full{.selected = "000000001", .coeff = "1e36", .n = 100, .count = 15};
        QTest::newRow("no channel") << Full{.coeff = "0.492", .n = 100};
        QTest::newRow("logic, band 0: 0, 1, 1, 0, 0, 1") << Full{.analog = 0,
            .logic = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
            .band = "#808000", .first = {"S 1000,300 2240.5,300 #808000",
            "R 1000,0 1000,300 #808000", "S 2240.5,0 3481,0 #808000",
            "R 2240.5,0 2240.5,300 #808000", "S 3481,0 4721.5,0 #808000",
            "S 4721.5,300 5962,300 #808000", "R 4721.5,0 4721.5,300 #808000",
            "S 5962,300 7202.5,300 #808000", "S 7202.5,0 8443,0 #808000",
            "R 7202.5,0 7202.5,300 #808000"}, .count = 16};
        QTest::newRow("logic, row 0: 2, 0, 2, 0") << Full{.analog = 0, .logic = {2, 0, 2, 0},
            .first = {"S 1000,0 2240.5,0 #808000", "S 1000,1000 2240.5,1000 #ffffff",
            "R 1000,700 1000,1000 #ffffff", "S 1000,1700 2240.5,1700 #0000ff",
            "R 1000,1400 1000,1700 #0000ff", "S 1000,2400 2240.5,2400 #ff00ff",
            "R 1000,2100 1000,2400 #ff00ff"}, .count = 48};
    }
    void fullView()
    {
        QFETCH(Full, c);
        FakeChartView view;
        view.analog = c.analog, view.coeff = c.coeff, view.n = c.n;
        for (int i = 0; i < 9; ++i)
            view.selected[i] = c.selected.mid(i, 1) == u"1";
        if (c.analog)
            fillStore(view.data());
        std::copy(c.logic.begin(), c.logic.end(), view.data().logic.begin());
        ChartState state{12, 40, true, true};
        drawFullView(view, state);
        QCOMPARE(state, (ChartState{std::int16_t(c.n), 40, false, false}));
        QCOMPARE(view.table.section(u"\r\n"_s, 0, 3), c.analog ? u"25\r\n21,5\r\n\r\n3"_s : u""_s);
        QCOMPARE(view.table.count(u"\r\n"), c.analog ? c.n + 1 : 0);
        const QStringList got = drawn(view.recording()).filter(c.band);
        QCOMPARE(got.mid(0, c.first.size()), c.first);
        QCOMPARE(got.size(), c.count);
        QVERIFY(c.last.isEmpty() || got.last() == c.last);
    }

    void handlers_data()
    {
        QTest::addColumn<Step>("c");
        const auto row = [](const char *name, Step c) { QTest::newRow(name) << c; }; // in order
        row("move, X 2000", {});
        row("move, X 900", {.x = 900, .row = "-1"});
        row("move, N 200", {.n = 200, .row = "16"});
        row("move, logic", {.analog = 0, .value = ""});
        row("move, unreadable", {.coeff = "abc", .value = "old"});
        row("move, empty", {.coeff = "", .value = "old"});
        row("move, zoom", {.zoom = 1, .x = 12000, .value = "2,5", .row = "43"});
        row("move, zoom, logic", {.analog = 0, .zoom = 1, .x = 2300, .value = "", .row = "36"});
        row("move, Temp", {.y = 2526, .coeff = "5", .value = "25,01 °C"});
        row("move, 0-10 V", {.y = 15, .coeff = "0.246", .value = "10, V"});
        row("move, negative", {.y = 5542.5, .value = "-0,5 V"});
        row("move, not a preset", {.y = 4035, .coeff = "0.4920", .value = "0,49 V"});
        row("move, blank then 5", {.y = 4035, .coeff = " 5", .value = "5, V"});
        row("move, huge", {.y = -999960, .coeff = "1e17", .value = "100000000000000000000, V"});
        row("move, sign and exponent", {.y = 4035, .coeff = "+2e1", .value = "20, V"});
        row("move, number then unit", {.y = 4035, .coeff = "0.5v", .value = "old"});
        row("move, comma then dot", {.y = 4035, .coeff = "1,5.2", .value = "old"});
        row("move, no exponent digit", {.y = 4035, .coeff = "1e", .value = "old"});
        row("row 11 gives 6", {.cursor = 11, .input = kLeft, .to = 6, .segs = 55});
        row("row 10 stays", {.cursor = 10, .input = kLeft, .to = 10, .segs = 55});
        row("right click prints", {.zoom = 1, .input = kRight, .segs = 1, .first = {
            "P 2040,2532.5 old #00ff00", "S 2000,2532.5 2000,2592.5 #00ff00"}});
        row("left click in the zoom", {.zoom = 1, .input = kLeft, .flags = 0, .segs = 505});
        row("left arrow", {.zoom = 1, .input = kKeyLeft, .to = 37, .segs = 55});
        row("right arrow", {.zoom = 1, .input = kKeyRight, .to = 33, .segs = 55});
        row("other key, full view", {.input = kKeyUp, .segs = 55});
        row("past row 0", {.zoom = 1, .input = kKeyRight, .times = 22, .to = -9, .segs = 10,
                           .first = {"S 12164.5,4794 13405,4828.44 #808080"}});
        row("logic, right click", {.analog = 0, .cursor = 25, .input = kRight, .to = 25,
                                   .caption = "100:dep= 25", .segs = 324,
                                   .first = {"S 1000,300 2240.5,300 #808000",
                                             "R 1000,0 1000,300 #808000",
                                             "S 1000,950 2240.5,950 #ffffff"}});
        row("logic, left click in zoom", {.analog = 0, .zoom = 1, .input = kLeft, .flags = 0,
                                          .segs = 404});
        row("logic, right click in zoom", {.analog = 0, .zoom = 1, .input = kRight,
                                           .caption = "140:dep= 35", .segs = 324});
        row("logic, key keeps zoomShown", {.analog = 0, .input = kKeyLeft, .to = 37, .flags = 1,
                                           .caption = "148:dep= 37", .segs = 324});
        row("logic, store end", {.analog = 0, .zoom = 1, .cursor = 1990, .input = kKeyUp,
                                 .to = 1990, .caption = "7960:dep= 1990", .segs = 41});
    }
    void handlers()
    {
        QFETCH(Step, c);
        FakeChartView view;
        view.analog = c.analog, view.coeff = c.coeff, view.n = c.n;
        fillStore(view.data());
        view.recording().setForeground(QColor(0, 255, 0));
        ChartState state{100, c.cursor, c.zoom, c.zoom};
        for (int i = 0; i < c.times; ++i)
            !c.input ? followMouse(view, state, c.x, c.y)
                : c.input < kKeyLeft ? clickChart(view, state, c.input, c.x, c.y)
                                     : stepZoomView(view, state, c.input);
        const long long row = c.zoom ? c.cursor : c.row.toLongLong();
        QCOMPARE(state, (c.input ? ChartState{100, c.to, bool(c.flags & 1), bool(c.flags & 2)}
                                 : ChartState{std::int16_t(c.n), row, c.zoom, c.zoom}));
        QCOMPARE((QStringList{view.valueReadoutText, view.rowReadout, view.logicZoom, view.help}),
                 (c.input ? QStringList{"old", "", c.caption, "Aide"}
                          : QStringList{c.value, "Acquisition N°: " + c.row, "", ""}));
        QCOMPARE(QPointF(view.cursorX, view.cursorY), c.input ? -QPointF(1, 1) : QPointF(c.x, c.y));
        QCOMPARE(view.recording().visible(Kind::Segment).size(), c.segs);
        QCOMPARE(drawn(view.recording()).mid(0, c.first.size()), c.first);
    }

    // Lines above the drawing, labels above both, all kept when hidden; far and invalid points.
    void chartArea()
    {
        const auto area = shownArea();
        QVERIFY(area);
        area->addLine(u"Line29"_s, 1500, 0, 1500, 4000, Qt::blue); // x = 100
        area->addLine(u"curseur"_s, 4500, 0, 4500, 4000, Qt::magenta, false, false);
        area->setLineWidth(9); // 5
        area->segment(0, 1500, 6000, 1500, Qt::green); // y = 100
        area->segment(0, 3750, 6000, 3750, Qt::green); // y = 250
        QLabel label(area.get());
        label.setStyleSheet(u"background: yellow"_s);
        label.setGeometry(area->childRect(1200, 1200, 900, 900)); // 80..140
        label.show();
        area->hide();
        area->show();
        const auto at = [&](int x, int y) { return rgb(area->grab()).pixelColor(x + B, y + B); };
        QCOMPARE((QList<QColor>{at(100, 100), at(100, 252), at(101, 252), at(150, 102), at(150, 103),
                                at(300, 250)}),
                 (QList<QColor>{Qt::yellow, Qt::blue, Qt::green, Qt::green, kGrey, Qt::green}));
        area->setTextPosition(300, 400);
        area->clear();
        QCOMPARE(QPointF(area->textX(), area->textY()), QPointF(0, 0));
        area->rectangle(3000, 1500, 4500, 2250, Qt::green); // 200..300 x 100..150
        area->segment(-1e30f, 3990, 1e30f, 3990, Qt::green);    // y = 266
        area->segment(1e30f, -1e30f, -1e30f, 1e30f, Qt::green); // through (0, 0)
        area->segment(-2997000, -2998500, 3000, 1500, Qt::green); // from afar to (200, 100)
        area->segment(std::nanf(""), 0, 100, 100, Qt::red);
        area->segment(0, 0, INFINITY, 3000, Qt::red);
        area->segment(1e30f, 1e30f, 2e30f, 2e30f, Qt::red); // entirely outside
        area->segment(0, 4200, 6000, 4200, QColor(255, 0, 0, 0));
        QCOMPARE(
            (QList<QColor>{at(150, 250), at(100, 250), at(200, 125), at(250, 125), at(150, 266),
                           at(0, 0), at(150, 50)}),
            (QList<QColor>{kGrey, Qt::blue, Qt::green, kGrey, Qt::green, Qt::green, Qt::green}));
        QCOMPARE(redAwayFrom(rgb(area->grab())), 0);
        area->setForeground(Qt::red);
        area->setTextPosition(3750, 3300); // 250, 220
        area->print(u"MMMM"_s);
        const QRect line(250 + B, 220 + B, 150, int(area->textY() - 3300) / 15); // the line printed
        const auto red = [&](bool in) {
            return count(rgb(area->grab()), [&](int x, int y, QRgb c) {
                return qRed(c) > 160 && qGreen(c) < 100 && line.contains(x, y) == in; });
        };
        QVERIFY(line.height() > 6 && area->textX() == 0 && red(true) > 10 && red(false) == 0);
    }

    void segmentShape_data()
    {
        QTest::addColumn<int>("dpr");
        QTest::addColumn<QLineF>("twips");
        QTest::addColumn<int>("width");
        const QList<std::pair<const char *, QLineF>> segments = {
            {"horizontal", {150, 1500, 3000, 1500}},
            {"vertical", {1500, 150, 1500, 3000}},
            {"diagonal", {300, 300, 3300, 3300}},
            {"steep", {1000, 200, 1400, 4000}},
            {"flat", {200, 1000, 5000, 1300}},
            {"fractional", {157, 1503, 2991, 2222}},
            {"backwards", {3000, 2000, 100, 500}},
            {"point", {1500, 1500, 1500, 1500}},
            {"across a corner", {-3000, -1000, 3000, 2000}},
            {"near the bottom edge", {300, 4485, 5000, 4490}},
            {"just past the right edge", {5998.5, 150, 5998.5, 3000}}};
        for (int dpr : {1, 2})
            for (const auto &[name, line] : segments)
                for (int width : {1, 2, 3, 5})
                    QTest::addRow("%s, width %d, dpr %d", name, width, dpr) << dpr << line << width;
    }
    // A segment covers a painter's (through pixel middles) give or take a pixel, and both ends.
    void segmentShape()
    {
        QFETCH(int, dpr);
        QFETCH(QLineF, twips);
        QFETCH(int, width);
        const auto area = shownArea(dpr);
        QVERIFY(area);
        area->setLineWidth(width);
        area->segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
        const QImage drawn = area->image();
        QImage painted = drawn.copy();
        painted.fill(kGrey);
        QPainter p(&painted);
        p.setPen(QPen(Qt::red, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap));
        const QPointF hair(twips.length() == 0 && width * dpr > 1 ? 0.01 : 0, 0); // a painter's dot
        const QPointF a = twips.p1() / 15 + QPointF(.5, .5), b = twips.p2() / 15 + QPointF(.5, .5);
        p.drawLine(a, b + hair / 15);
        p.end();
        QCOMPARE(redAwayFrom(drawn, painted), 0);
        QCOMPARE(redAwayFrom(painted, drawn), 0);
        const int n = redAwayFrom(drawn), expected = redAwayFrom(painted);
        QVERIFY(std::abs(n - expected) <= expected / 10 + 2 * dpr);
        for (const QPointF &end : {a, b}) {
            const QPoint pixel(int(std::floor(end.x() * dpr)), int(std::floor(end.y() * dpr)));
            QVERIFY(!drawn.valid(pixel) || drawn.pixel(pixel) == kRed);
        }
    }

    // A cursor repaints where it was and is, not between; every pixel that changes is repainted.
    void repaints()
    {
        for (int dpr : {1, 2}) {
            const auto area = shownArea(dpr);
            QVERIFY(area && area->image().size() == QSize(400, 300) * dpr);
            QVERIFY(area->image().pixelColor(40, 20 * dpr).blue() > 200); // kept across the move
            LineControl *x = area->addLine(u"curseur"_s, 1500, 60, 1500, 4000, Qt::magenta, true);
            LineControl *y = area->addLine(u"curseur_h"_s, 60, 1500, 5900, 1500, Qt::blue, true);
            QTest::qWait(20);
            const QRect inside(B * dpr, B * dpr, 400 * dpr, 300 * dpr); // not the border
            const QImage before = rgb(area->grab()).copy(inside);
            PaintSpy spy;
            area->installEventFilter(&spy);
            x->setX1(3000), x->setX2(3000);
            QTRY_VERIFY(!spy.painted.isEmpty());
            const auto painted = [&](int x) { return spy.painted.contains({x + B, 150 + B}); };
            QVERIFY(painted(100) && !painted(150) && painted(200));
            area->setLineWidth(3), area->segment(0, 1500, 6000, 2500, Qt::red);
            area->setLineWidth(1), area->segment(5700, 4400, -300, 2000, Qt::blue);
            area->rectangle(450, 450, 450, 900, Qt::black);
            for (double at : {1507.5, 1515.0, 1700.0, 5000.0, 200.0, 2222.0}) {
                x->setX1(at), x->setX2(at), y->setY1(at * 0.7), y->setY2(at * 0.7);
                QCoreApplication::processEvents();
            }
            y->setVisible(false);
            QTest::qWait(50); // the repaints asked for
            area->removeEventFilter(&spy); // grab() paints the whole widget
            QCOMPARE(count(rgb(area->grab()).copy(inside), [&](int x, int y, QRgb c) {
                return c != before.pixel(x, y)
                    && !spy.painted.contains(QPoint(x / dpr + B, y / dpr + B));
            }), 0);
        }
    }

    // "Tracer", mouse (twips; buttons 1, 2, 4), keys (37, 39, else 0); a double click is one.
    void wiring()
    {
        ChartArea area;
        area.resize(12405 / 15, 5835 / 15); // W = 12405 twips
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QPushButton tracer;
        FakeChartView view(area);
        ChartState state;
        connectChart(&tracer, &area, view, state);
        QSignalSpy pressed(&area, &ChartArea::mousePressed), keys(&area, &ChartArea::keyPressed);
        tracer.click();
        const QPoint at(399, 169); // 5955, 2505 twips: row 40.3
        QTest::mouseMove(&area, at);
        QTRY_COMPARE(QPointF(view.cursorX, view.cursorY), QPointF(5955, 2505));
        QTest::mouseClick(&area, Qt::LeftButton, {}, at);
        QSignalSpy save(&area, &ChartArea::saveRequested);
        for (Qt::Key key :
             {Qt::Key_Left, Qt::Key_C, Qt::Key_Left, Qt::Key_S, Qt::Key_Right, Qt::Key_Up})
            QTest::keyClick(&area, key,
                            key == Qt::Key_C || key == Qt::Key_S ? Qt::ControlModifier
                                                                 : Qt::NoModifier);
        const QImage copied = QGuiApplication::clipboard()->image(); // the chart as shown
        QVERIFY(save.size() == 1 && copied.size() == QSize(823, 385));
        QCOMPARE(copied, area.image().convertToFormat(copied.format())); // no line control here
        for (Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton, Qt::LeftButton})
            QTest::mouseClick(&area, button, {}, at);
        QCOMPARE(state, (ChartState{100, 37, false, false}));
        QTest::mouseDClick(area.windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(state, (ChartState{100, 32, true, true}));
        QCOMPARE(keys, (QList<QVariantList>{{37}, {0}, {37}, {0}, {39}, {0}})); // Ctrl alone: 0
        const QVariantList left{1, 5955.0f, 2505.0f};
        QCOMPARE(pressed, (QList<QVariantList>{left, {4, 5955.0f, 2505.0f}, {2, 5955.0f, 2505.0f},
                                                left, left}));
    }
};

int main(int argc, char *argv[])
{
    QTemporaryFile config; // two offscreen screens side by side, the second of double density
    if (!config.open() || config.write(R"({"screens": [{"name": "1", "width": 800, "height": 600},
        {"name": "2", "x": 800, "width": 800, "height": 600, "dpr": 2}]})") < 0 || !config.flush())
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French));
    TestChart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chart.moc"
