#include "chart/OverviewStrip.h"

#include <QMouseEvent>
#include <QPainter>

namespace platine {

OverviewStrip::OverviewStrip(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void OverviewStrip::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void OverviewStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, m_picture);
    painter.setPen(Qt::darkGray);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void OverviewStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT columnChosen(int(event->position().x()));
}

void OverviewStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        Q_EMIT columnChosen(int(event->position().x()));
}

} // namespace platine
