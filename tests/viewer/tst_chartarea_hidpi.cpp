// The chart area on a double-density screen: the drawing is kept at device resolution, so lines
// are crisp, two device pixels for one layout pixel.

#include "chart/ChartArea.h"

#include <QApplication>
#include <QTest>

using namespace platine;

class TestChartAreaHiDpi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drawingAtDeviceResolution();
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

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestChartAreaHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartarea_hidpi.moc"
