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
    void placed_data()
    {
        using R = QRect;
        QTest::addColumn<bool>("shifted"); // in a container of its own scale, else in a window
        QTest::addColumn<QRect>("design"); // in twips
        QTest::addColumn<int>("top");      // then moved to this top in twips; -1: not moved
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("by its container") << true << R(10, 20, 30, 40) << -1 << R(110, 120, 30, 40);
        QTest::newRow("moved down") << false << R(150, 300, 1500, 450) << 600 << R(10, 40, 100, 30);
    }
    void placed()
    {
        QFETCH(bool, shifted);
        QFETCH(QRect, design);
        QFETCH(int, top);
        QFETCH(QRect, pixels);
        ShiftedContainer container;
        QWidget window;
        QPushButton *b = placeButton(shifted ? &container : &window, u"Command7"_s, u"Programmer"_s,
                                     design.left(), design.top(), design.width(), design.height());
        if (top >= 0) {
            moveTop(b, top);
            design.moveTop(top);
        }
        QCOMPARE(b->geometry(), pixels);
        QCOMPARE(twipsGeometry(b), design);
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
