// The chart connected to a chart area and a "Tracer" button, driven by real widget events through
// the full view, the zoom view, the arrow keys, a printed value and back to the full view, and a
// double click that counts as one click.

#include "FakeChartView.h"

#include "chart/ChartArea.h"
#include "chart/ChartState.h"
#include "chart/ChartWiring.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using namespace platine;

namespace {

// Sends a mouse event at a point of the chart area given in twips of its client area.
void sendMouse(ChartArea &area, QEvent::Type type, Qt::MouseButton button, double x, double y)
{
    const QPointF pixel = area.toPixels(x, y);
    QMouseEvent event(type, pixel, area.mapToGlobal(pixel), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&area, &event);
}

} // namespace

class TestChartWiring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void fullZoomFullCycle()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        ChartArea area;
        area.resize(12405 / 15, 5835 / 15); // the designer size: W = 12405 twips
        QPushButton tracer(QStringLiteral("Tracer"));
        FakeChartView view(area);
        for (int r = 0; r < AcquisitionData::kRows; ++r)
            view.data().analog1[r] = r;
        ChartState state;
        connectChart(&tracer, &area, view, state);
        auto expect = [&](long long cursor, int zoom) {
            return ChartState{.rowCount = 100,
                              .cursorRow = cursor,
                              .zoomReadout = zoom != 0,
                              .zoomShown = zoom != 0};
        };

        tracer.click();
        QCOMPARE(view.tableWrites, 1);
        QCOMPARE(state, expect(0, 0));
        const QImage full = area.image();

        sendMouse(area, QEvent::MouseMove, Qt::NoButton, 5955, 2535); // row 40.3, value 2.49 V
        QCOMPARE(view.rowReadout, QStringLiteral("Acquisition N°: 40"));
        QCOMPARE(view.valueReadoutText, QStringLiteral("2,49 V"));
        QCOMPARE(QPointF(view.cursorX, view.cursorY), QPointF(5955, 2535));
        QCOMPARE(state, expect(40, 0));

        sendMouse(area, QEvent::MouseButtonPress, Qt::LeftButton, 5955, 2535);
        QCOMPARE(state, expect(35, 1));
        QVERIFY(area.image() != full);

        QTest::keyClick(&area, Qt::Key_Left);
        QCOMPARE(state, expect(37, 1));
        QTest::keyClick(&area, Qt::Key_Right);
        QTest::keyClick(&area, Qt::Key_Right);
        QCOMPARE(state, expect(33, 1));

        // The right button prints the read-out on the chart: the image changes under the text.
        sendMouse(area, QEvent::MouseMove, Qt::NoButton, 3000, 1500);
        const QImage zoomed = area.image();
        sendMouse(area, QEvent::MouseButtonPress, Qt::RightButton, 3000, 1500);
        QVERIFY(area.image() != zoomed);
        QCOMPARE(state, expect(33, 1));

        // Back to the full view: drawn again, exactly as "Tracer" drew it.
        sendMouse(area, QEvent::MouseButtonPress, Qt::LeftButton, 3000, 1500);
        QCOMPARE(state, expect(33, 0));
        QCOMPARE(view.tableWrites, 2);
        QVERIFY(area.image() == full);

        // A double click (press, release, press, double click, release, as the desktop delivers
        // it) acts as one click, in and out of the zoom view.
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QWindow *window = area.windowHandle();
        const QPoint at = area.toPixels(3000, 1500).toPoint();
        QTest::mouseDClick(window, Qt::LeftButton, {}, at);
        QCOMPARE(state, expect(11, 1)); // the mouse came to row 16: the view starts 5 rows before
        QTest::mouseDClick(window, Qt::LeftButton, {}, at);
        QCOMPARE(state, expect(11, 0));
        QCOMPARE(view.tableWrites, 3);
    }
};

QTEST_MAIN(TestChartWiring)
#include "tst_chartwiring.moc"
