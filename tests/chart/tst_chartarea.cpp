// The chart area Picture1 on two screens, the second of double density: what is drawn stays and
// follows the screen, line controls stand above the drawing and labels above both, segments have
// a painter's shape, repaints leave no trace, far and invalid coordinates, mouse and keys.

#include "chart/ChartArea.h"
#include "chart/LineControl.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <memory>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

constexpr int B = ChartArea::kBorder;
const QColor kGrey(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);

// A shown chart area with a client area of 400 x 300 pixels, on the screen of that pixel ratio.
std::unique_ptr<ChartArea> shownArea(int dpr = 1)
{
    auto area = std::make_unique<ChartArea>();
    QScreen *screen = QGuiApplication::screens().at(dpr - 1);
    area->setScreen(screen);
    area->setGeometry(QRect(screen->geometry().topLeft() + QPoint(50, 50), QSize(404, 304)));
    area->show();
    if (!QTest::qWaitForWindowExposed(area.get()) || area->devicePixelRatioF() != dpr)
        return nullptr;
    return area;
}

QImage rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

// The client area as the widget paints itself (ratio 1), and the colour of one of its pixels.
QImage client(ChartArea &area)
{
    return rgb(area.grab()).copy(B, B, area.pixelWidth() - 2 * B, area.height() - 2 * B);
}
QColor shown(ChartArea &area, int x, int y)
{
    return client(area).pixelColor(x, y);
}

// How many pixels of the image pass the test (x, y, colour).
template <class Test> int count(const QImage &image, Test test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += test(x, y, image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

// Red pixels of a with no red within one pixel in b (all red pixels of a when b is null).
int redAwayFrom(const QImage &a, const QImage &b = {})
{
    return count(a, [&](int x, int y, QRgb c) {
        for (int d = 0; d < 9 && c == kRed; ++d) {
            const QPoint p(x + d % 3 - 1, y + d / 3 - 1);
            if (b.valid(p) && b.pixel(p) == kRed)
                return false;
        }
        return c == kRed;
    });
}

// Collects the regions the widget is asked to paint.
struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

class TestChartArea : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Line controls above the drawing (a hidden one not at all), labels above both; the drawing
    // stays when the area is covered and shown again, and a clear keeps the lines. Text in the
    // foreground colour from the text position, which then goes down a line; outlines, one of no
    // width drawn once (a translucent one blends as a segment does); far and invalid coordinates.
    void drawing()
    {
        const auto area = shownArea();
        QVERIFY(area);
        area->addLine(u"Line29"_s, 1500, 0, 1500, 4000, Qt::blue);              // x = 100
        area->addLine(u"Line31(0)"_s, 0, 3000, 6000, 3000, Qt::darkGray, true); // y = 200
        area->addLine(u"curseur"_s, 4500, 0, 4500, 4000, Qt::magenta, false, false);
        area->setLineWidth(5);
        area->segment(0, 1500, 6000, 1500, Qt::green); // y = 100
        area->segment(0, 3750, 6000, 3750, Qt::green); // y = 250
        auto *label = new QLabel(area.get());
        label->setStyleSheet(u"background: yellow"_s);
        label->setGeometry(area->childRect(1200, 1200, 900, 900)); // 80..140
        label->show();
        QCOMPARE(shown(*area, 100, 100), QColor(Qt::yellow));
        QCOMPARE(shown(*area, 100, 252), QColor(Qt::blue));
        QCOMPARE(shown(*area, 150, 102), QColor(Qt::green)); // 5 pixels wide
        QCOMPARE(shown(*area, 150, 103), kGrey);
        QCOMPARE(shown(*area, 300, 250), QColor(Qt::green)); // under the hidden line
        const int dots = count(client(*area), [](int x, int y, QRgb c) {
            return y == 200 && x > 110 && c == QColor(Qt::darkGray).rgb();
        });
        QVERIFY2(dots > 50 && dots < 250, qPrintable(QString::number(dots)));

        area->hide();
        area->show();
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));
        QCOMPARE(shown(*area, 150, 250), QColor(Qt::green));
        area->setTextPosition(300, 400);
        area->clear();
        QCOMPARE(shown(*area, 150, 250), kGrey);
        QCOMPARE(shown(*area, 100, 250), QColor(Qt::blue));
        QCOMPARE(QPointF(area->textX(), area->textY()), QPointF(0, 0));
        delete label;

        area->setForeground(Qt::red);
        area->setTextPosition(3750, 3300); // 250, 220
        area->print(u"MMMM"_s);
        QCOMPARE(area->textX(), 0.0f);
        const QRectF box(250, 220, 150, (area->textY() - 3300) / 15); // the line of text
        QVERIFY(box.height() > 6);
        const auto text = [&](bool inside) {
            return count(client(*area), [&](int x, int y, QRgb c) { // smoothed
                return qRed(c) > 160 && qGreen(c) < 100 && box.contains(x, y) == inside;
            });
        };
        QVERIFY(text(true) > 10);
        QCOMPARE(text(false), 0);

        area->rectangle(1500, 1500, 3000, 2250, Qt::blue); // 100..200 x 100..150
        for (QPoint p : {QPoint(100, 125), QPoint(200, 125), QPoint(150, 100), QPoint(150, 150)})
            QCOMPARE(shown(*area, p.x(), p.y()), QColor(Qt::blue));
        QCOMPARE(shown(*area, 150, 125), kGrey);
        const auto blue = [&] {
            return count(client(*area), [](int, int, QRgb c) { return qBlue(c) > 200; });
        };
        const int outline = blue();

        area->segment(-1e30f, 3990, 1e30f, 3990, Qt::green);    // y = 266
        area->segment(1e30f, -1e30f, -1e30f, 1e30f, Qt::green); // through (0, 0)
        area->segment(std::nanf(""), 0, 100, 100, Qt::blue);
        area->segment(0, 0, INFINITY, 3000, Qt::blue);
        area->segment(1e30f, 1e30f, 2e30f, 2e30f, Qt::blue);      // entirely outside
        area->segment(0, 4200, 6000, 4200, QColor(0, 0, 255, 0)); // fully transparent
        QCOMPARE(shown(*area, 150, 266), QColor(Qt::green));
        QCOMPARE(shown(*area, 0, 0), QColor(Qt::green));
        QCOMPARE(blue(), outline);
    }

    // Moved to a screen of double density, the area draws there at once (even when not shown),
    // two device pixels a layout pixel, and what was drawn before stays.
    void drawingFollowsTheScreen()
    {
        QWidget window;
        window.setGeometry(50, 50, 300, 200);
        auto *area = new ChartArea(&window);
        area->setGeometry(10, 10, 204, 104);
        area->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        area->segment(0, 300, 3000, 300, Qt::blue); // y = 20
        QCOMPARE(area->image().size(), QSize(200, 100));

        window.windowHandle()->setScreen(QGuiApplication::screens().at(1));
        QCOMPARE(area->devicePixelRatioF(), 2.0);
        area->segment(0, 750, 3000, 750, Qt::red); // y = 50
        QCOMPARE(area->image().size(), QSize(400, 200));
        QCOMPARE(area->image().devicePixelRatio(), 2.0);
        const QColor earlier = area->image().pixelColor(40, 40); // enlarged (smoothed)
        QVERIFY2(earlier.blue() > 200 && earlier.red() < 100, qPrintable(earlier.name()));
        area->addLine(u"Line29"_s, 1500, 0, 1500, 1500, Qt::blue); // x = 100
        area->show();
        const QImage shot = area->grab().toImage();
        const auto at = [&](int x, int y) { return shot.pixelColor(2 * B + x, 2 * B + y); };
        QCOMPARE((QList<QColor>{at(40, 99), at(40, 100), at(40, 101), at(40, 102)}),
                 (QList<QColor>{kGrey, Qt::red, Qt::red, kGrey}));
        QCOMPARE((QList<QColor>{at(199, 20), at(200, 20), at(201, 20), at(202, 20)}),
                 (QList<QColor>{kGrey, Qt::blue, Qt::blue, kGrey}));
    }

    void segmentShape_data()
    {
        QTest::addColumn<int>("dpr");
        QTest::addColumn<QLineF>("twips");
        QTest::addColumn<int>("width");
        const QList<std::pair<const char *, QLineF>> segments = {
            {"horizontal", {150, 1500, 3000, 1500}},
            {"vertical", {1500, 150, 1500, 3000}},
            {"diagonal", {300, 300, 3300, 3300}},
            {"steep", {1000, 200, 1400, 4000}},
            {"flat", {200, 1000, 5000, 1300}},
            {"fractional", {157, 1503, 2991, 2222}},
            {"backwards", {3000, 2000, 100, 500}},
            {"point", {1500, 1500, 1500, 1500}},
            {"across a corner", {-3000, -1000, 3000, 2000}},
            {"near the bottom edge", {300, 4485, 5000, 4490}}};
        for (int dpr : {1, 2}) {
            for (const auto &[name, line] : segments) {
                for (int width : {1, 2, 3, 5})
                    QTest::addRow("%s, width %d, dpr %d", name, width, dpr) << dpr << line << width;
            }
        }
    }
    // The segment covers what a painter would (pen one layout pixel wide with square ends, wider
    // with round ends), give or take a device pixel at the edges, with about as many pixels, and
    // always the pixels of both ends.
    void segmentShape()
    {
        QFETCH(int, dpr);
        QFETCH(QLineF, twips);
        QFETCH(int, width);
        const auto area = shownArea(dpr);
        QVERIFY(area);
        area->setLineWidth(width);
        area->segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
        const QImage drawn = area->image();
        QImage painted(drawn.size(), QImage::Format_RGB32);
        painted.setDevicePixelRatio(dpr);
        painted.fill(kGrey);
        QPainter p(&painted);
        p.setPen(QPen(Qt::red, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap));
        // A painter leaves out a wide line of no length, but not one a hair long.
        const QPointF hair(twips.length() == 0 && width * dpr > 1 ? 0.01 : 0, 0);
        const QPointF middle(0.5, 0.5); // lines go through the middle of the pixels
        p.drawLine(twips.p1() / 15 + middle, (twips.p2() + hair) / 15 + middle);
        p.end();
        QCOMPARE(redAwayFrom(drawn, painted), 0);
        QCOMPARE(redAwayFrom(painted, drawn), 0);
        const int n = redAwayFrom(drawn), expected = redAwayFrom(painted);
        QVERIFY2(std::abs(n - expected) <= expected / 10 + 2 * dpr,
                 qPrintable(u"%1 pixels, a painter %2"_s.arg(n).arg(expected)));
        for (const QPointF &end : {twips.p1(), twips.p2()}) {
            const QPointF device = (end / 15 + middle) * dpr;
            const QPoint pixel(int(std::floor(device.x())), int(std::floor(device.y())));
            QVERIFY(!drawn.valid(pixel) || drawn.pixel(pixel) == kRed);
        }
    }

    void repaints_data()
    {
        QTest::addColumn<int>("dpr");
        QTest::newRow("dpr 1") << 1;
        QTest::newRow("dpr 2") << 2;
    }
    // Drawing reaches the screen by itself; a cursor moved repaints only where it was and where
    // it is; no move leaves a trace: every changed pixel lies in what was repainted, and at ratio
    // 1 (where the window system's copy can be read) the window shows what a full paint shows. A
    // copy of the image taken before keeps what it had.
    void repaints()
    {
        QFETCH(int, dpr);
        const auto area = shownArea(dpr);
        QVERIFY(area);
        LineControl *across = area->addLine(u"curseur"_s, 1500, 60, 1500, 4000, Qt::magenta, true);
        LineControl *along = area->addLine(u"curseur_h"_s, 60, 1500, 5900, 1500, Qt::blue, true);
        const auto onScreen = [&] {
            QCoreApplication::processEvents();
            return rgb(area->screen()->grabWindow(area->winId()));
        };
        if (dpr == 1)
            QTRY_COMPARE(onScreen(), rgb(area->grab()));
        QTest::qWait(20);
        // The client area only: at ratio 2 a grab leaves some device pixels of the border unset.
        const QRect inside(B * dpr, B * dpr, 400 * dpr, 300 * dpr);
        const QImage before = rgb(area->grab()).copy(inside), copy = area->image();
        PaintSpy spy;
        area->installEventFilter(&spy);
        across->setX1(3000);
        across->setX2(3000);
        QTRY_VERIFY(!spy.painted.isEmpty());
        QVERIFY(spy.painted.contains(QPoint(100 + B, 150 + B)));
        QVERIFY(spy.painted.contains(QPoint(200 + B, 150 + B)));
        QVERIFY(!spy.painted.contains(QPoint(150 + B, 150 + B))); // between: untouched

        area->setLineWidth(3);
        area->segment(0, 1500, 6000, 2500, Qt::red);
        area->setLineWidth(5);
        area->segment(4500, 300, 4400, 4200, Qt::darkGreen);
        area->setLineWidth(1);
        area->segment(5700, 4400, -300, 2000, Qt::blue);
        area->rectangle(450, 450, 450, 900, Qt::black);
        for (double x : {1507.5, 1515.0, 1700.0, 5000.0, 200.0, 2222.0}) {
            across->setX1(x);
            across->setX2(x);
            along->setY1(x * 0.7);
            along->setY2(x * 0.7);
            QCoreApplication::processEvents();
        }
        along->setVisible(false);
        QCOMPARE(copy.pixelColor(100 * dpr, 100 * dpr), kGrey);
        const auto uncovered = [&] {
            QCoreApplication::processEvents();
            area->removeEventFilter(&spy); // grab() paints the whole widget
            const QImage after = rgb(area->grab()).copy(inside);
            area->installEventFilter(&spy);
            return count(after, [&](int x, int y, QRgb c) {
                return c != before.pixel(x, y)
                    && !spy.painted.contains(QPoint(x / dpr + B, y / dpr + B));
            });
        };
        QTRY_COMPARE(uncovered(), 0);
        QVERIFY(before != rgb(area->grab()).copy(inside));
        if (dpr == 1)
            QTRY_COMPARE(onScreen(), rgb(area->grab()));
    }

    // Client twips, buttons 1 left 2 right, the arrows' key codes.
    void mouseAndKeys()
    {
        const auto area = shownArea();
        QVERIFY(area);
        QSignalSpy moved(area.get(), &ChartArea::mouseMoved);
        QSignalSpy pressed(area.get(), &ChartArea::mousePressed);
        QSignalSpy keys(area.get(), &ChartArea::keyPressed);
        area->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(area.get()));
        QTest::mouseMove(area.get(), QPoint(100 + B, 50 + B));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last(), (QVariantList{1500.0f, 750.0f}));
        area->clearFocus();
        QTest::mousePress(area.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10 + B, 20 + B));
        QCOMPARE(pressed.last(), (QVariantList{1, 150.0f, 300.0f}));
        QVERIFY(area->hasFocus());
        QTest::mouseRelease(area.get(), Qt::LeftButton, {}, QPoint(10 + B, 20 + B));
        QTest::mousePress(area.get(), Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
        QCOMPARE(pressed.last(), (QVariantList{2, -15.0f, -15.0f})); // on the border
        QTest::keyClick(area.get(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(keys.last(), (QVariantList{39}));
        QTest::keyClick(area.get(), Qt::Key_Left, Qt::KeypadModifier); // the keypad's arrow too
        QCOMPARE(keys.last(), (QVariantList{37}));
    }
};

int main(int argc, char *argv[])
{
    // Two offscreen screens side by side, the second of double density.
    QTemporaryDir dir;
    QFile config(dir.filePath(u"screens.json"_s));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(R"({"screens": [
        {"name": "one", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1},
        {"name": "two", "x": 800, "y": 0, "width": 800, "height": 600, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 2}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    TestChartArea test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartarea.moc"
