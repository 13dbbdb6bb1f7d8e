// The fonts the windows ask for, and the family taken when the one asked for shows no text.
#include "platform/Fonts.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(platine::FontFacts)

// Fonts as a machine draws them: text, and the ways a font fails to show text.
const auto text = [](const QString &family) { return FontFacts{family, true, false, false, 1.2}; };
const auto mono = [](const QString &family) { return FontFacts{family, true, false, true, 1.2}; };
const auto math = [](const QString &family) { return FontFacts{family, true, false, false, 4.2}; };
const auto symbol = [](const QString &family) { return FontFacts{family, true, true, false, 1.2}; };
const auto lines = [](qreal height) { return FontFacts{u"Sans"_s, true, false, false, height}; };

class TestFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsText_data()
    {
        QTest::addColumn<FontFacts>("font");
        QTest::addColumn<bool>("shows");
        QTest::newRow("text font") << text(u"DejaVu Sans"_s) << true;
        QTest::newRow("symbol font") << symbol(u"Wingdings"_s) << false;
        QTest::newRow("no Latin letters")
            << FontFacts{u"Thai"_s, false, false, false, 1.2} << false;
        QTest::newRow("lines four times the letters") << math(u"DejaVu Math TeX Gyre"_s) << false;
        QTest::newRow("lines twice the letters") << lines(2.0) << true;
        QTest::newRow("lines a little over twice") << lines(2.1) << false;
        QTest::newRow("not measured") << lines(0) << false;
    }

    void showsText()
    {
        QFETCH(FontFacts, font);
        QFETCH(bool, shows);
        QCOMPARE(platine::showsText(font), shows);
    }

    void fallbackFamily_data()
    {
        QTest::addColumn<QList<FontFacts>>("installed");
        QTest::addColumn<QString>("family");
        QTest::newRow("the first that shows text")
            << QList{math(u"Math"_s), text(u"Sans"_s), text(u"Serif"_s)} << u"Sans"_s;
        QTest::newRow("proportional before fixed pitch")
            << QList{mono(u"Mono"_s), text(u"Serif"_s)} << u"Serif"_s;
        QTest::newRow("fixed pitch when nothing else shows text")
            << QList{math(u"Math"_s), mono(u"Mono"_s)} << u"Mono"_s;
        QTest::newRow("none shows text")
            << QList{math(u"Math"_s), symbol(u"Symbol"_s)} << QString();
    }

    void fallbackFamily()
    {
        QFETCH(QList<FontFacts>, installed);
        QFETCH(QString, family);
        QCOMPARE(platine::fallbackFamily(installed), family);
    }

    // Measured on this machine: the tests' fonts, here and under Wine, are the DejaVu fonts.
    void fontFacts_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("fixedPitch");
        QTest::newRow("proportional") << u"DejaVu Sans"_s << false;
        QTest::newRow("fixed pitch") << u"DejaVu Sans Mono"_s << true;
    }

    void fontFacts()
    {
        QFETCH(QString, family);
        QFETCH(bool, fixedPitch);
        QFont font(family);
        font.setPixelSize(11);
        const FontFacts facts = platine::fontFacts(font);
        QCOMPARE(facts.family, family);
        QVERIFY(facts.latin && !facts.symbol);
        QCOMPARE(facts.fixedPitch, fixedPitch);
        QVERIFY2(facts.lineHeight > 1 && facts.lineHeight < 2, qPrintable(family));
        QCOMPARE(readableFont(font), font); // kept: it shows text
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
