// Guards against: a zoom that loses the row under the mouse or leaves the file, pixel columns
// that skip rows, and strokes that hide a spike or show values the rows do not hold.

#include "chart/ChartRenderer.h"
#include "chart/DrawingSurface.h"
#include "chart/SpanView.h"
#include "chart/ValuesLine.h"
#include "model/AcquisitionFile.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <map>

using namespace platine;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(platine::ChartSpan)

namespace {

// A chart 12000 twips wide whose traces show across 12000 twips (X 1000 to 13000): n rows show.
constexpr double kWidth = 12000;
constexpr double kVisible = 13000;

// Keeps the vertical strokes of a colour by their X: their top and bottom.
class StrokeSurface : public DrawingSurface
{
public:
    std::map<float, std::pair<float, float>> strokes;
    QColor colour;

    void clear() override { strokes.clear(); }
    void segment(float x1, float y1, float x2, float y2, const QColor &c) override
    {
        if (c == colour && x1 == x2)
            strokes[x1] = {std::min(y1, y2), std::max(y1, y2)};
    }
    void rectangle(float, float, float, float, const QColor &) override {}
    void setTextPosition(float, float) override {}
    void print(const QString &) override {}
    QColor foreground() const override { return Qt::black; }
    void setForeground(const QColor &) override {}
    int lineWidth() const override { return 1; }
    void setLineWidth(int) override {}
    double width() const override { return kWidth; }
};

} // namespace

class TestSpanView : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    static constexpr qint64 kRows = 300'001;
    std::vector<double> m_ana2; // ANA 2 of each row of the file
    std::unique_ptr<AcquisitionFile> m_file;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::French);
        // ANA 2 a slow wave with a one-row spike every 9973 rows; every 500th line cut short and
        // every 7th ANA 2 field empty (read as 0).
        QByteArray bytes = "Periode (s) : 2\r\n";
        for (qint64 r = 0; r < kRows; ++r) {
            const bool empty = r % 7 == 3;
            const double v = empty ? 0 : r % 9973 == 5000 ? 1023 : double(r / 100 % 300);
            m_ana2.push_back(v);
            bytes += "21.5;1;" + (empty ? QByteArray() : QByteArray::number(v))
                + ";3;4;0;1;0;1;\r\n";
            if (r % 500 == 0)
                bytes += "21.5;250;\r\n";
        }
        const QString path = m_dir.filePath(u"span.txt"_s);
        QVERIFY(test::putFile(path, bytes));
        auto opened = AcquisitionFile::open(path);
        QVERIFY(opened.ok());
        m_file = std::move(*opened);
        m_file->wait();
        QCOMPARE(m_file->progress().rows, kRows);
    }

    void zoom_data()
    {
        QTest::addColumn<ChartSpan>("span");
        QTest::addColumn<double>("notches");
        QTest::addColumn<double>("x");
        QTest::addColumn<ChartSpan>("expected");
        QTest::newRow("in, the middle row stays")
            << ChartSpan{1000, 2000} << 1.0 << 7000.0 << ChartSpan{1200, 1600};
        QTest::newRow("out, the row under the mouse stays")
            << ChartSpan{1000, 2000} << -1.0 << 4000.0 << ChartSpan{875, 2500};
        QTest::newRow("in, at least ten rows")
            << ChartSpan{500, 11} << 3.0 << 1000.0 << ChartSpan{500, 10};
        QTest::newRow("out, the whole file at most")
            << ChartSpan{0, 2000} << -80.0 << 7000.0 << ChartSpan{0, kRows};
        QTest::newRow("out at the end")
            << ChartSpan{kRows - 400, 400} << -2.0 << 1000.0 << ChartSpan{kRows - 625, 625};
    }
    void zoom()
    {
        QFETCH(ChartSpan, span);
        QFETCH(double, notches);
        QFETCH(double, x);
        QTEST(zoomedSpan(span, notches, x, kWidth, kVisible, kRows), "expected");
    }

    void move_data()
    {
        QTest::addColumn<ChartSpan>("span");
        QTest::addColumn<double>("notches");
        QTest::addColumn<qint64>("first");
        QTest::newRow("on a tenth") << ChartSpan{1000, 2000} << 1.0 << 1200LL;
        QTest::newRow("on, kept at the end")
            << ChartSpan{kRows - 2100, 2000} << 1.0 << kRows - 2000;
    }
    void move()
    {
        QFETCH(ChartSpan, span);
        QFETCH(double, notches);
        QTEST(movedSpan(span, notches, kWidth, kVisible, kRows).first, "first");
    }

    // Each pixel column's stroke of a span holds its rows' least and greatest value, read one by
    // one, and goes no further than the column before; the columns hold every row of the span.
    void strokes_data()
    {
        QTest::addColumn<ChartSpan>("span");
        QTest::newRow("just longer than the full view") << ChartSpan{0, 1001};
        QTest::newRow("a few rows a column, unaligned") << ChartSpan{12345, 20000};
        QTest::newRow("blocks a column, middle") << ChartSpan{100001, 150000};
        QTest::newRow("the whole file") << ChartSpan{0, kRows};
        QTest::newRow("the end of the file") << ChartSpan{kRows - 70001, 80000};
    }
    void strokes()
    {
        QFETCH(ChartSpan, span);
        const SpanColumns columns = spanColumns(span, kWidth, kVisible, kRows);
        const auto figures = m_file->figures(columns.bounds);
        QVERIFY(figures.ok());
        ChartInputs in;
        in.coefficient = u"0.05"_s; // 1 twip a unit
        StrokeSurface surface;
        surface.colour = chart::traceColour(Channel::Analog2);
        drawSpan(surface, columns, *figures, in);

        QCOMPARE_LE(columns.bounds.front(), span.first);
        QCOMPARE_GE(columns.bounds.back(), std::min(kRows, span.first + span.n));
        std::pair<double, double> before{-1, -1};
        for (std::size_t i = 0; i + 1 < columns.bounds.size(); ++i) {
            const qint64 from = columns.bounds[i];
            const qint64 to = columns.bounds[i + 1];
            if (from == kRows)
                break; // past the file's end: no rows, no stroke
            QVERIFY2(from < to, qPrintable(u"column %1 holds no row"_s.arg(i)));
            const auto [low, high] = std::minmax_element(m_ana2.begin() + from,
                                                         m_ana2.begin() + to);
            const auto stroke = surface.strokes.at(float((columns.firstPixel + i) * 15));
            const double top = 5040 - *high;
            const double bottom = 5040 - *low;
            QCOMPARE_LE(stroke.first, top);
            QCOMPARE_GE(stroke.second, bottom);
            // Beyond its rows, only as far as the column before reaches.
            if (i > 0) {
                QVERIFY(stroke.first >= std::min(top, before.second));
                QVERIFY(stroke.second <= std::max(bottom, before.first));
            }
            before = {top, bottom};
        }
    }

    // The values line of a row, or of a column's rows, in French.
    void valuesOfRows_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<QString>("coefficient");
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<qint64>("rows"); // from row 12345
        QTest::addColumn<QString>("expected");
        const QStringList all{u"TEMP"_s, u"ANA 1"_s, u"ANA 2"_s, u"ANA 3"_s, u"ANA 4"_s};
        QTest::newRow("a row, 0-5v")
            << true << u"0.492"_s << all << 1LL
            << u"Acquisition 12\u202f345 : TEMP 21,5 — ANA 1 512 (5,01 V) — ANA 2 0 (0 V) — "
               "ANA 3 -3 (-0,03 V) — ANA 4 1023,5 (10,02 V)"_s;
        QTest::newRow("a row, temperature probe")
            << true << u"5"_s << QStringList{u"TEMP"_s, u"ANA 1"_s} << 1LL
            << u"Acquisition 12\u202f345 : TEMP 21,5 — ANA 1 512 (509,45 °C)"_s;
        QTest::newRow("a row, unreadable coefficient")
            << true << u"abc"_s << QStringList{u"ANA 1"_s} << 1LL
            << u"Acquisition 12\u202f345 : ANA 1 512"_s;
        QTest::newRow("a row, logic")
            << false << u"0.492"_s << QStringList() << 1LL
            << u"Acquisition 12\u202f345 : LOG 4 1 — LOG 3 0 — LOG 2 2 — LOG 1 1"_s;
        QTest::newRow("rows, 0-5v")
            << true << u"0.492"_s << QStringList{u"TEMP"_s, u"ANA 1"_s} << 3LL
            << u"Acquisitions 12\u202f345 à 12\u202f347 : TEMP 20 à 21,5 — "
               "ANA 1 100 à 512 (0,98 à 5,01 V)"_s;
        QTest::newRow("rows, logic")
            << false << u"0.492"_s << QStringList() << 3LL
            << u"Acquisitions 12\u202f345 à 12\u202f347 : LOG 4 0 à 1 — LOG 3 0 à 0 — "
               "LOG 2 1 à 2 — LOG 1 1 à 1"_s;
    }
    void valuesOfRows()
    {
        QFETCH(bool, analog);
        QFETCH(QString, coefficient);
        QFETCH(QStringList, channels);
        QFETCH(qint64, rows);
        ChartInputs in;
        in.analog = analog;
        in.coefficient = coefficient;
        for (Channel c : kAllChannels)
            in.selected.set(c, channels.contains(QLatin1String(info(c).label)));
        const RowValues row{21.5, 512, 0, -3, 1023.5, 1, 0, 2, 1};
        if (rows == 1) {
            QTEST(valuesLine(in, 12345, row), "expected");
            return;
        }
        Figures figures;
        figures.take(12345, row);
        figures.take(12346, {20, 100, 0, 0, 0, 0, 0, 1, 1});
        figures.take(12347, row);
        QTEST(valuesLine(in, 12345, 12348, figures), "expected");
    }

    // The figures of rows: each extreme with its first row, the mean rounded, in the read-out's
    // unit for the analog inputs.
    void statistics()
    {
        ChartInputs in;
        in.selected = ChannelFlags();
        in.selected.set(Channel::Temperature, true);
        in.selected.set(Channel::Analog1, true);
        Figures figures;
        figures.take(100, {21.5, 512, 0, 0, 0, 1, 0, 0, 0});
        figures.take(101, {20, 100, 0, 0, 0, 0, 0, 0, 0});
        figures.take(102, {21.5, 100, 0, 0, 0, 1, 0, 0, 0});
        QCOMPARE(statisticsText(in, 100, 103, figures),
                 u"Acquisitions 100 à 102 (3 lignes)\n"
                 "TEMP : min 20 acq. 101 ; max 21,5 acq. 100 ; moyenne 21\n"
                 "ANA 1 : min 100 (0,98 V) acq. 101 ; max 512 (5,01 V) acq. 100 ; "
                 "moyenne 237,3333 (2,32 V)"_s);
        in.analog = false;
        QCOMPARE(statisticsText(in, 100, 103, figures).section(u'\n', 1, 1),
                 u"LOG 4 : min 0 acq. 101 ; max 1 acq. 100 ; moyenne 0,6667"_s);
    }
};

QTEST_GUILESS_MAIN(TestSpanView)
#include "tst_spanview.moc"
