// The full view ("Tracer") and the zoom views, drawn on a recording surface.

#include "FakeChartView.h"

#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace platine;
using Kind = RecordingSurface::Kind;
using Op = RecordingSurface::Operation;

namespace {

const QColor kTemp(128, 128, 128), kAna1(0, 0, 0), kAna2(255, 0, 0), kAna3(0, 255, 0),
    kAna4(255, 255, 0);
const QColor kLog4(128, 128, 0), kLog3(255, 255, 255), kLog2(0, 0, 255), kLog1(255, 0, 255);

QList<Op> ofColour(const QList<Op> &ops, const QColor &colour)
{
    QList<Op> out;
    for (const Op &op : ops)
        if (op.color == colour)
            out.append(op);
    return out;
}

bool near(float a, double b, double tolerance = 1e-3)
{
    return std::fabs(static_cast<double>(a) - b) <= tolerance;
}

#define CHECK_NEAR(a, b)                                                                          \
    QVERIFY2(near((a), (b)), qPrintable(QStringLiteral("%1 is not %2").arg(a).arg(b)))

// Fills every analog row and logic slot of the store with distinct values.
void fillAnalog(AcquisitionData &d)
{
    for (int r = 0; r < AcquisitionData::kRows; ++r) {
        d.temperature[r] = 20 + r % 7;
        d.ana1[r] = r % 100;
        d.ana2[r] = 100 + r % 50;
        d.ana3[r] = 200 + r % 30;
        d.ana4[r] = 300 + r % 20;
    }
}

} // namespace

class TestChartRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // N = 100 on the designer width: step 124.05, 101 segments per channel, the last ending at
    // 13529.05, the channels row by row in their order and colours.
    void analogFullViewGeometry()
    {
        FakeChartView view;
        fillAnalog(view.data());
        ChartState state;
        command24Click(view, state);

        const RecordingSurface &s = view.recording();
        QCOMPARE(s.operations().first().kind, Kind::Clear);
        const QList<Op> segs = s.operations(Kind::Segment);
        QCOMPARE(segs.size(), 5 * 101);
        const QList<QColor> order{kTemp, kAna1, kAna2, kAna3, kAna4};
        for (int i = 0; i < segs.size(); ++i) {
            const int row = i / 5;
            QCOMPARE(segs[i].color, order[i % 5]);
            CHECK_NEAR(segs[i].x1, 1000 + row * 124.05);
            CHECK_NEAR(segs[i].x2, 1000 + (row + 1) * 124.05);
        }
        CHECK_NEAR(segs.last().x2, 13529.05);
        QCOMPARE(s.count(Kind::Rectangle), 0);
    }

    void analogValues_data()
    {
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<double>("raw");
        QTest::addColumn<double>("y");
        QTest::newRow("0-5 V full scale") << "0.492" << 511.0 << 11.76;
        QTest::newRow("zero on the baseline") << "0.492" << 0.0 << 5040.0;
        QTest::newRow("temperature 25") << "5" << 25.0 << 2540.0;
        QTest::newRow("negative value below the baseline") << "5" << -2.0 << 5240.0;
        QTest::newRow("coefficient read by the leading-number rule") << "0.5 V" << 100.0 << 4040.0;
        QTest::newRow("coefficient without a number") << "abc" << 511.0 << 5040.0;
    }
    void analogValues()
    {
        QFETCH(QString, coeff);
        QFETCH(double, raw);
        QFETCH(double, y);
        FakeChartView view;
        view.coeff = coeff;
        view.selected.fill(false);
        view.selected[8] = true; // TEMP only
        view.data().temperature[0] = raw;
        view.data().temperature[1] = 0;
        view.data().temperature[2] = raw;
        ChartState state;
        command24Click(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        QCOMPARE(segs.size(), 101);
        CHECK_NEAR(segs[0].y1, y);
        CHECK_NEAR(segs[0].y2, 5040.0);
        CHECK_NEAR(segs[1].y1, 5040.0);
        CHECK_NEAR(segs[1].y2, y);
    }

    // Only selected channels are drawn, and still in the fixed order.
    void analogSelection()
    {
        FakeChartView view;
        fillAnalog(view.data());
        view.selected.fill(false);
        view.selected[1] = true; // ANA 2
        view.selected[8] = true; // TEMP
        view.selected[4] = true; // a logic label: no effect in analog mode
        ChartState state;
        command24Click(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        QCOMPARE(segs.size(), 2 * 101);
        QCOMPARE(segs[0].color, kTemp);
        QCOMPARE(segs[1].color, kAna2);
        CHECK_NEAR(segs[1].y1, 5040 - 100 * 0.492 * 20);
    }

    // No channel selected: the chart is cleared, nothing drawn, Text5 still lists N + 1 rows.
    void emptySelectionStillWritesText5()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        FakeChartView view;
        view.selected.fill(false);
        view.n = 10;
        view.data().temperature[0] = 21.5;
        view.data().temperature[1] = 20;
        view.data().temperature[3] = -3.25;
        view.data().temperature[11] = 99; // beyond N: not listed
        ChartState state;
        command24Click(view, state);
        QCOMPARE(view.recording().count(Kind::Clear), 1);
        QCOMPARE(view.recording().count(Kind::Segment), 0);
        QCOMPARE(view.text5Writes, 1);
        QCOMPARE(view.text5, QStringLiteral("21,5\r\n20\r\n\r\n-3,25\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
        QCOMPARE(view.text5.count(u"\r\n"), 11);
    }

    void fullViewState_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::newRow("analog") << true;
        QTest::newRow("logic") << false;
    }
    void fullViewState()
    {
        QFETCH(bool, analog);
        FakeChartView view;
        view.analog = analog;
        view.n = 250;
        ChartState state{.nbre_acq = 12, .acq_curseur = 40, .zoom_lecture = 1, .zoom_vue = 1};
        command24Click(view, state);
        QCOMPARE(state, (ChartState{.nbre_acq = 250, .acq_curseur = 40, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        // Text5 belongs to the analog view only.
        QCOMPARE(view.text5Writes, analog ? 1 : 0);
    }

    // The coefficient is taken from its text again for every point drawn.
    void coefficientReadForEachPoint()
    {
        struct CountingView : FakeChartView {
            mutable int reads = 0;
            QString coeffText() const override { return QString::number(++reads); }
        } view;
        view.selected.fill(false);
        view.selected[0] = true;
        view.n = 10;
        for (int r = 0; r <= 11; ++r)
            view.data().ana1[r] = 1;
        ChartState state;
        command24Click(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        QCOMPARE(segs.size(), 11);
        for (int i = 0; i < segs.size(); ++i)
            CHECK_NEAR(segs[i].y1, 5040 - (i + 1) * 20.0);
    }

    // A point that does not fit single precision loses its two segments; the rest is drawn.
    void nonFiniteCoordinatesSkipped()
    {
        FakeChartView view;
        view.selected.fill(false);
        view.selected[0] = true;
        view.n = 10;
        view.coeff = QStringLiteral("1e38");
        view.data().ana1[5] = 1; // 5040 - 2e39 is beyond single precision
        ChartState state;
        command24Click(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        QCOMPARE(segs.size(), 11 - 2);
        for (const Op &seg : segs) {
            QVERIFY(!near(seg.x1, 1000 + 4 * 1240.5) && !near(seg.x1, 1000 + 5 * 1240.5));
            CHECK_NEAR(seg.y1, 5040);
        }
    }

    // Logic slot 0 holding 1, 1, 0, 0, 1: high, high, low, low, high; edges at rows 2 and 4 only.
    void logicLevelsAndEdges()
    {
        FakeChartView view;
        view.analog = false;
        view.n = 10;
        const double values[] = {1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1};
        for (int r = 0; r <= 10; ++r)
            view.data().logique[4 * r] = values[r];
        ChartState state;
        command24Click(view, state);
        const RecordingSurface &s = view.recording();
        QCOMPARE(s.operations().first().kind, Kind::Clear);
        const double step = 1240.5;

        const QList<Op> levels = ofColour(s.operations(Kind::Segment), kLog4);
        QCOMPARE(levels.size(), 11);
        const double expectedY[] = {0, 0, 300, 300, 0};
        for (int r = 0; r < 5; ++r) {
            CHECK_NEAR(levels[r].x1, 1000 + r * step);
            CHECK_NEAR(levels[r].x2, 1000 + (r + 1) * step);
            CHECK_NEAR(levels[r].y1, expectedY[r]);
            CHECK_NEAR(levels[r].y2, expectedY[r]);
        }
        const QList<Op> edges = ofColour(s.operations(Kind::Rectangle), kLog4);
        QCOMPARE(edges.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const double x = 1000 + (i == 0 ? 2 : 4) * step;
            CHECK_NEAR(edges[i].x1, x);
            CHECK_NEAR(edges[i].x2, x);
            CHECK_NEAR(edges[i].y1, 0);
            CHECK_NEAR(edges[i].y2, 300);
        }
    }

    // Empty slots count as 0: the low level in every band, and a falling edge at X 1000.
    void logicBandsAndFirstEdge_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<double>("top");
        QTest::newRow("LOG 4") << 0 << kLog4 << 0.0;
        QTest::newRow("LOG 3") << 1 << kLog3 << 700.0;
        QTest::newRow("LOG 2") << 2 << kLog2 << 1400.0;
        QTest::newRow("LOG 1") << 3 << kLog1 << 2100.0;
    }
    void logicBandsAndFirstEdge()
    {
        QFETCH(int, slot);
        QFETCH(QColor, colour);
        QFETCH(double, top);
        FakeChartView view;
        view.analog = false;
        view.n = 100;
        view.data().logique[slot] = 0; // stored 0 and empty slots behave alike
        ChartState state;
        command24Click(view, state);
        const RecordingSurface &s = view.recording();
        QCOMPARE(s.count(Kind::Segment), 4 * 101);
        const QList<Op> levels = ofColour(s.operations(Kind::Segment), colour);
        QCOMPARE(levels.size(), 101);
        for (int r = 0; r <= 100; ++r) {
            CHECK_NEAR(levels[r].x1, 1000 + r * 124.05);
            CHECK_NEAR(levels[r].y1, top + 300);
        }
        const QList<Op> edges = ofColour(s.operations(Kind::Rectangle), colour);
        QCOMPARE(edges.size(), 1);
        CHECK_NEAR(edges[0].x1, 1000);
        CHECK_NEAR(edges[0].x2, 1000);
        CHECK_NEAR(edges[0].y1, top);
        CHECK_NEAR(edges[0].y2, top + 300);
    }

    // A value other than 0 and 1 takes the level of the slot drawn just before it, which may be
    // another band's slot, or the last slot of the previous row.
    void logicOtherValueKeepsPreviousSlotLevel()
    {
        FakeChartView view;
        view.analog = false;
        view.n = 10;
        AcquisitionData &d = view.data();
        d.logique[0] = 1; // row 0: slot 0 high
        d.logique[1] = 2; //        slot 1 takes slot 0's level: high, at its band top 700
        d.logique[2] = 0; //        slot 2 low
        d.logique[3] = 7; //        slot 3 takes slot 2's level: low
        d.logique[4] = 2; // row 1: slot 0 takes row 0 slot 3's level: low
        d.logique[5] = 1;
        d.logique[6] = 2; //        slot 2 takes slot 1's level: high, a rising edge
        d.logique[7] = 1;
        ChartState state;
        command24Click(view, state);
        const QList<Op> segs = view.recording().operations(Kind::Segment);
        CHECK_NEAR(segs[0].y1, 0);
        CHECK_NEAR(segs[1].y1, 700);
        CHECK_NEAR(segs[2].y1, 1700);
        CHECK_NEAR(segs[3].y1, 2400);
        CHECK_NEAR(segs[4].y1, 300);
        CHECK_NEAR(segs[5].y1, 700);
        CHECK_NEAR(segs[6].y1, 1400);
        CHECK_NEAR(segs[7].y1, 2100);
        // Edges: row 0 slots 2 and 3 fall at X 1000; row 1 slot 0 falls, slots 2 and 3 rise;
        // row 2 is empty (low): slots 1, 2 and 3 fall.
        const QList<Op> edges = view.recording().operations(Kind::Rectangle);
        QCOMPARE(edges.size(), 8);
        QCOMPARE(edges[0].color, kLog2);
        CHECK_NEAR(edges[0].x1, 1000);
        QCOMPARE(edges[1].color, kLog1);
        CHECK_NEAR(edges[1].x1, 1000);
        QCOMPARE(edges[2].color, kLog4);
        CHECK_NEAR(edges[2].x1, 1000 + 1240.5);
        QCOMPARE(edges[3].color, kLog2);
        QCOMPARE(edges[4].color, kLog1);
        CHECK_NEAR(edges[4].y1, 2100);
        CHECK_NEAR(edges[4].y2, 2400);
        for (int i = 5; i < 8; ++i)
            CHECK_NEAR(edges[i].x1, 1000 + 2 * 1240.5);
        QCOMPARE(edges[5].color, kLog3);
    }

    // The analog zoom view: rows s0 to s0 + 10, step W / 10; Text5 untouched.
    void analogZoom_data()
    {
        QTest::addColumn<qlonglong>("s0");
        QTest::addColumn<int>("firstRow");   // first row whose segment is drawn
        QTest::addColumn<int>("segments");   // per channel
        QTest::newRow("inside the store") << 35LL << 35 << 11;
        QTest::newRow("from row 0") << 0LL << 0 << 11;
        QTest::newRow("left of the axis") << -3LL << 0 << 8;
        QTest::newRow("far left") << -40LL << 0 << 0;
        QTest::newRow("reaching past the store") << 1995LL << 1995 << 5;
        QTest::newRow("past the store") << 2000LL << 2000 << 0;
        QTest::newRow("very far") << 4'000'000'000'000'000'000LL << 0 << 0;
    }
    void analogZoom()
    {
        QFETCH(qlonglong, s0);
        QFETCH(int, firstRow);
        QFETCH(int, segments);
        FakeChartView view;
        fillAnalog(view.data());
        view.recording().setLineWidth(3);
        drawZoomView(view, s0, true);
        const RecordingSurface &s = view.recording();
        QCOMPARE(s.operations(Kind::Clear).size(), 1);
        QCOMPARE(view.text5Writes, 0);
        const QList<Op> segs = s.visible(Kind::Segment);
        QCOMPARE(segs.size(), 5 * segments);
        if (segments == 0)
            return;
        const Op &first = segs[1]; // ANA 1 of the first drawn row
        QCOMPARE(first.color, kAna1);
        CHECK_NEAR(first.x1, 1000 + (firstRow - s0) * 1240.5);
        CHECK_NEAR(first.y1, 5040 - (firstRow % 100) * 0.492 * 20);
        CHECK_NEAR(first.y2, 5040 - ((firstRow + 1) % 100) * 0.492 * 20);
        QCOMPARE(first.lineWidth, 3);
        CHECK_NEAR(segs.last().x2, 1000 + (firstRow - s0 + segments) * 1240.5);
    }

    void logicZoom_data()
    {
        QTest::addColumn<qlonglong>("s0");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("levels");
        QTest::addColumn<double>("firstX");
        QTest::newRow("row 25") << 25LL << "100:dep= 25" << 4 * 81 << 1000.0;
        QTest::newRow("row 0") << 0LL << "0:dep= 0" << 4 * 81 << 1000.0;
        QTest::newRow("left of the axis") << -2LL << "-8:dep= -2" << 4 * 79 << 1000 + 2 * 1240.5;
        QTest::newRow("end of the store") << 1990LL << "7960:dep= 1990" << 4 * 10 + 1 << 1000.0;
    }
    void logicZoom()
    {
        QFETCH(qlonglong, s0);
        QFETCH(QString, caption);
        QFETCH(int, levels);
        QFETCH(double, firstX);
        FakeChartView view;
        view.analog = false;
        for (int i = 0; i < AcquisitionData::kLogicSlots; ++i)
            view.data().logique[i] = (i / 4) % 2; // even rows low, odd rows high
        drawZoomView(view, s0, false);
        QCOMPARE(view.caption54, caption);
        const RecordingSurface &s = view.recording();
        QCOMPARE(s.count(Kind::Clear), 1);
        const QList<Op> segs = s.operations(Kind::Segment);
        QCOMPARE(segs.size(), levels);
        CHECK_NEAR(segs[0].x1, firstX);
        CHECK_NEAR(segs[0].x2, firstX + 1240.5);
        // Band pitch 650: slot b of the first drawn row at 650 b (+ 300 when low).
        const long long firstRow = std::max(s0, 0LL);
        const double low = firstRow % 2 == 0 ? 300 : 0;
        for (int b = 0; b < 4 && b < segs.size(); ++b)
            CHECK_NEAR(segs[b].y1, 650 * b + low);
        // Only the rows that change level draw edges, each a zero-width outline 300 high.
        for (const Op &edge : s.operations(Kind::Rectangle)) {
            QCOMPARE(edge.x1, edge.x2);
            CHECK_NEAR(edge.y2 - edge.y1, 300);
        }
    }

    void programWideState()
    {
        ChartState &a = ChartState::instance();
        QCOMPARE(a, ChartState{});
        a.acq_curseur = 17;
        QCOMPARE(ChartState::instance().acq_curseur, 17);
        QCOMPARE(&ChartState::instance(), &a);
        a = ChartState{};
    }
};

QTEST_GUILESS_MAIN(TestChartRenderer)
#include "tst_chartrenderer.moc"
