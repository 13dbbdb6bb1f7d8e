// The fonts the windows ask for, and the family taken when the one asked for shows no text.
#include "platform/Fonts.h"

#include <QtTest>

using namespace platine;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(platine::FontFacts)

namespace {

FontFacts facts(const QString &family, bool latin, bool symbol, bool fixedPitch, qreal lineHeight)
{
    return {family, latin, symbol, fixedPitch, lineHeight};
}
FontFacts text(const QString &family)
{
    return facts(family, true, false, false, 1.2);
}
FontFacts fixedPitch(const QString &family)
{
    return facts(family, true, false, true, 1.2);
}
// Its lines, under Windows, four times its letters' height.
FontFacts math(const QString &family)
{
    return facts(family, true, false, false, 4.2);
}
FontFacts symbol(const QString &family)
{
    return facts(family, true, true, false, 1.2);
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsText_data()
    {
        QTest::addColumn<FontFacts>("font");
        QTest::addColumn<bool>("shows");
        QTest::newRow("text font") << text(u"DejaVu Sans"_s) << true;
        QTest::newRow("fixed pitch") << fixedPitch(u"DejaVu Sans Mono"_s) << true;
        QTest::newRow("symbol font") << symbol(u"Wingdings"_s) << false;
        QTest::newRow("no Latin alphabet")
            << facts(u"Noto Sans Thai"_s, false, false, false, 1.2) << false;
        QTest::newRow("lines four times the letters") << math(u"DejaVu Math TeX Gyre"_s) << false;
        QTest::newRow("lines twice the letters")
            << facts(u"Tall"_s, true, false, false, 2.0) << true;
        QTest::newRow("lines a little over twice")
            << facts(u"Taller"_s, true, false, false, 2.1) << false;
        QTest::newRow("not measured") << facts(u"None"_s, true, false, false, 0) << false;
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
            << QList{math(u"DejaVu Math TeX Gyre"_s), text(u"DejaVu Sans"_s),
                     text(u"DejaVu Serif"_s)}
            << u"DejaVu Sans"_s;
        QTest::newRow("symbol fonts passed over")
            << QList{symbol(u"Symbol"_s), text(u"DejaVu Serif"_s)} << u"DejaVu Serif"_s;
        QTest::newRow("proportional before fixed pitch")
            << QList{fixedPitch(u"DejaVu Sans Mono"_s), text(u"DejaVu Serif"_s)}
            << u"DejaVu Serif"_s;
        QTest::newRow("fixed pitch when nothing else shows text")
            << QList{math(u"DejaVu Math TeX Gyre"_s), fixedPitch(u"DejaVu Sans Mono"_s)}
            << u"DejaVu Sans Mono"_s;
        QTest::newRow("none shows text")
            << QList{math(u"DejaVu Math TeX Gyre"_s), symbol(u"Symbol"_s)} << QString();
        QTest::newRow("no fonts") << QList<FontFacts>() << QString();
    }

    void fallbackFamily()
    {
        QFETCH(QList<FontFacts>, installed);
        QFETCH(QString, family);
        QCOMPARE(platine::fallbackFamily(installed), family);
    }

    // Measured on this machine. The tests' fonts, here and under Wine, are the DejaVu fonts.
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
        QVERIFY(facts.latin);
        QVERIFY(!facts.symbol);
        QCOMPARE(facts.fixedPitch, fixedPitch);
        QVERIFY2(facts.lineHeight > 1 && facts.lineHeight < 2, qPrintable(facts.family));
    }

    void fontThatShowsTextKept()
    {
        const QFont font(u"DejaVu Sans"_s, 8);
        QCOMPARE(readableFont(font), font);
    }

    void designFontIsElevenPixelsInTheDesignFamiliesFirst()
    {
        const QFont desktop(u"DejaVu Sans"_s, 9);
        const QFont design = designFont(desktop);
        QCOMPARE(design.pixelSize(), 11);
        QCOMPARE(design.families(), designFamilies() + QStringList{u"DejaVu Sans"_s});
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
