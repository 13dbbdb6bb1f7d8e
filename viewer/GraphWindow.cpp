#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/LineControl.h"
#include "chart/OverviewPicture.h"
#include "chart/OverviewStrip.h"
#include "model/Tables.h"
#include "platform/Dialogs.h"
#include "platform/Placement.h"
#include "viewer/Channels.h"
#include "viewer/LoadReport.h"
#include "viewer/PictureName.h"
#include "viewer/ProgramState.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QUrl>

namespace platine {

GraphWindow::GraphWindow(FileDialog &fileDialog, ProgramState &state, QWidget *parent)
    : QWidget(parent), m_fileDialog(&fileDialog), m_state(state)
{
    buildWindow();
    connect(m_drawButton, &QPushButton::clicked, this, &GraphWindow::drawChart);
    connect(m_openButton, &QPushButton::clicked, this, &GraphWindow::openAcquisitionFile);
    connect(m_chartArea, &ChartArea::mouseMoved, this, &GraphWindow::followMouse);
    connect(m_chartArea, &ChartArea::mousePressed, this, &GraphWindow::clickChart);
    connect(m_chartArea, &ChartArea::keyPressed, this, &GraphWindow::stepZoomView);
    connect(m_chartArea, &ChartArea::saveRequested, this, &GraphWindow::saveChartPicture);
    connect(m_overview, &OverviewStrip::columnChosen, this, [this](int x) {
        const int n = m_rowCountBar->value();
        if (const auto row = overviewRowAt(m_state.session.overview(m_overview->width()), x))
            m_state.session.moveWindow(*row - n / 2, n);
    });
    connectSession();
}

void GraphWindow::connectSession()
{
    FileSession &session = m_state.session;
    connect(&session, &FileSession::windowMoved, this, [this] {
        drawChart();
        showShownRows();
    });
    connect(&session, &FileSession::storeEdited, this, [this] {
        showShownRows();
        showOverview();
    });
    connect(&session, &FileSession::fileProgressed, this, &GraphWindow::showFileState);
    connect(&session, &FileSession::loadProgressed, this, &GraphWindow::showReport);
    connect(&session, &FileSession::reportsDue, this, &GraphWindow::showReports);
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(m_escape, &QShortcut::activated, &session, &FileSession::cancel);
    m_escape->setEnabled(session.loading());
    connect(&session, &FileSession::loadingChanged, m_escape, &QShortcut::setEnabled);

    // A file browsed in an earlier viewer window, and what was not told of it: told once the
    // window is up.
    if (session.file())
        showFileState();
    showShownRows();
    QMetaObject::invokeMethod(this, &GraphWindow::showReports, Qt::QueuedConnection);
}

GraphWindow::~GraphWindow() = default;

ChartInputs GraphWindow::chartInputs() const
{
    return {m_analogOption->isChecked(), m_selection,
            m_coefficient->text(),       m_rowCountBar->value(),
            m_valueReadout->text(),      m_state.session.firstShownRow()};
}

Chart GraphWindow::chart()
{
    return {m_state.session.store(), m_state.chart, m_chartArea->surface()};
}

void GraphWindow::showChartOutput(const ChartOutput &out)
{
    if (out.table)
        setTableText(*out.table);
    if (out.logicZoomCaption)
        m_logicZoomCaption->setText(*out.logicZoomCaption);
    if (out.help)
        m_helpLine->setText(*out.help);
    if (out.cursor) {
        m_verticalCursor->setX1(out.cursor->x());
        m_verticalCursor->setX2(out.cursor->x());
        m_horizontalCursor->setY1(out.cursor->y());
        m_horizontalCursor->setY2(out.cursor->y());
    }
    if (out.valueReadout)
        m_valueReadout->setText(*out.valueReadout);
    if (out.rowReadout)
        m_rowReadout->setText(*out.rowReadout);
}

void GraphWindow::setTableText(const QString &text)
{
    // The text box shows CR LF as one line break.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_tableText->setPlainText(shown);
}

void GraphWindow::drawChart()
{
    const ChartInputs in = chartInputs();
    showChartOutput(drawFullView(in, chart()));
    showOverview();
    if (in.analog) {
        if (const std::optional<QString> help = coefficientHelpText(in.coefficient))
            m_helpLine->setText(*help);
    }
}

void GraphWindow::followMouse(float x, float y)
{
    showChartOutput(
        platine::followMouse(chartInputs(), m_state.chart, m_chartArea->twipsWidth(), x, y));
}

void GraphWindow::clickChart(int button, float x, float y)
{
    showChartOutput(platine::clickChart(chartInputs(), chart(), button, x, y));
}

void GraphWindow::stepZoomView(int keyCode)
{
    if (m_state.session.moveByKey(keyCode, m_rowCountBar->value()))
        return;
    // Escape reaches the chart only without a load (see m_escape): it is any other key.
    const int code = keyCode == chart::kKeyEscape ? chart::kOtherKey : keyCode;
    showChartOutput(platine::stepZoomView(chartInputs(), chart(), code));
}

bool GraphWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress
        || type == QEvent::MouseButtonDblClick) {
        for (Channel c : kAllChannels) {
            if (watched != m_channelLabels[std::size_t(column(c))])
                continue;
            // A double click arrives as press, release, press, double click: the double click
            // counts as one more press, so that a double click toggles the flag once in all,
            // as a single click does.
            if (type == QEvent::MouseMove)
                showChannelHelp(c);
            else
                toggleChannel(c);
            return true;
        }
        if (type == QEvent::MouseMove) {
            for (int i = 0; i < kPresetCount; ++i) {
                if (watched == m_presetButtons[std::size_t(i)])
                    showPresetHelp(i);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GraphWindow::openAcquisitionFile()
{
    if (!m_fileDialog)
        return;
    if (const auto path = m_fileDialog->showOpen(QStringLiteral("*.txt")))
        loadFile(*path);
}

void GraphWindow::saveChartPicture()
{
    const QImage picture = m_chartArea->picture(); // as it was when asked
    const auto path = m_fileDialog
        ? m_fileDialog->showSave(chartPictureName(m_captureDateLabel->text()))
        : std::nullopt;
    if (!path)
        return;
    if (const Status saved = savePicture(picture, *path))
        tell(QStringLiteral("Graphique enregistré dans « %1 ».").arg(*path));
    else
        tell(QStringLiteral("Impossible d'enregistrer le graphique dans « %1 » : %2")
                 .arg(*path, saved.reason()),
             QStringLiteral("Enregistrer le graphique"));
}

void GraphWindow::tell(const QString &text, const QString &warningTitle)
{
    m_helpLine->setText(text);
    if (!warningTitle.isEmpty() && m_fileDialog)
        m_fileDialog->dialogs().message(this, MessageIcon::Warning, warningTitle, text);
}

void GraphWindow::loadFile(const QString &path)
{
    m_state.session.open(path);
}

void GraphWindow::showReports()
{
    for (const SessionReport &r : m_state.session.takeReports())
        showReport(r);
}

void GraphWindow::showReport(const SessionReport &report)
{
    const LoadReport said = describe(report);
    tell(said.text, said.warning ? said.title : QString());
}

void GraphWindow::showShownRows()
{
    m_shownRows->setText(shownRowsCaption(m_state.session, m_rowCountBar->value()));
    fitWidth(m_shownRows);
}

void GraphWindow::showFileState()
{
    const AcquisitionFile *file = m_state.session.file();
    const AcquisitionFileProgress p = file->progress();
    if (p.periodLine && m_periodLabel->text() != *p.periodLine) {
        m_periodLabel->setText(*p.periodLine);
        fitWidth(m_periodLabel);
    }
    if (p.dateLine && m_captureDateLabel->text() != *p.dateLine) {
        m_captureDateLabel->setText(*p.dateLine);
        fitWidth(m_captureDateLabel);
    }
    showShownRows();
    showOverview();
}

void GraphWindow::showOverview()
{
    const FileSession &session = m_state.session;
    OverviewLook look;
    look.analog = m_analogOption->isChecked();
    look.selected = m_selection;
    if (session.source() == FileSession::Source::File) { // else no row of the file is shown
        look.shownFirst = session.windowStart();
        look.shownEnd = session.windowStart() + m_rowCountBar->value() + 1;
    }
    m_overview->setPicture(
        drawOverview(m_state.session.overview(m_overview->width()), m_overview->size(), look));
}

void GraphWindow::applyCoefficientPreset(int index)
{
    ChannelControls controls;
    controls.coeff = m_coefficient->text();
    for (int k = 0; k < kGraduationCount; ++k)
        controls.graduations[std::size_t(k)] = m_graduations[std::size_t(k)]->text();
    controls.selected = m_selection;

    applyPreset(index, controls);

    m_coefficient->setText(controls.coeff);
    for (int k = 0; k < kGraduationCount; ++k) {
        QLabel *graduation = m_graduations[std::size_t(k)];
        graduation->setText(controls.graduations[std::size_t(k)]);
        fitWidth(graduation);
    }
    m_selection = controls.selected;
    showSelection();
}

void GraphWindow::showSelection()
{
    // A selected channel's label has a single-line border.
    for (Channel c : kAllChannels) {
        m_channelLabels[std::size_t(column(c))]->setFrameShape(m_selection[c] ? QFrame::Box
                                                                              : QFrame::NoFrame);
    }
}

QLabel *GraphWindow::labelAt(int i) const
{
    const std::optional<Channel> c = channelOfLabel(i);
    return c ? m_channelLabels[std::size_t(column(*c))] : nullptr;
}

void GraphWindow::showPresetHelp(int index)
{
    m_helpLine->setText(presetHelpText(index));
}

void GraphWindow::toggleChannel(Channel c)
{
    m_selection.set(c, toggledSelection(c, m_selection[c]));
    showSelection();
}

void GraphWindow::showChannelHelp(Channel c)
{
    const QLabel *l = m_channelLabels[std::size_t(column(c))];
    m_chartArea->surface().setForeground(l->palette().color(QPalette::WindowText));
    m_helpLine->setText(channelHelpText());
}

void GraphWindow::showGraduations()
{
    for (int k = 0; k < kGraduationCount; ++k) {
        m_graduations[std::size_t(k)]->show();
        m_gridLines[std::size_t(k)]->setVisible(true);
    }
}

void GraphWindow::hideGraduations()
{
    for (int k = 0; k < kGraduationCount; ++k) {
        m_graduations[std::size_t(k)]->hide();
        m_gridLines[std::size_t(k)]->setVisible(false);
    }
}

void GraphWindow::showOrHideCursors()
{
    const bool on = m_cursorsBox->isChecked();
    m_verticalCursor->setVisible(on);
    m_horizontalCursor->setVisible(on);
}

void GraphWindow::showRowCount()
{
    m_rowCountLabel->setText(QString::number(m_rowCountBar->value()));
    fitWidth(m_rowCountLabel);
    if (m_shownRows && m_state.session.source() == FileSession::Source::File)
        showShownRows();
}

void GraphWindow::setTraceWidth()
{
    m_widthLabel->setText(QString::number(m_widthBar->value()));
    fitWidth(m_widthLabel);
    m_chartArea->surface().setLineWidth(m_widthBar->value());
}

void GraphWindow::showNextTable()
{
    const ShownTable table = m_state.tables.showNext(
        m_state.session.store(), m_rowCountBar->value(), m_state.session.firstShownRow());
    setTableText(table.text);
    m_tableButton->setText(table.caption);
}

void GraphWindow::zeroTables()
{
    m_state.session.zeroRows(m_rowCountBar->value());
}

void GraphWindow::fillWithDemoData()
{
    m_coefficient->setText(QString::fromLatin1(kDefaultCoefficient));
    m_state.session.fillWithDemoData(m_rowCountBar->value(), m_state.demo);
}

namespace {

QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void GraphWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void GraphWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    loadFile(path);
}

} // namespace platine
