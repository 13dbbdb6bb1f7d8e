#pragma once
// The desktop's dialogs: Qt's file dialogs, input box and message boxes.

#include "platform/Dialogs.h"

namespace platine {

class DesktopDialogs final : public DialogService
{
public:
    std::optional<QString> openFile(QWidget *parent, const QString &initialName) override;
    std::optional<QString> saveFile(QWidget *parent, const QString &initialName) override;
    std::optional<QString> inputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText,
                                    const QList<InputSuggestion> &suggestions = {}) override;
    void message(QWidget *parent, MessageIcon icon, const QString &title,
                 const QString &text) override;
};

} // namespace platine
