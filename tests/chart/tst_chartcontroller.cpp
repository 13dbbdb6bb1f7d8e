// The chart's mouse and key handlers: cursors, read-out, zoom entry and exit, printed values.

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

namespace {

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;

void fillStore(AcquisitionData &d)
{
    for (int r = 0; r < AcquisitionData::kRows; ++r) {
        d.temperature[r] = r % 40;
        d.ana1[r] = r;
        d.ana2[r] = r % 13;
        d.ana3[r] = 500 - r % 500;
        d.ana4[r] = 250;
    }
    for (int i = 0; i < AcquisitionData::kLogicSlots; ++i)
        d.logique[i] = (i / 4 + i % 4) % 3 == 0 ? 1 : 0;
}

// X of the first segment of analog input 1 after the last clear, and its start value.
struct FirstTrace {
    float x = -1;
    float y = -1;
};
FirstTrace firstAna1(const RecordingSurface &s)
{
    for (const Op &op : s.visible(Kind::Segment))
        if (op.color == QColor(0, 0, 0))
            return {op.x1, op.y1};
    return {};
}

float yOfAna1(double row)
{
    return static_cast<float>(5040 - row * 0.492 * 20);
}

QList<Op> shapes(const RecordingSurface &s)
{
    QList<Op> out = s.visible(Kind::Segment);
    out += s.visible(Kind::Rectangle);
    return out;
}

bool sameShapes(const QList<Op> &a, const QList<Op> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].x1 != b[i].x1 || a[i].y1 != b[i].y1
            || a[i].x2 != b[i].x2 || a[i].y2 != b[i].y2 || a[i].color != b[i].color)
            return false;
    return true;
}

} // namespace

class TestChartController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::French)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // The steps every mouse move does, whatever the mode and view.
    void moveCommonSteps_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<int>("zoom");
        QTest::newRow("analog full") << true << 0;
        QTest::newRow("logic full") << false << 0;
        QTest::newRow("analog zoom") << true << 1;
        QTest::newRow("logic zoom") << false << 1;
    }
    void moveCommonSteps()
    {
        QFETCH(bool, analog);
        QFETCH(int, zoom);
        FakeChartView view;
        view.analog = analog;
        view.n = 321;
        ChartState state{.nbre_acq = 100, .acq_curseur = 50, .zoom_lecture = zoom, .zoom_vue = 0};
        mouseMove(view, state, 0, 0, 4321.5f, 1234.25f);
        QCOMPARE(view.aide, QString());
        QCOMPARE(state.nbre_acq, 321);
        QCOMPARE(view.cursorX, 4321.5);
        QCOMPARE(view.cursorY, 1234.25);
        // A mouse move never draws.
        QCOMPARE(view.recording().operations().size(), 0);
    }

    // Full view: the value with its unit (analog) or nothing (logic), and the row under the mouse.
    void moveFullView_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("row");
        QTest::addColumn<qlonglong>("cursor");
        QTest::newRow("0-5 V") << true << "0.492" << 2000.0f << 2532.5f << "2,5 V" << "8" << 8LL;
        QTest::newRow("temperature") << true << "5" << 2000.0f << 2526.0f << "25,01 °C" << "8"
                                     << 8LL;
        QTest::newRow("0-10 V whole value") << true << "0.246" << 2000.0f << 15.0f << "10, V"
                                            << "8" << 8LL;
        QTest::newRow("below the baseline") << true << "0.492" << 2000.0f << 5542.5f << "-0,5 V"
                                            << "8" << 8LL;
        QTest::newRow("other coefficient") << true << "0.3" << 2000.0f << 3030.0f << "0,6 V"
                                           << "8" << 8LL;
        QTest::newRow("left of the axis") << true << "0.492" << 900.0f << 5040.0f << "0, V"
                                          << "-1" << -1LL;
        QTest::newRow("logic") << false << "0.492" << 2000.0f << 2532.5f << "" << "8" << 8LL;
        QTest::newRow("logic, unreadable coefficient") << false << "x" << 13000.0f << 0.0f << ""
                                                       << "97" << 97LL;
    }
    void moveFullView()
    {
        QFETCH(bool, analog);
        QFETCH(QString, coeff);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, value);
        QFETCH(QString, row);
        QFETCH(qlonglong, cursor);
        FakeChartView view;
        view.analog = analog;
        view.coeff = coeff;
        ChartState state;
        mouseMove(view, state, 0, 0, x, y);
        QCOMPARE(view.caption64, value);
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: ") + row);
        QCOMPARE(state.acq_curseur, cursor);
    }

    // A coefficient that is no number leaves the value caption as it was; the row still follows.
    void moveUnreadableCoefficient_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::newRow("full view") << 0;
        QTest::newRow("zoom view") << 1;
    }
    void moveUnreadableCoefficient()
    {
        QFETCH(int, zoom);
        FakeChartView view;
        view.coeff = QStringLiteral("abc");
        view.caption64 = QStringLiteral("1,23 V");
        ChartState state{.nbre_acq = 0, .acq_curseur = 30, .zoom_lecture = zoom, .zoom_vue = zoom};
        mouseMove(view, state, 0, 0, 2000.0f, 100.0f);
        QCOMPARE(view.caption64, QStringLiteral("1,23 V"));
        QCOMPARE(view.caption59, zoom ? QStringLiteral("Acquisition N°: 30")
                                      : QStringLiteral("Acquisition N°: 8"));
    }

    // Zoom view: no unit, row = acq_curseur + offset in the view at W / 10, acq_curseur fixed.
    void moveZoomView_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<float>("x");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("row");
        QTest::newRow("analog, left edge of the traces") << true << 1000.0f << "2,5" << "35";
        QTest::newRow("analog, sixth row") << true << 7300.0f << "2,5" << "40";
        QTest::newRow("analog, left of the axis") << true << 900.0f << "2,5" << "34";
        QTest::newRow("logic") << false << 2300.0f << "" << "36";
    }
    void moveZoomView()
    {
        QFETCH(bool, analog);
        QFETCH(float, x);
        QFETCH(QString, value);
        QFETCH(QString, row);
        FakeChartView view;
        view.analog = analog;
        ChartState state{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1, .zoom_vue = 1};
        mouseMove(view, state, 0, 0, x, 2532.5f);
        QCOMPARE(view.caption64, value);
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: ") + row);
        QCOMPARE(state.acq_curseur, 35);
    }

    // HScroll1 changed after drawing: the row read-out uses the new N, the traces stay.
    void scrollAfterDrawingChangesOnlyTheReadOut()
    {
        FakeChartView view;
        fillStore(view.data());
        ChartState state;
        command24Click(view, state);
        const QList<Op> drawn = shapes(view.recording());
        view.n = 200;
        mouseMove(view, state, 0, 0, 2000.0f, 2000.0f);
        QCOMPARE(state.nbre_acq, 200);
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: 16")); // 1040 / 62.025
        QCOMPARE(state.acq_curseur, 16);
        QVERIFY(sameShapes(shapes(view.recording()), drawn));
        QCOMPARE(view.recording().count(Kind::Clear), 1);
    }

    // Right click in analog mode: the value caption 40 twips right of the point, a 60-twip tick
    // below the point, both in the foreground colour; nothing cleared.
    void rightClickPrintsTheValue_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QString>("printed");
        QTest::newRow("full view") << 0 << "2,5 V";
        QTest::newRow("zoom view") << 1 << "2,5";
    }
    void rightClickPrintsTheValue()
    {
        QFETCH(int, zoom);
        QFETCH(QString, printed);
        FakeChartView view;
        view.recording().setForeground(QColor(0, 255, 0)); // the mouse passed over "ANA 3"
        ChartState state{.nbre_acq = 100, .acq_curseur = 20, .zoom_lecture = zoom, .zoom_vue = zoom};
        mouseMove(view, state, 0, 0, 3000.0f, 2532.5f);
        view.recording().forget();
        const ChartState before = state;
        mouseDown(view, state, kRight, 0, 3000.0f, 2532.5f);
        QCOMPARE(state, before);
        const QList<Op> &ops = view.recording().operations();
        QCOMPARE(ops.size(), 3);
        QCOMPARE(ops[0].kind, Kind::SetTextPosition);
        QCOMPARE(ops[1].kind, Kind::Print);
        QCOMPARE(ops[1].text, printed);
        QCOMPARE(ops[1].textX, 3040.0f);
        QCOMPARE(ops[1].textY, 2532.5f);
        QCOMPARE(ops[1].color, QColor(0, 255, 0));
        QCOMPARE(ops[2].kind, Kind::Segment);
        QCOMPARE(ops[2].x1, 3000.0f);
        QCOMPARE(ops[2].y1, 2532.5f);
        QCOMPARE(ops[2].x2, 3000.0f);
        QCOMPARE(ops[2].y2, 2592.5f);
        QCOMPARE(ops[2].color, QColor(0, 255, 0));
    }

    void otherButtonsDoNothingInAnalogMode()
    {
        FakeChartView view;
        ChartState state{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0, .zoom_vue = 0};
        mouseDown(view, state, kMiddle, 0, 3000.0f, 2000.0f);
        mouseDown(view, state, kLeft | kRight, 0, 3000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        QCOMPARE(view.recording().operations().size(), 0);
    }

    // Left click in analog mode: the zoom view starts five rows before the row under the mouse,
    // from row 10 down at that row.
    void analogZoomStart_data()
    {
        QTest::addColumn<qlonglong>("cursor");
        QTest::addColumn<qlonglong>("start");
        QTest::newRow("row 40") << 40LL << 35LL;
        QTest::newRow("row 11") << 11LL << 6LL;
        QTest::newRow("row 10") << 10LL << 10LL;
        QTest::newRow("row 8") << 8LL << 8LL;
        QTest::newRow("left of the axis") << -1LL << -1LL;
    }
    void analogZoomStart()
    {
        QFETCH(qlonglong, cursor);
        QFETCH(qlonglong, start);
        FakeChartView view;
        fillStore(view.data());
        ChartState state{.nbre_acq = 100, .acq_curseur = cursor, .zoom_lecture = 0, .zoom_vue = 0};
        mouseDown(view, state, kLeft, 0, 2000.0f, 2000.0f);
        QCOMPARE(state.acq_curseur, start);
        QCOMPARE(state.zoom_vue, 1);
        QCOMPARE(state.zoom_lecture, 1);
        const FirstTrace t = firstAna1(view.recording());
        const long long firstRow = std::max(start, 0LL);
        QCOMPARE(t.x, static_cast<float>(1000 + (firstRow - start) * 1240.5));
        QCOMPARE(t.y, yOfAna1(static_cast<double>(firstRow)));
        // The read-out at the left edge of the traces names the first row of the view.
        mouseMove(view, state, 0, 0, 1000.0f, 2000.0f);
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: %1").arg(start));
    }

    // Tracer, move, click into the zoom, move, click back: the state at each step, and the second
    // click draws exactly what Tracer draws.
    void fullZoomFullCycle()
    {
        FakeChartView view;
        fillStore(view.data());
        ChartState state;
        QCOMPARE(state, ChartState{});

        command24Click(view, state);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 0, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        const QList<Op> full = shapes(view.recording());
        QCOMPARE(full.size(), 505);

        mouseMove(view, state, 0, 0, 6000.0f, 2000.0f); // (6000 - 960) / 124.05 = 40.6
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0,
                                    .zoom_vue = 0}));

        mouseDown(view, state, kLeft, 0, 6000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
        QCOMPARE(shapes(view.recording()).size(), 5 * 11);
        QCOMPARE(firstAna1(view.recording()).y, yOfAna1(35));

        mouseMove(view, state, 0, 0, 9000.0f, 2000.0f); // 6.48 rows into the view
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: 41"));
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1,
                                    .zoom_vue = 1}));

        mouseDown(view, state, kLeft, 0, 9000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        QVERIFY(sameShapes(shapes(view.recording()), full));

        mouseMove(view, state, 0, 0, 2000.0f, 2000.0f);
        QCOMPARE(state.acq_curseur, 8);
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: 8"));
    }

    // Arrow keys in the analog zoom: left shows later rows, right earlier ones, two at a time;
    // any other key redraws in place.
    void arrowKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<qlonglong>("start");
        QTest::newRow("left arrow") << 37 << 37LL;
        QTest::newRow("right arrow") << 39 << 33LL;
        QTest::newRow("up arrow") << 38 << 35LL;
        QTest::newRow("letter") << 65 << 35LL;
    }
    void arrowKeys()
    {
        QFETCH(int, key);
        QFETCH(qlonglong, start);
        FakeChartView view;
        fillStore(view.data());
        ChartState state{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1, .zoom_vue = 1};
        keyDown(view, state, key, 0);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = start, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
        QCOMPARE(view.recording().count(Kind::Clear), 1);
        QCOMPARE(firstAna1(view.recording()).y, yOfAna1(static_cast<double>(start)));
    }

    void repeatedArrowKeys()
    {
        FakeChartView view;
        fillStore(view.data());
        ChartState state{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1, .zoom_vue = 1};
        for (int i = 0; i < 3; ++i)
            keyDown(view, state, 37, 0);
        QCOMPARE(state.acq_curseur, 41);
        QCOMPARE(firstAna1(view.recording()).y, yOfAna1(41));
        for (int i = 0; i < 25; ++i)
            keyDown(view, state, 39, 0);
        QCOMPARE(state.acq_curseur, -9); // left of row 0: those rows are missing
        QCOMPARE(firstAna1(view.recording()).x, static_cast<float>(1000 + 9 * 1240.5));
    }

    // A key in analog mode opens the zoom view from the full view as a click does.
    void analogKeyFromFullView()
    {
        FakeChartView view;
        ChartState state{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0, .zoom_vue = 0};
        keyDown(view, state, 37, 0);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 42, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
    }

    // A key in logic mode keeps zoom_vue: from the full view, the next left click draws the zoom
    // again, and only the click after that returns to the full view.
    void logicKeyKeepsZoomVue()
    {
        FakeChartView view;
        view.analog = false;
        fillStore(view.data());
        ChartState state;
        command24Click(view, state);
        mouseMove(view, state, 0, 0, 6000.0f, 2000.0f);
        QCOMPARE(state.acq_curseur, 40);

        keyDown(view, state, 37, 0);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 42, .zoom_lecture = 1,
                                    .zoom_vue = 0}));
        QCOMPARE(view.caption54, QStringLiteral("168:dep= 42"));

        mouseDown(view, state, kLeft, 0, 6000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 42, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
        QCOMPARE(view.recording().visible(Kind::Segment).size(), 4 * 81);

        mouseDown(view, state, kLeft, 0, 6000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 42, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        QCOMPARE(view.recording().visible(Kind::Segment).size(), 4 * 101);
    }

    // Any button in logic mode opens the zoom at the row under the mouse, without re-centring;
    // only the left button closes it.
    void logicClicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("closes");
        QTest::newRow("left") << kLeft << true;
        QTest::newRow("right") << kRight << false;
        QTest::newRow("middle") << kMiddle << false;
    }
    void logicClicks()
    {
        QFETCH(int, button);
        QFETCH(bool, closes);
        FakeChartView view;
        view.analog = false;
        ChartState state{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0, .zoom_vue = 0};
        mouseDown(view, state, button, 0, 6000.0f, 2000.0f);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
        QCOMPARE(view.caption54, QStringLiteral("160:dep= 40"));
        QCOMPARE(view.recording().count(Kind::Clear), 2); // the click's and the zoom view's
        QCOMPARE(view.recording().visible(Kind::Segment).size(), 4 * 81);

        mouseDown(view, state, button, 0, 6000.0f, 2000.0f);
        if (closes) {
            QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 0,
                                        .zoom_vue = 0}));
            QCOMPARE(view.recording().visible(Kind::Segment).size(), 4 * 101);
        } else {
            QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 40, .zoom_lecture = 1,
                                        .zoom_vue = 1}));
            QCOMPARE(view.recording().visible(Kind::Segment).size(), 4 * 81);
        }
    }

    // Before the first "Tracer" every field is empty: a key draws a zoom view on an empty chart.
    void keyBeforeAnyDrawing()
    {
        FakeChartView view;
        fillStore(view.data());
        ChartState state;
        keyDown(view, state, 37, 0);
        QCOMPARE(state, (ChartState{.nbre_acq = 0, .acq_curseur = 2, .zoom_lecture = 1,
                                    .zoom_vue = 1}));
        QCOMPARE(firstAna1(view.recording()).y, yOfAna1(2));
    }
};

QTEST_GUILESS_MAIN(TestChartController)
#include "tst_chartcontroller.moc"
