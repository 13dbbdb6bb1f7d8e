#pragma once
// A scripted dialog service for tests: answers file, input and message dialogs from queues and
// records what was asked.

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platine::test {

class FakeDialogs : public DialogService
{
public:
    struct Message {
        MessageIcon icon;
        QString title, text;
    };

    FakeDialogs() { DialogService::setInstance(this); }
    ~FakeDialogs() override { DialogService::setInstance(nullptr); }

    // Answers given in order; an empty queue answers "cancelled".
    QList<std::optional<QString>> fileAnswers;
    QList<std::optional<QString>> inputAnswers;

    QStringList fileRequests;  // "open:<initial>" / "save:<initial>"
    QStringList inputRequests; // "<title>|<prompt>|<default>"
    QList<Message> messages;

    std::optional<QString> openFile(QWidget *, const QString &initialName) override
    {
        fileRequests << QStringLiteral("open:") + initialName;
        return next(fileAnswers);
    }
    std::optional<QString> saveFile(QWidget *, const QString &initialName) override
    {
        fileRequests << QStringLiteral("save:") + initialName;
        return next(fileAnswers);
    }
    std::optional<QString> inputBox(QWidget *, const QString &prompt, const QString &title,
                                    const QString &defaultText) override
    {
        inputRequests << title + u'|' + prompt + u'|' + defaultText;
        return next(inputAnswers);
    }
    void message(QWidget *, MessageIcon icon, const QString &title, const QString &text) override
    {
        messages.append({icon, title, text});
    }

private:
    static std::optional<QString> next(QList<std::optional<QString>> &queue)
    {
        return queue.isEmpty() ? std::nullopt : queue.takeFirst();
    }
};

} // namespace platine::test
