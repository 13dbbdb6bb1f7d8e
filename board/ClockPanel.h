#pragma once
// Frame1: the main window's panel that sets the board clock. Seven fields (hours .. weekday name)
// filled from the computer clock ("Heure PC") or by hand, the computer's time, a copy of the
// board's reply, "Programmation" that sends the clock command and "Quitter", which hides the panel.

#include "board/BoardLink.h"
#include "board/ClockCommand.h"

#include <QDateTime>
#include <QGroupBox>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;

namespace platine {

class DialogService;

class ClockPanel : public QGroupBox
{
    Q_OBJECT
public:
    // dialogs tells the user, over the panel's window, why nothing was sent.
    ClockPanel(DialogService &dialogs, QWidget *parent = nullptr);

    // The board link that "Programmation" sends through; Text4 shows its last answer.
    void setBoard(BoardLink *link);
    // Where the panel reads the time (the computer clock unless a test says otherwise).
    void setClock(std::function<QDateTime()> clock);

    QLineEdit *replyBox() const { return m_replyBox; } // Text4, a copy of the board's reply

Q_SIGNALS:
    // What "Programmation" did, for the status line: being sent, then sent (which date and time,
    // on which port, at what time) or why not, and what the board answered if it refused; a
    // weekday corrected.
    void status(const QString &text);

public Q_SLOTS:
    // "Heure PC": the fields show the computer clock and follow it, second by second, until one
    // of them is changed otherwise (by the user).
    void fillFromComputerClock();
    void sendToBoard(); // "Programmation"

private:
    ClockFields fields() const;
    void showTime(const QDateTime &time);
    void followDate();
    void say(const QString &text);
    void commandSent(CommandId command);
    void boardRefused(CommandId command, const QString &line);
    void commandFailed(CommandId command, const LinkFailure &failure);
    void tellNotSent(const LinkFailure &failure);
    void tellFailure(const QString &text);

    DialogService &m_dialogs;
    BoardLink *m_link = nullptr;
    CommandId m_sending = 0;  // the clock command being sent, 0 when none
    CommandId m_lastSent = 0; // the last clock command sent
    QString m_sendingText;    // what it sets: "mercredi 28/02/07 14:07:35"
    QString m_sentSentence;   // how it went, for the board's refusal to complete
    QString m_note;           // what the status line adds: a weekday corrected
    bool m_following = false; // the fields follow the computer clock
    bool m_filling = false;   // the clock is writing the fields
    std::function<QDateTime()> m_clock;

    std::array<QLineEdit *, 7> m_fields = {}; // by ClockField
    QLabel *m_timeLabel = nullptr;
    QLineEdit *m_replyBox = nullptr;
};

} // namespace platine
