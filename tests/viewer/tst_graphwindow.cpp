// The viewer window graph: places after the window load, grid, modes, cursors, presets and
// channel labels, tables and demonstration data, file load by dialog and by drop, "Retour" and the
// close box.

#include "chart/ChartArea.h"
#include "chart/ChartView.h"
#include "chart/LineControl.h"
#include "common/FakeDialogs.h"
#include "common/Files.h"
#include "model/AcquisitionData.h"
#include "model/Tables.h"
#include "platform/Dialogs.h"
#include "viewer/GraphWindow.h"
#include "viewer/ProgramState.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace platine;
using namespace Qt::StringLiterals;

class TestGraphWindow : public QObject
{
    Q_OBJECT

    template <class T = QWidget>
    T *child(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    void click(const QString &name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    QString text(const QString &name) const { return child(name)->property("text").toString(); }
    QStringList graduations() const
    {
        QStringList captions;
        for (int k = 0; k < 5; ++k)
            captions << text(u"Label58(%1)"_s.arg(k));
        return captions;
    }
    ChartView &view() const { return m_window->chartView(); }
    void open()
    {
        m_window = new GraphWindow(*m_dialogue1, *m_state);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<test::FakeDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<FileDialog> m_dialogue1;
    std::unique_ptr<ProgramState> m_state;
    QPointer<GraphWindow> m_window;

private Q_SLOTS:
    void init()
    {
        // Pinned for every test, so that no test depends on which one ran before.
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_dialogs = std::make_unique<test::FakeDialogs>();
        m_owner = std::make_unique<QWidget>();
        m_dialogue1 = std::make_unique<FileDialog>(m_owner.get(), *m_dialogs, nullptr);
        m_state = std::make_unique<ProgramState>();
        open();
    }
    void cleanup()
    {
        delete m_window;
        m_dialogue1.reset();
        m_owner.reset();
        m_dialogs.reset();
    }

    // Twips in the container, as designed or as the window load moved them (graduations 1000
    // twips apart upwards, channel labels 635), and their captions.
    void places_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char *name, QRect place, const QString &caption) {
            QTest::newRow(name) << QString::fromUtf8(name) << place << caption;
        };
        row("Picture1", {120, 240, 12405, 5835}, {});
        row("Command1", {450, 7290, 1575, 375}, u"Ouvrir fichier"_s); // on graph
        row("Label59", {6480, 5100, 1755, 315}, u"Acquisition N° :"_s); // on Picture1
        row("Command2(1)", {3270, 1680, 525, 225}, u"0-10v"_s);
        row("coeff", {3300, 2040, 675, 285}, u"0.492"_s);
        row("Command26", {7410, 330, 2535, 315}, u"Tableau analogique N° 1"_s);
        row("aide", {0, 2490, 12315, 255}, u"Aide"_s);
        row("Label58(4)", {750, -70, 90, 195}, u"5"_s);
        row("Label56(1)", {60, 3985, 615, 255}, u"ANA 2"_s);
        row("Label56(7)", {60, 175, 615, 255}, u"LOG 4"_s);
        row("Label56(8)", {60, 5340, 615, 255}, u"TEMP"_s); // not moved
    }
    void places()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QWidget *w = child(name);
        QCOMPARE(GraphWindow::twipsGeometry(w), place);
        // 15 twips a pixel; on the chart area from the inner corner of its border; a text wider
        // than the design grows to the right.
        const int border = w->parentWidget() == m_window->chartArea() ? ChartArea::kBorder : 0;
        QCOMPARE(w->pos(), QPoint(border, border) + QPoint(qRound(place.left() / 15.0),
                                                           qRound(place.top() / 15.0)));
        QCOMPARE(w->height(), qRound(place.height() / 15.0));
        QVERIFY(w->width() >= qRound(place.width() / 15.0));
        if (!caption.isEmpty())
            QCOMPARE(text(name), caption);
    }

    // A dotted grid line at the middle of each graduation, from just left of the Y axis to the
    // right end of the baseline; "Entrées Logiques" hides graduations and grid, "Entrées
    // Analogiques" shows them; "Curseurs" shows and hides both cursors.
    void gridModesAndCursors()
    {
        QCOMPARE(m_window->size(), QSize(841, 620)); // 12615 x 9300 twips
        ChartArea *area = m_window->chartArea();
        const auto grid = [&](int k) { return area->line(u"Line31(%1)"_s.arg(k)); };
        const auto graduation = [&](int k) { return child(u"Label58(%1)"_s.arg(k)); };
        for (int k = 0; k < 5; ++k) {
            const LineControl *l = grid(k);
            QVERIFY(l->isVisible() && l->isDotted() && graduation(k)->isVisible());
            QCOMPARE(QLineF(l->x1(), l->y1(), l->x2(), l->y2()),
                     QLineF(900, 4027.5 - 1000 * k, 12330, 4027.5 - 1000 * k));
        }
        click("Option2");
        QVERIFY(!view().analogMode());
        for (int k = 0; k < 5; ++k)
            QVERIFY(!grid(k)->isVisible() && graduation(k)->isHidden());
        click("Option1");
        QVERIFY(view().analogMode());
        QVERIFY(grid(4)->isVisible() && graduation(4)->isVisible());

        const LineControl *x = area->line(u"curseur"_s);
        const LineControl *y = area->line(u"curseur_h"_s);
        QVERIFY(!x->isVisible() && !y->isVisible());
        click("Check9");
        QVERIFY(x->isVisible() && y->isVisible());
        view().moveVerticalCursor(2500);
        view().moveHorizontalCursor(1000);
        QCOMPARE(QLineF(x->x1(), x->y1(), x->x2(), x->y2()), QLineF(2500, 5040, 2500, 60));
        QCOMPARE(QLineF(y->x1(), y->y1(), y->x2(), y->y2()), QLineF(960, 1000, 12330, 1000));
        click("Check9");
        QVERIFY(!x->isVisible() && !y->isVisible());
    }

    // Presets change coefficient, graduations and flags; a press toggles a channel label (any
    // button, a double click once in all) without reaching the chart under it; the mouse over a
    // label sets the drawing colour and the help line.
    void presetsAndChannelLabels()
    {
        click("Command2(2)");
        QCOMPARE(view().coefficientText(), u"5"_s);
        QCOMPARE(graduations(), (QStringList{"10", "20", "30", "40", "50"}));
        QVERIFY(!view().channelSelected(0) && !view().channelSelected(3));
        QVERIFY(view().channelSelected(5) && view().channelSelected(8));
        QTest::mouseMove(child("Command2(2)"));
        QCOMPARE(text("aide"), u"Coeff pour la sonde de température"_s);

        QSignalSpy chartPresses(m_window->chartArea(), &ChartArea::mousePressed);
        auto *temp = child<QLabel>("Label56(8)");
        QTest::mouseClick(temp, Qt::LeftButton);
        QVERIFY(!view().channelSelected(8));
        QTest::mouseClick(temp, Qt::RightButton);
        QVERIFY(view().channelSelected(8));
        QTest::mouseDClick(temp, Qt::LeftButton);
        QVERIFY(!view().channelSelected(8));
        QCOMPARE(temp->frameShape(), QFrame::NoFrame);
        click("Label56(5)");
        QVERIFY(view().channelSelected(5)); // a logic label stays selected
        QVERIFY(chartPresses.isEmpty());

        QTest::mouseMove(child("Label56(7)"));
        QCOMPARE(view().surface().foreground(), QColor(255, 128, 0)); // &H000080FF
        QCOMPARE(text("aide"),
                 u"En analogique, cliquer pour permettre le tracé de cette voie"_s);
    }

    // "Aléatoire" fills rows 0..N with the "0-5v" coefficient, leaving graduations and flags, and
    // draws new values at each press;
    // the table button shows the next table in the French form; "RAZ tableaux" zeroes rows 0..N
    // and touches neither the text nor the counter.
    void demonstrationDataAndTables()
    {
        AcquisitionData &store = m_state->store;
        store.temperature[11] = 33;
        click("Command2(2)");
        child<QScrollBar>("HScroll1")->setValue(10);
        QCOMPARE(text("Label61"), u"10"_s);
        click("Command23");
        QCOMPARE(view().coefficientText(), u"0.492"_s);
        QVERIFY(store.temperature[10] && store.logic[40] && !store.logic[41]);
        QCOMPARE(store.temperature[11], 33.0);
        QCOMPARE(graduations().last(), u"50"_s);
        QVERIFY(!view().channelSelected(0));
        const auto first = store.analog2;
        click("Command23"); // the program's sequence goes on
        QVERIFY(store.analog2 != first);

        store.temperature[0] = 21.5;
        store.temperature[1].reset();
        click("Command26");
        QCOMPARE(text("Command26"), u"Tableau température"_s);
        auto *text5 = child<QPlainTextEdit>("Text5");
        QCOMPARE(text5->toPlainText().count(u'\n'), 11); // rows 0..N, each ending its line
        QCOMPARE(text5->toPlainText().split(u'\n').mid(0, 2), (QStringList{"0:21,5", "1:"}));
        click("Command3");
        QCOMPARE(store.temperature[10], 0.0);
        QCOMPARE(store.logic[40], 0.0);
        QCOMPARE(store.temperature[11], 33.0);
        QCOMPARE(text5->toPlainText().section(u'\n', 0, 0), u"0:21,5"_s);
        QCOMPARE(m_state->tables.counter(), 1);
    }

    void openFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::addColumn<QString>("how");        // "dialog", "cancel", "drop"
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QStringList>("captions"); // periode, date_capture
        QTest::addColumn<QString>("told");         // the help line afterwards; "!": and a message
        const QByteArray file = "P\xe9riode (s) : 10\r\nCapture : 12/03/2011\r\n"
                                "21.5;250;251;252;253;0;1;0;1;\r\n22;260;261;262;263;1;1;1;1;\n";
        const QStringList read{u"Période (s) : 10"_s, "Capture : 12/03/2011"};
        const QStringList before{u"Période :"_s, "Capture :"};
        using QTest::newRow;
        newRow("dialog") << file << "dialog" << true << read
                         << u"« dialog » : 2 acquisitions chargées."_s;
        newRow("no header lines") << QByteArray("21.5;2;3;4;5;0;0;0;0;") << "dialog" << true
                                  << before << u"« no header lines » : 1 acquisition chargée."_s;
        newRow("stopped early") << QByteArray("21.5;2;3;4;5;0;0;0;0;\r\n1;2;3\r\n") << "dialog"
                                << true << before
                                << u"!« stopped early » : 1 acquisition chargée ; chargement "
                                   "arrêté à la ligne 2, qui a moins de neuf champs."_s;
        newRow("no acquisition line")
            << QByteArray("Periode (s) : 5\r\n[txt0]\r\nvaleur=08:30\r\n") << "dialog" << false
            << before
            << u"!« no acquisition line » ne contient aucune ligne d'acquisition : rien n'a été "
               "chargé, le graphique garde ses données."_s;
        newRow("no such file") << QByteArray() << "dialog" << false << before
                               << u"!Impossible d'ouvrir « %1 » : le fichier n'existe pas"_s;
        newRow("cancelled") << file << "cancel" << false << before << u"Aide"_s;
        newRow("dropped") << file << "drop" << true << read
                          << u"« dropped » : 2 acquisitions chargées."_s;
    }
    // A file of acquisitions replaces the store; header lines go to the captions; the help line
    // says what the load did, and a message tells a load that failed or stopped early.
    void openFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, how);
        QFETCH(bool, loads);
        QFETCH(QStringList, captions);
        QFETCH(QString, told);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(content.isEmpty() || test::putFile(path, content));
        AcquisitionData &store = m_state->store;
        store.temperature[7] = 99;
        if (how == QLatin1String("drop")) {
            QMimeData text, files;
            text.setText(path);
            files.setUrls({QUrl(u"https://example.org/x.txt"_s),
                           QUrl::fromLocalFile(path)});
            QDragEnterEvent refused(QPoint(9, 9), Qt::CopyAction, &text, Qt::LeftButton, {});
            refused.setAccepted(false);
            QApplication::sendEvent(m_window, &refused);
            QVERIFY(!refused.isAccepted()); // only files are taken
            QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &files, Qt::LeftButton, {});
            QApplication::sendEvent(m_window, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &files, Qt::LeftButton, {});
            QApplication::sendEvent(m_window, &drop);
        } else {
            if (how == QLatin1String("dialog"))
                m_dialogs->fileAnswers << path;
            click("Command1");
            QCOMPARE(m_dialogs->fileRequests, QStringList{u"open:*.txt"_s});
        }
        QCOMPARE(store.temperature[0], loads ? std::optional(21.5) : std::nullopt);
        QCOMPARE(store.temperature[7].has_value(), !loads);
        auto *periode = child<QLabel>("periode");
        QCOMPARE((QStringList{periode->text(), text("date_capture")}), captions);
        QVERIFY(periode->width() >= periode->sizeHint().width());
        const bool warned = told.startsWith(u'!');
        told = (warned ? told.mid(1) : told).replace(u"%1"_s, path);
        QCOMPARE(text("aide"), told);
        QCOMPARE(m_dialogs->messages.size(), warned ? 1 : 0);
        if (warned)
            QCOMPARE(m_dialogs->messages.first().text, told);
    }

    // "Retour" only hides the window: everything is as it was when it is shown again. The close
    // box deletes it: designer values come back on the next one, while the store and the table
    // counter are the program's.
    void retourThenClose()
    {
        m_state->store.analog1[5] = 123;
        child<QScrollBar>("HScroll1")->setValue(250);
        child<QScrollBar>("HScroll2")->setValue(3);
        click("Command2(2)");
        click("Command26");
        click("Option2");
        click("Command25");
        QVERIFY(m_window && m_window->isHidden());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(text("Label61"), u"250"_s);
        QCOMPARE(view().rowCount(), 250);
        QCOMPARE(text("Label63"), u"3"_s);
        QCOMPARE(m_window->chartArea()->lineWidth(), 3);
        QCOMPARE(view().coefficientText(), u"5"_s);
        QVERIFY(!view().channelSelected(0) && !view().analogMode());
        QCOMPARE(text("Command26"), u"Tableau température"_s);

        QVERIFY(m_window->close());
        QTRY_VERIFY(m_window.isNull());
        open();
        QCOMPARE(view().rowCount(), 100);
        QCOMPARE(m_window->chartArea()->lineWidth(), 1);
        QCOMPARE(view().coefficientText(), u"0.492"_s);
        QVERIFY(view().channelSelected(0) && view().analogMode());
        QCOMPARE(text("Command26"), u"Tableau analogique N° 1"_s);
        QCOMPARE(GraphWindow::twipsGeometry(child("Label58(4)")).top(), -70);
        click("Command26");
        QCOMPARE(text("Command26"), u"Tableau analogique N°1"_s);
        QCOMPARE(child<QPlainTextEdit>("Text5")->toPlainText().section(u'\n', 5, 5), u"5:123"_s);
    }
};

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
