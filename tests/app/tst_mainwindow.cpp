// Guards against: a wrong start-up state, menu or panel, a second viewer, a wrong port question or port stored, a port left open, replies not shown, mirrored or cleared, a refused clock sent, wrong bytes on the line, no auto-close, unnamed fields, a Tab order off the screen, a file to show not shown.
#include "board/BoardLink.h"
#include "support/FakeSerialPort.h"
#include "support/FakeDialogs.h"
#include "support/Files.h"
#include "support/Program.h"
#include "support/Pty.h"
#include "platform/QtSerialPort.h"
#include "tools/BoardSimulator.h"
#include "viewer/GraphWindow.h"
#include <QtTest>
#include <QtWidgets>
using namespace platine;
using namespace Qt::StringLiterals;
using Answer = std::optional<QString>;
static QList<QRect> placeOf(QWidget *w, QWidget *root) // boxes around w, outermost first, then w
{
    const auto rect = [root](QWidget *x) { return QRect(x->mapTo(root, QPoint()), x->size()); };
    QList<QRect> p;
    for (QWidget *b : root->findChildren<QWidget *>())
        if ((b->inherits("QGroupBox") || (b->metaObject() == &QFrame::staticMetaObject
                                          && static_cast<QFrame *>(b)->frameShape() == QFrame::Box))
            && rect(b).contains(rect(w).center()))
            p << rect(b);
    std::ranges::sort(p, std::greater{}, [](QRect r) { return r.width() * r.height(); });
    return p << rect(w);
}
static bool readsBefore(QWidget *a, QWidget *b, QWidget *root) // the first box that differs decides
{
    const QList<QRect> pa = placeOf(a, root), pb = placeOf(b, root);
    const auto [x, y] = std::mismatch(pa.begin(), pa.end() - 1, pb.begin(), pb.end() - 1);
    return qAbs(x->top() - y->top()) > 4 ? x->top() < y->top() : x->left() < y->left();
}
class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeDialogs m_dlg;
    std::optional<test::Program> m_p;
    const QStringList m_clock = u"heure minutes seconde jour mois annee numero_jour"_s.split(u' ');
    MainWindow *w() { return m_p->window.get(); }
    QString ini() { return m_dir.filePath(u"param.ini"_s); }
    template <typename T = QWidget> T *get(const QString &n) { return w()->findChild<T *>(n); }
    QString text(const QString &n) { return get<QLineEdit>(n)->text(); }
    QString clock() { QString s; for (const QString &f : m_clock) s += text(f) + u' '; return s; }
    QStringList replies() { return {text(u"Text1"_s), text(u"Text3"_s), text(u"Text4"_s)}; }
    void use(const QString &n) // a menu entry or a button
    {
        n.startsWith(u'n') ? get<QAction>(n)->trigger() : QTest::mouseClick(get(n), Qt::LeftButton);
    }
    void start(std::unique_ptr<SerialPort> port = std::make_unique<test::FakeSerialPort>())
    {
        m_p.emplace(std::move(port), m_dlg, m_dir.path());
    }
private Q_SLOTS:
    void init() { m_p.reset(), QFile::remove(ini()), m_dlg = {}; }
    void startUp() // the stored port and schedule come back; none, or over 1 MiB: the defaults
    {
        const QByteArray s = "[Port COM]\nvaleur=4\n[txt0]\nvaleur=08:30\n[cmb0]\nvaleur=4\n";
        for (const auto &[file, expected] : {std::pair{QByteArray("<unreadable>"), "1||Dimanche"},
                 {s, "4|08:30|Jeudi"}, {s.leftJustified(1 << 20, ';'), "4|08:30|Jeudi"},
                 {s.leftJustified((1 << 20) + 1, ';'), "1||Dimanche"}}) {
            QVERIFY(file == "<unreadable>" || test::putFile(ini(), file));
            start();
            QCOMPARE(u"%1|%2|%3"_s.arg(w()->link()->portNumber()).arg(text(u"Text2(0)"_s),
                     get<QComboBox>(u"combo1(0)"_s)->currentText()), QString::fromUtf8(expected));
            m_p.reset(); // nothing written, neither at start-up nor at the end
            QCOMPARE(test::fileBytes(ini()), file);
        }
    }
    void tour() // menus, panels, clock fields, Tab order, port buttons, replies, viewer, about box
    {
        start();
        QStringList menus;
        for (QWidget *m : QWidgetList{w()->menuBar(), get(u"n_fichier"_s), get(u"n_param"_s)})
            for (QAction *a : m->actions())
                menus << a->text();
        QCOMPARE(menus.join(u'|'), u"Fichier|Paramètrage|Graphique|            |à propos de ...|"
                 "Enregistrer sous|Ouvrir|Quitter|Programmation|Mise à l'heure platine|"
                 "Affichage heure platine|Port COM"_s);
        QWidget *f1 = get(u"Frame1"_s), *f3 = get(u"Frame3"_s), *f4 = get(u"Frame4"_s);
        auto *port = static_cast<test::FakeSerialPort *>(w()->link()->port());
        const auto days = u"Dimanche Lundi Mardi Mercredi Jeudi Vendredi Samedi"_s.split(u' ');
        const auto pc = [&](QDateTime t) -> QString { // the fields for the computer clock
            return t.toString(u"HH mm ss dd MM yyyy "_s) + days[t.date().dayOfWeek() % 7] + u' '; };
        QTRY_VERIFY((use(u"n_mise_a_l_heure"_s), clock() == pc(QDateTime::currentDateTime())));
        get<QLineEdit>(u"mois"_s)->setText(u"13"_s), use(u"Command1"_s); // refused: nothing sent
        QVERIFY(w()->focusWidget() == get(u"mois"_s) && m_dlg.messages.size() == 1
                && port->calls.isEmpty() && replies()[0].isEmpty());
        use(u"n_heure_platine"_s), use(u"n_prog"_s), use(u"n_graphique"_s), use(u"n_graphique"_s);
        QWidget *top = w()->centralWidget()->childAt(f1->geometry().center());
        QVERIFY((top == f4 || f4->isAncestorOf(top)) && !f1->geometry().intersects(f3->geometry())
                && f4->geometry().contains(f1->geometry() | f3->geometry())); // Frame4 on top
        QCOMPARE(std::ranges::count_if(qApp->topLevelWidgets(), [](QWidget *t) {
                     return qobject_cast<GraphWindow *>(t) && t->isVisible(); }), 1); // one viewer
        QStringList said; // what a screen reader says at each Tab stop other than a push button
        for (QWidget *r : QWidgetList{f1, f3, f4, w()->graphWindow()}) {
            QWidgetList tab; // the Tab stops, which follow the screen
            for (QWidget *c = r->window(); (c = c->nextInFocusChain()) != r->window();)
                if (r->isAncestorOf(c) && c->isVisible() && !c->focusProxy()
                    && (c->focusPolicy() & Qt::TabFocus))
                    tab << c;
            for (qsizetype i = 1; i < tab.size(); ++i)
                QVERIFY2(readsBefore(tab[i - 1], tab[i], r), qPrintable(tab[i]->objectName()));
            for (QWidget *c : tab)
                if (!qobject_cast<QPushButton *>(c))
                    said << QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name);
        }
        QCOMPARE(said.join(u'|'), u"Heures|Minutes|Secondes|Jour|Mois|Année|Jour de la semaine|"
                 "Réponse de la platine|Réponse de la platine|Début de la plage 1|Fin de la plage "
                 "1|Dimanche|Début de la plage 2|Fin de la plage 2|Début de la plage 3|Fin de la "
                 "plage 3|Période d'acquisition  (2s - 120s)|Réponse de la platine|Tracé des "
                 "acquisitions|Entrées Analogiques|Entrées Logiques|Nbre d'acquisitions : |Coeff :|"
                 "Epaisseur tracé : |Curseurs|Tableau des valeurs"_s);
        use(u"Command5"_s); // each panel's "Quitter" hides that panel alone
        QVERIFY(!f4->isVisible() && f1->isVisible() && f3->isVisible());
        use(u"Command2"_s);
        QCOMPARE(get<QLabel>(u"Label8"_s)->text(), u"Port ouvert"_s);
        port->receive("12:3"), port->receive("4:56"); // the last piece of a reply stays
        QTRY_COMPARE(replies(), QStringList(3, u"4:56"_s));
        QTest::mouseClick(get(u"Text1"_s), Qt::LeftButton);
        QCOMPARE(replies(), QStringList(3, QString()));
        use(u"Command3"_s);
        QVERIFY(!port->isOpen() && get<QLabel>(u"Label8"_s)->text() == u"Port fermé");
        port->openFails = true, use(u"Command2"_s); // told, naming the device; left closed
        QVERIFY(!port->isOpen() && m_dlg.messages.size() == 2
                && m_dlg.messages[1].text.contains(u"/dev/ttyS0"_s));
        use(u"Command8"_s), use(u"Command9"_s);
        QVERIFY(!f1->isVisible() && !f3->isVisible());
        use(u"n_a_propos_de"_s);
        QCOMPARE(m_dlg.messages.last().text, u"Acquisition de données sur carte SD ver:1.1"_s);
    }
    void portQuestion() // cancelled, refused, as typed, a suggestion chosen: port, messages, file
    {
        for (auto [answer, result, stored] : {std::tuple{Answer(), "1|0", ""}, {u"3x"_s, "1|1", ""},
                                              {u" 3 "_s, "3|0", "[Port COM]\r\nvaleur= 3 \r\n"},
                                              {u"1"_s, "1|0", "[Port COM]\r\nvaleur=1\r\n"},
                                              {u"<7>"_s, "7|0", "[Port COM]\r\nvaleur=7\r\n"}}) {
            test::Pty pty; // a device that exists, named in "Ports", is offered with its number
            QVERIFY(test::putFile(ini(), pty.paramIniSection(7)));
            m_dlg = {};
            m_dlg.chooseSuggestion = [&, answer = answer](const QList<InputSuggestion> &offered) {
                return answer == u"<7>" && offered.contains({u"7 — "_s + pty.devicePath(), u"7"_s})
                           ? Answer(u"7"_s) : answer;
            };
            start(), use(u"n_port"_s);
            QCOMPARE(m_dlg.inputRequests.join(QString()),
                     u"Changement du port de communication|Port de communication|1"_s);
            QCOMPARE(u"%1|%2"_s.arg(w()->link()->portNumber()).arg(m_dlg.messages.size()), result);
            QCOMPARE(test::fileBytes(ini()), pty.paramIniSection(7) + stored);
        }
    }
    void fileToShow() // given on the command line: in the viewer over the main window, or told
    {
        start();
        QVERIFY(test::putFile(m_dir.filePath(u"acq.txt"_s), "1.5;2;3;4;5;0;0;0;0;\r\n"));
        for (const QString &name : {u"acq.txt"_s, u"absent.txt"_s})
            w()->showFileInViewer(m_dir.filePath(name));
        QVERIFY(w()->isVisible() && w()->graphWindow()->isVisible()
                && m_p->state->store.at(Channel::Temperature, 0) == 1.5 && m_dlg.messages.size() == 1);
        QVERIFY(m_dlg.messages[0].text.contains(m_dir.filePath(u"absent.txt"_s)));
    }
    void boardLine() // the program and the board simulator on a pseudo-terminal
    {
        BoardSimulator board;
        board.setClockInterval(0);
        QVERIFY(board.start() && test::putFile(ini(), "[Port COM]\r\nvaleur=3\r\n"
                                               + board.paramIniLines(3).join(u"\r\n").toUtf8()));
        start(makeQtSerialPort());
        const QStringList values = u"14 07 35 28 02 2007 Mercredi"_s.split(u' ');
        for (int i = 0; i < 7; ++i)
            get<QLineEdit>(m_clock[i])->setText(values[i]);
        QElapsedTimer sent;
        use(u"Command1"_s), sent.start();
        QTRY_COMPARE_WITH_TIMEOUT(board.received(), QByteArray::fromHex("4114073528020704"), 3000);
        const QString reply = u"Heure reglee : 14:07:35 28/02/2007\r\n"_s; // in all three displays
        QTRY_COMPARE_WITH_TIMEOUT(replies(), QStringList(3, reply), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!board.peerConnected(), 7000); // the port closes about 4.5 s later
        QVERIFY2(sent.elapsed() >= 4400 && sent.elapsed() < 6500, "closed 4.4 to 6.5 s later");
    }
};
QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
