#include "platform/Placement.h"

#include "platform/Twips.h"

#include <QPushButton>

#include <algorithm>

namespace platine {

namespace {

constexpr const char *kTwipsProperty = "twipsGeometry";

} // namespace

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setProperty(kTwipsProperty, QRect(left, top, width, height));
    const auto *container = dynamic_cast<const TwipsContainer *>(control->parentWidget());
    control->setGeometry(container ? container->childRect(left, top, width, height)
                                   : twipsRect(left, top, width, height));
}

QPushButton *placeButton(QWidget *parent, const QString &name, const QString &caption, int left,
                         int top, int width, int height)
{
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

QRect twipsGeometry(const QWidget *control)
{
    return control ? control->property(kTwipsProperty).toRect() : QRect();
}

void moveTop(QWidget *control, int top)
{
    const QRect t = twipsGeometry(control);
    place(control, t.left(), top, t.width(), t.height());
}

void fitWidth(QWidget *control)
{
    const QRect t = twipsGeometry(control);
    QRect g = control->geometry();
    const int room = control->parentWidget()->width() - g.left();
    const int wanted = control->sizeHint().width();
    g.setWidth(std::max(twips(t.width()), std::min(wanted, room)));
    control->setGeometry(g);
}

} // namespace platine
