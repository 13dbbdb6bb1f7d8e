// Guards against: a window that looks other than it did (frames, places, captions, colours,
// traces, read-outs, overview), a tab order out of place, `platine FILE` or a dropped file not
// shown, Qt's own dialogs in English. Each window is drawn offscreen in Qt's Fusion style, with
// the fonts of fonts-dejavu-core alone (pictures/fonts.conf), and compared pixel for pixel with
// its reference, tests/app/pictures/<name>.png; one that differs is written with its difference
// into <build>/tests/pictures/. tools/update-pictures.sh writes the references again.
#include "app/JournalWindow.h"
#include "app/Startup.h"
#include "board/BoardLink.h"
#include "chart/ChartArea.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPort.h"
#include "support/Files.h"
#include "support/Program.h"
#include "viewer/GraphWindow.h"
#include <QtTest>
#include <QtWidgets>
using namespace platine;
using namespace Qt::StringLiterals;

namespace {

const QString kSample = u"" PLATINE_SOURCE_DIR "/docs/exemple-acquisition.txt"_s;

// Whether the window looks as its reference; if not, the picture and the pixels that differ (red)
// are written beside the test's output. PLATINE_UPDATE_PICTURES set: the picture becomes the
// reference, with as few colours as it has.
bool looksAsBefore(QWidget *window, const QString &name)
{
    const QString reference = u"" PLATINE_SOURCE_DIR "/tests/app/pictures/"_s + name + u".png"_s;
    const QString out = u"" PLATINE_BINARY_DIR "/tests/pictures/"_s + name;
    QTest::qWait(100); // layouts, repaints and the texts written once a frame still queued
    if (!QTest::qWaitForWindowActive(window)) // the focus shows in the active window only
        return false;
    const QPixmap shown = window->screen()->grabWindow(window->winId()); // what reached the screen
    const QImage got = shown.toImage().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("PLATINE_UPDATE_PICTURES")) {
        const QImage few = got.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        return (few.convertToFormat(got.format()) == got ? few : got).save(reference, "PNG", 0);
    }
    const QImage want = QImage(reference).convertToFormat(got.format());
    if (want == got)
        return true;
    QImage difference = got;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            difference.setPixel(x, y,
                                want.valid(x, y) && want.pixel(x, y) == got.pixel(x, y)
                                    ? qRgb(224, 224, 224)
                                    : qRgb(255, 0, 0));
    QDir().mkpath(QFileInfo(out).path());
    qWarning("%s differs from its reference (%dx%d, %dx%d there): see %s.png and %s-difference.png",
             qPrintable(name), got.width(), got.height(), want.width(), want.height(),
             qPrintable(out), qPrintable(out));
    got.save(out + u".png"_s);
    difference.save(out + u"-difference.png"_s);
    return false;
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

// A day and a half at 2 s, whose logic inputs take every level, 2 included.
QByteArray longFile()
{
    QByteArray bytes = "P\xe9riode d'acquisition : 2 (s)\r\nCapture du 28/02/2007 14:07:35\r\n";
    for (int r = 0; r < 64800; ++r) {
        bytes += QByteArray::number(20 + r % 8000 / 800.0) + ';' + QByteArray::number(r / 60 % 512)
            + ";100;" + (r / 3000 % 2 ? "400" : "120") + ";300;" + QByteArray::number(r / 8 % 2)
            + ';' + QByteArray::number(r % 7 == 0) + ';' + QByteArray::number(r / 5000 % 2) + ';'
            + QByteArray::number(r / 25 % 3) + ";\r\n";
    }
    return bytes;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeDialogs m_dlg;
    std::optional<test::Program> m_p;
    template <typename T = QWidget> T *get(const QString &n)
    {
        GraphWindow *graph = m_p->window->graphWindow();
        T *inViewer = graph ? graph->findChild<T *>(n) : nullptr;
        return inViewer ? inViewer : m_p->get<T>(n);
    }
    void use(const QString &n) // a menu entry or a button
    {
        if (n.startsWith(u'n'))
            get<QAction>(n)->trigger();
        else
            QTest::mouseClick(get(n), Qt::LeftButton);
    }
    void type(const QString &n, const QString &text) { get<QLineEdit>(n)->setText(text); }
    auto *port() { return static_cast<test::FakeSerialPort *>(m_p->window->link()->port()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"_s),
                 "the pictures are drawn with the fonts of fonts-dejavu-core");
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QApplication::setStyle(u"Fusion"_s);
        QApplication::setPalette(QApplication::style()->standardPalette());
        QApplication::setFont(QFont(u"DejaVu Sans"_s, 8));
        QGuiApplication::styleHints()->setCursorFlashTime(0); // a text cursor that stays
    }
    void init() // the main window on the fake port, its settings in a folder of its own
    {
        m_dlg = {};
        m_p.emplace(std::make_unique<test::FakeSerialPort>(), m_dlg, m_dir.path());
    }
    void cleanup() { m_p.reset(); }

    // `platine FILE` starts with FILE in the viewer, drawn; Qt's dialogs speak French.
    void commandLineFile()
    {
        m_p.reset();
        bool viewer = false;
        QString buttons;
        QTimer::singleShot(0, [&] {
            QWidget *graph = topLevel(u"graph"_s);
            viewer = graph && looksAsBefore(graph, u"viewer-analog"_s);
            QTimer::singleShot(0, [&] { // the port question is Qt's input dialog
                for (auto *b : QApplication::activeModalWidget()->findChildren<QPushButton *>())
                    buttons += b->text() + u'|';
                QApplication::activeModalWidget()->close();
            });
            topLevel(u"Form1"_s)->findChild<QAction *>(u"n_port"_s)->trigger();
            QCoreApplication::quit();
        });
        runProgram(*qApp); // its arguments: the program's name, then the sample file
        QVERIFY(viewer);
        QCOMPARE(buttons, u"OK|Annuler|"_s);
    }

    // The clock and board-display panels (a refused clock, the port open, a reply), the journal
    // (control characters written as codes), the schedule panel over them as param.ini left it.
    void mainWindow()
    {
        m_p.reset();
        QVERIFY(
            test::putFile(m_dir.filePath(u"param.ini"_s),
                          "[txt0]\nvaleur=08:00:00\n[txt1]\nvaleur=12:00\n[txt2]\nvaleur=13:30\n"
                          "[txt3]\nvaleur=18:00\n[txt4]\nvaleur=21:00\n[txt5]\nvaleur=23:30\n"
                          "[txt6]\nvaleur=10\n[cmb0]\nvaleur=8\n"));
        init();
        for (const QString t : {"Timer1", "Timer2"}) // the computer's time and date: as set below
            get<QTimer>(t)->stop();
        use(u"n_heure_platine"_s);
        use(u"n_mise_a_l_heure"_s);
        for (const QString f : {"heure=14", "minutes=07", "seconde=35", "jour=28", "mois=13",
                                "annee=2007", "numero_jour=Mercredi"})
            type(f.section(u'=', 0, 0), f.section(u'=', 1));
        use(u"Command1"_s);
        use(u"Command2"_s);
        port()->receive("Heure reglee : 14:07:35 28/02/2007");
        get<QLabel>(u"Label1"_s)->setText(u"14:07:36"_s);
        QVERIFY(looksAsBefore(m_p->window.get(), u"main-clock"_s));

        type(u"mois"_s, u"02"_s);
        use(u"Command1"_s);
        QTRY_VERIFY(get<QLabel>(u"aide"_s)->text().contains(u"» envoyée"_s)); // then answered
        port()->receive("Heure reglee\r\n\x01\x7f\xe9t\xe9\tfin\r\n");
        use(u"n_journal"_s);
        auto *journal = m_p->window->journalWindow()->findChild<QPlainTextEdit *>();
        static const QRegularExpression time(u"(?m)^\\d\\d:\\d\\d:\\d\\d"_s);
        journal->setPlainText(journal->toPlainText().replace(time, u"14:07:36"_s)); // of the day
        QVERIFY(looksAsBefore(journal->window(), u"journal"_s));

        use(u"n_prog"_s);
        type(u"Text2(4)"_s, u"18:60"_s);
        use(u"Command7"_s);
        get<QLabel>(u"Label5"_s)->setText(u"28/02/2007"_s);
        QVERIFY(looksAsBefore(m_p->window.get(), u"main-schedule"_s));
    }

    // The viewer: the sample file opened, cursors and their read-out, a zoom 3 pixels wide moved
    // to start before row 0, a value printed; then a long file dropped on it in logic mode, a
    // window two thirds in chosen on its overview, and a logic zoom.
    void viewer()
    {
        use(u"n_graphique"_s);
        GraphWindow *graph = m_p->window->graphWindow();
        m_dlg.fileAnswers << kSample;
        use(u"Command1"_s);
        QTRY_VERIFY(!m_p->state->session.loading());
        get<QScrollBar>(u"HScroll2"_s)->setValue(3);
        use(u"Check9"_s);
        ChartArea *area = graph->chartArea();
        // The mouse moved over the chart to a point in twips, then a button clicked there. The move
        // goes to the chart itself: the window under the cursor could be a tooltip.
        const auto mouse = [&](double x, double y, Qt::MouseButton button) {
            const QPointF p = area->toPixels(x, y);
            QMouseEvent move(QEvent::MouseMove, p, area->mapToGlobal(p), Qt::NoButton, {}, {});
            QApplication::sendEvent(area, &move);
            QTest::mouseClick(area, button, {}, p.toPoint());
        };
        mouse(5955, 2505, Qt::LeftButton); // row 40
        for (int i = 0; i < 20; ++i)       // two rows back each, to row -5
            QTest::keyClick(area, Qt::Key_Right);
        mouse(7000, 2000, Qt::RightButton);
        QVERIFY(looksAsBefore(graph, u"viewer-zoom"_s));

        use(u"Option2"_s);
        QVERIFY(test::putFile(m_dir.filePath(u"longue.txt"_s), longFile()));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_dir.filePath(u"longue.txt"_s))});
        QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(graph, &enter);
        QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QVERIFY(enter.isAccepted() && QApplication::sendEvent(graph, &drop));
        // Told at the overview's last look.
        QTRY_VERIFY_WITH_TIMEOUT(get<QLabel>(u"aide"_s)->text().endsWith(u"chargées."_s), 20000);
        QTest::mouseClick(get(u"apercu"_s), Qt::LeftButton, {}, QPoint(550, 10));
        QVERIFY(looksAsBefore(graph, u"viewer-logic"_s));
        mouse(6000, 1500, Qt::RightButton); // row 40 of the window
        QVERIFY(looksAsBefore(graph, u"viewer-logic-zoom"_s));
    }

    // Tab through each panel and the viewer, shown by the menu entry, from its first control.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("n_heure_platine") << u"Command2 Text1 Command3 Command9"_s;
        QTest::newRow("n_mise_a_l_heure") << u"heure minutes seconde jour mois annee numero_jour "
                                             "Command4 Text4 Command1 Command8"_s;
        QTest::newRow("n_prog") << u"Text2(0) Text2(1) combo1(0) Text2(2) Text2(3) Text2(4) "
                                   "Text2(5) Text2(6) Text3 Command6(0) Command7 Command5"_s;
        QTest::newRow("n_graphique") // Tab leaves the mode options from the one chosen
            << u"Picture1 Option1 Command1 Command24 HScroll1 Command2(0) Command2(1) Command2(2) "
               "coeff HScroll2 Check9 Command26 Text5 Command23 Command3 Command25"_s;
    }
    void tabOrder()
    {
        QFETCH(QString, order);
        use(QString::fromLatin1(QTest::currentDataTag()));
        QWidget *first = get(order.section(u' ', 0, 0));
        QVERIFY(QTest::qWaitForWindowActive(first->window()));
        first->setFocus(Qt::TabFocusReason);
        QStringList got;
        for (QWidget *w = first; got.size() <= order.count(u' '); w = QApplication::focusWidget()) {
            while (w->objectName().isEmpty()) // a combo box's text box
                w = w->parentWidget();
            got << w->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(got.join(u' '), order);
    }
};

int main(int argc, char *argv[])
{
    // Before Qt starts: these fonts, and nothing from the desktop's settings.
    qputenv("FONTCONFIG_FILE", PLATINE_SOURCE_DIR "/tests/app/pictures/fonts.conf");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char *v : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
                          "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "QT_ENABLE_HIGHDPI_SCALING"})
        qunsetenv(v);
    // The program's own arguments, as `platine FILE` gives them; the test's go to the test.
    QByteArray file = kSample.toLocal8Bit();
    int programArgc = 2;
    char *programArgv[] = {argv[0], file.data(), nullptr};
    QApplication app(programArgc, programArgv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestPictures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_pictures.moc"
