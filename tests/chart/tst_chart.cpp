// The chart's drawings and handlers on a recording surface: the full view ("Tracer") in both modes,
// the cursor read-out, the zoom views opened and moved by clicks and keys, printed values.

#include "FakeChartView.h"

#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace platine;
using Kind = RecordingSurface::Kind;
using Op = RecordingSurface::Operation;
Q_DECLARE_METATYPE(platine::ChartState)

namespace {

constexpr int kLeft = 1, kRight = 2, kMiddle = 4, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39;
const QColor kTemp(128, 128, 128), kAna1(0, 0, 0), kAna2(255, 0, 0), kAna3(0, 255, 0),
    kAna4(255, 255, 0);
const QColor kLogic[] = {{128, 128, 0}, {255, 255, 255}, {0, 0, 255}, {255, 0, 255}};

#define CHECK_NEAR(a, b)                                                                          \
    QVERIFY2(std::fabs(static_cast<double>(a) - (b)) <= 1e-3,                                    \
             qPrintable(QStringLiteral("%1 is not %2").arg(a).arg(b)))

void fillStore(AcquisitionData &d)
{
    for (int r = 0; r < AcquisitionData::kRows; ++r) {
        d.temperature[r] = d.analog1[r] = r;
        d.analog2[r] = r + 100;
        d.analog3[r] = r + 200;
        d.analog4[r] = r + 300;
    }
    for (int i = 0; i < AcquisitionData::kLogicSlots; ++i)
        d.logic[i] = i % 3 == 0 ? 1 : 0;
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::French)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // N = 100 on the designer width W = 12405: step 124.05, 101 segments per selected channel
    // row by row in the fixed order and colours, the last ending at 13529.05; Y = 5040 - value *
    // coefficient * 20, the coefficient read by the leading-number rule. Text5 lists the
    // temperatures of rows 0 to N even when nothing is selected.
    void analogFullView_data()
    {
        QTest::addColumn<QList<int>>("selected"); // Label56 indices
        QTest::addColumn<QList<QColor>>("colours");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("y"); // first point of the first channel
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}
                             << QList<QColor>{kTemp, kAna1, kAna2, kAna3, kAna4} << "0.492"
                             << 5040 - 21.5 * 0.492 * 20;
        QTest::newRow("ANA 2, TEMP, a logic label") << QList<int>{1, 8, 4}
                                                    << QList<QColor>{kTemp, kAna2} << "5"
                                                    << 5040 - 21.5 * 5 * 20;
        QTest::newRow("number then unit") << QList<int>{1} << QList<QColor>{kAna2} << "0.5 V"
                                          << 5040 - 100 * 0.5 * 20;
        QTest::newRow("no number") << QList<int>{3} << QList<QColor>{kAna4} << "abc" << 5040.0;
        QTest::newRow("empty selection") << QList<int>{} << QList<QColor>{} << "0.492" << 0.0;
    }
    void analogFullView()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QList<QColor>, colours);
        QFETCH(QString, coeff);
        QFETCH(double, y);
        FakeChartView view;
        view.coeff = coeff;
        view.selected.fill(false);
        for (int i : selected)
            view.selected[i] = true;
        fillStore(view.data());
        view.data().temperature[0] = 21.5;
        view.data().temperature[2].reset();
        ChartState state{.rowCount = 12, .cursorRow = 40, .zoomReadout = true, .zoomShown = true};
        drawFullView(view, state);
        QCOMPARE(state,
                 (ChartState{
                     .rowCount = 100, .cursorRow = 40, .zoomReadout = false, .zoomShown = false}));
        QCOMPARE(view.tableWrites, 1);
        QVERIFY(view.table.startsWith(u"21,5\r\n1\r\n\r\n3\r\n"));
        QCOMPARE(view.table.count(u"\r\n"), 101);

        const RecordingSurface &s = view.recording();
        QCOMPARE(s.operations().first().kind, Kind::Clear);
        QCOMPARE(s.count(Kind::Rectangle), 0);
        const QList<Op> segs = s.operations(Kind::Segment);
        QCOMPARE(segs.size(), colours.size() * 101);
        for (qsizetype i = 0; i < segs.size(); ++i) {
            QCOMPARE(segs[i].color, colours[i % colours.size()]);
            CHECK_NEAR(segs[i].x1, 1000 + (i / colours.size()) * 124.05);
            CHECK_NEAR(segs[i].x2, 1000 + (i / colours.size() + 1) * 124.05);
        }
        if (!segs.isEmpty()) {
            CHECK_NEAR(segs[0].y1, y);
            CHECK_NEAR(segs.last().x2, 13529.05);
        }
    }

    // A point that does not fit single precision loses its two segments; the rest is drawn.
    void nonFiniteCoordinatesSkipped()
    {
        FakeChartView view;
        view.selected.fill(false);
        view.selected[0] = true;
        view.n = 10;
        view.coeff = QStringLiteral("1e38");
        view.data().analog1[5] = 1; // 5040 - 2e39 is beyond single precision
        ChartState state;
        drawFullView(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        QCOMPARE(segs.size(), 11 - 2);
        for (const Op &seg : segs) {
            QVERIFY(seg.x1 < 1000 + 4 * 1240.5 - 1 || seg.x1 > 1000 + 5 * 1240.5 + 1);
            CHECK_NEAR(seg.y1, 5040);
        }
    }

    // Logic full view, N = 10: band b at 700 b, 300 lower when low. 0 is low, 1 high, any other
    // value (and the start) takes the level of the slot drawn just before, empty slots are 0.
    // Each change of a band's level draws a zero-width edge; the level starts high.
    void logicFullView_data()
    {
        QTest::addColumn<QList<double>>("values");   // slots from 0
        QTest::addColumn<QList<int>>("low");         // 1 = low, first slots in drawing order
        QTest::addColumn<QList<QPoint>>("edges");    // (row, band)
        QTest::newRow("first value 0: edge at X 1000")
            << QList<double>{0, 1, 1, 1, 1, 1, 1, 1} << QList<int>{1, 0, 0, 0, 0, 0, 0, 0}
            << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 3}};
        QTest::newRow("value 2 keeps the previous level")
            << QList<double>{1, 2, 0, 7, 2, 1, 2, 1} << QList<int>{0, 0, 1, 1, 1, 0, 0, 0}
            << QList<QPoint>{{0, 2}, {0, 3}, {1, 0}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}};
        QTest::newRow("first value 2 is high") << QList<double>{2} << QList<int>{0, 1, 1, 1, 1}
                                               << QList<QPoint>{{0, 1}, {0, 2}, {0, 3}, {1, 0}};
    }
    void logicFullView()
    {
        QFETCH(QList<double>, values);
        QFETCH(QList<int>, low);
        QFETCH(QList<QPoint>, edges);
        FakeChartView view;
        view.analog = false;
        view.n = 10;
        for (qsizetype i = 0; i < values.size(); ++i)
            view.data().logic[i] = values[i];
        ChartState state{.rowCount = 12, .cursorRow = 40, .zoomReadout = true, .zoomShown = true};
        drawFullView(view, state);
        QCOMPARE(state,
                 (ChartState{
                     .rowCount = 10, .cursorRow = 40, .zoomReadout = false, .zoomShown = false}));
        QCOMPARE(view.tableWrites, 0);
        const RecordingSurface &s = view.recording();
        QCOMPARE(s.operations().first().kind, Kind::Clear);
        const QList<Op> segs = s.operations(Kind::Segment);
        QCOMPARE(segs.size(), 4 * 11);
        for (qsizetype i = 0; i < segs.size(); ++i) {
            QCOMPARE(segs[i].color, kLogic[i % 4]);
            CHECK_NEAR(segs[i].x1, 1000 + (i / 4) * 1240.5);
            CHECK_NEAR(segs[i].x2, 1000 + (i / 4 + 1) * 1240.5);
            if (i < low.size()) {
                CHECK_NEAR(segs[i].y1, 700 * (i % 4) + 300 * low[i]);
                QCOMPARE(segs[i].y2, segs[i].y1);
            }
        }
        const QList<Op> drawn = s.operations(Kind::Rectangle);
        QCOMPARE(drawn.size(), edges.size());
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            QCOMPARE(drawn[i].color, kLogic[edges[i].y()]);
            CHECK_NEAR(drawn[i].x1, 1000 + edges[i].x() * 1240.5);
            QCOMPARE(drawn[i].x2, drawn[i].x1);
            CHECK_NEAR(drawn[i].y1, 700 * edges[i].y());
            CHECK_NEAR(drawn[i].y2, 700 * edges[i].y() + 300);
        }
    }

    // Every move clears "Aide", takes N, moves both cursors and draws nothing. The full view
    // shows the value with its unit and sets acq_curseur to the row under the mouse; the zoom
    // view shows the value alone and the row acq_curseur + offset at step W / 10. Logic mode
    // empties the value; a coefficient that is no number leaves it as it was. HScroll1 moved after
    // drawing: the row follows the new N, nothing is redrawn.
    void mouseMove_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<float>("x");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("row");
        QTest::newRow("full, X 2000") << true << 0 << 100 << "0.492" << 2000.f << "2,5 V" << "8";
        QTest::newRow("full, X 900") << true << 0 << 100 << "0.492" << 900.f << "2,5 V" << "-1";
        QTest::newRow("HScroll1 moved") << true << 0 << 200 << "0.492" << 2000.f << "2,5 V" << "16";
        QTest::newRow("full, logic") << false << 0 << 100 << "0.492" << 2000.f << "" << "8";
        QTest::newRow("full, no number") << true << 0 << 100 << "abc" << 2000.f << "old" << "8";
        QTest::newRow("zoom, left edge") << true << 1 << 100 << "0.492" << 1000.f << "2,5" << "35";
        QTest::newRow("zoom, logic") << false << 1 << 100 << "0.492" << 2300.f << "" << "36";
        QTest::newRow("zoom, no number") << true << 1 << 100 << "abc" << 2300.f << "old" << "36";
    }
    void mouseMove()
    {
        QFETCH(bool, analog);
        QFETCH(int, zoom);
        QFETCH(int, n);
        QFETCH(QString, coeff);
        QFETCH(float, x);
        QFETCH(QString, value);
        QFETCH(QString, row);
        FakeChartView view;
        view.analog = analog;
        view.n = n;
        view.coeff = coeff;
        ChartState state{
            .rowCount = 100, .cursorRow = 35, .zoomReadout = zoom != 0, .zoomShown = zoom != 0};
        followMouse(view, state, x, 2532.5f);
        QCOMPARE(view.valueReadoutText, value);
        QCOMPARE(view.rowReadout, QStringLiteral("Acquisition N°: ") + row);
        QCOMPARE(state,
                 (ChartState{.rowCount = static_cast<std::int16_t>(n),
                             .cursorRow = zoom ? 35 : row.toLongLong(),
                             .zoomReadout = zoom != 0,
                             .zoomShown = zoom != 0}));
        QCOMPARE(view.help, QString());
        QCOMPARE(QPointF(view.cursorX, view.cursorY), QPointF(x, 2532.5));
        QCOMPARE(view.recording().operations().size(), 0);
    }

    // Right click in analog mode: Label64 40 twips right of the point, a 60-twip tick below it,
    // both in the foreground colour; nothing cleared, the state kept.
    void rightClickPrintsAndTicks()
    {
        FakeChartView view;
        view.valueReadoutText = QStringLiteral("2,5 V");
        const QColor green(0, 255, 0); // the mouse passed over "ANA 3"
        view.recording().setForeground(green);
        ChartState state{.rowCount = 100, .cursorRow = 20, .zoomReadout = true, .zoomShown = true};
        const ChartState before = state;
        clickChart(view, state, kRight, 3000.0f, 2532.5f);
        QCOMPARE(state, before);
        const QList<Op> &ops = view.recording().operations(); // after setForeground
        QCOMPARE(ops.size(), 4);
        QCOMPARE(ops[2].kind, Kind::Print);
        QCOMPARE(ops[2].text, view.valueReadoutText);
        QCOMPARE(QPointF(ops[2].textX, ops[2].textY), QPointF(3040, 2532.5));
        QCOMPARE(ops[2].color, green);
        QCOMPARE(ops[3].kind, Kind::Segment);
        QCOMPARE(QLineF(ops[3].x1, ops[3].y1, ops[3].x2, ops[3].y2),
                 QLineF(3000, 2532.5, 3000, 2592.5));
        QCOMPARE(ops[3].color, green);
    }

    // Clicks and keys from a full view (zoom 0) or a zoom view (zoom 1) at acq_curseur: the state
    // after, the segments on the chart, and the zoom view drawn from its first row (analog: rows
    // s0 to s0 + 10; logic: rows s0 to s0 + 80, bands 650 apart, Label54), both at step W / 10.
    void clicksAndKeys_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<qlonglong>("cursor");
        QTest::addColumn<int>("input"); // a mouse button (1, 2, 4) or a key code (37 and up)
        QTest::addColumn<int>("times");
        QTest::addColumn<ChartState>("after");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QString>("label54");
        auto row = [](const char *name, bool analog, int zoom, long long cursor, int input,
                      int times, long long afterCursor, int lecture, int vue, int segments,
                      const char *label54 = "") {
            QTest::newRow(name) << analog << zoom << cursor << input << times
                                << ChartState{100, afterCursor, lecture != 0, vue != 0} << segments
                                << QString::fromUtf8(label54);
        };
        row("row 40 gives 35", true, 0, 40, kLeft, 1, 35, 1, 1, 55);
        row("row 11 gives 6", true, 0, 11, kLeft, 1, 6, 1, 1, 55);
        row("row 10 stays 10", true, 0, 10, kLeft, 1, 10, 1, 1, 55);
        row("row 8 stays 8", true, 0, 8, kLeft, 1, 8, 1, 1, 55);
        row("middle button: nothing", true, 0, 40, kMiddle, 1, 40, 0, 0, 0);
        row("left and right: nothing", true, 0, 40, kLeft | kRight, 1, 40, 0, 0, 0);
        row("left click in the zoom", true, 1, 35, kLeft, 1, 35, 0, 0, 505);
        row("left arrow: later rows", true, 1, 35, kKeyLeft, 1, 37, 1, 1, 55);
        row("right arrow: earlier rows", true, 1, 35, kKeyRight, 1, 33, 1, 1, 55);
        row("other key redraws", true, 1, 35, kKeyUp, 1, 35, 1, 1, 55);
        row("right arrows past row 0", true, 1, 35, kKeyRight, 22, -9, 1, 1, 10);
        row("key in the full view", true, 0, 40, kKeyLeft, 1, 42, 1, 1, 55);
        row("zoom past the store end", true, 1, 1995, kKeyUp, 1, 1995, 1, 1, 25);
        const long long far = 4'000'000'000'000'000'000LL;
        row("zoom far out", true, 1, far, kKeyUp, 1, far, 1, 1, 0);
        row("logic, left click", false, 0, 40, kLeft, 1, 40, 1, 1, 324, "160:dep= 40");
        row("logic, right click", false, 0, 40, kRight, 1, 40, 1, 1, 324, "160:dep= 40");
        row("logic, left click in zoom", false, 1, 40, kLeft, 1, 40, 0, 0, 404);
        row("logic, right click in zoom", false, 1, 40, kRight, 1, 40, 1, 1, 324, "160:dep= 40");
        row("logic, key keeps zoom_vue", false, 0, 40, kKeyLeft, 1, 42, 1, 0, 324, "168:dep= 42");
        row("logic, zoom at row 25", false, 1, 23, kKeyLeft, 1, 25, 1, 1, 324, "100:dep= 25");
        row("logic, left of the axis", false, 1, 0, kKeyRight, 1, -2, 1, 1, 316, "-8:dep= -2");
        row("logic, store end", false, 1, 1990, kKeyUp, 1, 1990, 1, 1, 41, "7960:dep= 1990");
    }
    void clicksAndKeys()
    {
        QFETCH(bool, analog);
        QFETCH(int, zoom);
        QFETCH(qlonglong, cursor);
        QFETCH(int, input);
        QFETCH(int, times);
        QFETCH(ChartState, after);
        QFETCH(int, segments);
        QFETCH(QString, label54);
        FakeChartView view;
        view.analog = analog;
        fillStore(view.data());
        ChartState state{
            .rowCount = 100, .cursorRow = cursor, .zoomReadout = zoom != 0, .zoomShown = zoom != 0};
        for (int i = 0; i < times; ++i) {
            if (input < kKeyLeft)
                clickChart(view, state, input, 6000.0f, 2000.0f);
            else
                stepZoomView(view, state, input);
        }
        QCOMPARE(state, after);
        QCOMPARE(view.logicZoom, label54);
        const QList<Op> segs = view.recording().visible(Kind::Segment);
        QCOMPARE(segs.size(), segments);
        if (!after.zoomReadout || segs.isEmpty())
            return;
        const long long s0 = after.cursorRow, r = std::max(s0, 0LL); // first row in the store
        CHECK_NEAR(segs[0].x1, 1000 + (r - s0) * 1240.5);
        CHECK_NEAR(segs[0].x2, 1000 + (r - s0 + 1) * 1240.5);
        if (analog)
            CHECK_NEAR(segs[1].y1, 5040 - r * 0.492 * 20); // ANA 1
        for (int b = 0; !analog && b < 4 && b < segs.size(); ++b)
            CHECK_NEAR(segs[b].y1, 650 * b + (*view.data().logic[4 * r + b] == 1 ? 0 : 300));
    }
};

QTEST_GUILESS_MAIN(TestChart)
#include "tst_chart.moc"
