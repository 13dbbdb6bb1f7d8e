#pragma once
// A scripted dialog service for tests: answers file, input and message dialogs from queues and
// records what was asked.

#include "platform/Dialogs.h"

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
    using Answer = std::optional<QString>;

    QList<Answer> fileAnswers, inputAnswers; // given in order; none left answers "cancelled"
    QStringList fileRequests;                // "open:<initial>" / "save:<initial>"
    QStringList inputRequests;               // "<title>|<prompt>|<default>"
    // When set, answers an input box that offers suggestions instead of inputAnswers.
    std::function<Answer(const QList<InputSuggestion> &)> chooseSuggestion;
    QList<Message> messages;

    Answer openFile(QWidget *, const QString &initial) override { return file(u"open:", initial); }
    Answer saveFile(QWidget *, const QString &initial) override { return file(u"save:", initial); }
    Answer inputBox(QWidget *, const QString &prompt, const QString &title, const QString &text,
                    const QList<InputSuggestion> &suggestions = {}) override
    {
        inputRequests << title + u'|' + prompt + u'|' + text;
        if (chooseSuggestion && !suggestions.isEmpty())
            return chooseSuggestion(suggestions);
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
    }
    void message(QWidget *, MessageIcon icon, const QString &title, const QString &text) override
    {
        messages.append({icon, title, text});
    }

private:
    Answer file(QStringView kind, const QString &initial)
    {
        fileRequests << kind.toString() + initial;
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
    }
};

} // namespace platine::test
