// Screen readers and the keyboard: every field is found by its name in the accessibility tree,
// everything Tab reaches has a name, and Tab follows the screen from top to bottom.

#include "app/MainWindow.h"
#include "platform/SerialPort.h"
#include "platform/SettingsDir.h"
#include "viewer/GraphWindow.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;

namespace {

// What a screen reader says for an element: its name, and the captions that label it.
QStringList namesOf(QAccessibleInterface *iface)
{
    QStringList names{iface->text(QAccessible::Name).trimmed()};
    for (const auto &[other, relation] : iface->relations(QAccessible::Label))
        names << other->text(QAccessible::Name).trimmed();
    return names;
}

void collect(QAccessibleInterface *iface, const QString &name, QObjectList *found)
{
    if (!iface || iface->state().invisible)
        return;
    if (namesOf(iface).contains(name) && iface->role() != QAccessible::StaticText)
        found->append(iface->object());
    for (int i = 0; i < iface->childCount(); ++i)
        collect(iface->child(i), name, found);
}

QRect rectIn(const QWidget *w, const QWidget *root)
{
    return QRect(w->mapTo(root, QPoint(0, 0)), w->size());
}

// Where a widget stands: the boxes around it, outermost first (group boxes and the framed
// rectangles that group commands without holding them), then the widget itself.
QList<QRect> placeOf(const QWidget *w, const QWidget *root)
{
    QList<QRect> boxes;
    const QPoint centre = rectIn(w, root).center();
    for (const QWidget *box : root->findChildren<QWidget *>()) {
        const auto *frame = qobject_cast<const QFrame *>(box);
        const bool isBox = qobject_cast<const QGroupBox *>(box)
                           || (frame && frame->metaObject() == &QFrame::staticMetaObject
                               && frame->frameShape() == QFrame::Box);
        if (isBox && box->isVisible() && rectIn(box, root).contains(centre))
            boxes << rectIn(box, root);
    }
    std::sort(boxes.begin(), boxes.end(), [](const QRect &a, const QRect &b) {
        return a.width() * a.height() > b.width() * b.height();
    });
    return boxes << rectIn(w, root);
}

// Reading order: the first box that differs decides, by its top (rows a few pixels apart are one
// row), then by its left.
bool readsBefore(const QWidget *a, const QWidget *b, const QWidget *root)
{
    const QList<QRect> pa = placeOf(a, root), pb = placeOf(b, root);
    int i = 0;
    while (i + 1 < std::min(pa.size(), pb.size()) && pa[i] == pb[i])
        ++i;
    if (std::abs(pa[i].top() - pb[i].top()) > 4)
        return pa[i].top() < pb[i].top();
    return pa[i].left() < pb[i].left();
}

// The widgets of root that Tab reaches, in the order it reaches them.
QWidgetList tabChain(QWidget *root)
{
    QWidgetList chain;
    QWidget *start = root->window();
    for (QWidget *w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
        if (root->isAncestorOf(w) && w->isVisible() && w->isEnabled() && !w->focusProxy()
            && (w->focusPolicy() & Qt::TabFocus))
            chain << w;
    }
    return chain;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_form1;

    QWidget *panel(const QString &name) const
    {
        if (name == u"graph")
            return m_form1->graphWindow();
        return m_form1->findChild<QWidget *>(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        setSettingsDir(m_dir.path());
        m_form1 = std::make_unique<MainWindow>(makeQtSerialPort());
        m_form1->show();
        for (const char *action : {"n_heure_platine", "n_mise_a_l_heure", "n_prog", "n_graphique"})
            m_form1->findChild<QAction *>(QLatin1String(action))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(m_form1->graphWindow()));
    }

    void cleanupTestCase() { m_form1.reset(); }

    void fieldsFoundByName_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        const auto row = [](const char *panel, const QString &name, const char *field) {
            QTest::addRow("%s %s", panel, qPrintable(name))
                << QString::fromLatin1(panel) << name << QString::fromLatin1(field);
        };
        const QString reply = QStringLiteral("Réponse de la platine");
        row("Frame1", QStringLiteral("Heures"), "heure");
        row("Frame1", QStringLiteral("Minutes"), "minutes");
        row("Frame1", QStringLiteral("Secondes"), "seconde");
        row("Frame1", QStringLiteral("Jour"), "jour");
        row("Frame1", QStringLiteral("Mois"), "mois");
        row("Frame1", QStringLiteral("Année"), "annee");
        row("Frame1", QStringLiteral("Jour de la semaine"), "numero_jour");
        row("Frame1", reply, "Text4");
        row("Frame3", reply, "Text1");
        for (int k = 0; k < 6; ++k)
            row("Frame4", QStringLiteral("%1 de la plage %2").arg(k % 2 ? u"Fin" : u"Début").arg(k / 2 + 1),
                qPrintable(QStringLiteral("Text2(%1)").arg(k)));
        row("Frame4", QStringLiteral("Jour(s) concerné(s)"), "combo1(0)");
        row("Frame4", QStringLiteral("Période d'acquisition  (2s - 120s)"), "Text2(6)");
        row("Frame4", reply, "Text3");
        row("graph", QStringLiteral("Tracé des acquisitions"), "Picture1");
        row("graph", QStringLiteral("Nbre d'acquisitions :"), "HScroll1");
        row("graph", QStringLiteral("Coeff :"), "coeff");
        row("graph", QStringLiteral("Epaisseur tracé :"), "HScroll2");
        row("graph", QStringLiteral("Tableau des valeurs"), "Text5");
    }

    void fieldsFoundByName()
    {
        QFETCH(QString, panel);
        QFETCH(QString, name);
        QFETCH(QString, field);
        QWidget *root = this->panel(panel);
        QVERIFY(root);
        QObjectList found;
        collect(QAccessible::queryAccessibleInterface(root), name, &found);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0]->objectName(), field);
    }

    void tabOrderFollowsTheScreen_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("stops");
        QTest::newRow("Frame1") << "Frame1" << 11;
        QTest::newRow("Frame3") << "Frame3" << 4;
        QTest::newRow("Frame4") << "Frame4" << 12;
        QTest::newRow("graph") << "graph" << 17;
    }

    void tabOrderFollowsTheScreen()
    {
        QFETCH(QString, panel);
        QFETCH(int, stops);
        QWidget *root = this->panel(panel);
        const QWidgetList chain = tabChain(root);
        QCOMPARE(chain.size(), stops);
        for (int i = 1; i < chain.size(); ++i) {
            QVERIFY2(readsBefore(chain[i - 1], chain[i], root),
                     qPrintable(chain[i - 1]->objectName() + u" before " + chain[i]->objectName()));
        }
        for (QWidget *w : chain) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(!namesOf(iface).join(QString()).isEmpty(), qPrintable(w->objectName()));
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
