// Screen readers and the keyboard: every field is found by its name in the accessibility tree,
// everything Tab reaches has a name, and Tab follows the screen from top to bottom.

#include "app/MainWindow.h"
#include "common/FakeDialogs.h"
#include "common/Program.h"
#include "platform/QtSerialPort.h"
#include "viewer/GraphWindow.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

// What a screen reader says for an element: its name, and the captions that label it.
QStringList namesOf(QAccessibleInterface *iface)
{
    QStringList names{iface->text(QAccessible::Name).trimmed()};
    for (const auto &[label, relation] : iface->relations(QAccessible::Label))
        names << label->text(QAccessible::Name).trimmed();
    return names;
}

void findByName(QAccessibleInterface *iface, const QString &name, QStringList *found)
{
    if (!iface || iface->state().invisible)
        return;
    if (iface->role() != QAccessible::StaticText && namesOf(iface).contains(name))
        *found << iface->object()->objectName();
    for (int i = 0; i < iface->childCount(); ++i)
        findByName(iface->child(i), name, found);
}

// Where a widget stands, for reading order: the boxes around it, outermost first (group boxes and
// the framed rectangles that group commands without holding them), then the widget itself.
QList<QRect> placeOf(const QWidget *w, const QWidget *root)
{
    const auto rectOf = [root](const QWidget *x) { return QRect(x->mapTo(root, QPoint()), x->size()); };
    QList<QRect> boxes;
    for (const QWidget *box : root->findChildren<QWidget *>()) {
        const auto *frame = qobject_cast<const QFrame *>(box);
        const bool isBox = qobject_cast<const QGroupBox *>(box)
                           || (frame && frame->metaObject() == &QFrame::staticMetaObject
                               && frame->frameShape() == QFrame::Box);
        if (isBox && rectOf(box).contains(rectOf(w).center()))
            boxes << rectOf(box);
    }
    std::sort(boxes.begin(), boxes.end(), [](const QRect &a, const QRect &b) {
        return a.width() * a.height() > b.width() * b.height();
    });
    return boxes << rectOf(w);
}

// The first place that differs decides: by its top (tops a few pixels apart are one row), then
// by its left.
bool readsBefore(const QWidget *a, const QWidget *b, const QWidget *root)
{
    const QList<QRect> pa = placeOf(a, root), pb = placeOf(b, root);
    qsizetype i = 0;
    while (i + 1 < std::min(pa.size(), pb.size()) && pa[i] == pb[i])
        ++i;
    if (std::abs(pa[i].top() - pb[i].top()) > 4)
        return pa[i].top() < pb[i].top();
    return pa[i].left() < pb[i].left();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    test::FakeDialogs m_dialogs;
    std::unique_ptr<test::Program> m_program;
    MainWindow *m_form1 = nullptr;

    QWidget *panel(const QString &name) const
    {
        return name == u"graph" ? m_form1->graphWindow() : m_form1->findChild<QWidget *>(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_program = std::make_unique<test::Program>(makeQtSerialPort(), m_dialogs, m_dir.path());
        m_form1 = m_program->window.get();
        for (const char *action : {"n_heure_platine", "n_mise_a_l_heure", "n_prog", "n_graphique"})
            m_form1->findChild<QAction *>(QLatin1String(action))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(m_form1->graphWindow()));
    }

    void cleanupTestCase() { m_program.reset(); }

    void fieldsFoundByName()
    {
        const QString reply = QStringLiteral("Réponse de la platine");
        QList<std::array<QString, 3>> fields = { // panel, name, field
            {u"Frame1"_s, u"Heures"_s, u"heure"_s}, {u"Frame1"_s, u"Minutes"_s, u"minutes"_s},
            {u"Frame1"_s, u"Secondes"_s, u"seconde"_s}, {u"Frame1"_s, u"Jour"_s, u"jour"_s},
            {u"Frame1"_s, u"Mois"_s, u"mois"_s}, {u"Frame1"_s, u"Année"_s, u"annee"_s},
            {u"Frame1"_s, u"Jour de la semaine"_s, u"numero_jour"_s},
            {u"Frame1"_s, reply, u"Text4"_s}, {u"Frame3"_s, reply, u"Text1"_s},
            {u"Frame4"_s, u"Jour(s) concerné(s)"_s, u"combo1(0)"_s},
            {u"Frame4"_s, u"Période d'acquisition  (2s - 120s)"_s, u"Text2(6)"_s},
            {u"Frame4"_s, reply, u"Text3"_s},
            {u"graph"_s, u"Tracé des acquisitions"_s, u"Picture1"_s},
            {u"graph"_s, u"Nbre d'acquisitions :"_s, u"HScroll1"_s},
            {u"graph"_s, u"Coeff :"_s, u"coeff"_s},
            {u"graph"_s, u"Epaisseur tracé :"_s, u"HScroll2"_s},
            {u"graph"_s, u"Tableau des valeurs"_s, u"Text5"_s}};
        for (int k = 0; k < 6; ++k)
            fields.append({u"Frame4"_s,
                           (k % 2 ? u"Fin de la plage %1"_s : u"Début de la plage %1"_s).arg(k / 2 + 1),
                           u"Text2(%1)"_s.arg(k)});
        for (const auto &[panel, name, field] : fields) {
            QStringList found;
            findByName(QAccessible::queryAccessibleInterface(this->panel(panel)), name, &found);
            QVERIFY2(found == QStringList{field}, qPrintable(name + u" → " + found.join(u',')));
        }
    }

    void tabOrderFollowsTheScreen_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("stops");
        QTest::newRow("Frame1") << "Frame1" << 11;
        QTest::newRow("Frame3") << "Frame3" << 4;
        QTest::newRow("Frame4") << "Frame4" << 12;
        QTest::newRow("graph") << "graph" << 17; // the two scroll bars among them
    }

    void tabOrderFollowsTheScreen()
    {
        QFETCH(QString, panel);
        QFETCH(int, stops);
        QWidget *root = this->panel(panel);
        QWidgetList chain; // what Tab reaches in the panel, in the order it reaches it
        for (QWidget *w = root->window()->nextInFocusChain(); w != root->window();
             w = w->nextInFocusChain()) {
            if (root->isAncestorOf(w) && w->isVisible() && w->isEnabled() && !w->focusProxy()
                && (w->focusPolicy() & Qt::TabFocus))
                chain << w;
        }
        QCOMPARE(chain.size(), stops);
        for (qsizetype i = 1; i < chain.size(); ++i) {
            QVERIFY2(readsBefore(chain[i - 1], chain[i], root),
                     qPrintable(chain[i - 1]->objectName() + u" before " + chain[i]->objectName()));
        }
        for (QWidget *w : chain) {
            const QStringList names = namesOf(QAccessible::queryAccessibleInterface(w));
            QVERIFY2(!names.join(QString()).isEmpty(), qPrintable(w->objectName()));
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
