#include "platform/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <utility>

namespace platine {

QStringList designFamilies()
{
    // The designs' MS Sans Serif is a bitmap font on Windows, which Qt does not scale: there its
    // outline twin Microsoft Sans Serif comes first; Tahoma and Segoe UI are the system fonts of
    // later Windows. Free look-alikes follow, for machines without them (Wine among them).
#ifdef Q_OS_WIN
    QStringList families = {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                            QStringLiteral("Segoe UI")};
#else
    QStringList families = {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                            QStringLiteral("Tahoma")};
#endif
    return families
        + QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans Condensed")};
}

QFont designFont(const QFont &desktop)
{
    QFont font = desktop;
    font.setFamilies(designFamilies() + desktop.families());
    font.setPixelSize(11);
    return font;
}

FontFacts fontFacts(const QFont &font)
{
    const QFontInfo info(font);
    FontFacts facts;
    facts.family = info.family();
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(facts.family);
    facts.latin = systems.contains(QFontDatabase::Latin);
    facts.symbol = systems.contains(QFontDatabase::Symbol);
    facts.fixedPitch = info.fixedPitch();
    // A text box takes the taller of the font's line and its text's bounding box, which Windows
    // makes from the font's tallest glyphs.
    const QFontMetricsF metrics(font);
    const qreal height = std::max(metrics.height(),
                                  metrics.boundingRect(QStringLiteral("Éjg 0123456789:")).height());
    facts.lineHeight = info.pixelSize() > 0 ? height / info.pixelSize() : 0;
    return facts;
}

bool showsText(const FontFacts &facts)
{
    return facts.latin && !facts.symbol && facts.lineHeight > 0 && facts.lineHeight <= 2;
}

QString fallbackFamily(const QList<FontFacts> &installed)
{
    for (const bool fixedPitch : {false, true}) {
        for (const FontFacts &facts : installed) {
            if (facts.fixedPitch == fixedPitch && showsText(facts))
                return facts.family;
        }
    }
    return {};
}

QFont readableFont(const QFont &wished)
{
    if (showsText(fontFacts(wished)))
        return wished;
    QList<FontFacts> installed;
    QFont candidate = wished;
    for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
        candidate.setFamilies({family});
        installed.append(fontFacts(candidate));
    }
    const QString family = fallbackFamily(installed);
    if (family.isEmpty())
        return wished;
    QFont font = wished;
    font.setFamilies({family});
    return font;
}

void makeApplicationFontsReadable()
{
    // The fonts the desktop gives to widget classes (the platform sets these on Windows). Setting
    // the application's font drops them, so they are read before and set again after.
    static const char *const kClasses[] = {"QMenu",     "QMenuBar",   "QMessageBox",
                                           "QTipLabel", "QStatusBar", "QAbstractItemView"};
    QList<std::pair<const char *, QFont>> classFonts;
    for (const char *widgetClass : kClasses)
        classFonts.append({widgetClass, QApplication::font(widgetClass)});

    const QFont font = QApplication::font();
    const QFont readable = readableFont(font);
    const bool replaced = readable != font;
    if (replaced)
        QApplication::setFont(readable);
    for (const auto &[widgetClass, classFont] : classFonts) {
        const QFont readableClassFont = readableFont(classFont);
        if (replaced || readableClassFont != classFont)
            QApplication::setFont(readableClassFont, widgetClass);
    }
}

} // namespace platine
