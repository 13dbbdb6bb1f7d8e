// Guards against: lost, stale or misplaced pixels; segments off their line; bad input codes.

#include "chart/ChartArea.h"
#include "chart/ChartInputs.h"
#include "chart/LineControl.h"
#include "chart/LineRaster.h"

#include "support/Fetch.h"

#include <QtTest>
#include <QtWidgets>

#include <cfloat>
#include <limits>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

namespace {

constexpr int B = ChartArea::kBorder;
const QColor kGrey(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);

std::unique_ptr<ChartArea> shownArea(int dpr = 1)
{
    auto area = std::make_unique<ChartArea>();
    area->setGeometry(50, 50, 404, 304);
    area->show();
    if (!QTest::qWaitForWindowExposed(area.get()))
        return nullptr;
    area->surface().segment(0, 300, 3000, 300, Qt::blue); // y = 20, drawn before the move
    area->windowHandle()->setScreen(QGuiApplication::screens().at(dpr - 1));
    return area->devicePixelRatioF() == dpr ? std::move(area) : nullptr;
}

QImage rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

int count(const QImage &image, const std::function<bool(int, int, QRgb)> &test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(x, y, image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Red pixels of a with no red within one pixel in b (all red pixels of a when b is null).
int redAwayFrom(const QImage &a, const QImage &b = {})
{
    return count(a, [&](int x, int y, QRgb c) {
        for (int d = 0; d < 9 && c == kRed; ++d)
            if (const QPoint p(x + d % 3 - 1, y + d / 3 - 1); b.valid(p) && b.pixel(p) == kRed)
                return false;
        return c == kRed;
    });
}

struct PaintSpy : QObject { // collects the regions painted
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

constexpr double L = kClipLimit;

// A result as text, every coordinate with the digits that tell one double from the next.
QString text(const std::optional<Segment> &s)
{
    if (!s)
        return QStringLiteral("none");
    return QString::asprintf("%.17g %.17g %.17g %.17g", s->x1, s->y1, s->x2, s->y2);
}

} // namespace

class TestChartArea : public QObject
{
    Q_OBJECT
    std::unique_ptr<ChartArea> m_area;

    // The colour shown at a client pixel.
    QColor at(int x, int y) { return rgb(m_area->grab()).pixelColor(x + B, y + B); }

private Q_SLOTS:
    void init()
    {
        // The tests drawing on screens of both densities make their own; the clipping needs none.
        if (!QByteArrayList{"segmentShape", "repaints", "clipToLimit"}.contains(
                QTest::currentTestFunction())) {
            m_area = shownArea();
            QVERIFY(m_area);
        }
    }
    void cleanup() { m_area.reset(); }

    // Line controls stand above the drawing; a hidden one is not drawn.
    void stacking()
    {
        m_area->addLine(u"Line29"_s, 1500, 0, 1500, 4000, Qt::blue); // x = 100
        m_area->addLine(u"curseur"_s, 4500, 0, 4500, 4000, Qt::magenta, false, false);
        ChartImage &surface = m_area->surface();
        surface.setLineWidth(9);                         // 5
        surface.segment(0, 1500, 6000, 1500, Qt::green); // y = 100
        surface.segment(0, 3750, 6000, 3750, Qt::green); // y = 250
        QCOMPARE(at(100, 252), QColor(Qt::blue));
        QCOMPARE(at(101, 252), QColor(Qt::green));
        QCOMPARE(at(150, 102), QColor(Qt::green));
        QCOMPARE(at(150, 103), kGrey);
        QCOMPARE(at(300, 250), QColor(Qt::green)); // under the hidden cursor
    }

    // A clear empties the drawing and brings the text position back to the corner.
    void clear()
    {
        ChartImage &surface = m_area->surface();
        surface.setTextPosition(300, 400);
        surface.clear();
        QCOMPARE(QPointF(surface.textX(), surface.textY()), QPointF(0, 0));
        QCOMPARE(at(40, 20), kGrey);
    }

    // Segments from afar are drawn where they cross the chart; invalid ones draw nothing.
    void farAndInvalidSegments_data()
    {
        QTest::addColumn<QLineF>("twips");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QPoint>("pixel"); // on the segment, or where nothing may be drawn
        QTest::addColumn<QColor>("shown");
        const QColor green(Qt::green), red(Qt::red);
        // clang-format off
        QTest::newRow("from afar to (200, 100)") << QLineF(-2997000, -2998500, 3000, 1500) << green << QPoint(150, 50) << green;
        QTest::newRow("NaN") << QLineF(qQNaN(), 0, 100, 100) << red << QPoint(3, 3) << kGrey;
        QTest::newRow("transparent") << QLineF(0, 4200, 6000, 4200) << QColor(255, 0, 0, 0) << QPoint(100, 280) << kGrey;
        // clang-format on
    }
    void farAndInvalidSegments()
    {
        QFETCH(QLineF, twips);
        QFETCH(QPoint, pixel);
        m_area->surface().segment(float(twips.x1()), float(twips.y1()), float(twips.x2()),
                                  float(twips.y2()), fetch<QColor>("colour"));
        QCOMPARE(at(pixel.x(), pixel.y()), fetch<QColor>("shown"));
        if (fetch<QColor>("shown") == kGrey)
            QCOMPARE(redAwayFrom(rgb(m_area->grab())), 0);
    }

    // An outline of a rectangle is its four sides; inside stays as it was.
    void rectangle()
    {
        m_area->surface().rectangle(3000, 1500, 4500, 2250, Qt::green); // 200..300 x 100..150
        QCOMPARE(at(200, 125), QColor(Qt::green));
        QCOMPARE(at(250, 125), kGrey);
        QCOMPARE(at(250, 150), QColor(Qt::green));
    }

    // A print writes in the foreground colour on one line and moves to the next line.
    void print()
    {
        ChartImage &surface = m_area->surface();
        surface.setForeground(Qt::red);
        surface.setTextPosition(3750, 3300); // 250, 220
        surface.print(u"MMMM"_s);
        const QRect line(250 + B, 220 + B, 150, int(surface.textY() - 3300) / 15);
        const auto red = [&](bool in) {
            return count(rgb(m_area->grab()), [&](int x, int y, QRgb c) {
                return qRed(c) > 160 && qGreen(c) < 100 && line.contains(x, y) == in;
            });
        };
        QCOMPARE(surface.textX(), 0.0f);
        QCOMPARE_GT(red(true), 10);
        QCOMPARE(red(false), 0);
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
            {"near the bottom edge", {300, 4485, 5000, 4490}},
            {"just past the right edge", {5998.5, 150, 5998.5, 3000}}};
        for (int dpr : {1, 2})
            for (const auto &[name, line] : segments)
                for (int width : {1, 2, 3, 5})
                    QTest::addRow("%s, width %d, dpr %d", name, width, dpr) << dpr << line << width;
    }
    // A segment covers a painter's (through pixel middles) give or take a pixel, and both ends.
    void segmentShape()
    {
        QFETCH(int, dpr);
        QFETCH(QLineF, twips);
        QFETCH(int, width);
        const auto area = shownArea(dpr);
        QVERIFY(area);
        area->surface().setLineWidth(width);
        area->surface().segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
        const QImage drawn = area->drawing().image();
        QImage painted = drawn.copy();
        painted.fill(kGrey);
        QPainter p(&painted);
        p.setPen(QPen(Qt::red, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap));
        const QPointF hair(twips.length() == 0 && width * dpr > 1 ? 0.01 : 0, 0); // a painter's dot
        const QPointF a = twips.p1() / 15 + QPointF(.5, .5), b = twips.p2() / 15 + QPointF(.5, .5);
        p.drawLine(a, b + hair / 15);
        p.end();
        QCOMPARE(redAwayFrom(drawn, painted), 0);
        QCOMPARE(redAwayFrom(painted, drawn), 0);
        const int n = redAwayFrom(drawn), expected = redAwayFrom(painted);
        QVERIFY(std::abs(n - expected) <= expected / 10 + 2 * dpr);
        for (const QPointF &end : {a, b}) {
            const QPoint pixel(int(std::floor(end.x() * dpr)), int(std::floor(end.y() * dpr)));
            QVERIFY(!drawn.valid(pixel) || drawn.pixel(pixel) == kRed);
        }
    }

    // A cursor repaints where it was and is, not between; every pixel that changes is repainted.
    void repaints()
    {
        for (int dpr : {1, 2}) {
            const auto area = shownArea(dpr);
            QVERIFY(area && area->drawing().image().size() == QSize(400, 300) * dpr);
            // Drawn before the move to the screen, and kept.
            QVERIFY(area->drawing().image().pixelColor(40, 20 * dpr).blue() > 200);
            LineControl *x = area->addLine(u"curseur"_s, 1500, 60, 1500, 4000, Qt::magenta, true);
            LineControl *y = area->addLine(u"curseur_h"_s, 60, 1500, 5900, 1500, Qt::blue, true);
            QTest::qWait(20);
            const QRect inside(B * dpr, B * dpr, 400 * dpr, 300 * dpr); // not the border
            const QImage before = rgb(area->grab()).copy(inside);
            PaintSpy spy;
            area->installEventFilter(&spy);
            x->setX1(3000);
            x->setX2(3000);
            QTRY_VERIFY(!spy.painted.isEmpty());
            const auto painted = [&](int x) { return spy.painted.contains({x + B, 150 + B}); };
            QVERIFY(painted(100) && !painted(150) && painted(200));
            ChartImage &surface = area->surface();
            surface.setLineWidth(3);
            surface.segment(0, 1500, 6000, 2500, Qt::red);
            surface.setLineWidth(1);
            surface.segment(5700, 4400, -300, 2000, Qt::blue);
            surface.rectangle(450, 450, 450, 900, Qt::black);
            for (double at : {1507.5, 1515.0, 1700.0, 5000.0, 200.0, 2222.0}) {
                x->setPoints(at, x->y1(), at, x->y2());
                y->setPoints(y->x1(), at * 0.7, y->x2(), at * 0.7);
                QCoreApplication::processEvents();
            }
            y->setVisible(false);
            QTest::qWait(50);              // the repaints asked for
            area->removeEventFilter(&spy); // grab() paints the whole widget
            QCOMPARE(count(rgb(area->grab()).copy(inside),
                           [&](int x, int y, QRgb c) {
                               return c != before.pixel(x, y)
                                   && !spy.painted.contains(QPoint(x / dpr + B, y / dpr + B));
                           }),
                     0);
        }
    }

    // The mouse and keys reach the chart handlers in their codes, a double click as one click;
    // Ctrl+C copies the picture, and neither it nor Ctrl+S reaches the handlers.
    void input()
    {
        QSignalSpy moved(m_area.get(), &ChartArea::mouseMoved);
        QSignalSpy pressed(m_area.get(), &ChartArea::mousePressed);
        QSignalSpy keys(m_area.get(), &ChartArea::keyPressed);
        const QPoint at(202, 152); // 3000, 2250 twips
        QTest::mouseMove(m_area.get(), at);
        QTRY_COMPARE(moved.value(0), (QVariantList{3000.0f, 2250.0f}));
        for (Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton, Qt::LeftButton})
            QTest::mouseClick(m_area.get(), button, {}, at);
        QTest::mouseDClick(m_area->windowHandle(), Qt::LeftButton, {}, at);
        const QVariantList left{chart::kLeftButton, 3000.0f, 2250.0f};
        QCOMPARE(pressed,
                 (QList<QVariantList>{{chart::kMiddleButton, 3000.0f, 2250.0f},
                                      {chart::kRightButton, 3000.0f, 2250.0f},
                                      left,
                                      left}));
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up})
            QTest::keyClick(m_area.get(), key);
        QTest::keyClick(m_area.get(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(m_area.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(keys,
                 (QList<QVariantList>{{chart::kKeyLeft},
                                      {chart::kKeyRight},
                                      {chart::kOtherKey},
                                      {chart::kOtherKey},    // Ctrl alone
                                      {chart::kOtherKey}})); // Ctrl alone
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied, m_area->picture().convertToFormat(copied.format()));
        QCOMPARE(copied.size(), QSize(400, 300));
    }

    // Clipped segments keep their line and direction, at any finite coordinates.
    void clipToLimit_data()
    {
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<double>("y2");
        QTest::addColumn<QString>("clipped"); // the exact crossings, each rounded to a double
        const double inf = std::numeric_limits<double>::infinity();
        const double tiny = std::numeric_limits<double>::denorm_min();
        const QString none = QStringLiteral("none");
        const QString halfSlope = text(Segment{-L, -L / 2, L, L / 2});
        const QString threeSevenths = text(Segment{-L, -3 * L / 7, L, 3 * L / 7});

        QTest::newRow("inside, unchanged") << 1.0 << -2.0 << 3.5 << 4.0 << "1 -2 3.5 4";
        QTest::newRow("outside, on one side") << 2e6 << 0.0 << 3e6 << 5e6 << none;
        QTest::newRow("an end not finite") << 0.0 << 0.0 << inf << 0.0 << none;
        QTest::newRow("one end inside")
            << 0.0 << 0.0 << 3e6 << 1e6 << text(Segment{0, 0, L, L / 3});
        QTest::newRow("half slope, ends at 4e6") << -4e6 << -2e6 << 4e6 << 2e6 << halfSlope;
        QTest::newRow("slope 3/7, ends at 7e15 and 1.4e16")
            << -7e15 << -3e15 << 1.4e16 << 6e15 << threeSevenths;
        QTest::newRow("slope 3/7, turned round")
            << 7e15 << 3e15 << -7e15 << -3e15 << text(Segment{L, 3 * L / 7, -L, -3 * L / 7});
        QTest::newRow("diagonal, largest doubles")
            << -DBL_MAX << -DBL_MAX << DBL_MAX << DBL_MAX << text(Segment{-L, -L, L, L});
        QTest::newRow("steep, largest doubles")
            << 3.0 << -DBL_MAX << 5.0 << DBL_MAX << text(Segment{4, -L, 4, L});
        QTest::newRow("flat, smallest double above 0") // at the border: tiny (1 -+ L / DBL_MAX)
            << -DBL_MAX << 0.0 << DBL_MAX << 2 * tiny << text(Segment{-L, tiny, L, tiny});
        QTest::newRow("touching a corner") << 0.0 << 2e6 << 2e6 << 0.0 << text(Segment{L, L, L, L});
        QTest::newRow("passing beside a corner") << 0.0 << 2e6 + 2 << 2e6 + 2 << 0.0 << none;
    }
    void clipToLimit()
    {
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, x2);
        QFETCH(double, y2);
        QFETCH(QString, clipped);
        QCOMPARE(text(platine::clipToLimit(x1, y1, x2, y2)), clipped);
    }
};

int main(int argc, char *argv[])
{
    // Two offscreen screens side by side, the second of double density. The platform's arguments
    // are split at colons, so the file is made in the current folder and named from there,
    // without a drive.
    QTemporaryFile config(u"tst_chartarea-screens-XXXXXX"_s);
    if (!config.open()
        || config.write(R"({"screens": [{"name": "1", "width": 800, "height": 600},
        {"name": "2", "x": 800, "width": 800, "height": 600, "dpr": 2}]})")
            < 0
        || !config.flush())
        return 1;
    const QString configFile = QDir::current().relativeFilePath(config.fileName());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(configFile));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French));
    TestChartArea test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartarea.moc"
