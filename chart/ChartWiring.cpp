#include "chart/ChartWiring.h"

#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"

#include <QAbstractButton>

namespace platine {

void connectChart(QAbstractButton *tracer, ChartArea *area, ChartView &view)
{
    ChartView *v = &view;
    QObject::connect(tracer, &QAbstractButton::clicked, tracer,
                     [v] { command24Click(*v, ChartState::instance()); });
    QObject::connect(area, &ChartArea::mouseMoved, area,
                     [v](int button, int shift, float x, float y) {
                         mouseMove(*v, ChartState::instance(), button, shift, x, y);
                     });
    QObject::connect(area, &ChartArea::mousePressed, area,
                     [v](int button, int shift, float x, float y) {
                         mouseDown(*v, ChartState::instance(), button, shift, x, y);
                     });
    QObject::connect(area, &ChartArea::keyPressed, area, [v](int keyCode, int shift) {
        keyDown(*v, ChartState::instance(), keyCode, shift);
    });
}

} // namespace platine
