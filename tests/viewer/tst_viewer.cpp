// Guards against: wrong presets, loads, browsing, pictures or tables; a viewer control unwired.

#include "chart/ChartArea.h"
#include "chart/LineControl.h"
#include "chart/OverviewStrip.h"
#include "support/FakeDialogs.h"
#include "support/Fetch.h"
#include "support/Files.h"
#include "viewer/GraphWindow.h"
#include "viewer/LoadReport.h"
#include "viewer/PictureName.h"
#include "viewer/ProgramState.h"

#include <QtTest>
#include <QtWidgets>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

class TestViewer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeDialogs m_dialogs;
    QWidget m_owner;
    FileDialog m_fileDialog{&m_owner, m_dialogs, nullptr};
    std::unique_ptr<ProgramState> m_state;
    QPointer<GraphWindow> m_window;

    QWidget *child(const QString &name) { return m_window->findChild<QWidget *>(name); }
    QString caption(const QString &name)
    {
        return child(name)->property(name == u"Text5" ? "plainText" : "text").toString();
    }
    void click(const QString &name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    // The selection the labels show, one digit a label in design order (ANA 1 .. LOG 4, TEMP).
    QString flags()
    {
        QString out;
        for (int i = 0; i < kChannelCount; ++i) {
            const auto *label = qobject_cast<QLabel *>(child(u"Label56(%1)"_s.arg(i)));
            out += label->frameShape() == QFrame::Box ? u'1' : u'0';
        }
        return out;
    }
    double temperature(int row) const
    {
        return m_state->session.store().at(Channel::Temperature, row).value_or(-1);
    }
    bool loaded() const
    {
        return QTest::qWaitFor([this] { return !m_state->session.loading(); });
    }

    // A file of 5000 rows whose temperature is the row number, loaded and drawn.
    bool openLongFile()
    {
        QByteArray bytes = "Periode (s) : 2\r\n";
        for (int r = 0; r < 5000; ++r)
            bytes += QByteArray::number(r) + ";1;2;3;4;0;1;0;1;\r\n";
        if (!test::putFile(m_dir.filePath("long.txt"), bytes))
            return false;
        m_window->loadFile(m_dir.filePath("long.txt"));
        return loaded();
    }

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        m_state = std::make_unique<ProgramState>();
        m_dialogs = {};
        m_window = new GraphWindow(m_fileDialog, *m_state);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanup() { delete m_window; }

    // Presets: coefficient, lowest and highest graduation, selection; each from the last.
    void presets()
    {
        QStringList got;
        for (const char *name : {"Label56(8)", "Command2(1)", "Command2(2)", "Command2(0)"}) {
            click(name);
            got << caption("coeff") + u'|' + caption("Label58(0)") + u'|' + caption("Label58(4)")
                    + u'|' + flags();
        }
        QCOMPARE(got,
                 (QStringList{"0.492|1|5|111111110", "0.246|2|10|111111110", "5|10|50|000011111",
                              "0.492|1|5|000011111"}));
        QTest::mouseMove(child("Command2(0)")); // and what it is for, on the help line
        QCOMPARE(caption("aide"), u"Coeff pour une tension analogique comprise entre 0 et 5 V"_s);
    }

    // The chart picture's name offered from the capture date, and its time when it has one.
    void pictureName_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("name");
        QTest::newRow("date and time")
            << u"Capture du 28/02/2007 14:07:35"_s << u"graphique_2007-02-28_14-07.png"_s;
        QTest::newRow("short, 9h05") << u"1/3/07 9h05"_s << u"graphique_07-03-01_09-05.png"_s;
        QTest::newRow("date alone") << u"12/03/2011"_s << u"graphique_2011-03-12.png"_s;
        QTest::newRow("no date") << u"Capture"_s << u"graphique.png"_s;
    }
    void pictureName()
    {
        QFETCH(QString, date);
        QTEST(chartPictureName(date), "name");
    }

    // What a load tells, while it runs and at its end, and whether it is worth a message.
    void loadReports_data()
    {
        using State = AcquisitionFileProgress::State;
        QTest::addColumn<int>("state");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<qint64>("skipped");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warning");
        const QString loaded = u"« f.txt » : 5\u202F000 acquisitions chargées"_s;
        // clang-format off
        QTest::newRow("lines skipped") << int(State::Done) << 5000LL << 3LL
            << loaded + " ; 3 lignes de moins de neuf champs sont ignorées, la première est la ligne 14." << true;
        QTest::newRow("cancelled") << int(State::Cancelled) << 5000LL << 0LL
            << loaded + " ; chargement annulé après l'acquisition 4\u202F999 (ligne 20), la suite n'est pas chargée." << false;
        QTest::newRow("read error") << int(State::ReadError) << 5000LL << 0LL
            << loaded + " ; erreur de lecture après la ligne 20 (E/S), la suite n'est pas chargée." << true;
        QTest::newRow("unreadable") << int(State::ReadError) << 0LL << 0LL << "Impossible de lire « f.txt » : E/S" << true;
        // clang-format on
    }
    void loadReports()
    {
        AcquisitionFileProgress p;
        p.state = AcquisitionFileProgress::State(fetch<int>("state"));
        p.rows = fetch<qint64>("rows");
        p.skippedLines = fetch<qint64>("skipped");
        p.firstSkipped = 14;
        p.lines = 20;
        p.error = u"E/S"_s;
        for (const QLocale::Language system : {QLocale::English, QLocale::C, QLocale::French}) {
            QLocale::setDefault(QLocale(system)); // counts written the French way whatever it is
            const LoadReport report = loadReport(u"/x/f.txt"_s, p);
            QTEST(report.text, "text");
            QTEST(report.warning, "warning");
        }
    }

    // "Ouvrir fichier": the store replaced or kept, captions, the help line, a message when the
    // load failed or stopped early.
    void openFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("row0");
        QTest::addColumn<double>("row7");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("help");
        QTest::addColumn<bool>("message");
        const QByteArray data = "22;260;261;262;263;1;1;1;1;\n";
        const QString nothing = u" ne contient aucune ligne d'acquisition complète : rien n'a été "
                                "chargé, le graphique garde ses données."_s;
        // clang-format off
        QTest::newRow("cancelled") << "" << QByteArray() << 0.0 << 7.0 << "Periode (s) : 2"
            << "« long.txt » : 5\u202f000 acquisitions chargées." << false;
        QTest::newRow("missing") << "missing" << QByteArray() << 0.0 << 7.0 << "Periode (s) : 2"
            << "Impossible d'ouvrir « " + m_dir.filePath("missing") + " » : le fichier n'existe pas" << true;
        QTest::newRow("no acquisition") << "none" << QByteArray("Periode (s) : 5\r\n") << 0.0 << 7.0
            << "Periode (s) : 2" << "« none »" + nothing << true;
        QTest::newRow("fields without a number") << "blank" << QByteArray("1;;3;x;5;0;0;0;0;\r\n") << 1.0 << -1.0
            << "Periode (s) : 2" << "« blank » : 1 acquisition chargée ; 2 champs vides ou non numériques sont lus "
                              "comme 0, le premier à la ligne 1." << true;
        QTest::newRow("short line") << "short" << QByteArray("21.5;2;3;4;5;0;0;0;0;\r\n1;2;3\r\n") << 21.5
            << -1.0 << "Periode (s) : 2" << "« short » : 1 acquisition chargée ; la ligne 2, qui a moins de neuf "
                                      "champs, est ignorée." << true;
        QTest::newRow("whole") << "good" << "P\xe9riode (s) : 10\r\nCapture : 12/03/2011\r\n1.5;2;3;4;5;0;0;0;0;\n" + data
            << 1.5 << -1.0 << "Période (s) : 10" << "« good » : 2 acquisitions chargées." << false;
        // clang-format on
    }
    void openFile()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(file);
        QVERIFY(bytes.isNull() || test::putFile(path, bytes));
        QVERIFY(openLongFile());
        m_dialogs.fileAnswers << (file.isEmpty() ? std::nullopt : std::optional(path));
        click("Command1");
        QVERIFY(loaded());
        QTEST(temperature(0), "row0");
        QTEST(temperature(7), "row7");
        QTEST(caption("periode"), "period");
        QTEST(caption("aide"), "help");
        QTEST(!m_dialogs.messages.isEmpty(), "message");
    }

    // On the chart, the page keys, Home and End move the window through the file (N = 100) and
    // draw its full view.
    void browseWithKeys_data()
    {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<qint64>("to");
        QTest::newRow("page down") << 0LL << int(Qt::Key_PageDown) << 101LL;
        QTest::newRow("page up") << 500LL << int(Qt::Key_PageUp) << 399LL;
        QTest::newRow("page up near the start") << 50LL << int(Qt::Key_PageUp) << 0LL;
        QTest::newRow("end: the last full view") << 0LL << int(Qt::Key_End) << 4899LL;
        QTest::newRow("home") << 3000LL << int(Qt::Key_Home) << 0LL;
    }
    void browseWithKeys()
    {
        QVERIFY(openLongFile());
        m_state->session.moveWindow(fetch<qint64>("from"), 100);
        QTest::keyClick(m_window->chartArea(), Qt::Key(fetch<int>("key")));
        const qint64 to = fetch<qint64>("to");
        QCOMPARE(temperature(0), double(to));
        QCOMPARE(caption("Text5").section(u'\n', 0, 0), QString::number(to)); // drawn again
        QCOMPARE(caption("lignes"),
                 u"Acquisitions %1 à %2 sur 5\u202f000"_s.arg(QLocale().toString(to),
                                                              QLocale().toString(to + 100)));
        QCOMPARE(m_state->chart.zoomShown, false);
    }

    // A click on the overview puts the row under it in the middle of the full view.
    void browseWithTheOverview()
    {
        QVERIFY(openLongFile());
        QWidget *strip = child("apercu");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(412, 10)); // rows 2496 to 2502
        QCOMPARE(m_state->session.windowStart(), 2499 - 50);
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(824, 10));
        QCOMPARE(m_state->session.windowStart(), 4899);
    }

    // "-" zooms out past the full view to a span in pixel columns, whose figures and values are
    // told; the wheel zooms back in to a full view of the rows it comes to.
    void zoomOutAndIn()
    {
        QVERIFY(openLongFile());
        ChartArea *area = m_window->chartArea();
        for (int i = 0; i < 11; ++i)
            QTest::keyClick(area, Qt::Key_Minus);
        const ChartState &chart = m_state->chart;
        QVERIFY(chart.spanShown);
        const qint64 n = chart.spanRows;
        QCOMPARE_GT(n, 1000);
        QCOMPARE(chart.spanFirst, 0);
        const QString last = QLocale().toString(n);
        QCOMPARE(caption("lignes"), u"Acquisitions 0 à %1 sur 5\u202f000"_s.arg(last));
        // The temperature is the row: least at row 0, greatest at the last, mean in the middle.
        QTRY_COMPARE(child("statistiques")->property("plainText").toString().section(u'\n', 1, 1),
                     u"TEMP : min 0 acq. 0 ; max %1 acq. %2 ; moyenne %3"_s.arg(
                         QString::number(n), last, QLocale().toString(double(n) / 2)));
        QTest::mouseMove(area, QPoint(300, 100));
        QVERIFY2(caption("valeurs").startsWith(u"Acquisition"), qPrintable(caption("valeurs")));

        const QPointF at(area->width() / 2.0, 100);
        QWheelEvent wheel(at, area->mapToGlobal(at), {}, {0, 3 * 120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(area, &wheel);
        QVERIFY(!chart.spanShown);
        const int bar = qobject_cast<QScrollBar *>(child("HScroll1"))->value();
        QCOMPARE(bar, int(std::llround(double(n) * 0.512)));
        QCOMPARE(caption("Text5").section(u'\n', 0, 0),
                 QString::number(m_state->session.windowStart()));
    }

    // A file shortened under the viewer: told, and the window keeps what it shows.
    void fileShortenedWhileBrowsed()
    {
        QVERIFY(openLongFile());
        QVERIFY(QFile::resize(m_dir.filePath("long.txt"), 1000));
        QTest::keyClick(m_window->chartArea(), Qt::Key_PageDown);
        QCOMPARE(m_state->session.windowStart(), 0);
        QCOMPARE(temperature(0), 0.0);
        QCOMPARE(caption("aide"),
                 u"Impossible de relire « long.txt » : le fichier a changé depuis "
                 "son ouverture ; le graphique garde ce qu'il montre."_s);
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    // Escape while a long file loads stops the load, wherever the focus is in the viewer (here in
    // the coefficient's box); what was read stays browsable.
    void cancelWithEscape()
    {
        QVERIFY(test::putFile(m_dir.filePath("big.txt"),
                              QByteArray("1;2;3;4;5;0;1;0;1;\r\n").repeated(2'000'000)));
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        child("coeff")->setFocus();
        m_window->loadFile(m_dir.filePath("big.txt"));
        QTest::keyClick(child("coeff"), Qt::Key_Escape);
        QVERIFY(loaded());
        QVERIFY2(caption("aide").contains(u"annulé"_s), qPrintable(caption("aide")));
        QCOMPARE(m_dialogs.messages.size(), 0);
    }

    // A viewer closed while its file loads, and opened again once the load has ended, tells it.
    void reopenedViewerTellsTheEnd()
    {
        const QByteArray rows = QByteArray("1;2;3;4;5;0;1;0;1;\r\n").repeated(60'000);
        QVERIFY(test::putFile(m_dir.filePath("skip.txt"), rows + "1;2;\r\n"));
        m_window->loadFile(m_dir.filePath("skip.txt"));
        delete m_window;
        QVERIFY(loaded());
        m_window = new GraphWindow(m_fileDialog, *m_state);
        m_window->show();
        QTRY_COMPARE(caption("aide"),
                     u"« skip.txt » : 60\u202f000 acquisitions chargées ; la ligne "
                     "60\u202f001, qui a moins de neuf champs, est ignorée."_s);
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    // Ctrl+S on the chart: offered under a name from the capture date; the file, or why not.
    void saveChartPicture()
    {
        QVERIFY(test::putFile(m_dir.filePath("f"), "Capture : 12/03/2011\r\n1;2;3;4;5;0;0;0;0;\n"));
        m_window->loadFile(m_dir.filePath("f"));
        QVERIFY(loaded());
        click("Command24");
        ChartArea *area = m_window->chartArea();
        const QString saved = m_dir.filePath("g.png"), nowhere = m_dir.filePath("none/g.png");
        m_dialogs.fileAnswers = {m_dir.filePath("g"), nowhere, std::nullopt}; // ".png" added
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(area, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(area, Qt::Key_C, Qt::ControlModifier); // a copy, not a save
        QCOMPARE(m_dialogs.fileRequests, QStringList(3, u"save:graphique_2011-03-12.png"_s));
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_RGB32),
                 area->picture().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages[0].text.contains(nowhere));
        QVERIFY(caption("aide").startsWith(m_dialogs.messages[0].text));
    }

    // "Tracer" with a coefficient that draws nothing says so in the help line.
    void coefficientTold_data()
    {
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<QString>("help");
        const QString nothing =
            u"Le coefficient « %1 » n'est pas un nombre différent de 0 : les "
            "courbes restent sur la ligne 0. Écrivez par exemple 0.492 ou 0,492."_s;
        // clang-format off
        QTest::newRow("decimal comma") << "1,5" << "Aide";
        QTest::newRow("letters") << "abc" << nothing.arg("abc");
        QTest::newRow("zero") << "0" << nothing.arg("0");
        // clang-format on
    }
    void coefficientTold()
    {
        qobject_cast<QLineEdit *>(child("coeff"))->setText(fetch<QString>("coeff"));
        click("Command24");
        QTEST(caption("aide"), "help");
    }

    // "Tracer", then the chart's mouse and keys, through the window: drawing, read-out (of the
    // file's rows, the store holding a window from row 4000), zoom.
    void chartHandlers()
    {
        QVERIFY(openLongFile());
        m_state->session.moveWindow(4000, 100);
        ChartArea *area = m_window->chartArea();
        click("Check9");
        qobject_cast<QLineEdit *>(child("coeff"))->setText(u"0,492"_s); // read as "0-5v" reads it
        click("Command24");
        QCOMPARE(caption("Text5").count(u'\n'), 101);
        const QPoint at = area->toPixels(5955, 2505).toPoint(); // row 40
        QTest::mouseMove(area, at);
        QTRY_COMPARE(caption("Label59"), u"Acquisition N°: 4040"_s);
        QCOMPARE(caption("Label64"), u"2,52 V"_s);
        const LineControl *cursor = area->line(u"curseur"_s);
        QCOMPARE(QPointF(cursor->x1(), cursor->x2()), QPointF(5955, 5955));
        QTest::mouseClick(area, Qt::LeftButton, {}, at);
        QCOMPARE(m_state->chart, (ChartState{100, 35, true, true}));
        QTest::keyClick(area, Qt::Key_Left);
        QCOMPARE(m_state->chart.cursorRow, 37);
    }

    // A file dropped on the window loads wherever it is dropped, over the boxes that take text
    // too (their text unchanged): the drop goes where a drag over the window would lead it.
    void dropAnywhere_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *name : {"Picture1", "coeff", "Text5", "statistiques"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void dropAnywhere()
    {
        QFETCH(QString, control);
        const QString path = m_dir.filePath(u"dropped.txt"_s);
        QVERIFY(test::putFile(path, "Periode (s) : 2\r\n1;2;3;4;5;0;1;0;1;\r\n"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        mime.setText(path); // as file managers give it too
        QWidget *target = child(control);
        const QPoint at = target->mapTo(m_window, target->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(m_window->windowHandle(), &enter);
        QApplication::sendEvent(m_window->windowHandle(), &drop);
        QVERIFY(loaded());
        QCOMPARE(m_state->session.fileRows(), 1);
        QCOMPARE(caption("coeff"), u"0.492"_s);
    }

    // The table button lists one table a click; "RAZ tableaux" zeroes the rows shown (N at least
    // 10); "Aléatoire" fills them with the "0-5v" coefficient. Either way the rows are no longer
    // the file's: numbered from 0 and unmarked on the overview until a page key, which shows the
    // file's window at once.
    void tablesAndDemoData()
    {
        QVERIFY(openLongFile());
        m_state->session.moveWindow(3000, 100);
        child("HScroll1")->setProperty("value", 5);
        click("Command26");
        QCOMPARE(caption("Text5").section(u'\n', 0, 1), u"3000:3000\n3001:3001"_s);
        click("Command3");
        QCOMPARE(temperature(10), 0.0);
        QCOMPARE(temperature(11), 3011.0);
        QCOMPARE(caption("lignes"),
                 u"Acquisitions 0 à 10 : remises à zéro ; Pg.Suiv, Pg.Préc, "
                 "Début, Fin ou l'aperçu ramènent au fichier"_s);
        click("Command2(2)");
        click("Command23");
        QCOMPARE(caption("coeff"), u"0.492"_s);
        QCOMPARE(caption("Label58(4)"), u"50"_s); // the graduations stay as the preset left them
        QCOMPARE(temperature(0), 35.0);
        QCOMPARE(m_state->session.store().at(Channel::Analog1, 0).value_or(-1), 273.0);
        QCOMPARE(temperature(11), 3011.0);
        QVERIFY(caption("lignes").startsWith(u"Acquisitions 0 à 10 : données de démonstration"_s));
        click("Command26");
        QVERIFY(caption("Text5").startsWith(u"0:"_s));
        // No column marked as shown, behind the traces or framed over them.
        const QImage o = qobject_cast<OverviewStrip *>(child("apercu"))
                             ->picture()
                             .convertToFormat(QImage::Format_RGB32);
        const auto *px = reinterpret_cast<const QRgb *>(o.constBits());
        QVERIFY(std::none_of(px, px + o.width() * o.height(), [](QRgb c) {
            return c == qRgb(210, 225, 250) || c == qRgb(0, 0, 160);
        }));
        QTest::keyClick(m_window->chartArea(), Qt::Key_PageDown);
        QCOMPARE(temperature(0), 3011.0);
        QCOMPARE(caption("Text5").section(u'\n', 0, 0), u"3011"_s); // drawn at once
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
