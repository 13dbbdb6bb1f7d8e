#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/ChartController.h"
#include "chart/ChartRenderer.h"
#include "chart/LineControl.h"
#include "chart/OverviewPicture.h"
#include "chart/OverviewStrip.h"
#include "chart/ReadOut.h"
#include "model/AcquisitionFile.h"
#include "model/DemoData.h"
#include "model/Tables.h"
#include "platform/Dialogs.h"
#include "platform/Placement.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "viewer/Channels.h"
#include "viewer/FileWindow.h"
#include "viewer/LoadReport.h"
#include "viewer/PictureName.h"
#include "viewer/ProgramState.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QUrl>

namespace platine {

namespace {

constexpr int kClientWidth = 12615;  // twips
constexpr int kClientHeight = 10350; // the design's 9300 and the band of the file's overview
constexpr int kPollMs = 30;          // how often a running load is looked at

} // namespace

GraphWindow::GraphWindow(FileDialog &fileDialog, ProgramState &state, QWidget *parent)
    : QWidget(parent), m_fileDialog(&fileDialog), m_state(state)
{
    setObjectName(QStringLiteral("graph"));
    setWindowTitle(QStringLiteral("Graphique des acquisitions"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    // The designs are made for an 8-point sans-serif system font (11 pixels at 96 dpi); the
    // closest font the desktop has is taken.
    QFont f = font();
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("DejaVu Sans Condensed"), f.family()});
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    m_modeFrame = new QGroupBox(QStringLiteral("Mode graphique"), this);
    m_modeFrame->setObjectName(QStringLiteral("Frame6"));
    place(m_modeFrame, 0, 0, 12570, 8925);

    buildChartArea();
    buildCommands();

    m_openButton = placeButton(this, QStringLiteral("Command1"), QStringLiteral("Ouvrir fichier"),
                               450, 7290, 1575, 375);
    m_openButton->raise();
    connect(m_openButton, &QPushButton::clicked, this, &GraphWindow::openAcquisitionFile);

    buildFileBand();
    spaceChartControls();

    // Top to bottom; in the commands, one framed group after the other, left to right ("Ouvrir
    // fichier" stands in the first group).
    chainTabOrder({m_chartArea, m_analogOption, m_logicOption, m_openButton, m_drawButton,
                   m_rowCountBar, m_presetButtons[0], m_presetButtons[1], m_presetButtons[2],
                   m_coefficient, m_widthBar, m_cursorsBox, m_tableButton, m_tableText,
                   m_demoButton, m_zeroButton, m_backButton});

    connect(m_drawButton, &QPushButton::clicked, this, &GraphWindow::drawChart);
    connect(m_chartArea, &ChartArea::mouseMoved, this, &GraphWindow::followMouse);
    connect(m_chartArea, &ChartArea::mousePressed, this, &GraphWindow::clickChart);
    connect(m_chartArea, &ChartArea::keyPressed, this, &GraphWindow::stepZoomView);
    connect(m_chartArea, &ChartArea::saveRequested, this, &GraphWindow::saveChartPicture);
    connect(m_overview, &OverviewStrip::columnChosen, this, [this](int x) {
        if (const std::optional<qint64> row = overviewRowAt(m_overviewColumns, x))
            moveWindow(*row - m_rowCountBar->value() / 2);
    });
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &GraphWindow::pollLoad);
    if (m_state.file) { // a file browsed in an earlier viewer window
        const AcquisitionFileProgress p = m_state.file->progress();
        m_reportDue = p.running();
        showFileState(p);
        if (m_reportDue)
            m_poll.start();
    }
}

GraphWindow::~GraphWindow() = default;

ChartInputs GraphWindow::chartInputs() const
{
    return {m_analogOption->isChecked(), m_selection,
            m_coefficient->text(),       m_rowCountBar->value(),
            m_valueReadout->text(),      m_state.firstRow};
}

Chart GraphWindow::chart()
{
    return {m_state.store, m_state.chart, m_chartArea->surface()};
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
    const std::optional<double> k = coefficientValue(in.coefficient);
    if (in.analog && k.value_or(0) == 0)
        m_helpLine->setText(QStringLiteral("Le coefficient « %1 » n'est pas un nombre différent de "
                                           "0 : les courbes restent sur la ligne 0. Écrivez par "
                                           "exemple 0.492 ou 0,492.")
                                .arg(in.coefficient));
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
    const qint64 rows = m_state.file ? m_state.file->progress().rows : 0;
    if (const std::optional<qint64> first = windowStartAfterKey(keyCode, m_state.firstRow,
                                                                m_rowCountBar->value(), rows)) {
        if (m_state.file)
            moveWindow(*first);
        return;
    }
    if (keyCode == chart::kKeyEscape && loading()) {
        cancelLoad();
        return;
    }
    // Escape without a load is any other key.
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
    QSaveFile file(*path); // an existing file is replaced whole or not at all
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
        tell(QStringLiteral("Graphique enregistré dans « %1 ».").arg(*path));
    else
        tell(QStringLiteral("Impossible d'enregistrer le graphique dans « %1 » : %2")
                 .arg(*path, file.errorString()),
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
    auto opened = AcquisitionFile::open(path);
    if (!opened) {
        const LoadReport report = openFailure(path, opened.error());
        tell(report.text, QStringLiteral("Ouvrir fichier"));
        return;
    }
    if (m_state.file && m_state.file->progress().running())
        m_state.file->cancel();     // what it read stays browsable
    m_pending = std::move(*opened); // a load still pending stops here
    m_poll.start();
    pollLoad(); // a small file is read already
}

bool GraphWindow::loading() const
{
    return m_pending || (m_state.file && m_state.file->progress().running());
}

void GraphWindow::cancelLoad()
{
    if (m_pending)
        m_pending->cancel();
    if (m_state.file)
        m_state.file->cancel();
    pollLoad();
}

void GraphWindow::pollLoad()
{
    if (m_pending) {
        const AcquisitionFileProgress p = m_pending->progress();
        if (p.rows >= AcquisitionData::kRows || (!p.running() && p.rows > 0)) {
            adoptPendingFile();
        } else {
            tellLoad(m_pending->path(), p);
            if (!p.running()) { // without a complete row: nothing changes
                m_pending->wait();
                m_pending.reset();
            }
        }
    }
    if (m_state.file && m_reportDue) {
        const AcquisitionFileProgress p = m_state.file->progress();
        showFileState(p);
        if (!p.running())
            m_reportDue = false;
        if (!p.running() || !m_pending) // a pending load tells its own progress
            tellLoad(m_state.file->path(), p);
    }
    if (!m_pending && !m_reportDue)
        m_poll.stop();
}

void GraphWindow::adoptPendingFile()
{
    if (const auto filled = m_pending->fill(0, m_state.store); !filled) {
        tell(QStringLiteral("Impossible de lire « %1 » : %2")
                 .arg(QFileInfo(m_pending->path()).fileName(), fileFailureText(filled.error())),
             QStringLiteral("Ouvrir fichier"));
        m_pending.reset();
        return;
    }
    m_state.file = std::move(m_pending);
    m_state.firstRow = 0;
    m_reportDue = true;
    drawChart();
    showFileState(m_state.file->progress());
}

void GraphWindow::tellLoad(const QString &path, const AcquisitionFileProgress &progress)
{
    const LoadReport report = loadReport(path, progress);
    tell(report.text, report.warning ? QStringLiteral("Ouvrir fichier") : QString());
}

void GraphWindow::showShownRows(qint64 rows)
{
    m_shownRows->setText(shownRowsCaption(m_state.firstRow, m_rowCountBar->value(), rows));
}

void GraphWindow::showFileState(const AcquisitionFileProgress &p)
{
    if (p.periodLine && m_periodLabel->text() != *p.periodLine) {
        m_periodLabel->setText(*p.periodLine);
        fitWidth(m_periodLabel);
    }
    if (p.dateLine && m_captureDateLabel->text() != *p.dateLine) {
        m_captureDateLabel->setText(*p.dateLine);
        fitWidth(m_captureDateLabel);
    }
    showShownRows(p.rows);
    m_overviewColumns = m_state.file->overview(m_overview->width());
    showOverview();
}

void GraphWindow::showOverview()
{
    OverviewLook look;
    look.analog = m_analogOption->isChecked();
    look.selected = m_selection;
    look.shownFirst = m_state.firstRow;
    look.shownEnd = m_state.firstRow + m_rowCountBar->value() + 1;
    m_overview->setPicture(drawOverview(m_overviewColumns, m_overview->size(), look));
}

void GraphWindow::moveWindow(qint64 first)
{
    if (!m_state.file)
        return;
    const qint64 rows = m_state.file->progress().rows;
    first = windowStart(first, m_rowCountBar->value(), rows);
    if (const auto filled = m_state.file->fill(first, m_state.store); !filled) {
        tell(
            QStringLiteral("Impossible de relire « %1 » : %2 ; le graphique garde ce qu'il montre.")
                .arg(QFileInfo(m_state.file->path()).fileName(), fileFailureText(filled.error())),
            QStringLiteral("Parcourir le fichier"));
        return;
    }
    m_state.firstRow = first;
    drawChart();
    showShownRows(rows);
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
    if (m_state.file && m_shownRows)
        showShownRows(m_state.file->progress().rows);
}

void GraphWindow::setTraceWidth()
{
    m_widthLabel->setText(QString::number(m_widthBar->value()));
    fitWidth(m_widthLabel);
    m_chartArea->surface().setLineWidth(m_widthBar->value());
}

void GraphWindow::showNextTable()
{
    const ShownTable table = m_state.tables.showNext(m_state.store, m_rowCountBar->value(),
                                                     m_state.firstRow);
    setTableText(table.text);
    m_tableButton->setText(table.caption);
}

void GraphWindow::zeroTables()
{
    clearTables(m_state.store, m_rowCountBar->value());
}

void GraphWindow::fillWithDemoData()
{
    m_coefficient->setText(QString::fromLatin1(kDefaultCoefficient));
    fillDemoData(m_state.store, m_rowCountBar->value(), m_state.demo);
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
