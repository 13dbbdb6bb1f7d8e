// Guards against: wrong segments, edges, tables, read-outs, zoom rows, chart state or overview.

#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/DrawingSurface.h"
#include "chart/OverviewPicture.h"
#include "model/AcquisitionData.h"

#include "support/Fetch.h"

#include <QtTest>

#include <cmath>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(platine::ChartState)

namespace {

// A drawing surface that draws nothing and writes down what is on it, as text: one line an
// operation since the last clear, coordinates rounded to hundredths of a twip:
//   "S x1,y1 x2,y2 #rrggbb" a segment, "R x1,y1 x2,y2 #rrggbb" a rectangle outline,
//   "P x,y text #rrggbb" a text printed at x, y in the foreground colour (the text position is
//   not moved on).
class RecordingSurface : public DrawingSurface
{
public:
    QStringList drawn; // since the last clear
    int clears = 0;

    void clear() override
    {
        drawn.clear();
        ++clears;
    }
    void segment(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        drawn << shape("S", x1, y1, x2, y2, color);
    }
    void rectangle(float x1, float y1, float x2, float y2, const QColor &color) override
    {
        drawn << shape("R", x1, y1, x2, y2, color);
    }
    void setTextPosition(float x, float y) override
    {
        m_textX = x;
        m_textY = y;
    }
    void print(const QString &text) override
    {
        drawn << QStringLiteral("P %1,%2 %3 %4")
                     .arg(number(m_textX), number(m_textY), text, m_foreground.name());
    }
    QColor foreground() const override { return m_foreground; }
    void setForeground(const QColor &color) override { m_foreground = color; }
    int lineWidth() const override { return 1; } // not recorded: the drawings leave it as it is
    void setLineWidth(int) override {}
    double width() const override { return 12405; } // the viewer's chart area

    qsizetype segments() const { return drawn.filter(QRegularExpression(u"^S "_s)).size(); }

private:
    static QString number(float v) { return QString::number(std::round(v * 100.0) / 100, 'g', 12); }
    static QString shape(const char *kind, float x1, float y1, float x2, float y2, const QColor &c)
    {
        return QStringLiteral("%1 %2,%3 %4,%5 %6")
            .arg(QLatin1String(kind), number(x1), number(y1), number(x2), number(y2), c.name());
    }

    QColor m_foreground = Qt::black;
    float m_textX = 0, m_textY = 0;
};

// TEMP 25, 21.5, empty, then the row; ANA 1 511 and 0 in turn; ANA 2 the row; ANA 3 200;
// ANA 4 300; logic slot k is 1 when k is a multiple of 3, else 0.
std::unique_ptr<AcquisitionData> filledStore()
{
    auto d = std::make_unique<AcquisitionData>();
    for (int r = 0; r < AcquisitionData::kRows; ++r) {
        d->at(Channel::Temperature, r) = r;
        d->at(Channel::Analog1, r) = r % 2 ? 0 : 511;
        d->at(Channel::Analog2, r) = r;
        d->at(Channel::Analog3, r) = 200;
        d->at(Channel::Analog4, r) = 300;
    }
    d->at(Channel::Temperature, 0) = 25;
    d->at(Channel::Temperature, 1) = 21.5;
    d->at(Channel::Temperature, 2).reset();
    for (int k = 0; k < AcquisitionData::kLogicSlots; ++k)
        d->logicSlot(k) = k % 3 == 0 ? 1 : 0;
    return d;
}

ChannelFlags selection(const QStringList &labels)
{
    ChannelFlags flags;
    for (Channel c : kAllChannels)
        flags.set(c, labels.contains(QLatin1String(info(c).label)));
    return flags;
}

ChartInputs inputs(bool analog, const QString &coefficient = u"0.492"_s, int n = 100)
{
    ChartInputs in;
    in.analog = analog;
    in.coefficient = coefficient;
    in.rowCount = n;
    in.valueReadout = u"old"_s;
    return in;
}

// The filled store, a chart state and a surface that records what is drawn.
struct Scene {
    std::unique_ptr<AcquisitionData> store = filledStore();
    ChartState state{12, 40, true, true};
    RecordingSurface surface;
    Chart chart() { return {*store, state, surface}; }
};

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

const QStringList kAll{"TEMP",  "ANA 1", "ANA 2", "ANA 3", "ANA 4",
                       "LOG 1", "LOG 2", "LOG 3", "LOG 4"};

} // namespace

class TestChartViews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French)); }

    // "Tracer" in analog mode over the filled store: the first segments, the last, how many.
    void analogFullView_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("coefficient");
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("count");
        // clang-format off
        QTest::newRow("all, 0-5 V") << kAll << "0.492" << 100
            << QStringList{"S 1000,4794 1124.05,4828.44 #808080", "S 1000,11.76 1124.05,5040 #000000",
                           "S 1000,5040 1124.05,5030.16 #ff0000", "S 1000,3072 1124.05,3072 #00ff00",
                           "S 1000,2088 1124.05,2088 #ffff00"}
            << "S 13405,2088 13529.05,2088 #ffff00" << 505;
        QTest::newRow("TEMP out of single precision but rows 2..17")
            << QStringList{"TEMP"} << "1e36" << 100 << QStringList{}
            << "S 2984.8,-3.19999997882e+38 3108.85,-3.39999995214e+38 #808080" << 15;
        // clang-format on
    }
    void analogFullView()
    {
        QFETCH(QStringList, first);
        Scene scene;
        ChartInputs in = inputs(true, fetch<QString>("coefficient"), fetch<int>("n"));
        in.selected = selection(fetch<QStringList>("selected"));
        drawFullView(in, scene.chart());
        const QStringList &drawn = scene.surface.drawn;
        QCOMPARE(drawn.mid(0, first.size()), first);
        QCOMPARE(drawn.size(), fetch<int>("count"));
        QCOMPARE(drawn.value(drawn.size() - 1), fetch<QString>("last"));
        QCOMPARE(scene.surface.clears, 1); // on a cleared chart
    }

    // "Tracer" in logic mode: the operations of one band's colour for the logic slots given.
    void logicFullView_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<int>("count");
        // clang-format off
        QTest::newRow("band 0: 0, 1, 1, 0, 0, 1, then 0")
            << QList<double>{0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1} << "#808000"
            << QStringList{"S 1000,300 2240.5,300 #808000", "R 1000,0 1000,300 #808000",
                           "S 2240.5,0 3481,0 #808000", "R 2240.5,0 2240.5,300 #808000",
                           "S 3481,0 4721.5,0 #808000", "S 4721.5,300 5962,300 #808000"} << 16;
        QTest::newRow("row 0: 2 keeps the level of the band before") << QList<double>{2, 0, 2, 0} << ""
            << QStringList{"S 1000,0 2240.5,0 #808000", "S 1000,1000 2240.5,1000 #ffffff",
                           "R 1000,700 1000,1000 #ffffff", "S 1000,1700 2240.5,1700 #0000ff",
                           "R 1000,1400 1000,1700 #0000ff", "S 1000,2400 2240.5,2400 #ff00ff",
                           "R 1000,2100 1000,2400 #ff00ff"} << 48;
        // clang-format on
    }
    void logicFullView()
    {
        QFETCH(QList<double>, values);
        QFETCH(QStringList, first);
        Scene scene;
        scene.store->clear();
        for (qsizetype k = 0; k < values.size(); ++k)
            scene.store->logicSlot(k) = values[k];
        drawFullView(inputs(false, u"1"_s, 10), scene.chart());
        const QStringList drawn = scene.surface.drawn.filter(fetch<QString>("colour"));
        QCOMPARE(drawn.mid(0, first.size()), first);
        QCOMPARE(drawn.size(), fetch<int>("count"));
    }

    // A mouse move: the value and row read-outs, the cursor row and N taken into the state.
    void mouseMove_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoom");
        QTest::addColumn<QString>("coefficient");
        QTest::addColumn<int>("n");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("value"); // "old" when the caption stays as it was
        QTest::addColumn<QString>("row");
        QTest::addColumn<qint64>("cursorRow");
        QTest::addColumn<qint64>("firstRow"); // of the file window in the store
        const auto row = [](const char *name, bool analog, bool zoom, const char *coefficient,
                            int n, float x, float y, const char *value, const char *shownRow,
                            qint64 cursorRow, qint64 firstRow = 0) {
            QTest::newRow(name) << analog << zoom << QString::fromUtf8(coefficient) << n << x << y
                                << QString::fromUtf8(value) << QString::fromUtf8(shownRow)
                                << cursorRow << firstRow;
        };
        // clang-format off
        row("X 2000", true, false, "0.492", 100, 2000, 2532.5, "2,5 V", "8", 8);
        row("left of the axis", true, false, "0.492", 100, 900, 2532.5, "2,5 V", "-1", -1);
        row("N 200", true, false, "0.492", 200, 2000, 2532.5, "2,5 V", "16", 16);
        row("logic: no value", false, false, "0.492", 100, 2000, 2532.5, "", "8", 8);
        row("zoom, logic", false, true, "0.492", 100, 2300, 2532.5, "", "36", 35);
        row("Temp preset", true, false, "5", 100, 2000, 2526, "25,01 °C", "8", 8);
        row("0-10 V preset", true, false, "0.246", 100, 2000, 15, "10, V", "8", 8);
        row("below the baseline", true, false, "0.492", 100, 2000, 5542.5, "-0,5 V", "8", 8);
        row("0-5 V preset, trailing zero", true, false, "0.4920", 100, 2000, 4035, "1, V", "8", 8);
        row("0-5 V preset, comma, blanks", true, false, " 0,492 ", 100, 2000, 4035, "1, V", "8", 8);
        row("not a preset", true, false, "0.49", 100, 2000, 4035, "0,49 V", "8", 8);
        row("Temp preset, blank then 5", true, false, " 5", 100, 2000, 4035, "10, °C", "8", 8);
        row("huge", true, false, "1e17", 100, 2000, -999960, "100000000000000000000, V", "8", 8);
        row("sign and exponent", true, false, "+2e1", 100, 2000, 4035, "20, V", "8", 8);
        row("number then unit", true, false, "0.5v", 100, 2000, 4035, "old", "8", 8);
        row("digits grouped by a blank", true, false, "1 000", 100, 2000, 4035, "old", "8", 8);
        row("no exponent digit", true, false, "1e", 100, 2000, 4035, "old", "8", 8);
        // Far right the cursor row stops at the far row, where no view reaches the store.
        row("far right", true, false, "0.492", 100, 3e18f, 2532.5, "2,5 V", "2,41837959226181E+16",
            kFarRow);
        // The read-out names the file's rows, the cursor row the store's (zoom: no unit).
        row("zoom, file window", true, true, "0.492", 100, 12000, 2532.5, "2,5", "5043", 35, 5000);
        // clang-format on
    }
    void mouseMove()
    {
        QFETCH(bool, zoom);
        QFETCH(float, x);
        QFETCH(float, y);
        ChartState state{100, 35, zoom, zoom};
        ChartInputs in = inputs(fetch<bool>("analog"), fetch<QString>("coefficient"),
                                fetch<int>("n"));
        in.firstRow = fetch<qint64>("firstRow");
        const ChartOutput out = followMouse(in, state, 12405, x, y);
        QCOMPARE(out.valueReadout.value_or(u"old"_s), fetch<QString>("value"));
        QCOMPARE(out.rowReadout, u"Acquisition N°: "_s + fetch<QString>("row"));
        QCOMPARE(state,
                 (ChartState{std::int16_t(in.rowCount), fetch<qint64>("cursorRow"), zoom, zoom}));
        QCOMPARE(out.cursor, QPointF(x, y));
    }

    // The rows past those in use (past the end of a file) are neither drawn nor listed.
    void rowsPastTheEnd_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QString>("table");
        QTest::newRow("analog: rows 0-1, 1-2, 2-3") << true << 3 << "25\r\n21,5\r\n\r\n3\r\n";
        QTest::newRow("logic: rows 0 to 3 of the four bands") << false << 16 << "";
    }
    void rowsPastTheEnd()
    {
        Scene scene;
        scene.store->rows = 4;
        ChartInputs in = inputs(fetch<bool>("analog"), u"1"_s, 10);
        in.selected = selection({"TEMP"});
        const ChartOutput out = drawFullView(in, scene.chart());
        QCOMPARE(scene.surface.segments(), fetch<int>("segments"));
        QCOMPARE(out.table.value_or(QString()), fetch<QString>("table"));
    }

    // A click or a key over the filled store, from row 35 at X 2000, Y 2532.5 (N = 100).
    void clickOrKey_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("zoom"); // a zoom view opened by a click is on screen
        QTest::addColumn<qint64>("cursorRow");
        QTest::addColumn<QString>("input");
        QTest::addColumn<ChartState>("state");
        QTest::addColumn<QString>("logicZoom");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QStringList>("first");
        const auto row = [](const char *name, bool analog, bool zoom, qint64 cursorRow,
                            const char *input, ChartState state, const char *logicZoom,
                            int segments, QStringList first = {}) {
            QTest::newRow(name) << analog << zoom << cursorRow << QString::fromLatin1(input)
                                << state << QString::fromUtf8(logicZoom) << segments << first;
        };
        // clang-format off
        row("left click on row 11 zooms from 6", true, false, 11, "left", {100, 6, true, true}, "", 55);
        row("left click on row 10 zooms from 10", true, false, 10, "left", {100, 10, true, true}, "", 55);
        row("right click prints the value", true, true, 35, "right", {100, 35, true, true}, "", 1,
            {"P 2040,2532.5 old #00ff00", "S 2000,2532.5 2000,2592.5 #00ff00"});
        row("left click in the zoom: full view", true, true, 35, "left", {100, 35, false, false}, "", 505);
        row("other key in the full view zooms", true, false, 35, "other key", {100, 35, true, true}, "", 55);
        row("past row 0", true, true, -7, "right arrow", {100, -9, true, true}, "", 10,
            {"S 12164.5,4794 13405,4828.44 #808080"});
        row("logic, right click zooms", false, false, 25, "right", {100, 25, true, true}, "100:dep= 25", 324,
            {"S 1000,300 2240.5,300 #808000", "R 1000,0 1000,300 #808000", "S 1000,950 2240.5,950 #ffffff"});
        row("logic, left click in the zoom: full view", false, true, 35, "left", {100, 35, false, false}, "", 404);
        row("logic, right click in the zoom", false, true, 35, "right", {100, 35, true, true}, "140:dep= 35", 324);
        row("logic, a key leaves zoomShown", false, false, 35, "left arrow", {100, 37, true, false}, "148:dep= 37", 324);
        row("logic, at the end of the store", false, true, 1990, "other key", {100, 1990, true, true}, "7960:dep= 1990", 41);
        // clang-format on
    }
    void clickOrKey()
    {
        QFETCH(bool, zoom);
        QFETCH(QString, input);
        QFETCH(QStringList, first);
        Scene scene;
        scene.state = {100, fetch<qint64>("cursorRow"), zoom, zoom};
        scene.surface.setForeground(QColor(0, 255, 0));
        const ChartInputs in = inputs(fetch<bool>("analog"));
        const QHash<QString, int> buttons{{"left", chart::kLeftButton},
                                          {"right", chart::kRightButton}};
        const QHash<QString, int> keys{{"left arrow", chart::kKeyLeft},
                                       {"right arrow", chart::kKeyRight},
                                       {"other key", chart::kOtherKey}};
        const ChartOutput out = buttons.contains(input)
            ? clickChart(in, scene.chart(), buttons[input], 2000, 2532.5)
            : stepZoomView(in, scene.chart(), keys.value(input));
        QCOMPARE(scene.state, fetch<ChartState>("state"));
        QCOMPARE(out.logicZoomCaption.value_or(QString()), fetch<QString>("logicZoom"));
        QCOMPARE(scene.surface.segments(), fetch<int>("segments"));
        QCOMPARE(scene.surface.drawn.mid(0, first.size()), first);
    }

    // The overview: one pixel each, column x, row y, and the colour it must have.
    void overviewPixels_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("shown"); // the rows of column 2 are in the full view
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QColor>("colour");
        const QColor ana1 = chart::traceColour(Channel::Analog1);
        const QColor ana2 = chart::traceColour(Channel::Analog2);
        const QColor log4 = chart::traceColour(Channel::Logic4);
        const QStringList one{"ANA 1"}, both{"ANA 1", "ANA 2"};
        QTest::newRow("the greatest value on top") << true << one << false << 1 << 0 << ana1;
        QTest::newRow("a constant in the middle") << true << one << false << 3 << 20 << ana1;
        QTest::newRow("nothing above it") << true << one << false << 3 << 5 << QColor(Qt::white);
        QTest::newRow("the shown rows marked")
            << true << one << true << 2 << 5 << QColor(210, 225, 250);
        QTest::newRow("and framed over the traces")
            << true << one << true << 1 << 5 << QColor(0, 0, 160);
        QTest::newRow("a selected channel drawn") << true << both << false << 3 << 39 << ana2;
        QTest::newRow("a flat channel alone in the middle")
            << true << QStringList{"ANA 2"} << false << 3 << 20 << ana2;
        QTest::newRow("logic high: band top") << false << one << false << 3 << 1 << log4;
        QTest::newRow("logic low: band bottom") << false << one << false << 1 << 8 << log4;
        QTest::newRow("logic both: the band") << false << one << false << 2 << 5 << log4;
    }
    void overviewPixels()
    {
        OverviewLook look;
        look.analog = fetch<bool>("analog");
        look.selected = selection(fetch<QStringList>("selected"));
        look.shownFirst = fetch<bool>("shown") ? 20 : 0;
        look.shownEnd = fetch<bool>("shown") ? 25 : 0;
        const QImage image = drawOverview(columns(), QSize(4, 40), look);
        QCOMPARE(image.pixelColor(fetch<int>("x"), fetch<int>("y")), fetch<QColor>("colour"));
    }

    void overviewRow_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<qint64>("row");
        QTest::newRow("last column") << 3 << 35LL;
        QTest::newRow("left of the strip") << -5 << 5LL;
        QTest::newRow("right of the strip") << 99 << 35LL;
    }
    void overviewRow() { QTEST(overviewRowAt(columns(), fetch<int>("x")).value_or(-1), "row"); }
};

QTEST_GUILESS_MAIN(TestChartViews)
#include "tst_chartviews.moc"
