#pragma once
// The overview strip under the chart: shows its picture (chart/OverviewPicture.h) and tells where
// the left button is pressed or dragged to, as a pixel column.

#include <QImage>
#include <QWidget>

namespace platine {

class OverviewStrip : public QWidget
{
    Q_OBJECT
public:
    explicit OverviewStrip(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

Q_SIGNALS:
    void columnChosen(int x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
};

} // namespace platine
