#include "chart/ChartWiring.h"

#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"

#include <QAbstractButton>

namespace platine {

void connectChart(QAbstractButton *drawButton, ChartArea *area, ChartView &view, ChartState &state)
{
    ChartView *v = &view;
    ChartState *s = &state;
    QObject::connect(drawButton, &QAbstractButton::clicked, drawButton,
                     [v, s] { drawFullView(*v, *s); });
    QObject::connect(area, &ChartArea::mouseMoved, area,
                     [v, s](float x, float y) { followMouse(*v, *s, x, y); });
    QObject::connect(area, &ChartArea::mousePressed, area,
                     [v, s](int button, float x, float y) { clickChart(*v, *s, button, x, y); });
    QObject::connect(area, &ChartArea::keyPressed, area,
                     [v, s](int keyCode) { stepZoomView(*v, *s, keyCode); });
}

} // namespace platine
