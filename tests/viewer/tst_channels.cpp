// Channel selection and coefficient presets, as pure logic.

#include "viewer/Channels.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

using namespace platine;

using Flags = std::array<bool, kChannelCount>;
using Captions = std::array<QString, kGraduationCount>;
Q_DECLARE_METATYPE(Flags)
Q_DECLARE_METATYPE(Captions)

class TestChannels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void presets_data();
    void presets();
    void toggle_data();
    void toggle();
    void colours_data();
    void colours();
    void texts();
};

void TestChannels::presets_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("coeff");
    QTest::addColumn<Captions>("graduations");
    QTest::addColumn<Flags>("selected");

    const Captions ones{"1", "2", "3", "4", "5"};
    const Flags all{true, true, true, true, true, true, true, true, true};
    const Flags tempOnly{false, false, false, false, true, true, true, true, true};

    QTest::newRow("0-5v") << QList<int>{0} << "0.492" << ones << all;
    QTest::newRow("0-10v") << QList<int>{1} << "0.246" << Captions{"2", "4", "6", "8", "10"} << all;
    QTest::newRow("Temp") << QList<int>{2} << "5" << Captions{"10", "20", "30", "40", "50"}
                          << tempOnly;
    QTest::newRow("Temp twice") << QList<int>{2, 2} << "5"
                                << Captions{"10", "20", "30", "40", "50"} << tempOnly;
    QTest::newRow("Temp then 0-5v keeps the flags") << QList<int>{2, 0} << "0.492" << ones
                                                    << tempOnly;
    QTest::newRow("0-10v then Temp") << QList<int>{1, 2} << "5"
                                     << Captions{"10", "20", "30", "40", "50"} << tempOnly;
}

void TestChannels::presets()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, coeff);
    QFETCH(Captions, graduations);
    QFETCH(Flags, selected);

    ChannelControls controls;
    controls.coeff = QStringLiteral("typed 3.3");
    for (int i : clicks)
        applyPreset(i, controls);
    QCOMPARE(controls.coeff, coeff);
    QCOMPARE(controls.graduations, graduations);
    QCOMPARE(controls.selected, selected);
}

void TestChannels::toggle_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");
    for (int i = 0; i < kChannelCount; ++i) {
        const QByteArray name = channelCaption(i).toLatin1();
        QTest::addRow("%s unselected", name.constData()) << i << false << true;
        QTest::addRow("%s selected", name.constData()) << i << true << isLogicChannel(i);
    }
}

void TestChannels::toggle()
{
    QFETCH(int, index);
    QFETCH(bool, before);
    QFETCH(bool, after);
    QCOMPARE(toggledSelection(index, before), after);
    // Two presses bring an analog or temperature label back to where it started.
    if (!isLogicChannel(index))
        QCOMPARE(toggledSelection(index, toggledSelection(index, before)), before);
}

void TestChannels::colours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("ANA 2 red") << 1 << QColor(255, 0, 0);
    QTest::newRow("ANA 3 green") << 2 << QColor(0, 255, 0);
    QTest::newRow("ANA 4 yellow") << 3 << QColor(255, 255, 0);
    QTest::newRow("LOG 1 magenta") << 4 << QColor(255, 0, 255);
    QTest::newRow("LOG 2 blue") << 5 << QColor(0, 0, 255);
    QTest::newRow("LOG 3 white") << 6 << QColor(255, 255, 255);
    QTest::newRow("LOG 4 orange") << 7 << QColor(255, 128, 0);
    QTest::newRow("TEMP dark grey") << 8 << QColor(64, 64, 64);
}

void TestChannels::colours()
{
    QFETCH(int, index);
    QFETCH(QColor, colour);
    QCOMPARE(channelColor(index, QPalette()), colour);
}

// Label56(0) follows the desktop's button-text colour; design colours are &H00BBGGRR.
void TestChannels::texts()
{
    QPalette palette;
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    QCOMPARE(channelColor(0, palette), QColor(1, 2, 3));
    QCOMPARE(bgrColor(0x00C08040), QColor(0x40, 0x80, 0xC0));
    QCOMPARE(channelCaption(8), QStringLiteral("TEMP"));
    QVERIFY(channelCaption(9).isEmpty());
}

QTEST_MAIN(TestChannels)
#include "tst_channels.moc"
