#pragma once
// A scripted dialog service for tests: answers file, input and message dialogs from queues and
// records what was asked.

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platine::test {

class FakeDialogs : public DialogService
{
public:
    struct Message {
        MessageIcon icon;
        QString title, text;
    };

    // Answers given in order; an empty queue answers "cancelled".
    QList<std::optional<QString>> fileAnswers;
    QList<std::optional<QString>> inputAnswers;

    QStringList fileRequests;  // "open:<initial>" / "save:<initial>"
    QStringList inputRequests; // "<title>|<prompt>|<default>"
    // The suggestions each input box offered (empty for a plain box), one entry per request.
    QList<QList<InputSuggestion>> inputSuggestions;
    // When set, answers an input box that offers suggestions instead of inputAnswers (a test
    // choosing one of them returns its value, as the desktop's box does).
    std::function<std::optional<QString>(const QList<InputSuggestion> &)> chooseSuggestion;
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
                                    const QString &defaultText,
                                    const QList<InputSuggestion> &suggestions = {}) override
    {
        inputRequests << title + u'|' + prompt + u'|' + defaultText;
        inputSuggestions << suggestions;
        if (chooseSuggestion && !suggestions.isEmpty())
            return chooseSuggestion(suggestions);
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
