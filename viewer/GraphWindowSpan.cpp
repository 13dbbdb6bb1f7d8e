// The viewer window's spans of the file: the wheel, "+" and "-" zoom the chart to any span of the
// file browsed, Shift + wheel moves it along; a span of up to 1000 rows is the full view, a longer
// one is drawn in pixel columns (chart/SpanView.h).

#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartState.h"
#include "chart/ReadOut.h"
#include "chart/SpanView.h"
#include "chart/ValuesLine.h"
#include "model/AcquisitionData.h"
#include "viewer/LoadReport.h"
#include "viewer/ProgramState.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <cmath>

namespace platine {

double GraphWindow::visibleTwips() const
{
    return (m_chartArea->width() - 2 * ChartArea::kBorder) * ChartArea::kTwipsPerPixel;
}

ChartSpan GraphWindow::shownSpan() const
{
    const ChartState &chart = m_state.chart;
    if (chart.spanShown)
        return {chart.spanFirst, chart.spanRows};
    return {m_state.session.windowStart(), m_rowCountBar->value()};
}

bool GraphWindow::spanCanMove() const
{
    // The file's rows only, in the full view or a span, not in a ten-row zoom view.
    return m_state.session.source() == FileSession::Source::File
        && (m_state.chart.spanShown || !m_state.chart.zoomReadout);
}

void GraphWindow::turnWheel(double notches, bool along, float x)
{
    if (!spanCanMove())
        return;
    const qint64 rows = m_state.session.fileRows();
    const double width = m_chartArea->twipsWidth();
    showSpan(along ? movedSpan(shownSpan(), -notches, width, visibleTwips(), rows)
                   : zoomedSpan(shownSpan(), notches, x, width, visibleTwips(), rows));
}

bool GraphWindow::zoomByKey(int keyCode)
{
    if (keyCode != chart::kKeyPlus && keyCode != chart::kKeyMinus
        && !(m_state.chart.spanShown
             && (keyCode == chart::kKeyLeft || keyCode == chart::kKeyRight)))
        return false;
    if (!spanCanMove())
        return true;
    // Around the middle of what shows; the arrows move a span as they move the zoom view: the
    // left arrow to later rows.
    const double middle = (chart::kOriginX + visibleTwips()) / 2;
    const double notches = keyCode == chart::kKeyPlus || keyCode == chart::kKeyLeft ? 1 : -1;
    if (keyCode == chart::kKeyPlus || keyCode == chart::kKeyMinus)
        turnWheel(notches, false, float(middle));
    else
        turnWheel(-notches, true, float(middle));
    return true;
}

void GraphWindow::showSpan(const ChartSpan &span)
{
    ChartState &chart = m_state.chart;
    if (span.n <= chart::kMaxFullView) {
        // The full view itself, of N = n rows from the span's first.
        const int n = int(span.n);
        m_rowCountBar->setValue(n);
        chart.spanShown = false;
        m_state.session.moveWindow(span.first, n);
        return;
    }
    const SpanColumns columns = spanColumns(span, m_chartArea->twipsWidth(), visibleTwips(),
                                            m_state.session.fileRows());
    const std::optional<std::vector<Figures>> figures = m_state.session.figures(columns.bounds);
    if (!figures)
        return; // told by the session
    const ChartInputs in = chartInputs();
    DrawingSurface &surface = m_chartArea->surface();
    surface.clear();
    drawSpan(surface, columns, *figures, in);
    m_spanColumns = columns;
    m_spanFigures = std::move(*figures);
    chart.spanShown = true;
    chart.spanFirst = span.first;
    chart.spanRows = span.n;
    chart.zoomShown = false;
    chart.zoomReadout = false;
    showStatistics(span.first, span.first + span.n + 1);
    showShownRows();
    showOverview();
}

void GraphWindow::showStatistics(qint64 first, qint64 end)
{
    m_statisticsRows = {first, end};
    m_statisticsDue->ask();
}

void GraphWindow::writeStatistics()
{
    m_statistics->setPlainText(statisticsOf(m_statisticsRows.first, m_statisticsRows.second));
}

QString GraphWindow::statisticsOf(qint64 first, qint64 end)
{
    FileSession &session = m_state.session;
    // A file's rows, or the store's for demonstration data and zeros.
    end = std::min<qint64>(end,
                           session.source() == FileSession::Source::File ? session.fileRows()
                                                                         : session.store().rows);
    std::optional<std::vector<Figures>> figures;
    if (first < end)
        figures = session.figures({first, end});
    return figures ? statisticsText(chartInputs(), first, end, figures->front()) : QString();
}

void GraphWindow::showFileStatistics()
{
    if (m_state.session.source() != FileSession::Source::File)
        return;                // no file: the figures shown are already those of every row there is
    m_statisticsDue->forget(); // asked for: no longer those of the rows shown
    const QString text = statisticsOf(0, m_state.session.fileRows());
    m_statistics->setPlainText(text.isEmpty() ? text : QStringLiteral("Tout le fichier : ") + text);
}

void GraphWindow::showValuesAt(float x)
{
    m_valuesX = x;
    m_valuesDue->ask();
}

void GraphWindow::writeValues()
{
    const float x = m_valuesX;
    const ChartState &chart = m_state.chart;
    const ChartInputs in = chartInputs();
    QString text;
    if (chart.spanShown) {
        const auto i = qint64(std::floor(x / ChartArea::kTwipsPerPixel)) - m_spanColumns.firstPixel;
        if (i >= 0 && i < qint64(m_spanFigures.size()) && !m_spanFigures[std::size_t(i)].empty())
            text = valuesLine(in, m_spanColumns.bounds[std::size_t(i)],
                              m_spanColumns.bounds[std::size_t(i) + 1],
                              m_spanFigures[std::size_t(i)]);
    } else {
        // The store's row the read-out names: the cursor row in the full view, the cursor row
        // and the offset in a zoom view.
        long long row = chart.cursorRow;
        if (chart.zoomReadout) {
            const auto offset = readOutRow(x, m_chartArea->twipsWidth() / chart::kZoomRows);
            row = offset ? row + static_cast<long long>(*offset) : -1;
        }
        if (const std::optional<RowValues> values = storedRow(m_state.session.store(), row))
            text = valuesLine(in, row + m_state.session.firstShownRow(), *values);
    }
    m_valuesLine->setText(text);
}

} // namespace platine
