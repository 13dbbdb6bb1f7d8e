// The chart area on a double-density screen: the drawing is kept at device resolution, so lines
// are crisp, two device pixels for one layout pixel.

#include "chart/ChartArea.h"
#include "chart/LineControl.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace platine;

namespace {

const QRgb kRed = qRgb(255, 0, 0);

// The segment as a painter draws it on a double-density image (pen one layout pixel wide with
// square ends, wider with round ends).
QImage paintedSegment(const QImage &like, const QLineF &twips, int width)
{
    QImage image(like.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(like.devicePixelRatio());
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    QPen pen(Qt::red);
    pen.setWidth(width);
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(twips.p1() / 15 + QPointF(0.5, 0.5), twips.p2() / 15 + QPointF(0.5, 0.5));
    return image;
}

// Red pixels of a with no red within one device pixel in b, and red pixels of an image.
int redAwayFrom(const QImage &a, const QImage &b)
{
    int away = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            bool near = a.pixel(x, y) != kRed;
            for (int d = 0; d < 9 && !near; ++d) {
                const QPoint p(x + d % 3 - 1, y + d / 3 - 1);
                near = b.valid(p) && b.pixel(p) == kRed;
            }
            away += near ? 0 : 1;
        }
    }
    return away;
}
int reds(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == kRed ? 1 : 0;
    }
    return n;
}

QImage rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestChartAreaHiDpi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drawingAtDeviceResolution();
    void segmentShape_data();
    void segmentShape();
    void repaintCoversEveryChange();
};

void TestChartAreaHiDpi::drawingAtDeviceResolution()
{
    ChartArea area;
    area.resize(204, 104);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QCOMPARE(area.devicePixelRatioF(), 2.0);
    QCOMPARE(area.image().size(), QSize(400, 200));
    QCOMPARE(area.image().devicePixelRatio(), 2.0);
    QCOMPARE(area.width(), 204 * 15.0);

    area.addLine(QStringLiteral("Line29"), 1500, 0, 1500, 1500, Qt::blue);
    area.segment(0, 750, 3000, 750, Qt::red);
    const QImage shot = area.grab().toImage();
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    const int b = 2 * ChartArea::kBorder;
    // The one-pixel segment at y = 50 covers device rows 100 and 101, in pure colour.
    QCOMPARE(shot.pixelColor(b + 40, b + 100), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(b + 40, b + 101), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(b + 40, b + 99), QColor(192, 192, 192));
    QCOMPARE(shot.pixelColor(b + 40, b + 102), QColor(192, 192, 192));
    // The line control at x = 100 covers device columns 200 and 201.
    QCOMPARE(shot.pixelColor(b + 200, b + 20), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(b + 201, b + 20), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(b + 202, b + 20), QColor(192, 192, 192));
}

void TestChartAreaHiDpi::segmentShape_data()
{
    QTest::addColumn<QLineF>("twips");
    QTest::addColumn<int>("width");
    for (int width : {1, 2, 5}) {
        QTest::addRow("steep, width %d", width) << QLineF(1000, 200, 1400, 1400) << width;
        QTest::addRow("flat, width %d", width) << QLineF(200, 1000, 2900, 1300) << width;
        QTest::addRow("diagonal, width %d", width) << QLineF(300, 1300, 1300, 300) << width;
    }
}

// At two device pixels a layout pixel, the segment covers what a painter would (give or take a
// device pixel at the edges) with about as many pixels: its width is in layout pixels.
void TestChartAreaHiDpi::segmentShape()
{
    QFETCH(QLineF, twips);
    QFETCH(int, width);
    ChartArea area;
    area.resize(204, 104);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    area.setLineWidth(width);
    area.segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
    const QImage drawn = area.image();
    const QImage painted = paintedSegment(drawn, twips, width);
    QCOMPARE(redAwayFrom(drawn, painted), 0);
    QCOMPARE(redAwayFrom(painted, drawn), 0);
    const int n = reds(drawn), expected = reds(painted);
    QVERIFY2(std::abs(n - expected) <= expected / 10 + 4,
             qPrintable(QStringLiteral("%1 pixels, a painter %2").arg(n).arg(expected)));
}

// Every device pixel that a drawing and cursor moves change lies in what the chart area then
// repaints (the offscreen platform's copy of the window cannot be read at this density).
void TestChartAreaHiDpi::repaintCoversEveryChange()
{
    ChartArea area;
    area.resize(204, 104);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    LineControl *cursor = area.addLine(QStringLiteral("curseur"), 1500, 60, 1500, 1400, Qt::blue,
                                       true);
    QCoreApplication::processEvents();
    const QImage before = rgb(area.grab());

    struct Spy : QObject {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } spy;
    area.installEventFilter(&spy);
    area.segment(0, 750, 3000, 900, Qt::red);
    area.setLineWidth(5);
    area.segment(2000, 1400, 2400, 200, Qt::red);
    for (double x : {2911.0, 300.0}) {
        cursor->setX1(x);
        cursor->setX2(x);
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(!spy.painted.isEmpty());
    QCoreApplication::processEvents();
    area.removeEventFilter(&spy);

    const QImage after = rgb(area.grab());
    QCOMPARE(after.size(), before.size());
    int changed = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) == before.pixel(x, y))
                continue;
            ++changed;
            QVERIFY2(spy.painted.contains(QPoint(x / 2, y / 2)),
                     qPrintable(QStringLiteral("device pixel %1, %2").arg(x).arg(y)));
        }
    }
    QVERIFY(changed > 500);
    QVERIFY(!spy.painted.contains(QPoint(50, 5))); // above the drawing, away from the cursor
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestChartAreaHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartarea_hidpi.moc"
