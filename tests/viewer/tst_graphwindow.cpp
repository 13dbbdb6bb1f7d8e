// The viewer window graph: designer layout, the window load, the scroll bars, modes, channels,
// presets, tables, demonstration data, file load by dialog and by drop, "Retour" and the close box.

#include "chart/ChartArea.h"
#include "chart/ChartView.h"
#include "chart/LineControl.h"
#include "common/FakeDialogs.h"
#include "platform/Dialogs.h"
#include "viewer/AcquisitionData.h"
#include "viewer/GraphWindow.h"
#include "viewer/Tables.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace platine;

namespace {

QString indexed(const char *name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

void sendMouseMove(QWidget *w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace

class TestGraphWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void window();
    void designerPlaces_data();
    void designerPlaces();
    void colours();
    void layoutAfterLoad();
    void scrollBars();
    void lineWidthDoesNotRedraw();
    void modeOptions();
    void cursorsCheckBox();
    void presets();
    void presetHelpOnMouseMove();
    void channelLabels();
    void tables();
    void demonstrationData();
    void openFileByDialog();
    void openFileCancelledOrUnopenable();
    void dropFile();
    void retourKeepsState();
    void closeAndReopen();

private:
    template <class T>
    T *child(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    QString writeFile(const QString &name, const QByteArray &content);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::FakeDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<FileDialog> m_dialogue1;
    QPointer<GraphWindow> m_window;
};

void TestGraphWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestGraphWindow::init()
{
    m_dialogs = std::make_unique<test::FakeDialogs>();
    m_owner = std::make_unique<QWidget>();
    m_dialogue1 = std::make_unique<FileDialog>(m_owner.get());
    AcquisitionData::instance().clear();
    setTableCounter(0);
    m_window = new GraphWindow(m_dialogue1.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestGraphWindow::cleanup()
{
    delete m_window;
    m_dialogue1.reset();
    m_owner.reset();
    m_dialogs.reset();
}

QString TestGraphWindow::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(content);
    return path;
}

void TestGraphWindow::window()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("graph"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Graphique des acquisitions"));
    QCOMPARE(m_window->size(), QSize(841, 620)); // 12615 x 9300 twips
    QVERIFY(m_window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(m_window->chartArea(), child<ChartArea>(QStringLiteral("Picture1")));
    QCOMPARE(m_window->chartArea()->width(), 12405.0);
    QCOMPARE(m_window->tracerButton(), child<QPushButton>(QStringLiteral("Command24")));
    QCOMPARE(m_window->tracerButton()->text(), QStringLiteral("Tracer"));
    QCOMPARE(child<QGroupBox>(QStringLiteral("Frame6"))->title(), QStringLiteral("Mode graphique"));
    QCOMPARE(child<QGroupBox>(QStringLiteral("Frame7"))->title(), QStringLiteral("Commandes"));
    QCOMPARE(child<QWidget>(QStringLiteral("Picture1"))->parentWidget()->objectName(),
             QStringLiteral("Frame6"));
    QCOMPARE(child<QWidget>(QStringLiteral("Command1"))->parentWidget(), m_window.data());
    QVERIFY(child<QWidget>(QStringLiteral("Command1"))->isVisible());
    for (int k = 0; k < 5; ++k)
        QVERIFY(child<QWidget>(indexed("Shape1", k)));
    const auto *text5 = child<QPlainTextEdit>(QStringLiteral("Text5"));
    QVERIFY(text5->isReadOnly());
    QCOMPARE(text5->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(text5->toPlainText().isEmpty());
    QVERIFY(child<QLabel>(QStringLiteral("Label54"))->isHidden());
}

void TestGraphWindow::designerPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");

    const auto row = [](const char *name, const QString &caption, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromUtf8(name) << caption << QRect(l, t, w, h);
    };
    row("Frame6", {}, 0, 0, 12570, 8925);
    row("Frame7", {}, 120, 6060, 12405, 2835);
    row("Picture1", {}, 120, 240, 12405, 5835);
    row("Label59", QStringLiteral("Acquisition N° :"), 6480, 5100, 1755, 315);
    row("Label64", QStringLiteral("0"), 5040, 5100, 1215, 315);
    row("Label54", QStringLiteral("Label54"), 2820, 5100, 1575, 315);
    row("Label62(1)", QStringLiteral("Graphiques"), 0, 0, 1575, 255);
    row("Option1", QStringLiteral("Entrées Analogiques"), 240, 420, 1815, 255);
    row("Option2", QStringLiteral("Entrées Logiques"), 240, 720, 1845, 375);
    row("Command24", QStringLiteral("Tracer"), 330, 1740, 1575, 380);
    row("Label60", QStringLiteral("Nbre d'acquisitions : "), 2670, 360, 1470, 195);
    row("HScroll1", {}, 2670, 630, 1095, 255);
    row("Label61", QStringLiteral("100"), 3840, 660, 270, 195);
    row("periode", QStringLiteral("Période :"), 2700, 1170, 630, 195);
    row("Command2(0)", QStringLiteral("0-5v"), 2670, 1680, 525, 225);
    row("Command2(1)", QStringLiteral("0-10v"), 3270, 1680, 525, 225);
    row("Command2(2)", QStringLiteral("Temp"), 3840, 1680, 525, 225);
    row("Label65", QStringLiteral("Coeff :"), 2730, 2100, 555, 255);
    row("coeff", QStringLiteral("0.492"), 3300, 2040, 675, 285);
    row("Label62(0)", QStringLiteral("Epaisseur tracé : "), 4890, 390, 1230, 195);
    row("HScroll2", {}, 4890, 660, 1155, 255);
    row("Label63", QStringLiteral("1"), 6120, 690, 90, 195);
    row("Check9", QStringLiteral("Curseurs"), 4920, 1050, 1455, 255);
    row("date_capture", QStringLiteral("Capture :"), 6690, 2160, 645, 195);
    row("Command26", QStringLiteral("Tableau analogique N° 1"), 7410, 330, 2535, 315);
    row("Text5", {}, 7440, 690, 2535, 1395);
    row("Label62(2)", QStringLiteral("Tableaux"), 11040, 360, 660, 195);
    row("Command23", QStringLiteral("Aléatoire"), 10710, 780, 1575, 380);
    row("Command3", QStringLiteral("RAZ tableaux"), 10710, 1320, 1575, 380);
    row("Command25", QStringLiteral("Retour"), 10710, 2010, 1575, 345);
    row("aide", QStringLiteral("Aide"), 0, 2490, 12315, 255);
    row("Command1", QStringLiteral("Ouvrir fichier"), 450, 7290, 1575, 375);
}

void TestGraphWindow::designerPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);

    QWidget *w = child<QWidget>(name);
    QVERIFY(w);
    QCOMPARE(GraphWindow::twipsGeometry(w), place);
    // On screen: 15 twips a pixel (inside the chart area, from the inner corner of its border).
    const QPoint offset = w->parentWidget() == m_window->chartArea()
                              ? QPoint(ChartArea::kBorder, ChartArea::kBorder)
                              : QPoint();
    QCOMPARE(w->pos(), QPoint(qRound(place.left() / 15.0), qRound(place.top() / 15.0)) + offset);
    QCOMPARE(w->height(), qRound(place.height() / 15.0));
    QVERIFY(w->width() >= qRound(place.width() / 15.0));
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), caption);
    else if (auto *edit = qobject_cast<QLineEdit *>(w))
        QCOMPARE(edit->text(), caption);
}

void TestGraphWindow::colours()
{
    const auto text = [&](const QString &name) {
        return child<QWidget>(name)->palette().color(QPalette::WindowText);
    };
    QCOMPARE(text(indexed("Label56", 0)),
             m_window->palette().color(QPalette::Active, QPalette::ButtonText));
    QCOMPARE(text(indexed("Label56", 1)), QColor(255, 0, 0));
    QCOMPARE(text(indexed("Label56", 2)), QColor(0, 255, 0));
    QCOMPARE(text(indexed("Label56", 7)), QColor(255, 128, 0));
    QCOMPARE(text(indexed("Label56", 8)), QColor(64, 64, 64));
    QCOMPARE(text(QStringLiteral("aide")), QColor(0, 0, 255));
    QCOMPARE(child<QWidget>(QStringLiteral("Label59"))->palette().color(QPalette::Window),
             QColor(224, 224, 224));
    QCOMPARE(m_window->chartArea()->backgroundColor(), QColor(192, 192, 192));

    ChartArea *area = m_window->chartArea();
    QCOMPARE(area->line(QStringLiteral("Line29"))->color(), QColor(0, 64, 0));
    QCOMPARE(area->line(QStringLiteral("Line30"))->color(), QColor(0, 64, 0));
    QCOMPARE(area->line(QStringLiteral("Line1"))->color(), QColor(0, 128, 0));
    for (const char *cursor : {"curseur", "curseur_h"}) {
        const LineControl *l = area->line(QLatin1String(cursor));
        QCOMPARE(l->color(), QColor(192, 255, 255));
        QVERIFY(l->isDotted());
        QVERIFY(!l->isVisible());
    }
    const LineControl *c = area->line(QStringLiteral("curseur"));
    QCOMPARE(QRectF(QPointF(c->x1(), c->y1()), QPointF(c->x2(), c->y2())),
             QRectF(QPointF(1800, 5040), QPointF(1800, 60)));
    QCOMPARE(area->line(QStringLiteral("Line32"))->y1(), 4980.0);
}

void TestGraphWindow::layoutAfterLoad()
{
    ChartArea *area = m_window->chartArea();
    for (int k = 0; k < 5; ++k) {
        auto *graduation = child<QLabel>(indexed("Label58", k));
        QVERIFY(graduation->isVisible());
        QCOMPARE(graduation->text(), QString::number(k + 1));
        QCOMPARE(GraphWindow::twipsGeometry(graduation), QRect(750, 3930 - 1000 * k, 90, 195));

        const LineControl *grid = area->line(indexed("Line31", k));
        QVERIFY(grid);
        QVERIFY(grid->isVisible());
        QVERIFY(grid->isDotted());
        QCOMPARE(grid->color(), QColor(128, 128, 128));
        QCOMPARE(grid->x1(), 900.0);
        QCOMPARE(grid->x2(), 12330.0);
        QCOMPARE(grid->y1(), 4027.5 - 1000 * k);
        QCOMPARE(grid->y2(), grid->y1());
    }
    static constexpr int kTops[9] = {4620, 3985, 3350, 2715, 2080, 1445, 810, 175, 5340};
    for (int i = 0; i < 9; ++i) {
        const QRect place = GraphWindow::twipsGeometry(child<QLabel>(indexed("Label56", i)));
        QCOMPARE(place.top(), kTops[i]);
        QCOMPARE(place.left(), 60);
        QCOMPARE(place.width(), 615);
    }
}

void TestGraphWindow::scrollBars()
{
    auto *hscroll1 = child<QScrollBar>(QStringLiteral("HScroll1"));
    auto *label61 = child<QLabel>(QStringLiteral("Label61"));
    QCOMPARE(hscroll1->value(), 100);
    QCOMPARE(m_window->chartView().rowCount(), 100);
    hscroll1->setValue(hscroll1->minimum());
    QCOMPARE(label61->text(), QStringLiteral("10"));
    hscroll1->setValue(hscroll1->maximum());
    QCOMPARE(label61->text(), QStringLiteral("1000"));
    QVERIFY(label61->width() >= label61->sizeHint().width());
    QCOMPARE(m_window->chartView().rowCount(), 1000);

    auto *hscroll2 = child<QScrollBar>(QStringLiteral("HScroll2"));
    QCOMPARE(hscroll2->minimum(), 1);
    QCOMPARE(hscroll2->maximum(), 5);
    hscroll2->setValue(5);
    QCOMPARE(child<QLabel>(QStringLiteral("Label63"))->text(), QStringLiteral("5"));
    QCOMPARE(m_window->chartArea()->lineWidth(), 5);
    QCOMPARE(m_window->chartView().surface().lineWidth(), 5);
}

void TestGraphWindow::lineWidthDoesNotRedraw()
{
    DrawingSurface &surface = m_window->chartView().surface();
    surface.segment(1500, 3000, 9000, 3000, Qt::red);
    const QImage before = m_window->chartArea()->image();
    child<QScrollBar>(QStringLiteral("HScroll2"))->setValue(5);
    QCOMPARE(m_window->chartArea()->image(), before);
    surface.segment(1500, 1500, 9000, 1500, Qt::red);
    // The next drawing uses the new width: 5 pixels.
    QCOMPARE(m_window->chartArea()->image().pixelColor(200, 102), QColor(Qt::red));
    QCOMPARE(m_window->chartArea()->image().pixelColor(200, 201), QColor(192, 192, 192));
}

void TestGraphWindow::modeOptions()
{
    auto *option1 = child<QRadioButton>(QStringLiteral("Option1"));
    auto *option2 = child<QRadioButton>(QStringLiteral("Option2"));
    QVERIFY(option1->isChecked());
    QVERIFY(m_window->chartView().analogMode());

    QTest::mouseClick(child<QPushButton>(indexed("Command2", 1)), Qt::LeftButton);
    QTest::mouseClick(option2, Qt::LeftButton);
    QVERIFY(!m_window->chartView().analogMode());
    for (int k = 0; k < 5; ++k) {
        QVERIFY(child<QLabel>(indexed("Label58", k))->isHidden());
        QVERIFY(!m_window->chartArea()->line(indexed("Line31", k))->isVisible());
    }
    QTest::mouseClick(option1, Qt::LeftButton);
    QVERIFY(m_window->chartView().analogMode());
    for (int k = 0; k < 5; ++k) {
        QVERIFY(child<QLabel>(indexed("Label58", k))->isVisible());
        QCOMPARE(child<QLabel>(indexed("Label58", k))->text(), QString::number(2 * (k + 1)));
        QVERIFY(m_window->chartArea()->line(indexed("Line31", k))->isVisible());
    }
}

void TestGraphWindow::cursorsCheckBox()
{
    auto *check9 = child<QCheckBox>(QStringLiteral("Check9"));
    const LineControl *curseur = m_window->chartArea()->line(QStringLiteral("curseur"));
    const LineControl *curseurH = m_window->chartArea()->line(QStringLiteral("curseur_h"));
    QVERIFY(!check9->isChecked());
    QTest::mouseClick(check9, Qt::LeftButton);
    QVERIFY(curseur->isVisible() && curseurH->isVisible());
    m_window->chartView().moveCursorX(2500);
    m_window->chartView().moveCursorY(1000);
    QCOMPARE(curseur->x1(), 2500.0);
    QCOMPARE(curseur->x2(), 2500.0);
    QCOMPARE(curseur->y2(), 60.0);
    QCOMPARE(curseurH->y1(), 1000.0);
    QCOMPARE(curseurH->y2(), 1000.0);
    QTest::mouseClick(check9, Qt::LeftButton);
    QVERIFY(!curseur->isVisible() && !curseurH->isVisible());
}

void TestGraphWindow::presets()
{
    ChartView &view = m_window->chartView();
    auto *coeff = child<QLineEdit>(QStringLiteral("coeff"));
    const auto graduations = [&] {
        QStringList captions;
        for (int k = 0; k < 5; ++k)
            captions << child<QLabel>(indexed("Label58", k))->text();
        return captions;
    };

    QTest::mouseClick(child<QPushButton>(indexed("Command2", 2)), Qt::LeftButton);
    QCOMPARE(coeff->text(), QStringLiteral("5"));
    QCOMPARE(view.coeffText(), QStringLiteral("5"));
    QCOMPARE(graduations(), (QStringList{"10", "20", "30", "40", "50"}));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!view.channelSelected(i));
    QVERIFY(view.channelSelected(8));
    QVERIFY(view.channelSelected(5));
    QCOMPARE(child<QLabel>(indexed("Label56", 0))->frameShape(), QFrame::NoFrame);
    QCOMPARE(child<QLabel>(indexed("Label56", 8))->frameShape(), QFrame::Box);

    QTest::mouseClick(child<QPushButton>(indexed("Command2", 2)), Qt::LeftButton);
    QCOMPARE(graduations(), (QStringList{"10", "20", "30", "40", "50"}));

    QTest::mouseClick(child<QPushButton>(indexed("Command2", 0)), Qt::LeftButton);
    QCOMPARE(coeff->text(), QStringLiteral("0.492"));
    QCOMPARE(graduations(), (QStringList{"1", "2", "3", "4", "5"}));
    QVERIFY(!view.channelSelected(0));
    QVERIFY(view.channelSelected(8));

    QTest::mouseClick(child<QPushButton>(indexed("Command2", 1)), Qt::LeftButton);
    QCOMPARE(coeff->text(), QStringLiteral("0.246"));
    QCOMPARE(graduations(), (QStringList{"2", "4", "6", "8", "10"}));
}

void TestGraphWindow::presetHelpOnMouseMove()
{
    auto *aide = child<QLabel>(QStringLiteral("aide"));
    sendMouseMove(child<QPushButton>(indexed("Command2", 0)));
    QCOMPARE(aide->text(),
             QStringLiteral("Coeff pour une tension analogique comprise entre 0 et 5 V"));
    sendMouseMove(child<QPushButton>(indexed("Command2", 2)));
    QCOMPARE(aide->text(), QStringLiteral("Coeff pour la sonde de température"));
}

void TestGraphWindow::channelLabels()
{
    ChartView &view = m_window->chartView();
    QSignalSpy chartPresses(m_window->chartArea(), &ChartArea::mousePressed);
    for (int i = 0; i < 9; ++i)
        QVERIFY(view.channelSelected(i));

    auto *temp = child<QLabel>(indexed("Label56", 8));
    QTest::mouseClick(temp, Qt::LeftButton);
    QVERIFY(!view.channelSelected(8));
    QTest::mouseClick(temp, Qt::RightButton);
    QVERIFY(view.channelSelected(8));
    QTest::mouseDClick(temp, Qt::LeftButton); // press, release, double click, release
    QVERIFY(!view.channelSelected(8));

    auto *log2 = child<QLabel>(indexed("Label56", 5));
    QTest::mouseClick(log2, Qt::LeftButton);
    QVERIFY(view.channelSelected(5));
    QCOMPARE(log2->frameShape(), QFrame::Box);
    QVERIFY(chartPresses.isEmpty()); // the chart does not see presses on its labels

    sendMouseMove(child<QLabel>(indexed("Label56", 2)));
    QCOMPARE(view.surface().foreground(), QColor(0, 255, 0));
    QCOMPARE(child<QLabel>(QStringLiteral("aide"))->text(),
             QStringLiteral("En analogique, cliquer pour permettre le tracé de cette voie"));
    sendMouseMove(child<QLabel>(indexed("Label56", 1)));
    QCOMPARE(view.surface().foreground(), QColor(255, 0, 0));
}

void TestGraphWindow::tables()
{
    AcquisitionData &store = AcquisitionData::instance();
    store.temperature[0] = 21.5;
    store.logique[40] = 1;
    child<QScrollBar>(QStringLiteral("HScroll1"))->setValue(10);
    auto *command26 = child<QPushButton>(QStringLiteral("Command26"));
    auto *text5 = child<QPlainTextEdit>(QStringLiteral("Text5"));

    QTest::mouseClick(command26, Qt::LeftButton);
    QCOMPARE(command26->text(), QStringLiteral("Tableau température"));
    QStringList lines = text5->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 12); // 11 lines, the last one ending with its line break
    QCOMPARE(lines.at(0), QStringLiteral("0:21,5"));
    QCOMPARE(lines.at(10), QStringLiteral("10:"));

    for (int click = 0; click < 5; ++click)
        QTest::mouseClick(command26, Qt::LeftButton);
    QCOMPARE(command26->text(), QStringLiteral("Tableau logique"));
    lines = text5->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 42);
    QCOMPARE(lines.at(40), QStringLiteral("40:1"));

    // "RAZ tableaux" zeroes rows 0..N and touches neither the text nor the counter.
    store.temperature[11] = 33;
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command3")), Qt::LeftButton);
    QCOMPARE(store.temperature[0], 0.0);
    QCOMPARE(store.temperature[10], 0.0);
    QCOMPARE(store.temperature[11], 33.0);
    QCOMPARE(store.logique[40], 0.0);
    QCOMPARE(text5->toPlainText().split(u'\n').at(40), QStringLiteral("40:1"));
    QCOMPARE(tableCounter(), 0);
}

void TestGraphWindow::demonstrationData()
{
    AcquisitionData &store = AcquisitionData::instance();
    auto *coeff = child<QLineEdit>(QStringLiteral("coeff"));
    QTest::mouseClick(child<QPushButton>(indexed("Command2", 2)), Qt::LeftButton);
    coeff->setText(QStringLiteral("3.3"));
    child<QScrollBar>(QStringLiteral("HScroll1"))->setValue(10);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command23")), Qt::LeftButton);

    QCOMPARE(coeff->text(), QStringLiteral("0.492"));
    for (std::size_t k = 0; k <= 10; ++k) {
        QVERIFY(*store.temperature[k] < 50);
        QVERIFY(*store.ana2[k] < 512);
    }
    QVERIFY(store.logique[40].has_value());
    QVERIFY(!store.logique[41].has_value());
    QVERIFY(!store.temperature[11].has_value());
    // Graduations and channel flags are not touched.
    QCOMPARE(child<QLabel>(indexed("Label58", 4))->text(), QStringLiteral("50"));
    QVERIFY(!m_window->chartView().channelSelected(0));
}

void TestGraphWindow::openFileByDialog()
{
    const QString path = writeFile(
        QStringLiteral("acq.txt"),
        "P\xe9riode (s) : 10\r\nCapture : 12/03/2011 10:00\r\n21.5;250;251;252;253;0;1;0;1;\r\n"
        "22;260;261;262;263;1;1;1;1;\n");
    AcquisitionData &store = AcquisitionData::instance();
    store.temperature[7] = 99;
    m_dialogs->fileAnswers << path;
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);

    QCOMPARE(m_dialogs->fileRequests, QStringList{QStringLiteral("open:*.txt")});
    QCOMPARE(store.temperature[0], 21.5);
    QCOMPARE(store.ana4[1], 263.0);
    QCOMPARE(store.logique[7], 1.0);
    QVERIFY(!store.temperature[7].has_value()); // emptied before the file was read
    auto *periode = child<QLabel>(QStringLiteral("periode"));
    QCOMPARE(periode->text(), QStringLiteral("Période (s) : 10"));
    QVERIFY(periode->width() >= periode->sizeHint().width());
    QCOMPARE(child<QLabel>(QStringLiteral("date_capture"))->text(),
             QStringLiteral("Capture : 12/03/2011 10:00"));
    // Neither HScroll1 nor the chart changed.
    QCOMPARE(child<QScrollBar>(QStringLiteral("HScroll1"))->value(), 100);

    // A file without header lines leaves the captions as they were.
    m_dialogs->fileAnswers << writeFile(QStringLiteral("bare.txt"), "1;2;3;4;5;0;0;0;0;\r\n");
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(store.temperature[0], 1.0);
    QVERIFY(!store.temperature[1].has_value());
    QCOMPARE(periode->text(), QStringLiteral("Période (s) : 10"));
}

void TestGraphWindow::openFileCancelledOrUnopenable()
{
    AcquisitionData &store = AcquisitionData::instance();
    store.temperature[3] = 42;
    auto *command1 = child<QPushButton>(QStringLiteral("Command1"));

    QTest::mouseClick(command1, Qt::LeftButton); // cancelled (no answer queued)
    m_dialogs->fileAnswers << m_dir->filePath(QStringLiteral("does-not-exist.txt"));
    QTest::mouseClick(command1, Qt::LeftButton);

    QCOMPARE(m_dialogs->fileRequests.size(), 2);
    QCOMPARE(store.temperature[3], 42.0);
    QCOMPARE(child<QLabel>(QStringLiteral("periode"))->text(), QStringLiteral("Période :"));
    QCOMPARE(child<QLabel>(QStringLiteral("date_capture"))->text(), QStringLiteral("Capture :"));
}

void TestGraphWindow::dropFile()
{
    const QString path = writeFile(QStringLiteral("dropped.txt"),
                                   "Periode (s) : 4\r\n7;8;9;10;11;1;0;1;0;\r\n");
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("https://example.org/x.txt")), QUrl::fromLocalFile(path)});

    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &drop);
    QCOMPARE(AcquisitionData::instance().ana4[0], 11.0);
    QCOMPARE(child<QLabel>(QStringLiteral("periode"))->text(), QStringLiteral("Periode (s) : 4"));

    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton,
                            Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(m_window, &refused);
    QVERIFY(!refused.isAccepted());
}

void TestGraphWindow::retourKeepsState()
{
    child<QScrollBar>(QStringLiteral("HScroll1"))->setValue(250);
    child<QScrollBar>(QStringLiteral("HScroll2"))->setValue(3);
    QTest::mouseClick(child<QPushButton>(indexed("Command2", 2)), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command26")), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(QStringLiteral("Option2")), Qt::LeftButton);

    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command25")), Qt::LeftButton);
    QVERIFY(m_window);
    QVERIFY(m_window->isHidden());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    QCOMPARE(child<QScrollBar>(QStringLiteral("HScroll1"))->value(), 250);
    QCOMPARE(child<QLabel>(QStringLiteral("Label61"))->text(), QStringLiteral("250"));
    QCOMPARE(child<QLabel>(QStringLiteral("Label63"))->text(), QStringLiteral("3"));
    QCOMPARE(m_window->chartArea()->lineWidth(), 3);
    QCOMPARE(child<QLineEdit>(QStringLiteral("coeff"))->text(), QStringLiteral("5"));
    QVERIFY(!m_window->chartView().channelSelected(0));
    QVERIFY(!m_window->chartView().analogMode());
    QCOMPARE(child<QPushButton>(QStringLiteral("Command26"))->text(),
             QStringLiteral("Tableau température"));
}

void TestGraphWindow::closeAndReopen()
{
    AcquisitionData &store = AcquisitionData::instance();
    store.ana1[5] = 123;
    child<QScrollBar>(QStringLiteral("HScroll1"))->setValue(10);
    child<QLineEdit>(QStringLiteral("coeff"))->setText(QStringLiteral("2"));
    QTest::mouseClick(child<QLabel>(indexed("Label56", 0)), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Command26")), Qt::LeftButton);

    QVERIFY(m_window->close());
    QTRY_VERIFY(m_window.isNull()); // deleted
    m_window = new GraphWindow(m_dialogue1.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    QCOMPARE(child<QScrollBar>(QStringLiteral("HScroll1"))->value(), 100);
    QCOMPARE(child<QLineEdit>(QStringLiteral("coeff"))->text(), QStringLiteral("0.492"));
    QVERIFY(m_window->chartView().channelSelected(0));
    auto *command26 = child<QPushButton>(QStringLiteral("Command26"));
    QCOMPARE(command26->text(), QStringLiteral("Tableau analogique N° 1"));
    QCOMPARE(GraphWindow::twipsGeometry(child<QLabel>(indexed("Label58", 4))).top(), -70);
    // The store and the table counter are the program's.
    QCOMPARE(store.ana1[5], 123.0);
    QTest::mouseClick(command26, Qt::LeftButton);
    QCOMPARE(command26->text(), QStringLiteral("Tableau analogique N°1"));
    QCOMPARE(child<QPlainTextEdit>(QStringLiteral("Text5"))->toPlainText().split(u'\n').at(5),
             QStringLiteral("5:123"));
}

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
