// Guards against: overview strokes that miss a value, wrong colours, a lost mark of shown rows.
#include "chart/ChartRenderer.h"
#include "chart/OverviewPicture.h"

#include "support/Fetch.h"

#include <QtTest>

using namespace platine;
using platine::test::fetch;

namespace {

// Four columns of 10 rows each; ANA 1 spans 0..10 in column 1 and stays at 5 elsewhere; ANA 2 is
// 0 throughout; LOG 4 is high in columns 0 and 3, low in column 1, both in column 2.
std::vector<OverviewColumn> columns()
{
    // The rows each column takes, as (ANA 1, LOG 4).
    const std::vector<std::vector<std::pair<double, double>>> rows{
        {{5, 1}}, {{5, 0}, {0, 0}, {10, 0}}, {{5, 1}, {5, 0}}, {{5, 1}}};
    std::vector<OverviewColumn> out(rows.size());
    for (std::size_t x = 0; x < rows.size(); ++x) {
        out[x].first = 10 * qint64(x);
        out[x].end = out[x].first + 10;
        for (const auto &[ana1, log4] : rows[x]) {
            RowValues row{};
            row[std::size_t(column(Channel::Analog1))] = ana1;
            row[std::size_t(column(Channel::Logic4))] = log4;
            out[x].summary.take(row);
        }
    }
    return out;
}

} // namespace

class TestOverviewPicture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // One pixel each: column x, row y, and the colour it must have.
    void pixels_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("ana2");
        QTest::addColumn<bool>("shown"); // the rows of column 2 are in the full view
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QColor>("colour");
        const QColor ana1 = chart::traceColour(Channel::Analog1);
        const QColor ana2 = chart::traceColour(Channel::Analog2);
        const QColor log4 = chart::traceColour(Channel::Logic4);
        QTest::newRow("the greatest value on top") << true << false << false << 1 << 0 << ana1;
        QTest::newRow("the least at the bottom") << true << false << false << 1 << 39 << ana1;
        QTest::newRow("a constant in the middle") << true << false << false << 3 << 20 << ana1;
        QTest::newRow("nothing above it") << true << false << false << 3 << 5 << QColor(Qt::white);
        QTest::newRow("the shown rows marked")
            << true << false << true << 2 << 5 << QColor(210, 225, 250);
        QTest::newRow("and framed over the traces")
            << true << false << true << 1 << 5 << QColor(0, 0, 160);
        QTest::newRow("a selected channel drawn") << true << true << false << 3 << 39 << ana2;
        QTest::newRow("logic high: band top") << false << false << false << 3 << 1 << log4;
        QTest::newRow("logic low: band bottom") << false << false << false << 1 << 8 << log4;
        QTest::newRow("logic both: the band") << false << false << false << 2 << 5 << log4;
    }
    void pixels()
    {
        OverviewLook look;
        look.analog = fetch<bool>("analog");
        look.selected = ChannelFlags();
        look.selected.set(Channel::Analog1, true);
        look.selected.set(Channel::Analog2, fetch<bool>("ana2"));
        look.shownFirst = fetch<bool>("shown") ? 20 : 0;
        look.shownEnd = fetch<bool>("shown") ? 25 : 0;
        const QImage image = drawOverview(columns(), QSize(4, 40), look);
        QCOMPARE(image.pixelColor(fetch<int>("x"), fetch<int>("y")), fetch<QColor>("colour"));
    }

    void rowAt_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<qint64>("row");
        QTest::newRow("last column") << 3 << 35LL;
        QTest::newRow("left of the strip") << -5 << 5LL;
        QTest::newRow("right of the strip") << 99 << 35LL;
    }
    void rowAt() { QTEST(overviewRowAt(columns(), fetch<int>("x")).value_or(-1), "row"); }
};

QTEST_GUILESS_MAIN(TestOverviewPicture)
#include "tst_overviewpicture.moc"
