#pragma once
// Frame1: the main window's panel that sets the board clock. Seven fields (hours .. weekday name)
// filled from the computer clock ("Heure PC") or by hand, the computer's time, a copy of the
// board's reply, "Programmation" that sends the clock command and "Quitter", which hides the panel.

#include "board/BoardLink.h"
#include "board/ClockCommand.h"

#include <QGroupBox>

#include <array>

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

    QLineEdit *replyBox() const { return m_replyBox; } // Text4, a copy of the board's reply

Q_SIGNALS:
    // What "Programmation" did, for the status line: being sent, then sent (on which port, at
    // what time) or why not.
    void status(const QString &text);

public Q_SLOTS:
    void fillFromComputerClock(); // "Heure PC"
    void sendToBoard();           // "Programmation"

private:
    ClockFields fields() const;
    void commandSent(CommandId command);
    void commandFailed(CommandId command, const LinkFailure &failure);
    void tellNotSent(const LinkFailure &failure);
    void tellFailure(const QString &text);

    DialogService &m_dialogs;
    BoardLink *m_link = nullptr;
    CommandId m_sending = 0; // the clock command being sent, 0 when none

    std::array<QLineEdit *, 7> m_fields = {}; // by ClockField
    QLabel *m_timeLabel = nullptr;
    QLineEdit *m_replyBox = nullptr;
};

} // namespace platine
