// Guards against: controls off their design places, lost on a move, or cut or overgrown by a fit.
#include "platform/Placement.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

// A container of its own scale: one pixel per twip, shifted by 100 pixels.
class ShiftedContainer : public QWidget, public TwipsContainer
{
public:
    QRect childRect(int left, int top, int width, int height) const override
    {
        return QRect(left + 100, top + 100, width, height);
    }
};

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placedAtTwips()
    {
        QWidget window;
        QPushButton *b = placeButton(&window, u"Command7"_s, u"Programmer"_s, 7320, 600, 2175, 615);
        QCOMPARE(b->objectName(), u"Command7"_s);
        QCOMPARE(b->text(), u"Programmer"_s);
        QCOMPARE(b->geometry(), QRect(488, 40, 145, 41));
        QCOMPARE(twipsGeometry(b), QRect(7320, 600, 2175, 615));
    }
    void placedByItsContainer()
    {
        ShiftedContainer area;
        auto *label = place(new QLabel(&area), u"Label4(0)"_s, 10, 20, 30, 40);
        QCOMPARE(label->geometry(), QRect(110, 120, 30, 40));
    }
    void movedToAnotherTop()
    {
        QWidget window;
        auto *label = place(new QLabel(&window), u"Label5"_s, 150, 300, 1500, 450);
        moveTop(label, 600);
        QCOMPARE(label->geometry(), QRect(10, 40, 100, 30));
        QCOMPARE(twipsGeometry(label), QRect(150, 600, 1500, 450));
    }
    void notPlaced() { QCOMPARE(twipsGeometry(nullptr), QRect()); }
    void fitWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("containerWidth");
        QTest::addColumn<int>("expectedWidth"); // -1: the text's own width
        QTest::newRow("short text keeps the design width") << u"a"_s << 400 << 100;
        QTest::newRow("long text grows") << QString(60, u'm') << 4000 << -1;
        QTest::newRow("growth stops at the container") << QString(60, u'm') << 150 << 140;
    }
    void fitWidth()
    {
        QFETCH(QString, text);
        QFETCH(int, containerWidth);
        QFETCH(int, expectedWidth);
        QWidget window;
        window.resize(containerWidth, 100);
        auto *label = place(new QLabel(text, &window), u"Label"_s, 150, 0, 1500, 300);
        platine::fitWidth(label);
        QCOMPARE(label->width(), expectedWidth < 0 ? label->sizeHint().width() : expectedWidth);
        QCOMPARE(label->x(), 10);
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
