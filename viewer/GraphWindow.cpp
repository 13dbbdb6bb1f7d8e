#include "viewer/GraphWindow.h"

#include "chart/ChartArea.h"
#include "chart/ChartView.h"
#include "chart/ChartWiring.h"
#include "chart/LineControl.h"
#include "platform/Dialogs.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "viewer/AcquisitionData.h"
#include "viewer/AcquisitionReader.h"
#include "viewer/Channels.h"
#include "viewer/DemoData.h"
#include "viewer/Tables.h"

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
#include <QScrollBar>
#include <QUrl>

namespace platine {

namespace {

constexpr int kClientWidth = 12615;  // twips
constexpr int kClientHeight = 9300;
constexpr const char *kTwipsProperty = "twipsGeometry";

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
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

    bool analogMode() const override { return m_w.m_option1->isChecked(); }
    bool channelSelected(int i) const override
    {
        return i >= 0 && i < kChannelCount && flagOf(m_w.m_label56[i]);
    }
    QString coeffText() const override { return m_w.m_coeff->text(); }
    int rowCount() const override { return m_w.m_hscroll1->value(); }
    const AcquisitionData &store() const override { return AcquisitionData::instance(); }
    DrawingSurface &surface() override { return *m_w.m_picture1; }

    void setText5(const QString &text) override
    {
        // The text box shows CR LF as one line break.
        QString shown = text;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_w.m_text5->setPlainText(shown);
    }
    void setLabel54(const QString &caption) override { m_w.m_label54->setText(caption); }
    void setLabel59(const QString &caption) override { m_w.m_label59->setText(caption); }
    QString label64() const override { return m_w.m_label64->text(); }
    void setLabel64(const QString &caption) override { m_w.m_label64->setText(caption); }
    void setAide(const QString &caption) override { m_w.m_aide->setText(caption); }
    void moveCursorX(double x) override
    {
        m_w.m_curseur->setX1(x);
        m_w.m_curseur->setX2(x);
    }
    void moveCursorY(double y) override
    {
        m_w.m_curseurH->setY1(y);
        m_w.m_curseurH->setY2(y);
    }

private:
    GraphWindow &m_w;
};

GraphWindow::GraphWindow(FileDialog *dialogue1, QWidget *parent)
    : QWidget(parent), m_dialogue1(dialogue1), m_view(std::make_unique<View>(*this))
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

    m_frame6 = new QGroupBox(QStringLiteral("Mode graphique"), this);
    m_frame6->setObjectName(QStringLiteral("Frame6"));
    place(m_frame6, 0, 0, 12570, 8925);

    buildChartArea();
    buildCommands();

    m_command1 = new QPushButton(QStringLiteral("Ouvrir fichier"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    place(m_command1, 450, 7290, 1575, 375);
    m_command1->raise();
    connect(m_command1, &QPushButton::clicked, this, &GraphWindow::Command1_Click);

    formLoad();

    // Top to bottom; in the commands, one framed group after the other, left to right ("Ouvrir
    // fichier" stands in the first group).
    chainTabOrder({m_picture1, m_option1, m_option2, m_command1, m_command24, m_hscroll1,
                   m_command2[0], m_command2[1], m_command2[2], m_coeff, m_hscroll2, m_check9,
                   m_command26, m_text5, m_command23, m_command3, m_command25});

    // The chart's handlers: "Tracer", and the chart area's mouse and keys.
    connectChart(m_command24, m_picture1, *m_view);
}

GraphWindow::~GraphWindow() = default;

ChartView &GraphWindow::chartView()
{
    return *m_view;
}

QRect GraphWindow::twipsGeometry(const QWidget *control)
{
    return control ? control->property(kTwipsProperty).toRect() : QRect();
}

void GraphWindow::place(QWidget *control, int left, int top, int width, int height)
{
    control->setProperty(kTwipsProperty, QRect(left, top, width, height));
    if (control->parentWidget() == m_picture1 && m_picture1)
        control->setGeometry(m_picture1->childRect(left, top, width, height));
    else
        control->setGeometry(twipsRect(left, top, width, height));
}

void GraphWindow::moveTop(QWidget *control, int top)
{
    QRect t = twipsGeometry(control);
    place(control, t.left(), top, t.width(), t.height());
}

// Labels, option buttons and check boxes whose text outgrows their design width (the desktop's
// font may be wider than the one of the design) grow to the right, as far as their container.
void GraphWindow::fitWidth(QWidget *control)
{
    const QRect t = twipsGeometry(control);
    QRect g = control->geometry();
    const int room = control->parentWidget()->width() - g.left();
    const int wanted = control->sizeHint().width();
    g.setWidth(std::max(twips(t.width()), std::min(wanted, room)));
    control->setGeometry(g);
}

QLabel *GraphWindow::label(QWidget *parent, const QString &name, const QString &caption,
                           int left, int top, int width, int height)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    place(l, left, top, width, height);
    if (parent == m_picture1) {
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
    m_picture1 = new ChartArea(m_frame6);
    place(m_picture1, 120, 240, 12405, 5835);
    m_picture1->setAccessibleName(QStringLiteral("Tracé des acquisitions"));
    m_picture1->setBackgroundColor(bgrColor(0x00C0C0C0));

    const QColor axis = bgrColor(0x00004000);
    m_line29 = m_picture1->addLine(QStringLiteral("Line29"), 960, 0, 960, 5730, axis);
    m_line30 = m_picture1->addLine(QStringLiteral("Line30"), 240, 5040, 12330, 5040, axis);
    m_picture1->addLine(QStringLiteral("Line32"), 960, 4980, 960, 5100, Qt::black);
    for (int k = 0; k < 5; ++k) {
        m_line31[k] = m_picture1->addLine(indexed("Line31", k), 0, 0, 0, 0,
                                          bgrColor(0x00808080), true);
    }
    m_picture1->addLine(QStringLiteral("Line1"), 60, 2610, 960, 2610, bgrColor(0x00008000));
    const QColor cursor = bgrColor(0x00FFFFC0);
    m_curseur = m_picture1->addLine(QStringLiteral("curseur"), 1800, 5040, 1800, 60, cursor, true,
                                    false);
    m_curseurH = m_picture1->addLine(QStringLiteral("curseur_h"), 960, 2580, 12330, 2580, cursor,
                                     true, false);

    const QColor chartGrey = bgrColor(0x00C0C0C0);
    for (int k = 0; k < 5; ++k) {
        m_label58[k] = label(m_picture1, indexed("Label58", k), QString::number(k + 1), 750,
                             3930, 90, 195);
        m_label58[k]->hide();
    }
    for (int i = 0; i < kChannelCount; ++i) {
        QLabel *l = label(m_picture1, indexed("Label56", i), channelCaption(i), 60,
                          i == kTemperatureLabel ? 5340 : 4620, 615, 255);
        setTextColor(l, channelColor(i, palette()));
        setBackground(l, chartGrey);
        setFlag(l, true);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        m_label56[i] = l;
    }

    const QColor readOut = bgrColor(0x00E0E0E0);
    m_label59 = label(m_picture1, QStringLiteral("Label59"), QStringLiteral("Acquisition N° :"),
                      6480, 5100, 1755, 315);
    setBackground(m_label59, readOut);
    m_label64 = label(m_picture1, QStringLiteral("Label64"), QStringLiteral("0"), 5040, 5100,
                      1215, 315);
    setBackground(m_label64, readOut);
    m_label54 = label(m_picture1, QStringLiteral("Label54"), QStringLiteral("Label54"), 2820,
                      5100, 1575, 315);
    m_label54->hide();
}

void GraphWindow::buildCommands()
{
    m_frame7 = new QGroupBox(QStringLiteral("Commandes"), m_frame6);
    m_frame7->setObjectName(QStringLiteral("Frame7"));
    place(m_frame7, 120, 6060, 12405, 2835);
    QWidget *f7 = m_frame7;

    // Decoration: five rectangles around the groups of commands.
    static constexpr int kShapes[5][4] = {{60, 270, 2400, 2190},   {2520, 270, 2160, 2190},
                                          {4740, 270, 2640, 2190}, {7380, 270, 2640, 2190},
                                          {10620, 270, 1740, 2190}};
    for (int k = 0; k < 5; ++k) {
        auto *shape = new QFrame(f7);
        shape->setObjectName(indexed("Shape1", k));
        shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        setTextColor(shape, bgrColor(0x00004000));
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        place(shape, kShapes[k][0], kShapes[k][1], kShapes[k][2], kShapes[k][3]);
    }

    label(f7, indexed("Label62", 1), QStringLiteral("Graphiques"), 0, 0, 1575, 255);
    m_option1 = new QRadioButton(QStringLiteral("Entrées Analogiques"), f7);
    m_option1->setObjectName(QStringLiteral("Option1"));
    place(m_option1, 240, 420, 1815, 255);
    fitWidth(m_option1);
    m_option1->setChecked(true);
    m_option2 = new QRadioButton(QStringLiteral("Entrées Logiques"), f7);
    m_option2->setObjectName(QStringLiteral("Option2"));
    place(m_option2, 240, 720, 1845, 375);
    fitWidth(m_option2);
    connect(m_option1, &QRadioButton::clicked, this, &GraphWindow::Option1_Click);
    connect(m_option2, &QRadioButton::clicked, this, &GraphWindow::Option2_Click);

    m_command24 = new QPushButton(QStringLiteral("Tracer"), f7);
    m_command24->setObjectName(QStringLiteral("Command24"));
    place(m_command24, 330, 1740, 1575, 380);

    QLabel *rowsCaption = label(f7, QStringLiteral("Label60"),
                                QStringLiteral("Nbre d'acquisitions : "), 2670, 360, 1470, 195);
    m_hscroll1 = new QScrollBar(Qt::Horizontal, f7);
    m_hscroll1->setObjectName(QStringLiteral("HScroll1"));
    m_hscroll1->setRange(10, 1000);
    m_hscroll1->setSingleStep(1);
    m_hscroll1->setPageStep(10);
    m_hscroll1->setValue(100);
    place(m_hscroll1, 2670, 630, 1095, 255);
    rowsCaption->setBuddy(m_hscroll1);
    m_hscroll1->setFocusPolicy(Qt::StrongFocus); // the arrow keys move it too
    connect(m_hscroll1, &QScrollBar::valueChanged, this, &GraphWindow::HScroll1_Change);
    m_label61 = label(f7, QStringLiteral("Label61"), QStringLiteral("100"), 3840, 660, 270, 195);
    m_periode = label(f7, QStringLiteral("periode"), QStringLiteral("Période :"), 2700, 1170,
                      630, 195);

    for (int i = 0; i < kPresetCount; ++i) {
        static constexpr int kLefts[kPresetCount] = {2670, 3270, 3840};
        auto *b = new QPushButton(presetCaption(i), f7);
        b->setObjectName(indexed("Command2", i));
        place(b, kLefts[i], 1680, 525, 225);
        b->setMouseTracking(true);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
        m_command2[i] = b;
    }
    QLabel *coeffCaption =
        label(f7, QStringLiteral("Label65"), QStringLiteral("Coeff :"), 2730, 2100, 555, 255);
    m_coeff = new QLineEdit(QStringLiteral("0.492"), f7);
    m_coeff->setObjectName(QStringLiteral("coeff"));
    m_coeff->setAcceptDrops(false);
    place(m_coeff, 3300, 2040, 675, 285);
    coeffCaption->setBuddy(m_coeff);

    QLabel *widthCaption = label(f7, indexed("Label62", 0), QStringLiteral("Epaisseur tracé : "),
                                 4890, 390, 1230, 195);
    m_hscroll2 = new QScrollBar(Qt::Horizontal, f7);
    m_hscroll2->setObjectName(QStringLiteral("HScroll2"));
    m_hscroll2->setRange(1, 5);
    m_hscroll2->setSingleStep(1);
    m_hscroll2->setPageStep(1);
    m_hscroll2->setValue(1);
    place(m_hscroll2, 4890, 660, 1155, 255);
    widthCaption->setBuddy(m_hscroll2);
    m_hscroll2->setFocusPolicy(Qt::StrongFocus);
    connect(m_hscroll2, &QScrollBar::valueChanged, this, &GraphWindow::HScroll2_Change);
    m_label63 = label(f7, QStringLiteral("Label63"), QStringLiteral("1"), 6120, 690, 90, 195);
    m_check9 = new QCheckBox(QStringLiteral("Curseurs"), f7);
    m_check9->setObjectName(QStringLiteral("Check9"));
    place(m_check9, 4920, 1050, 1455, 255);
    fitWidth(m_check9);
    connect(m_check9, &QCheckBox::clicked, this, &GraphWindow::Check9_Click);
    m_dateCapture = label(f7, QStringLiteral("date_capture"), QStringLiteral("Capture :"), 6690,
                          2160, 645, 195);

    m_command26 = new QPushButton(tableButtonDesignerCaption(), f7);
    m_command26->setObjectName(QStringLiteral("Command26"));
    place(m_command26, 7410, 330, 2535, 315);
    connect(m_command26, &QPushButton::clicked, this, &GraphWindow::Command26_Click);
    m_text5 = new QPlainTextEdit(f7);
    m_text5->setObjectName(QStringLiteral("Text5"));
    m_text5->setReadOnly(true);
    m_text5->setAccessibleName(QStringLiteral("Tableau des valeurs"));
    m_text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text5->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text5->setAcceptDrops(false);
    m_text5->viewport()->setAcceptDrops(false);
    {
        QPalette p = m_text5->palette();
        p.setColor(QPalette::Base, bgrColor(0x00E0E0E0));
        m_text5->setPalette(p);
    }
    place(m_text5, 7440, 690, 2535, 1395);

    label(f7, indexed("Label62", 2), QStringLiteral("Tableaux"), 11040, 360, 660, 195);
    m_command23 = new QPushButton(QStringLiteral("Aléatoire"), f7);
    m_command23->setObjectName(QStringLiteral("Command23"));
    place(m_command23, 10710, 780, 1575, 380);
    connect(m_command23, &QPushButton::clicked, this, &GraphWindow::Command23_Click);
    m_command3 = new QPushButton(QStringLiteral("RAZ tableaux"), f7);
    m_command3->setObjectName(QStringLiteral("Command3"));
    place(m_command3, 10710, 1320, 1575, 380);
    connect(m_command3, &QPushButton::clicked, this, &GraphWindow::Command3_Click);
    m_command25 = new QPushButton(QStringLiteral("Retour"), f7);
    m_command25->setObjectName(QStringLiteral("Command25"));
    place(m_command25, 10710, 2010, 1575, 345);
    connect(m_command25, &QPushButton::clicked, this, &GraphWindow::Command25_Click);

    m_aide = label(f7, QStringLiteral("aide"), QStringLiteral("Aide"), 0, 2490, 12315, 255);
    setTextColor(m_aide, bgrColor(0x00FF0000));
}

// Window load: spaces the graduations 1000 twips apart upwards from Label58(0), puts a grid line
// at the middle of each, from just left of the Y axis to the right end of the baseline, and
// stacks the channel labels ANA 1 .. LOG 4 upwards from Label56(0), 635 twips apart.
void GraphWindow::formLoad()
{
    for (int k = 1; k < 5; ++k)
        moveTop(m_label58[k], twipsGeometry(m_label58[k - 1]).top() - 1000);
    for (QLabel *l : m_label58)
        l->show();
    for (int k = 0; k < 5; ++k) {
        const QRect t = twipsGeometry(m_label58[k]);
        const double y = t.top() + t.height() / 2.0;
        m_line31[k]->setPoints(m_line29->x1() - 60, y, m_line30->x2(), y);
    }
    const int left = twipsGeometry(m_label56[0]).left();
    for (int k = 1; k <= 7; ++k) {
        QRect t = twipsGeometry(m_label56[k]);
        place(m_label56[k], left, twipsGeometry(m_label56[k - 1]).top() - 635, t.width(),
              t.height());
    }
}

bool GraphWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress
        || type == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < kChannelCount; ++i) {
            if (watched != m_label56[i])
                continue;
            // A double click arrives as press, release, press, double click: the double click
            // counts as one more press, so that a double click toggles the flag once in all,
            // as a single click does.
            if (type == QEvent::MouseMove)
                Label56_MouseMove(i);
            else
                Label56_MouseDown(i);
            return true;
        }
        if (type == QEvent::MouseMove) {
            for (int i = 0; i < kPresetCount; ++i) {
                if (watched == m_command2[i])
                    Command2_MouseMove(i);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GraphWindow::Command1_Click()
{
    if (!m_dialogue1)
        return;
    if (const auto path = m_dialogue1->showOpen(QStringLiteral("*.txt")))
        loadFile(*path);
}

bool GraphWindow::loadFile(const QString &path)
{
    const auto result = loadAcquisitionFile(path, AcquisitionData::instance());
    if (!result)
        return false;
    if (result->periodLine) {
        m_periode->setText(*result->periodLine);
        fitWidth(m_periode);
    }
    if (result->dateLine) {
        m_dateCapture->setText(*result->dateLine);
        fitWidth(m_dateCapture);
    }
    return true;
}

void GraphWindow::Command2_Click(int index)
{
    ChannelControls controls;
    controls.coeff = m_coeff->text();
    for (int k = 0; k < kGraduationCount; ++k)
        controls.graduations[std::size_t(k)] = m_label58[k]->text();
    for (int i = 0; i < kChannelCount; ++i)
        controls.selected[std::size_t(i)] = flagOf(m_label56[i]);

    applyPreset(index, controls);

    m_coeff->setText(controls.coeff);
    for (int k = 0; k < kGraduationCount; ++k) {
        m_label58[k]->setText(controls.graduations[std::size_t(k)]);
        fitWidth(m_label58[k]);
    }
    for (int i = 0; i < kChannelCount; ++i)
        setFlag(m_label56[i], controls.selected[std::size_t(i)]);
}

void GraphWindow::Command2_MouseMove(int index)
{
    m_aide->setText(presetHelpText(index));
}

void GraphWindow::Label56_MouseDown(int index)
{
    QLabel *l = m_label56[index];
    setFlag(l, toggledSelection(index, flagOf(l)));
}

void GraphWindow::Label56_MouseMove(int index)
{
    m_picture1->setForeground(m_label56[index]->palette().color(QPalette::WindowText));
    m_aide->setText(channelHelpText());
}

void GraphWindow::Option1_Click()
{
    for (int k = 0; k < 5; ++k) {
        m_label58[k]->show();
        m_line31[k]->setVisible(true);
    }
}

void GraphWindow::Option2_Click()
{
    for (int k = 0; k < 5; ++k) {
        m_label58[k]->hide();
        m_line31[k]->setVisible(false);
    }
}

void GraphWindow::Check9_Click()
{
    const bool on = m_check9->isChecked();
    m_curseur->setVisible(on);
    m_curseurH->setVisible(on);
}

void GraphWindow::HScroll1_Change()
{
    m_label61->setText(QString::number(m_hscroll1->value()));
    fitWidth(m_label61);
}

void GraphWindow::HScroll2_Change()
{
    m_label63->setText(QString::number(m_hscroll2->value()));
    fitWidth(m_label63);
    m_picture1->setLineWidth(m_hscroll2->value());
}

void GraphWindow::Command26_Click()
{
    const ShownTable table = nextTable(AcquisitionData::instance(), m_hscroll1->value());
    m_view->setText5(table.text);
    m_command26->setText(table.caption);
}

void GraphWindow::Command3_Click()
{
    clearTables(AcquisitionData::instance(), m_hscroll1->value());
}

void GraphWindow::Command23_Click()
{
    m_coeff->setText(QString::fromLatin1(kDemoCoefficient));
    fillDemoData(AcquisitionData::instance(), m_hscroll1->value(), DemoGenerator::instance());
}

void GraphWindow::Command25_Click()
{
    hide();
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
