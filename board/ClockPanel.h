#pragma once
// Frame1: the main window's panel that sets the board clock. Seven fields (hours .. weekday name)
// filled from the computer clock ("Heure PC") or by hand, the computer's time, a copy of the
// board's reply, "Programmation" that sends the clock command and "Quitter", which hides the panel.

#include "board/ClockCommand.h"

#include <QGroupBox>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;

namespace platine {

class BoardLink;
class DialogService;

class ClockPanel : public QGroupBox
{
    Q_OBJECT
public:
    // dialogs tells the user, over the panel's window, why nothing was sent.
    ClockPanel(DialogService &dialogs, QWidget *parent = nullptr);

    // The board link that "Programmation" sends through, and the step that empties the three
    // reply displays before anything else.
    void setBoard(BoardLink *link, std::function<void()> clearReplies);

    QLineEdit *replyBox() const { return m_replyBox; } // Text4, a copy of the board's reply

Q_SIGNALS:
    // What "Programmation" did, for the status line: sent, and on which port, or why not.
    void status(const QString &text);

public Q_SLOTS:
    void fillFromComputerClock(); // "Heure PC"
    void sendToBoard();           // "Programmation"

private:
    ClockFields fields() const;
    void tellFailure(const QString &text);

    DialogService &m_dialogs;
    BoardLink *m_link = nullptr;
    std::function<void()> m_clearReplies;

    std::array<QLineEdit *, 7> m_fields = {}; // by ClockField
    QLabel *m_timeLabel = nullptr;
    QLineEdit *m_replyBox = nullptr;
};

} // namespace platine
