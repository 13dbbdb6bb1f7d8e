#pragma once
// Keyboard order of a window's controls.

#include <QWidget>

#include <initializer_list>

namespace platine {

// Tab goes from each widget to the next one of the list, in the order given.
inline void chainTabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous && w)
            QWidget::setTabOrder(previous, w);
        if (w)
            previous = w;
    }
}

} // namespace platine
