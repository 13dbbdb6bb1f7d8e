// Guards against: clipped segments that leave their line or turn round, at any finite coordinates.
#include "chart/LineRaster.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace platine;

namespace {

constexpr double L = kClipLimit;

// A result as text, every coordinate with the digits that tell one double from the next.
QString text(const std::optional<Segment> &s)
{
    if (!s)
        return QStringLiteral("none");
    return QString::asprintf("%.17g %.17g %.17g %.17g", s->x1, s->y1, s->x2, s->y2);
}

} // namespace

class TestClipToLimit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestClipToLimit)
#include "tst_cliptolimit.moc"
