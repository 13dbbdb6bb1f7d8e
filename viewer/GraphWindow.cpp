#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/ChartView.h"
#include "chart/ChartWiring.h"
#include "chart/LineControl.h"
#include "model/AcquisitionReader.h"
#include "model/DemoData.h"
#include "model/Tables.h"
#include "platform/Dialogs.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "viewer/Channels.h"
#include "viewer/LoadReport.h"
#include "viewer/PictureName.h"
#include "viewer/ProgramState.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
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

constexpr int kClientWidth = 12615; // twips
constexpr int kClientHeight = 9300;

// The selection flag of a channel label is its border: a single line when selected.
bool flagOf(const QLabel *label)
{
    return label->frameShape() == QFrame::Box;
}

void setFlag(QLabel *label, bool selected)
{
    label->setFrameShape(selected ? QFrame::Box : QFrame::NoFrame);
}

} // namespace

// The window as the chart sees it.
class GraphWindow::View : public ChartView
{
public:
    explicit View(GraphWindow &w) : m_w(w) {}

    bool analogMode() const override { return m_w.m_analogOption->isChecked(); }
    bool channelSelected(int i) const override
    {
        return i >= 0 && i < kChannelCount && flagOf(m_w.m_channelLabels[i]);
    }
    QString coefficientText() const override { return m_w.m_coefficient->text(); }
    int rowCount() const override { return m_w.m_rowCountBar->value(); }
    const AcquisitionData &store() const override { return m_w.m_state.store; }
    DrawingSurface &surface() override { return *m_w.m_chartArea; }

    void setTableText(const QString &text) override
    {
        // The text box shows CR LF as one line break.
        QString shown = text;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_w.m_tableText->setPlainText(shown);
    }
    void setLogicZoomCaption(const QString &caption) override
    {
        m_w.m_logicZoomCaption->setText(caption);
    }
    void setRowReadout(const QString &caption) override { m_w.m_rowReadout->setText(caption); }
    QString valueReadout() const override { return m_w.m_valueReadout->text(); }
    void setValueReadout(const QString &caption) override { m_w.m_valueReadout->setText(caption); }
    void setHelpText(const QString &caption) override { m_w.m_helpLine->setText(caption); }
    void moveVerticalCursor(double x) override
    {
        m_w.m_verticalCursor->setX1(x);
        m_w.m_verticalCursor->setX2(x);
    }
    void moveHorizontalCursor(double y) override
    {
        m_w.m_horizontalCursor->setY1(y);
        m_w.m_horizontalCursor->setY2(y);
    }

private:
    GraphWindow &m_w;
};

GraphWindow::GraphWindow(FileDialog &dialogue1, ProgramState &state, QWidget *parent)
    : QWidget(parent),
      m_dialogue1(&dialogue1),
      m_state(state),
      m_view(std::make_unique<View>(*this))
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
                   QStringLiteral("Arial"), QStringLiteral("DejaVu Sans Condensed"),
                   f.family()});
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    m_modeFrame = new QGroupBox(QStringLiteral("Mode graphique"), this);
    m_modeFrame->setObjectName(QStringLiteral("Frame6"));
    place(m_modeFrame, 0, 0, 12570, 8925);

    buildChartArea();
    buildCommands();

    m_openButton = button(this, QStringLiteral("Command1"), QStringLiteral("Ouvrir fichier"), 450,
                          7290, 1575, 375);
    m_openButton->raise();
    connect(m_openButton, &QPushButton::clicked, this, &GraphWindow::openAcquisitionFile);

    spaceChartControls();

    // Top to bottom; in the commands, one framed group after the other, left to right ("Ouvrir
    // fichier" stands in the first group).
    chainTabOrder({m_chartArea, m_analogOption, m_logicOption, m_openButton, m_drawButton,
                   m_rowCountBar, m_presetButtons[0], m_presetButtons[1], m_presetButtons[2],
                   m_coefficient, m_widthBar, m_cursorsBox, m_tableButton, m_tableText,
                   m_demoButton, m_zeroButton, m_backButton});

    // The chart's handlers: "Tracer", and the chart area's mouse and keys.
    connectChart(m_drawButton, m_chartArea, *m_view, m_state.chart);
    connect(m_chartArea, &ChartArea::saveRequested, this, &GraphWindow::saveChartPicture);
}

GraphWindow::~GraphWindow() = default;

ChartView &GraphWindow::chartView()
{
    return *m_view;
}

bool GraphWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress
        || type == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < kChannelCount; ++i) {
            if (watched != m_channelLabels[i])
                continue;
            // A double click arrives as press, release, press, double click: the double click
            // counts as one more press, so that a double click toggles the flag once in all,
            // as a single click does.
            if (type == QEvent::MouseMove)
                showChannelHelp(i);
            else
                toggleChannel(i);
            return true;
        }
        if (type == QEvent::MouseMove) {
            for (int i = 0; i < kPresetCount; ++i) {
                if (watched == m_presetButtons[i])
                    showPresetHelp(i);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GraphWindow::openAcquisitionFile()
{
    if (!m_dialogue1)
        return;
    if (const auto path = m_dialogue1->showOpen(QStringLiteral("*.txt")))
        loadFile(*path);
}

void GraphWindow::saveChartPicture()
{
    const QImage picture = m_chartArea->picture(); // as it was when asked
    const auto path = m_dialogue1
        ? m_dialogue1->showSave(chartPictureName(m_captureDateLabel->text()))
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
    if (!warningTitle.isEmpty() && m_dialogue1)
        m_dialogue1->dialogs().message(this, MessageIcon::Warning, warningTitle, text);
}

bool GraphWindow::loadFile(const QString &path)
{
    QString openError;
    const auto result = loadAcquisitionFile(path, m_state.store, &openError);
    const LoadReport report = loadReport(path, result, openError);
    tell(report.text, report.warning ? QStringLiteral("Ouvrir fichier") : QString());
    if (!result || !result->dataLineSeen)
        return false;
    if (result->periodLine) {
        m_periodLabel->setText(*result->periodLine);
        fitWidth(m_periodLabel);
    }
    if (result->dateLine) {
        m_captureDateLabel->setText(*result->dateLine);
        fitWidth(m_captureDateLabel);
    }
    return true;
}

void GraphWindow::applyCoefficientPreset(int index)
{
    ChannelControls controls;
    controls.coeff = m_coefficient->text();
    for (int k = 0; k < kGraduationCount; ++k)
        controls.graduations[std::size_t(k)] = m_graduations[k]->text();
    for (int i = 0; i < kChannelCount; ++i)
        controls.selected[std::size_t(i)] = flagOf(m_channelLabels[i]);

    applyPreset(index, controls);

    m_coefficient->setText(controls.coeff);
    for (int k = 0; k < kGraduationCount; ++k) {
        m_graduations[k]->setText(controls.graduations[std::size_t(k)]);
        fitWidth(m_graduations[k]);
    }
    for (int i = 0; i < kChannelCount; ++i)
        setFlag(m_channelLabels[i], controls.selected[std::size_t(i)]);
}

void GraphWindow::showPresetHelp(int index)
{
    m_helpLine->setText(presetHelpText(index));
}

void GraphWindow::toggleChannel(int index)
{
    QLabel *l = m_channelLabels[index];
    setFlag(l, toggledSelection(index, flagOf(l)));
}

void GraphWindow::showChannelHelp(int index)
{
    m_chartArea->setForeground(m_channelLabels[index]->palette().color(QPalette::WindowText));
    m_helpLine->setText(channelHelpText());
}

void GraphWindow::showGraduations()
{
    for (int k = 0; k < 5; ++k) {
        m_graduations[k]->show();
        m_gridLines[k]->setVisible(true);
    }
}

void GraphWindow::hideGraduations()
{
    for (int k = 0; k < 5; ++k) {
        m_graduations[k]->hide();
        m_gridLines[k]->setVisible(false);
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
}

void GraphWindow::setTraceWidth()
{
    m_widthLabel->setText(QString::number(m_widthBar->value()));
    fitWidth(m_widthLabel);
    m_chartArea->setLineWidth(m_widthBar->value());
}

void GraphWindow::showNextTable()
{
    const ShownTable table = m_state.tables.showNext(m_state.store, m_rowCountBar->value());
    m_view->setTableText(table.text);
    m_tableButton->setText(table.caption);
}

void GraphWindow::zeroTables()
{
    clearTables(m_state.store, m_rowCountBar->value());
}

void GraphWindow::fillWithDemoData()
{
    m_coefficient->setText(QString::fromLatin1(kDemoCoefficient));
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
