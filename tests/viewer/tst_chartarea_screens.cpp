// The chart area moved to a screen of another pixel density: what is drawn next is drawn at the
// new density at once, and what was drawn before stays.

#include "chart/ChartArea.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace platine;

class TestChartAreaScreens : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drawingFollowsTheScreen();
};

// A shown window is repainted at once on a new screen, which renews the image anyway; a chart
// area not shown at the time is drawn on all the same.
void TestChartAreaScreens::drawingFollowsTheScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    QWidget window;
    window.resize(300, 200);
    auto *area = new ChartArea(&window);
    area->setGeometry(10, 10, 204, 104);
    area->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    area->segment(0, 300, 3000, 300, Qt::blue); // y = 20
    QCOMPARE(area->image().size(), QSize(200, 100));

    window.windowHandle()->setScreen(screens.at(1));
    QCOMPARE(area->devicePixelRatioF(), 2.0);
    area->segment(0, 750, 3000, 750, Qt::red); // y = 50: two device rows
    const QImage &image = area->image();
    QCOMPARE(image.size(), QSize(400, 200));
    QCOMPARE(image.pixelColor(40, 100), QColor(Qt::red));
    QCOMPARE(image.pixelColor(40, 101), QColor(Qt::red));
    QCOMPARE(image.pixelColor(40, 99), QColor(192, 192, 192));
    QCOMPARE(image.pixelColor(40, 102), QColor(192, 192, 192));
    const QColor earlier = image.pixelColor(40, 40); // the earlier drawing, enlarged (smoothed)
    QVERIFY2(earlier.blue() > 200 && earlier.red() < 100 && earlier.green() < 100,
             qPrintable(earlier.name()));
}

int main(int argc, char *argv[])
{
    // Two offscreen screens side by side, the second of double density.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "one", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1},
        {"name": "two", "x": 800, "y": 0, "width": 800, "height": 600, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 2}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication app(argc, argv);
    TestChartAreaScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartarea_screens.moc"
