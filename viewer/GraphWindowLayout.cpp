// How the viewer window is built: its controls at their design places, in twips.

#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/LineControl.h"
#include "chart/OverviewStrip.h"
#include "model/Tables.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "viewer/Channels.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace platine {

namespace {

constexpr int kClientWidth = 12615; // twips
// The design's 9300, the band of the file's overview (to 10350), and the band of the values and
// figures under it, which leaves everything above as it was.
constexpr int kClientHeight = 12195;

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename W> W *named(W *control, QStringView name)
{
    control->setObjectName(name.toString());
    return control;
}

void setTextColor(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    w->setPalette(p);
}

void setBackground(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Base, color);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A horizontal scroll bar beside its caption, in the caption's container, from min to max in
// steps of 1 (page steps of page); the arrow keys move it too.
QScrollBar *scrollBar(QLabel *caption, QStringView name, int min, int max, int page, int value)
{
    auto *bar = named(new QScrollBar(Qt::Horizontal, caption->parentWidget()), name);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(page);
    bar->setValue(value);
    bar->setFocusPolicy(Qt::StrongFocus);
    caption->setBuddy(bar);
    return bar;
}

} // namespace

void GraphWindow::buildWindow()
{
    setObjectName(QStringLiteral("graph"));
    setWindowTitle(QStringLiteral("Graphique des acquisitions"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    setFont(designFont(font()));
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    m_modeFrame = new QGroupBox(QStringLiteral("Mode graphique"), this);
    m_modeFrame->setObjectName(QStringLiteral("Frame6"));
    place(m_modeFrame, 0, 0, 12570, 8925);

    buildChartArea();
    buildCommands();

    m_openButton = placeButton(this, QStringLiteral("Command1"), QStringLiteral("Ouvrir fichier"),
                               450, 7290, 1575, 375);
    m_openButton->raise();

    buildFileBand();
    spaceChartControls();

    // Top to bottom; in the commands, one framed group after the other, left to right ("Ouvrir
    // fichier" stands in the first group).
    chainTabOrder({m_chartArea, m_analogOption, m_logicOption, m_openButton, m_drawButton,
                   m_rowCountBar, m_presetButtons[0], m_presetButtons[1], m_presetButtons[2],
                   m_coefficient, m_widthBar, m_cursorsBox, m_tableButton, m_tableText,
                   m_demoButton, m_zeroButton, m_backButton});
}

QLabel *GraphWindow::label(QWidget *parent, const QString &name, const QString &caption, int left,
                           int top, int width, int height)
{
    auto *l = named(new QLabel(caption, parent), name);
    place(l, left, top, width, height);
    if (parent == m_chartArea) {
        // A label on the chart area takes its own mouse events, as the chart does not see them.
        l->setAttribute(Qt::WA_NoMousePropagation);
    } else {
        l->setAutoFillBackground(true); // labels are opaque
    }
    fitWidth(l);
    return l;
}

void GraphWindow::buildChartArea()
{
    m_chartArea = new ChartArea(m_modeFrame);
    place(m_chartArea, 120, 240, 12405, 5835);
    m_chartArea->setAccessibleName(QStringLiteral("Tracé des acquisitions"));
    m_chartArea->surface().setBackgroundColor(bgrColor(0x00C0C0C0));

    const QColor axis = bgrColor(0x00004000);
    m_yAxis = m_chartArea->addLine(QStringLiteral("Line29"), 960, 0, 960, 5730, axis);
    m_baseline = m_chartArea->addLine(QStringLiteral("Line30"), 240, 5040, 12330, 5040, axis);
    m_chartArea->addLine(QStringLiteral("Line32"), 960, 4980, 960, 5100, Qt::black);
    for (int k = 0; k < kGraduationCount; ++k) {
        m_gridLines[std::size_t(k)] = m_chartArea->addLine(indexed("Line31", k), 0, 0, 0, 0,
                                                           bgrColor(0x00808080), true);
    }
    m_chartArea->addLine(QStringLiteral("Line1"), 60, 2610, 960, 2610, bgrColor(0x00008000));
    const QColor cursor = bgrColor(0x00FFFFC0);
    m_verticalCursor = m_chartArea->addLine(QStringLiteral("curseur"), 1800, 5040, 1800, 60, cursor,
                                            true, false);
    m_horizontalCursor = m_chartArea->addLine(QStringLiteral("curseur_h"), 960, 2580, 12330, 2580,
                                              cursor, true, false);

    const QColor chartGrey = bgrColor(0x00C0C0C0);
    for (int k = 0; k < kGraduationCount; ++k) {
        QLabel *graduation = label(m_chartArea, indexed("Label58", k), QString::number(k + 1), 750,
                                   3930, 90, 195);
        graduation->hide();
        m_graduations[std::size_t(k)] = graduation;
    }
    // The labels in design order, all in one place but the temperature's, below; the window load
    // stacks the others.
    for (int i = 0; i < kChannelCount; ++i) {
        const Channel c = *channelOfLabel(i);
        const ChannelInfo &channel = info(c);
        QLabel *l = label(m_chartArea, indexed("Label56", channel.labelIndex),
                          QString::fromLatin1(channel.label), 60,
                          c == Channel::Temperature ? 5340 : 4620, 615, 255);
        setTextColor(l, labelColour(c));
        setBackground(l, chartGrey);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        m_channelLabels[std::size_t(column(c))] = l;
    }
    showSelection();

    const QColor readOut = bgrColor(0x00E0E0E0);
    m_rowReadout = label(m_chartArea, QStringLiteral("Label59"), QStringLiteral("Acquisition N° :"),
                         6480, 5100, 1755, 315);
    setBackground(m_rowReadout, readOut);
    m_valueReadout = label(m_chartArea, QStringLiteral("Label64"), QStringLiteral("0"), 5040, 5100,
                           1215, 315);
    setBackground(m_valueReadout, readOut);
    m_logicZoomCaption = label(m_chartArea, QStringLiteral("Label54"), QStringLiteral("Label54"),
                               2820, 5100, 1575, 315);
    m_logicZoomCaption->hide();
}

void GraphWindow::buildFileBand()
{
    // Below the design's controls: the overview of the whole file and the rows shown.
    m_overview = named(new OverviewStrip(this), u"apercu");
    place(m_overview, 120, 9330, 12375, 660);
    m_overview->setToolTip(
        QStringLiteral("Tout le fichier : cliquer ou glisser pour s'y déplacer ; "
                       "sur le graphique, Pg.Préc, Pg.Suiv, Début et Fin"));
    m_shownRows = label(this, QStringLiteral("lignes"), QString(), 120, 10035, 6000, 255);
    // The values of the row (or the rows) under the mouse, on two lines when they need them.
    m_valuesLine = label(this, QStringLiteral("valeurs"), QString(), 120, 10380, 12375, 480);
    m_valuesLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_valuesLine->setWordWrap(true);
    m_valuesLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_valuesDue = new FrameThrottle([this] { writeValues(); }, this);
    // The figures of the rows shown, or of the whole file when asked.
    m_statistics = named(new QPlainTextEdit(this), u"statistiques");
    m_statistics->setReadOnly(true);
    m_statistics->setAccessibleName(QStringLiteral("Statistiques des acquisitions"));
    m_statistics->setLineWrapMode(QPlainTextEdit::NoWrap);
    place(m_statistics, 120, 10890, 9960, 1275);
    m_fileFigures = placeButton(this, QStringLiteral("statistiques_fichier"),
                                QStringLiteral("Statistiques du fichier"), 10200, 10890, 2295, 315);
    connect(m_fileFigures, &QPushButton::clicked, this, &GraphWindow::showFileStatistics);
    m_statisticsDue = new FrameThrottle([this] { writeStatistics(); }, this);
}

void GraphWindow::buildCommands()
{
    m_commandsFrame = named(new QGroupBox(QStringLiteral("Commandes"), m_modeFrame), u"Frame7");
    place(m_commandsFrame, 120, 6060, 12405, 2835);
    QWidget *f7 = m_commandsFrame;

    // Decoration: five rectangles around the groups of commands.
    static constexpr int kShapes[5][4] = {{60, 270, 2400, 2190},
                                          {2520, 270, 2160, 2190},
                                          {4740, 270, 2640, 2190},
                                          {7380, 270, 2640, 2190},
                                          {10620, 270, 1740, 2190}};
    for (int k = 0; k < 5; ++k) {
        auto *shape = named(new QFrame(f7), indexed("Shape1", k));
        shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        setTextColor(shape, bgrColor(0x00004000));
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        place(shape, kShapes[k][0], kShapes[k][1], kShapes[k][2], kShapes[k][3]);
    }

    label(f7, indexed("Label62", 1), QStringLiteral("Graphiques"), 0, 0, 1575, 255);
    m_analogOption = named(new QRadioButton(QStringLiteral("Entrées Analogiques"), f7), u"Option1");
    place(m_analogOption, 240, 420, 1815, 255);
    fitWidth(m_analogOption);
    m_analogOption->setChecked(true);
    m_logicOption = named(new QRadioButton(QStringLiteral("Entrées Logiques"), f7), u"Option2");
    place(m_logicOption, 240, 720, 1845, 375);
    fitWidth(m_logicOption);
    connect(m_analogOption, &QRadioButton::clicked, this, &GraphWindow::showGraduations);
    connect(m_logicOption, &QRadioButton::clicked, this, &GraphWindow::hideGraduations);

    m_drawButton = placeButton(f7, QStringLiteral("Command24"), QStringLiteral("Tracer"), 330, 1740,
                               1575, 380);

    QLabel *rowsCaption = label(f7, QStringLiteral("Label60"),
                                QStringLiteral("Nbre d'acquisitions : "), 2670, 360, 1470, 195);
    m_rowCountBar = scrollBar(rowsCaption, u"HScroll1", 10, 1000, 10, 100);
    place(m_rowCountBar, 2670, 630, 1095, 255);
    connect(m_rowCountBar, &QScrollBar::valueChanged, this, &GraphWindow::showRowCount);
    m_rowCountLabel = label(f7, QStringLiteral("Label61"), QStringLiteral("100"), 3840, 660, 270,
                            195);
    m_periodLabel = label(f7, QStringLiteral("periode"), QStringLiteral("Période :"), 2700, 1170,
                          630, 195);

    for (int i = 0; i < kPresetCount; ++i) {
        static constexpr std::array<int, kPresetCount> kLefts = {2670, 3270, 3840};
        QPushButton *b = placeButton(f7, indexed("Command2", i), presetCaption(i),
                                     kLefts[std::size_t(i)], 1680, 525, 225);
        b->setMouseTracking(true);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { applyCoefficientPreset(i); });
        m_presetButtons[std::size_t(i)] = b;
    }
    QLabel *coeffCaption = label(f7, QStringLiteral("Label65"), QStringLiteral("Coeff :"), 2730,
                                 2100, 555, 255);
    m_coefficient = named(new QLineEdit(QString::fromLatin1(kDefaultCoefficient), f7), u"coeff");
    m_coefficient->setAcceptDrops(false);
    place(m_coefficient, 3300, 2040, 675, 285);
    coeffCaption->setBuddy(m_coefficient);

    QLabel *widthCaption = label(f7, indexed("Label62", 0), QStringLiteral("Epaisseur tracé : "),
                                 4890, 390, 1230, 195);
    m_widthBar = scrollBar(widthCaption, u"HScroll2", 1, 5, 1, 1);
    place(m_widthBar, 4890, 660, 1155, 255);
    connect(m_widthBar, &QScrollBar::valueChanged, this, &GraphWindow::setTraceWidth);
    m_widthLabel = label(f7, QStringLiteral("Label63"), QStringLiteral("1"), 6120, 690, 90, 195);
    m_cursorsBox = named(new QCheckBox(QStringLiteral("Curseurs"), f7), u"Check9");
    place(m_cursorsBox, 4920, 1050, 1455, 255);
    fitWidth(m_cursorsBox);
    connect(m_cursorsBox, &QCheckBox::clicked, this, &GraphWindow::showOrHideCursors);
    m_captureDateLabel = label(f7, QStringLiteral("date_capture"), QStringLiteral("Capture :"),
                               6690, 2160, 645, 195);

    m_tableButton = placeButton(f7, QStringLiteral("Command26"), initialTableButtonCaption(), 7410,
                                330, 2535, 315);
    connect(m_tableButton, &QPushButton::clicked, this, &GraphWindow::showNextTable);
    m_tableText = named(new QPlainTextEdit(f7), u"Text5");
    m_tableText->setReadOnly(true);
    m_tableText->setAccessibleName(QStringLiteral("Tableau des valeurs"));
    m_tableText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_tableText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_tableText->setAcceptDrops(false);
    m_tableText->viewport()->setAcceptDrops(false);
    {
        QPalette p = m_tableText->palette();
        p.setColor(QPalette::Base, bgrColor(0x00E0E0E0));
        m_tableText->setPalette(p);
    }
    place(m_tableText, 7440, 690, 2535, 1395);

    label(f7, indexed("Label62", 2), QStringLiteral("Tableaux"), 11040, 360, 660, 195);
    m_demoButton = placeButton(f7, QStringLiteral("Command23"), QStringLiteral("Aléatoire"), 10710,
                               780, 1575, 380);
    connect(m_demoButton, &QPushButton::clicked, this, &GraphWindow::fillWithDemoData);
    m_zeroButton = placeButton(f7, QStringLiteral("Command3"), QStringLiteral("RAZ tableaux"),
                               10710, 1320, 1575, 380);
    connect(m_zeroButton, &QPushButton::clicked, this, &GraphWindow::zeroTables);
    m_backButton = placeButton(f7, QStringLiteral("Command25"), QStringLiteral("Retour"), 10710,
                               2010, 1575, 345);
    connect(m_backButton, &QPushButton::clicked, this, &QWidget::hide);

    m_helpLine = label(f7, QStringLiteral("aide"), QStringLiteral("Aide"), 0, 2490, 12315, 255);
    setTextColor(m_helpLine, bgrColor(0x00FF0000));
}

// Window load: spaces the graduations 1000 twips apart upwards from Label58(0), puts a grid line
// at the middle of each, from just left of the Y axis to the right end of the baseline, and
// stacks the channel labels ANA 1 .. LOG 4 upwards from Label56(0), 635 twips apart.
void GraphWindow::spaceChartControls()
{
    for (std::size_t k = 1; k < m_graduations.size(); ++k)
        moveTop(m_graduations[k], twipsGeometry(m_graduations[k - 1]).top() - 1000);
    for (QLabel *l : m_graduations)
        l->show();
    for (std::size_t k = 0; k < m_graduations.size(); ++k) {
        const QRect t = twipsGeometry(m_graduations[k]);
        const double y = t.top() + t.height() / 2.0;
        m_gridLines[k]->setPoints(m_yAxis->x1() - 60, y, m_baseline->x2(), y);
    }
    // Every label but the temperature's, in design order.
    const int left = twipsGeometry(labelAt(0)).left();
    for (int k = 1; k < kChannelCount - 1; ++k) {
        QLabel *l = labelAt(k);
        const QRect t = twipsGeometry(l);
        place(l, left, twipsGeometry(labelAt(k - 1)).top() - 635, t.width(), t.height());
    }
}

} // namespace platine
