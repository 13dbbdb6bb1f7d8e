#pragma once
// The look the main window's panels share: blue panel captions and the board's reply displays.

#include <QColor>
#include <QGroupBox>
#include <QLineEdit>
#include <QString>

namespace platine {

// Panel captions are blue; the rest of the frame keeps the desktop's look.
inline void makeCaptionBlue(QGroupBox *panel)
{
    panel->setStyleSheet(
        QStringLiteral("QGroupBox#%1::title { color: #0000ff; }").arg(panel->objectName()));
}

// A display of what the board sends back: a text box with a background of its own, text kept as
// received, named for screen readers (it has no caption).
inline QLineEdit *replyBox(QWidget *parent, const QString &name, const QString &text,
                           const QColor &background)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, background);
    box->setPalette(p);
    box->setAccessibleName(QStringLiteral("Réponse de la platine"));
    return box;
}

} // namespace platine
