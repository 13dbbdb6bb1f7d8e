#pragma once
// Frame4: the schedule panel of the main window. It holds the schedule editor Frame2 (three daily
// acquisition windows, the days concerned, the period, the board's answer and "Heure PC"), the
// button "Programmer" that sends the schedule to the board, the date label and "Quitter", which
// hides the panel; the menu's "Enregistrer sous" and "Ouvrir" save and open schedule files. The
// schedule's state is the editor's controls themselves.

#include "board/BoardLink.h"
#include "platform/Dialogs.h"
#include "platform/SettingsDir.h"
#include "schedule/ScheduleFrame.h"

#include <QDateTime>
#include <QFrame>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace platine {

struct StoredSchedule;

class SchedulePanel : public QFrame
{
    Q_OBJECT
public:
    // fileDialog is the main window's file dialog (also the panel's way to tell the user); files
    // are param.ini and debug.ini.
    SchedulePanel(FileDialog &fileDialog, const SettingsFiles &files, QWidget *parent = nullptr);

    // The board link that "Programmer" sends through; Text3 shows its last answer. Without a link
    // nothing is sent, and only the panel's own reply display is emptied.
    void setBoard(BoardLink *link);
    // Where "Heure PC" reads the time (the computer clock unless a test says otherwise).
    void setClock(std::function<QDateTime()> clock);

    // InitScheduleEditor: the ten day entries, "Dimanche" selected.
    void initScheduleEditor();
    // ReadScheduleSettings: the editor from a profile file. A missing file or a file without the
    // sections empties the seven boxes and selects "Dimanche"; a file that exists but cannot be
    // read (or is larger than 1 MiB) leaves the editor as it is.
    void readScheduleSettings(const QString &path);

    // The editor's values as "Programmer" reads them.
    ScheduleValues values() const;
    // The selected position of the day list: -1 when its text is none of the entries.
    int dayPosition() const;
    // Selects a position; -1 clears the selection and the list's text.
    void setDayPosition(int position);

    QLineEdit *box(int index) const { return m_boxes[index]; } // Text2(index)
    QComboBox *dayList() const { return m_dayList; }
    QLineEdit *replyBox() const { return m_replyBox; }

Q_SIGNALS:
    // What "Programmer" did, for the status line: being sent, then sent (on which port, at what
    // time, what the board refused) or why not; the period corrected, a window that ends before it
    // starts. A time box that "Programmer" refuses, on saving and on opening a schedule file.
    void status(const QString &text);

public Q_SLOTS:
    void fillFromComputerClock(); // "Heure PC"
    void programBoard();          // "Programmer"
    void saveScheduleAs();        // menu "Enregistrer sous"
    void openSchedule();          // menu "Ouvrir"

private:
    void applyStoredSchedule(const StoredSchedule &stored);
    void commandSent(CommandId command);
    void boardRefused(CommandId command, const QString &line);
    void commandFailed(CommandId command, const LinkFailure &failure);
    void tellNotSent(const LinkFailure &failure);
    void showDate();
    void tell(MessageIcon icon, const QString &title, const QString &text);
    // Tells why a time box is refused (status line and message) and puts the cursor in it.
    void refuseBox(int box, const QString &title, const QString &text);

    FileDialog &m_fileDialog;
    SettingsFiles m_files;
    BoardLink *m_link = nullptr;
    CommandId m_sending = 0;  // the schedule being sent, 0 when none
    CommandId m_lastSent = 0; // the last schedule sent
    QString m_sentSentence;   // how it went, for the board's refusal to complete
    QStringList m_notes;      // what the status line adds to how the last schedule went
    std::function<QDateTime()> m_clock;

    QLineEdit *m_boxes[kScheduleBoxCount] = {};
    QComboBox *m_dayList = nullptr;
    QLineEdit *m_replyBox = nullptr;
    QLabel *m_dateLabel = nullptr;
};

} // namespace platine
