#pragma once
// The fonts the windows ask for, and what they get on a machine that lacks them.

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

namespace platine {

// The families the windows' designs are drawn in, best first: an 8-point sans-serif system font,
// as Windows has it, then free look-alikes.
QStringList designFamilies();

// The designs' font, 11 pixels high (8 points at 96 dpi): the first of designFamilies() that
// this machine has, else the families of the desktop's font, which close the list.
QFont designFont(const QFont &desktop);

// What a font looks like on this machine, as far as drawing text in it goes.
struct FontFacts {
    QString family;      // the family it is drawn in (a missing family gives another one)
    bool latin = false;  // it has the Latin alphabet
    bool symbol = false; // its letters are pictures
    bool fixedPitch = false;
    qreal lineHeight = 0; // the height of a line of text, in units of the font's pixel size
};

// The font as this machine draws it.
FontFacts fontFacts(const QFont &font);

// Whether a text box shows text in the font: letters, not pictures, on a line little taller than
// them. A text box centres the line in itself and clips it: in a math font, whose lines Windows
// makes four times the letters' height, the letters fall above the box and nothing is seen.
bool showsText(const FontFacts &facts);

// The family to draw in when the one asked for shows no text: the first of the machine's
// families that does, proportional ones before fixed-pitch ones; empty when none does.
QString fallbackFamily(const QList<FontFacts> &installed);

// The font itself when it shows text, else the same size and style in fallbackFamily() of the
// machine's families (itself when there is none).
QFont readableFont(const QFont &wished);

// The application's font and the fonts the desktop gives to menus, message boxes, lists, tool
// tips and the status bar, each made readable (see readableFont()). Before any window is made.
void makeApplicationFontsReadable();

} // namespace platine
