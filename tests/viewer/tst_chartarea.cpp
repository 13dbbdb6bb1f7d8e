// The chart area Picture1: what is drawn stays, line controls stand above the drawing and labels
// above both, coordinates in twips, mouse and key signals.

#include "chart/ChartArea.h"
#include "chart/LineControl.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using namespace platine;

namespace {

constexpr int B = ChartArea::kBorder;
const QColor kBackground(192, 192, 192);

// Colour of the client pixel (x, y) (pixels from the client area's top-left) on screen.
QColor shown(ChartArea &area, int x, int y)
{
    const QImage image = area.grab().toImage();
    const qreal dpr = image.devicePixelRatio();
    return image.pixelColor(int((x + B) * dpr), int((y + B) * dpr));
}

// The segment as a painter draws it on an image like the chart area's (pen one pixel wide with
// square ends, wider with round ends), for comparing shapes.
QImage paintedSegment(const ChartArea &area, float x1, float y1, float x2, float y2, int width)
{
    QImage image(area.image().size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(area.image().devicePixelRatio());
    image.fill(kBackground);
    QPainter p(&image);
    QPen pen(Qt::red);
    pen.setWidth(width);
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(QPointF(x1 / 15.0 + 0.5, y1 / 15.0 + 0.5),
               QPointF(x2 / 15.0 + 0.5, y2 / 15.0 + 0.5));
    return image;
}

// Pixels of the colour in a with none of that colour within one pixel in b.
int pixelsAwayFrom(const QImage &a, const QImage &b, QRgb colour)
{
    int away = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != colour)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == colour;
            }
            away += near ? 0 : 1;
        }
    }
    return away;
}

// The widget as the window system last received it (the offscreen platform's copy), after the
// events that were waiting, and the widget painted afresh in full.
QImage onScreen(ChartArea &area)
{
    QCoreApplication::processEvents();
    return area.screen()->grabWindow(area.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage paintedAfresh(ChartArea &area)
{
    return area.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Collects the regions the widget is asked to paint.
class PaintSpy : public QObject
{
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};

int pixelsOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

} // namespace

class TestChartArea : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void widthInTwips();
    void drawingStaysWhenCoveredAndShown();
    void linesStandAboveTheDrawing();
    void labelsStandAboveBoth();
    void clearKeepsTheLines();
    void lineChangesRepaint();
    void dottedLineHasGaps();
    void lineWidth();
    void printUsesForegroundAndMovesDown();
    void farAndInvalidCoordinates();
    void rectangleOfNoWidthIsAnEdge();
    void segmentShape_data();
    void segmentShape();
    void rectangleIsAnOutline();
    void translucentColourBlends();
    void drawingReachesTheScreen();
    void cursorMoveRepaintsItsStripsOnly();
    void cursorMovesLeaveNoTrace();
    void mouseInTwips();
    void keysAsClassicCodes();
    void classicKeyCode_data();
    void classicKeyCode();

private:
    std::unique_ptr<ChartArea> m_area;
};

void TestChartArea::init()
{
    m_area = std::make_unique<ChartArea>();
    m_area->resize(400 + 2 * B, 300 + 2 * B);
    m_area->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_area.get()));
}

void TestChartArea::cleanup()
{
    m_area.reset();
}

void TestChartArea::widthInTwips()
{
    m_area->resize(827, 389);
    QCOMPARE(m_area->width(), 12405.0);
    QCOMPARE(m_area->pixelWidth(), 827);
    QCOMPARE(m_area->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(m_area->image().size(), QSize(823, 385) * m_area->devicePixelRatioF());
    QCOMPARE(m_area->childRect(60, 4620, 615, 255), QRect(4 + B, 308 + B, 41, 17));
}

void TestChartArea::drawingStaysWhenCoveredAndShown()
{
    QCOMPARE(shown(*m_area, 100, 100), kBackground);
    m_area->segment(150, 1500, 3000, 1500, Qt::red);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::red));
    QCOMPARE(shown(*m_area, 100, 101), kBackground);

    m_area->hide();
    m_area->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_area.get()));
    m_area->repaint();
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::red));
    QCOMPARE(m_area->image().pixelColor(100, 100), QColor(Qt::red));
}

void TestChartArea::linesStandAboveTheDrawing()
{
    m_area->addLine(QStringLiteral("Line29"), 1500, 0, 1500, 4000, Qt::blue);
    m_area->setLineWidth(5);
    m_area->segment(0, 1500, 6000, 1500, Qt::green);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::blue));  // the crossing: the line wins
    QCOMPARE(shown(*m_area, 100, 102), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 120, 100), QColor(Qt::green));
    QCOMPARE(shown(*m_area, 120, 102), QColor(Qt::green)); // 5 pixels wide
    QCOMPARE(shown(*m_area, 100, 200), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 120, 110), kBackground);
}

void TestChartArea::labelsStandAboveBoth()
{
    m_area->addLine(QStringLiteral("Line30"), 0, 1500, 6000, 1500, Qt::blue);
    m_area->segment(1500, 0, 1500, 4000, Qt::green);
    auto *label = new QLabel(m_area.get());
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::yellow);
    label->setPalette(p);
    label->setGeometry(m_area->childRect(1200, 1200, 900, 900));
    label->show();
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::yellow));
    QCOMPARE(shown(*m_area, 100, 150), QColor(Qt::green));
    QCOMPARE(shown(*m_area, 150, 100), QColor(Qt::blue));
}

void TestChartArea::clearKeepsTheLines()
{
    m_area->addLine(QStringLiteral("Line29"), 1500, 0, 1500, 4000, Qt::blue);
    m_area->segment(0, 750, 6000, 750, Qt::red);
    m_area->setTextPosition(300, 400);
    m_area->clear();
    QCOMPARE(shown(*m_area, 50, 50), kBackground);
    QCOMPARE(shown(*m_area, 100, 50), QColor(Qt::blue));
    QCOMPARE(m_area->textX(), 0.0f);
    QCOMPARE(m_area->textY(), 0.0f);
}

void TestChartArea::lineChangesRepaint()
{
    LineControl *cursor = m_area->addLine(QStringLiteral("curseur"), 1500, 0, 1500, 4000,
                                          Qt::magenta, false, false);
    QCOMPARE(m_area->line(QStringLiteral("curseur")), cursor);
    QCOMPARE(shown(*m_area, 100, 100), kBackground); // hidden
    cursor->setVisible(true);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::magenta));
    cursor->setX1(3000);
    cursor->setX2(3000);
    QCOMPARE(shown(*m_area, 100, 100), kBackground);
    QCOMPARE(shown(*m_area, 200, 100), QColor(Qt::magenta));
}

void TestChartArea::dottedLineHasGaps()
{
    m_area->addLine(QStringLiteral("Line31(0)"), 0, 1500, 6000, 1500, Qt::darkGray, true);
    const QImage image = m_area->grab().toImage();
    int on = 0;
    for (int x = 10; x < 390; ++x)
        on += image.pixelColor(x + B, 100 + B) == QColor(Qt::darkGray) ? 1 : 0;
    QVERIFY2(on > 50 && on < 300, qPrintable(QString::number(on)));
}

void TestChartArea::lineWidth()
{
    QCOMPARE(m_area->lineWidth(), 1);
    m_area->setLineWidth(9);
    QCOMPARE(m_area->lineWidth(), 5);
    m_area->setLineWidth(0);
    QCOMPARE(m_area->lineWidth(), 1);
    m_area->segment(0, 1500, 6000, 1500, Qt::red);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::red));
    QCOMPARE(shown(*m_area, 100, 102), kBackground);
}

void TestChartArea::printUsesForegroundAndMovesDown()
{
    m_area->setForeground(Qt::red);
    m_area->setTextPosition(1500, 1500);
    m_area->print(QStringLiteral("MMMM"));
    QCOMPARE(m_area->textX(), 0.0f);
    QVERIFY(m_area->textY() > 1500 + 100);
    const QImage image = m_area->grab().toImage();
    int red = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            const QColor c = image.pixelColor(x + B, y + B);
            if (c.red() > 160 && c.green() < 100 && c.blue() < 100) { // text is smoothed
                ++red;
                QVERIFY(x >= 100 && y >= 100 && y < 100 + (m_area->textY() - 1500) / 15 + 1);
            }
        }
    }
    QVERIFY(red > 10);
}

void TestChartArea::farAndInvalidCoordinates()
{
    m_area->segment(-1e30f, 1500, 1e30f, 1500, Qt::red);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::red));
    m_area->segment(std::nanf(""), 0, 100, 100, Qt::blue);
    m_area->segment(0, 0, INFINITY, 3000, Qt::blue);
    m_area->segment(1e30f, 1e30f, 2e30f, 2e30f, Qt::blue); // entirely outside
    const QImage image = m_area->grab().toImage();
    for (int y = 0; y < 300; y += 3) {
        for (int x = 0; x < 400; x += 3)
            QVERIFY(image.pixelColor(x + B, y + B) != QColor(Qt::blue));
    }
}

void TestChartArea::rectangleOfNoWidthIsAnEdge()
{
    m_area->rectangle(1500, 0, 1500, 300, Qt::blue);
    QCOMPARE(shown(*m_area, 100, 0), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 100, 19), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 101, 10), kBackground);
    QCOMPARE(shown(*m_area, 100, 40), kBackground);
}

void TestChartArea::segmentShape_data()
{
    QTest::addColumn<QLineF>("twips");
    QTest::addColumn<int>("width");
    const QList<std::pair<const char *, QLineF>> segments = {
        {"horizontal", {150, 1500, 3000, 1500}},
        {"vertical", {1500, 150, 1500, 3000}},
        {"diagonal", {300, 300, 3300, 3300}},
        {"steep", {1000, 200, 1400, 4000}},
        {"flat", {200, 1000, 5000, 1300}},
        {"fractional ends", {157, 1503, 2991, 2222}},
        {"backwards", {3000, 2000, 100, 500}},
        {"point", {1500, 1500, 1500, 1500}},
        {"across the corner", {-3000, -1000, 3000, 2000}},
        {"near the bottom edge", {300, 4485, 5000, 4490}},
    };
    for (const auto &[name, line] : segments) {
        for (int width : {1, 2, 3, 5})
            QTest::addRow("%s, width %d", name, width) << line << width;
    }
}

// The segment covers what a painter would cover, give or take a pixel at the edges, with as
// many pixels, and always the pixels of both ends.
void TestChartArea::segmentShape()
{
    QFETCH(QLineF, twips);
    QFETCH(int, width);
    const QRgb red = qRgb(255, 0, 0);
    m_area->setLineWidth(width);
    m_area->segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
    const QImage drawn = m_area->image();
    // A painter leaves out a wide line of no length; the chart area draws the dot of its round
    // ends, as a painter does for a line a hair long.
    const float x2 = twips.length() == 0 && width > 1 ? twips.x2() + 0.01f : twips.x2();
    const QImage painted = paintedSegment(*m_area, twips.x1(), twips.y1(), x2, twips.y2(), width);
    QCOMPARE(pixelsAwayFrom(drawn, painted, red), 0);
    QCOMPARE(pixelsAwayFrom(painted, drawn, red), 0);
    const int n = pixelsOf(drawn, red), expected = pixelsOf(painted, red);
    QVERIFY2(std::abs(n - expected) <= expected / 10 + 2,
             qPrintable(QStringLiteral("%1 pixels, a painter %2").arg(n).arg(expected)));
    for (const QPointF &end : {twips.p1(), twips.p2()}) {
        // Through the middle of the pixels: half a pixel on, then the pixel it falls in.
        const QPoint pixel(int(std::floor(end.x() / 15 + 0.5)),
                           int(std::floor(end.y() / 15 + 0.5)));
        if (drawn.valid(pixel))
            QCOMPARE(drawn.pixel(pixel), red);
    }
}

void TestChartArea::rectangleIsAnOutline()
{
    m_area->rectangle(1500, 1500, 3000, 2250, Qt::blue);
    QCOMPARE(shown(*m_area, 100, 100), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 200, 150), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 150, 100), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 200, 120), QColor(Qt::blue));
    QCOMPARE(shown(*m_area, 150, 125), kBackground); // inside
    QCOMPARE(shown(*m_area, 99, 125), kBackground);
}

void TestChartArea::translucentColourBlends()
{
    m_area->segment(0, 1500, 6000, 1500, QColor(255, 0, 0, 128));
    const QColor c = shown(*m_area, 100, 100);
    QVERIFY2(c.red() > 215 && c.red() < 230 && c.green() > 90 && c.green() < 100
                 && c.blue() == c.green(),
             qPrintable(c.name()));
    m_area->segment(0, 3000, 6000, 3000, QColor(0, 0, 255, 0));
    QCOMPARE(shown(*m_area, 100, 200), kBackground);
}

// What is drawn reaches the screen by itself, all of it, and a copy of the image taken before
// keeps what it had.
void TestChartArea::drawingReachesTheScreen()
{
    QTRY_COMPARE(onScreen(*m_area), paintedAfresh(*m_area));
    const QImage before = m_area->image();
    m_area->setLineWidth(5);
    m_area->segment(150, 1500, 3000, 1500, Qt::red);
    m_area->segment(4500, 300, 4400, 4200, Qt::darkGreen);
    m_area->setLineWidth(1);
    m_area->segment(5700, 4400, -300, 2000, Qt::blue);
    m_area->rectangle(450, 450, 450, 900, Qt::black);
    QCOMPARE(before.pixelColor(100, 100), kBackground);
    QCOMPARE(m_area->image().pixelColor(100, 100), QColor(Qt::red));
    QTRY_COMPARE(onScreen(*m_area).pixelColor(100 + B, 100 + B), QColor(Qt::red));
    QCOMPARE(onScreen(*m_area), paintedAfresh(*m_area));
}

void TestChartArea::cursorMoveRepaintsItsStripsOnly()
{
    LineControl *cursor = m_area->addLine(QStringLiteral("curseur"), 1500, 60, 1500, 4000,
                                          Qt::magenta, true);
    QTRY_COMPARE(onScreen(*m_area), paintedAfresh(*m_area));
    PaintSpy spy(m_area.get());
    cursor->setX1(3000);
    cursor->setX2(3000);
    QTRY_VERIFY(spy.paints > 0);
    QVERIFY(spy.painted.contains(QPoint(100 + B, 150 + B)));
    QVERIFY(spy.painted.contains(QPoint(200 + B, 150 + B)));
    QVERIFY(!spy.painted.contains(QPoint(150 + B, 150 + B))); // between: untouched
    QVERIFY(!spy.painted.contains(QPoint(300 + B, 150 + B)));
    QVERIFY(spy.painted.boundingRect().height() < 300);
}

void TestChartArea::cursorMovesLeaveNoTrace()
{
    m_area->setLineWidth(3);
    m_area->segment(0, 1500, 6000, 2500, Qt::red);
    LineControl *across = m_area->addLine(QStringLiteral("curseur"), 1500, 60, 1500, 4000,
                                          Qt::magenta, true);
    LineControl *along = m_area->addLine(QStringLiteral("curseur_h"), 60, 1500, 5900, 1500,
                                         Qt::blue, true);
    const QList<double> xs = {1507.5, 1515, 1700, 5000, 200, 2222};
    for (double x : xs) {
        across->setX1(x);
        across->setX2(x);
        along->setY1(x * 0.7);
        along->setY2(x * 0.7);
        QCoreApplication::processEvents();
    }
    along->setVisible(false);
    QTRY_COMPARE(onScreen(*m_area), paintedAfresh(*m_area));
}

void TestChartArea::mouseInTwips()
{
    QSignalSpy moved(m_area.get(), &ChartArea::mouseMoved);
    QSignalSpy pressed(m_area.get(), &ChartArea::mousePressed);
    m_area->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_area.get()));
    m_area->clearFocus();

    QTest::mouseMove(m_area.get(), QPoint(100 + B, 50 + B));
    QTRY_VERIFY(!moved.isEmpty());
    QCOMPARE(moved.last().at(2).toFloat(), 1500.0f);
    QCOMPARE(moved.last().at(3).toFloat(), 750.0f);

    QTest::mousePress(m_area.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10 + B, 20 + B));
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.at(0).at(0).toInt(), 1);
    QCOMPARE(pressed.at(0).at(1).toInt(), 1);
    QCOMPARE(pressed.at(0).at(2).toFloat(), 150.0f);
    QCOMPARE(pressed.at(0).at(3).toFloat(), 300.0f);
    QVERIFY(m_area->hasFocus());
    QTest::mouseRelease(m_area.get(), Qt::LeftButton, {}, QPoint(10 + B, 20 + B));

    QTest::mousePress(m_area.get(), Qt::RightButton, {}, QPoint(1, 1));
    QCOMPARE(pressed.size(), 2);
    QCOMPARE(pressed.at(1).at(0).toInt(), 2);
    QCOMPARE(pressed.at(1).at(2).toFloat(), -15.0f); // on the border, left of the client area
}

void TestChartArea::keysAsClassicCodes()
{
    QSignalSpy keys(m_area.get(), &ChartArea::keyPressed);
    m_area->setFocus();
    QTest::keyClick(m_area.get(), Qt::Key_Left);
    QTest::keyClick(m_area.get(), Qt::Key_Right);
    QTest::keyClick(m_area.get(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(m_area.get(), Qt::Key_A);
    // The Shift key itself comes first for the shifted press, as code 16.
    QList<int> codes;
    for (const auto &args : keys)
        codes << args.at(0).toInt();
    QCOMPARE(codes, (QList<int>{37, 39, 16, 38, 65}));
    QCOMPARE(keys.at(3).at(1).toInt(), 1);
}

void TestChartArea::classicKeyCode_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 37;
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << 39;
    QTest::newRow("return") << int(Qt::Key_Return) << 0 << 13;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << 27;
    QTest::newRow("Z") << int(Qt::Key_Z) << 0 << 90;
    QTest::newRow("7") << int(Qt::Key_7) << 0 << 55;
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103;
    QTest::newRow("keypad left") << int(Qt::Key_Left) << int(Qt::KeypadModifier) << 37;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 112;
    QTest::newRow("unknown") << int(Qt::Key_VolumeUp) << 0 << 0;
}

void TestChartArea::classicKeyCode()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QCOMPARE(ChartArea::classicKeyCode(qtKey, Qt::KeyboardModifiers(modifiers)), code);
}

QTEST_MAIN(TestChartArea)
#include "tst_chartarea.moc"
