#pragma once
// Controls at their design places: left, top, width and height in twips (Twips.h) within their
// container. Each placed control keeps its rectangle in twips, so that it can be moved or widened
// later from its design place rather than from pixels.

#include <QRect>
#include <QString>
#include <QWidget>

class QPushButton;

namespace platine {

// A container that places its children in a scale of its own instead of at twips() pixels (a
// drawing area whose twips are not those of the window). place() asks it for their pixels.
class TwipsContainer
{
public:
    virtual ~TwipsContainer() = default;
    virtual QRect childRect(int left, int top, int width, int height) const = 0;
};

// The control at left, top, width, height in twips within its parent.
void place(QWidget *control, int left, int top, int width, int height);

// The same for a new control, which gets its design name as objectName.
template <typename W>
W *place(W *control, const QString &name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    place(static_cast<QWidget *>(control), left, top, width, height);
    return control;
}

// A push button with its caption, placed.
QPushButton *placeButton(QWidget *parent, const QString &name, const QString &caption, int left,
                         int top, int width, int height);

// Where place() put the control, in twips; a null rectangle for a control it did not place.
QRect twipsGeometry(const QWidget *control);

// The placed control moved to another top, its left and size as they were.
void moveTop(QWidget *control, int top);

// A placed control whose text outgrows its design width (the desktop's font may be wider than the
// one of the design) grows to the right, as far as its container; it never gets narrower than
// its design width.
void fitWidth(QWidget *control);

} // namespace platine
