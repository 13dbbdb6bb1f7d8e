// The chart connected to a chart area and a "Tracer" button, driven by real widget events.

#include "FakeChartView.h"

#include "chart/ChartArea.h"
#include "chart/ChartState.h"
#include "chart/ChartWiring.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace platine;

namespace {

// Sends a mouse event at a point of the chart area given in twips of its client area.
void sendMouse(ChartArea &area, QEvent::Type type, Qt::MouseButton button, double x, double y)
{
    const QPointF pixel = area.toPixels(x, y);
    QMouseEvent event(type, pixel, area.mapToGlobal(pixel), button,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&area, &event);
}

void sendKey(ChartArea &area, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&area, &event);
}

} // namespace

class TestChartWiring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        ChartState::instance() = ChartState{};
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        ChartState::instance() = ChartState{};
    }

    void tracerMouseAndKeys()
    {
        ChartArea area;
        area.resize(12405 / 15, 5835 / 15); // the designer size: W = 12405 twips
        QCOMPARE(area.width(), 12405.0);
        QPushButton tracer(QStringLiteral("Tracer"));
        FakeChartView view(area);
        for (int r = 0; r < AcquisitionData::kRows; ++r)
            view.data().ana1[r] = r;
        connectChart(&tracer, &area, view);
        ChartState &state = ChartState::instance();

        tracer.click();
        QCOMPARE(view.text5Writes, 1);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 0, .zoom_lecture = 0,
                                    .zoom_vue = 0}));

        sendMouse(area, QEvent::MouseMove, Qt::NoButton, 5955, 2535); // row 40.3, value 2.49 V
        QCOMPARE(view.caption59, QStringLiteral("Acquisition N°: 40"));
        QCOMPARE(view.caption64, QStringLiteral("2,49 V"));
        QCOMPARE(view.cursorX, 5955.0);
        QCOMPARE(view.cursorY, 2535.0);
        QCOMPARE(state.acq_curseur, 40);

        sendMouse(area, QEvent::MouseButtonPress, Qt::LeftButton, 5955, 2535);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 35, .zoom_lecture = 1,
                                    .zoom_vue = 1}));

        sendKey(area, Qt::Key_Left);
        QCOMPARE(state.acq_curseur, 37);
        sendKey(area, Qt::Key_Right);
        sendKey(area, Qt::Key_Right);
        QCOMPARE(state.acq_curseur, 33);

        // The right button prints the read-out on the chart: the image changes under the text.
        const QImage before = area.image();
        sendMouse(area, QEvent::MouseMove, Qt::NoButton, 3000, 1500);
        sendMouse(area, QEvent::MouseButtonPress, Qt::RightButton, 3000, 1500);
        QVERIFY(area.image() != before);
        QCOMPARE(state.zoom_vue, 1);

        sendMouse(area, QEvent::MouseButtonPress, Qt::LeftButton, 3000, 1500);
        QCOMPARE(state, (ChartState{.nbre_acq = 100, .acq_curseur = 33, .zoom_lecture = 0,
                                    .zoom_vue = 0}));
        QCOMPARE(view.text5Writes, 2);
    }

    // The full view paints the traces into the chart area's image in their colours.
    void tracesReachTheImage()
    {
        ChartArea area;
        area.resize(12405 / 15, 5835 / 15);
        QPushButton tracer;
        FakeChartView view(area);
        view.selected.fill(false);
        view.selected[1] = true; // ANA 2, red
        for (int r = 0; r < AcquisitionData::kRows; ++r)
            view.data().ana2[r] = 254; // a flat line at Y 5040 - 254 * 0.492 * 20 = 2540.64
        connectChart(&tracer, &area, view);
        tracer.click();
        const QImage &image = area.image();
        const qreal dpr = image.devicePixelRatio();
        const QPoint onTrace(qRound(3000 / 15.0 * dpr), qRound(2540.64 / 15.0 * dpr));
        QCOMPARE(QColor(image.pixel(onTrace)), QColor(255, 0, 0));
        const QPoint offTrace(onTrace.x(), onTrace.y() + qRound(20 * dpr));
        QCOMPARE(QColor(image.pixel(offTrace)), QColor(192, 192, 192));
    }
};

QTEST_MAIN(TestChartWiring)
#include "tst_chartwiring.moc"
