// Guards against: wrong presets, label flags or load reports; viewer controls misplaced or unwired.

#include "chart/ChartArea.h"
#include "chart/ChartView.h"
#include "chart/LineControl.h"
#include "support/FakeDialogs.h"
#include "support/Files.h"
#include "viewer/GraphWindow.h"
#include "viewer/PictureName.h"
#include "viewer/ProgramState.h"

#include <QtTest>
#include <QtWidgets>

using namespace platine;
using namespace Qt::StringLiterals;

class TestViewer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeDialogs m_dialogs;
    QWidget m_owner;
    FileDialog m_dialogue1{&m_owner, m_dialogs, nullptr};
    std::unique_ptr<ProgramState> m_state;
    QPointer<GraphWindow> m_window;

    QWidget *child(const QString &name) { return m_window->findChild<QWidget *>(name); }
    void click(const QString &name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    // The captions of the controls named ("name?": whether a control or line is shown), the flags.
    QString text(const QString &names)
    {
        QString out;
        for (const QString &name : names.split(u' ')) {
            const LineControl *l = m_window->chartArea()->line(name.chopped(1));
            if (name.endsWith(u'?'))
                out += QString::number(l ? l->isVisible() : child(name.chopped(1))->isVisible());
            else
                out += child(name)->property(name == u"Text5" ? "plainText" : "text").toString();
            out += u'|';
        }
        for (int i = 0; i < 9; ++i)
            out += m_window->chartView().channelSelected(i) ? u'1' : u'0';
        return out;
    }
    void open()
    {
        m_window = new GraphWindow(m_dialogue1, *m_state);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        m_state = std::make_unique<ProgramState>(), m_dialogs = {};
        open();
    }
    void cleanup() { delete m_window; }

    // Window load: graduations 1000 twips apart, grid lines through them, labels 635 apart. Modes,
    // cursors; any button toggles a label (a double click once), LOG 1..4 stay; presets; help.
    void windowControls()
    {
        ChartArea *area = m_window->chartArea();
        const auto twips = [&](const QString &n) { return GraphWindow::twipsGeometry(child(n)); };
        for (int k = 0; k < 5; ++k) {
            QWidget *label = child(u"Label58(%1)"_s.arg(k));
            const QRect g = GraphWindow::twipsGeometry(label);
            const LineControl *l = area->line(u"Line31(%1)"_s.arg(k));
            const double y = g.top() + g.height() / 2.0;
            QCOMPARE(g.topLeft(), twips("Label58(0)").topLeft() - QPoint(0, 1000 * k));
            QCOMPARE(QLineF(l->x1(), l->y1(), l->x2(), l->y2()), QLineF(900, y, 12330, y));
            QVERIFY(l->isDotted() && label->pos() == area->childRect(g.x(), g.y(), 0, 0).topLeft());
        }
        for (int k = 0; k < 8; ++k)
            QCOMPARE(twips(u"Label56(%1)"_s.arg(k)).top(), twips("Label56(0)").top() - 635 * k);
        const QString shown = u"Label58(4)? Line31(4)? curseur? curseur_h?"_s;
        click("Option2"), click("Check9");
        QVERIFY(text(shown).startsWith(u"0|0|1|1|") && !m_window->chartView().analogMode());
        click("Option1"), click("Check9");
        QVERIFY(text(shown).startsWith(u"1|1|0|0|") && m_window->chartView().analogMode());
        QSignalSpy chart(area, &ChartArea::mousePressed);
        QTest::mouseClick(child("Label56(8)"), Qt::RightButton);
        QTest::mouseDClick(child("Label56(8)"), Qt::LeftButton);
        QTest::mouseMove(child("Command2(2)"));
        QCOMPARE(text("Command2(0) Command2(1) Command2(2) Label56(0) Label56(8) aide"),
                 u"0-5v|0-10v|Temp|ANA 1|TEMP|Coeff pour la sonde de température|111111111"_s);
        QTest::mouseMove(child("Label56(7)"));
        QCOMPARE(text("aide"),
                 u"En analogique, cliquer pour permettre le tracé de cette voie|111111111"_s);
        QCOMPARE(area->foreground(), QColor(255, 128, 0)); // &H000080FF
        QVERIFY(chart.isEmpty());
        // Presets and labels in turn: coefficient, graduations 1 and 5, flags.
        QStringList got;
        for (const char *name : {"Label56(8)", "Command2(0)", "Command2(1)", "Command2(2)",
                                 "Command2(2)", "Command2(0)"})
            click(name), got << text("coeff Label58(0) Label58(4)");
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < 9; ++i)
                click(u"Label56(%1)"_s.arg(i));
            got << text("coeff");
        }
        QCOMPARE(got, (QStringList{"0.492|1|5|111111110", "0.492|1|5|111111110",
            "0.246|2|10|111111110", "5|10|50|000011111", "5|10|50|000011111", "0.492|1|5|000011111",
            "0.492|111111110", "0.492|000011111"}));
    }

    // "Ouvrir fichier" cancelled, then on files loaded in full, in part or not at all, then a file
    // dropped: the store replaced or kept, captions, the help line, a message when not in full.
    void openFile()
    {
        const QByteArray data = "22;260;261;262;263;1;1;1;1;\n";
        const QString good = m_dir.filePath("good"), missing = m_dir.filePath("missing");
        QVERIFY(test::putFile(good, "P\xe9riode (s) : 10\r\nCapture : 12/03/2011\r\n"
                                    "1.5;2;3;4;5;0;0;0;0;\n" + data)
                && test::putFile(m_dir.filePath("short"), "21.5;2;3;4;5;0;0;0;0;\r\n1;2;3\r\n")
                && test::putFile(m_dir.filePath("big"), data.repeated(2002))
                && test::putFile(m_dir.filePath("none"), "Periode (s) : 5\r\n"));
        AcquisitionData &s = m_state->store;
        const auto told = [&]() -> QString { // TEMP 0 and 7, captions, help line, messages so far
            return u"%1 %2|"_s.arg(s.temperature[0].value_or(-1)).arg(s.temperature[7].value_or(-1))
                   + text("periode date_capture aide").chopped(9)
                   + QString::number(m_dialogs.messages.size());
        };
        s.temperature[7] = 99;
        QStringList got;
        for (const char *name : {"", "none", "missing", "short", "big", "good"}) {
            m_dialogs.fileAnswers << (*name ? std::optional(m_dir.filePath(name)) : std::nullopt);
            click("Command1"), got << told();
        }
        const QString kept = u"-1 99|Période :|Capture :|"_s;
        QCOMPARE(got, (QStringList{kept + "Aide|0", kept + "« none » ne contient aucune ligne "
            "d'acquisition : rien n'a été chargé, le graphique garde ses données.|1",
            kept + "Impossible d'ouvrir « " + missing + " » : le fichier n'existe pas|2",
            "21.5 -1|Période :|Capture :|« short » : 1 acquisition chargée ; chargement arrêté à "
            "la ligne 2, qui a moins de neuf champs.|3", "22 22|Période :|Capture :|« big » : 2001 "
            "acquisitions chargées ; le graphique en contient au plus 2001, la suite du fichier (à "
            "partir de la ligne 2001) n'est pas chargée.|4", "1.5 -1|Période (s) : 10|Capture : "
            "12/03/2011|« good » : 2 acquisitions chargées.|4"}));
        s.temperature[0].reset(), s.temperature[7] = 99;
        QMimeData files; // the first local file of the URLs dropped
        files.setUrls({QUrl(u"https://example.org/x.txt"_s), QUrl::fromLocalFile(good)});
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &files, Qt::LeftButton, {});
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &files, Qt::LeftButton, {});
        QVERIFY(QApplication::sendEvent(m_window, &enter) && enter.isAccepted());
        QApplication::sendEvent(m_window, &drop);
        QCOMPARE(told(), got.last());
    }

    // Ctrl+S on the chart: offered under a name from the capture date; the file, or why not.
    void saveChartPicture()
    {
        QCOMPARE((QStringList{chartPictureName(u"Capture : 2/3/11 14h07"_s),
                              chartPictureName(u"12/03/2011 9:05:00"_s),
                              chartPictureName(u"1/2/123"_s)}),
                 (QStringList{"graphique_11-03-02_14-07.png", "graphique_2011-03-12_09-05.png",
                              "graphique.png"}));
        QVERIFY(test::putFile(m_dir.filePath("f"), "Capture : 12/03/2011\r\n1;2;3;4;5;0;0;0;0;\n"));
        m_window->loadFile(m_dir.filePath("f"));
        click("Command24");
        ChartArea *area = m_window->chartArea();
        const QString saved = m_dir.filePath("g.png"), nowhere = m_dir.filePath("none/g.png");
        m_dialogs.fileAnswers = {saved, nowhere, std::nullopt};
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(area, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_dialogs.fileRequests, QStringList(3, u"save:graphique_2011-03-12.png"_s));
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_RGB32),
                 area->picture().convertToFormat(QImage::Format_RGB32));
        QVERIFY(m_dialogs.messages.size() == 1 && m_dialogs.messages[0].text.contains(nowhere)
                && text("aide").startsWith(m_dialogs.messages[0].text));
    }

    // Tables, "RAZ tableaux" (N at least 10), "Aléatoire" ("0-5v" coefficient); "Retour" hides the
    // window, the close box deletes it: the next has the designer's values; store and cycle stay.
    void tablesThenRetourThenClose()
    {
        AcquisitionData &s = m_state->store;
        s.temperature[0] = 21.5, s.temperature[11] = s.analog1[50] = 33;
        child("HScroll1")->setProperty("value", 5);
        click("Command26");
        QCOMPARE(text("Label61 Command26 Text5"), u"10|Tableau température|0:21,5\n1:\n2:\n3:\n4:\n"
                                                  "5:\n6:\n7:\n8:\n9:\n10:\n|111111111"_s);
        click("Command3");
        QCOMPARE(s.temperature[10], 0.0);
        click("Command2(2)"), click("Command23");
        QCOMPARE(text("coeff Label58(4)"), u"0.492|50|000011111"_s);
        QVERIFY(s.temperature[0] == 35 && s.temperature[11] == 33 && s.logic[40] == 0);
        child("HScroll1")->setProperty("value", 250), child("HScroll2")->setProperty("value", 9);
        click("Option2"), click("Command25");
        QVERIFY(m_window && m_window->isHidden());
        m_window->show();
        const auto controls = [&]() -> QString { // and the line width, the mode
            const int width = m_window->chartArea()->lineWidth();
            return text("Label61 Label63 coeff Command26") + u'|' + QString::number(width)
                   + (m_window->chartView().analogMode() ? u" analog" : u" logic");
        };
        QCOMPARE(controls(), u"250|5|0.492|Tableau température|000011111|5 logic"_s);
        QVERIFY(m_window->close());
        QTRY_VERIFY(m_window.isNull());
        open();
        QCOMPARE(controls(), u"100|1|0.492|Tableau analogique N° 1|111111111|1 analog"_s);
        click("Command26");
        const QString table = text("Command26 Text5");
        QVERIFY(table.startsWith(u"Tableau analogique N°1|") && table.contains(u"\n50:33\n"));
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
