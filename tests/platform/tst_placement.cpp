// Guards against: controls off their design places, lost on a move, or cut or overgrown by a fit.
#include "platform/Placement.h"

#include <QtTest>
#include <QtWidgets>

using namespace platine;
using namespace Qt::StringLiterals;

// A container of its own scale: one pixel a twip, 100 pixels from its corner.
class ShiftedContainer : public QWidget, public TwipsContainer
{
public:
    QRect childRect(int left, int top, int width, int height) const override
    {
        return QRect(left + 100, top + 100, width, height);
    }
};

class TestPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placedAtTwips()
    {
        QWidget window;
        QPushButton *b = placeButton(&window, u"Command7"_s, u"Programmer"_s, 7320, 600, 2175, 615);
        QCOMPARE(b->objectName() + b->text(), u"Command7Programmer"_s);
        QCOMPARE(b->geometry(), QRect(488, 40, 145, 41));
        QCOMPARE(twipsGeometry(b), QRect(7320, 600, 2175, 615));
    }
    void placedByItsContainer()
    {
        ShiftedContainer area;
        QCOMPARE(place(new QLabel(&area), u"L"_s, 10, 20, 30, 40)->geometry(),
                 QRect(110, 120, 30, 40));
    }
    void movedToAnotherTop()
    {
        QWidget window;
        auto *label = place(new QLabel(&window), u"Label5"_s, 150, 300, 1500, 450);
        moveTop(label, 600);
        QCOMPARE(label->geometry(), QRect(10, 40, 100, 30));
        QCOMPARE(twipsGeometry(label), QRect(150, 600, 1500, 450));
    }
    void fitWidth_data()
    {
        QTest::addColumn<int>("letters");
        QTest::addColumn<int>("containerWidth");
        QTest::addColumn<int>("width"); // -1: the text's own width
        QTest::newRow("short text keeps the design width") << 1 << 400 << 100;
        QTest::newRow("long text grows") << 60 << 4000 << -1;
        QTest::newRow("growth stops at the container") << 60 << 150 << 140;
    }
    void fitWidth()
    {
        QFETCH(int, letters);
        QFETCH(int, containerWidth);
        QFETCH(int, width);
        QWidget window;
        window.resize(containerWidth, 100);
        auto *label = place(new QLabel(QString(letters, u'm'), &window), u"L"_s, 150, 0, 1500, 300);
        platine::fitWidth(label);
        QCOMPARE(label->geometry(),
                 QRect(10, 0, width < 0 ? label->sizeHint().width() : width, 20));
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
