#pragma once
// Frame4: the schedule panel of the main window. It holds the schedule editor Frame2 (three daily
// acquisition windows, the days concerned, the period, the board's answer Text3 and "Heure PC"),
// the button "Programmer" that sends the schedule to the board, the date label Label5 and
// "Quitter", which hides the panel. The schedule's state is the editor's controls themselves.

#include "platform/ProfileFile.h"
#include "schedule/ScheduleFrame.h"

#include <QDateTime>
#include <QFrame>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace platine {

class BoardLink;
class FileDialog;
struct StoredSchedule;

class SchedulePanel : public QFrame
{
    Q_OBJECT
public:
    explicit SchedulePanel(QWidget *parent = nullptr);

    // The board link that "Programmer" sends through, and the step that empties the three reply
    // displays Text3, Text4 and Text1 before anything else. Without a link nothing is sent;
    // without clearReplies only Text3 is emptied.
    void setBoard(BoardLink *link, std::function<void()> clearReplies);
    // The main window's file dialog Dialogue1, used by "Enregistrer sous" and "Ouvrir" (without
    // one, the dialog service is asked directly).
    void setFileDialog(FileDialog *dialogue1);
    // Where "Heure PC" reads the time (the computer clock unless a test says otherwise).
    void setClock(std::function<QDateTime()> clock);

    // InitScheduleEditor: the ten day entries, "Dimanche" selected.
    void initScheduleEditor();
    // ReadScheduleSettings: the editor from a profile file. A missing file or a file without the
    // sections empties the seven boxes and selects "Dimanche"; a file that exists but cannot be
    // read leaves the editor as it is.
    void readScheduleSettings(const QString &path);
    // WriteScheduleSettings: the editor into a profile file, updated in place.
    ProfileWriteResult writeScheduleSettings(const QString &path);

    // The editor's values as "Programmer" reads them.
    ScheduleValues values() const;
    // The selected position of the day list: -1 when its text is none of the entries.
    int comboPosition() const;
    // Selects a position; -1 clears the selection and the list's text.
    void setComboPosition(int position);
    // Puts what a schedule file holds into the editor.
    void applyStoredSchedule(const StoredSchedule &stored);

    QLineEdit *text2(int index) const { return m_text2[index]; }
    QComboBox *combo1() const { return m_combo1; }
    QLineEdit *text3() const;
    QLabel *label5() const { return m_label5; }
    QTimer *timer2() const { return m_timer2; }

public Q_SLOTS:
    void command6Click();    // "Heure PC"
    void command7Click();    // "Programmer"
    void enregistrerClick(); // menu "Enregistrer sous"
    void ouvrirClick();      // menu "Ouvrir"

private:
    void timer2Tick();

    BoardLink *m_link = nullptr;
    std::function<void()> m_clearReplies;
    FileDialog *m_dialogue1 = nullptr;
    std::function<QDateTime()> m_clock;

    QGroupBox *m_frame2 = nullptr;
    QLineEdit *m_text2[kScheduleTextCount] = {};
    QComboBox *m_combo1 = nullptr;
    QLineEdit *m_text3 = nullptr;
    QPushButton *m_command6 = nullptr;
    QPushButton *m_command7 = nullptr;
    QPushButton *m_command5 = nullptr;
    QLabel *m_label5 = nullptr;
    QTimer *m_timer2 = nullptr;
};

} // namespace platine
