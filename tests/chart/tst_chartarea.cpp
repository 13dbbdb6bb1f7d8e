// Guards against: lost or misplaced pixels, segments off their line, bad clipping.

#include "chart/ChartArea.h"
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
        if (QTest::currentTestFunction() == QByteArray("clipToLimit"))
            return; // no chart area needed
        m_area = std::make_unique<ChartArea>();
        m_area->setGeometry(50, 50, 404, 304);
        m_area->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_area.get()));
    }
    void cleanup() { m_area.reset(); }

    // A clear empties the drawing and brings the text position back to the corner.
    void clear()
    {
        ChartImage &surface = m_area->surface();
        surface.segment(0, 300, 3000, 300, Qt::blue); // y = 20
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

    // A segment drawn reaches the screen without anything else asking for a repaint.
    void shown()
    {
        m_area->surface().segment(0, 1500, 6000, 1500, Qt::red); // y = 100
        const auto onScreen = [&] {
            return QGuiApplication::primaryScreen()->grabWindow(m_area->winId()).toImage();
        };
        QTRY_COMPARE(onScreen().pixel(200 + B, 100 + B), kRed);
        QCOMPARE(m_area->drawing().image().size(),
                 QSize(404 - 2 * B, 304 - 2 * B)); // in the border
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
        QTest::addColumn<QLineF>("twips");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("dpr");
        const QList<std::pair<const char *, QLineF>> segments = {
            {"horizontal", {150, 1500, 3000, 1500}},
            {"vertical", {1500, 150, 1500, 3000}},
            {"diagonal", {300, 300, 3300, 3300}},
            {"steep", {1000, 200, 1400, 4000}},
            {"fractional", {157, 1503, 2991, 2222}},
            {"backwards", {3000, 2000, 100, 500}},
            {"across a corner", {-3000, -1000, 3000, 2000}},
            {"near the bottom edge", {300, 4485, 5000, 4490}},
            {"just past the right edge", {5998.5, 150, 5998.5, 3000}}};
        for (const auto &[name, line] : segments)
            for (int width : {1, 2, 3, 5})
                for (int dpr : {1, 2})
                    QTest::addRow("%s, width %d, density %d", name, width, dpr)
                        << line << width << dpr;
    }
    // A segment covers a painter's (through pixel middles) give or take a pixel, on a screen of
    // single or double density.
    void segmentShape()
    {
        QFETCH(QLineF, twips);
        QFETCH(int, width);
        QFETCH(int, dpr);
        ChartImage &surface = m_area->surface();
        surface.setGeometry(surface.image().size(), dpr, surface.width());
        surface.setLineWidth(width);
        surface.segment(twips.x1(), twips.y1(), twips.x2(), twips.y2(), Qt::red);
        const QImage drawn = m_area->drawing().image();
        QImage painted = drawn.copy();
        painted.fill(kGrey);
        QPainter p(&painted);
        p.setPen(QPen(Qt::red, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap));
        const QPointF a = twips.p1() / 15 + QPointF(.5, .5), b = twips.p2() / 15 + QPointF(.5, .5);
        p.drawLine(a, b);
        p.end();
        QCOMPARE(redAwayFrom(drawn, painted), 0);
        QCOMPARE(redAwayFrom(painted, drawn), 0);
        const int n = redAwayFrom(drawn), expected = redAwayFrom(painted);
        QVERIFY(std::abs(n - expected) <= expected / 10 + 2 * dpr);
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

        QTest::newRow("inside, unchanged") << 1.0 << -2.0 << 3.5 << 4.0 << "1 -2 3.5 4";
        QTest::newRow("an end not finite") << 0.0 << 0.0 << inf << 0.0 << none;
        QTest::newRow("one end inside")
            << 0.0 << 0.0 << 3e6 << 1e6 << text(Segment{0, 0, L, L / 3});
        QTest::newRow("slope 3/7, ends at 7e15 and 1.4e16")
            << -7e15 << -3e15 << 1.4e16 << 6e15 << text(Segment{-L, -3 * L / 7, L, 3 * L / 7});
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

QTEST_MAIN(TestChartArea)
#include "tst_chartarea.moc"
