#pragma once
// Form1: the main window. A menu bar and three panels shown and hidden from the menu: the clock
// panel Frame1, the port and board-display panel Frame3 and the schedule panel Frame4.

#include "platform/SettingsDir.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace platine {

class BoardLink;
class ClockPanel;
class DialogService;
class FileDialog;
class GraphWindow;
class JournalWindow;
class SchedulePanel;
class SerialPort;
struct ProgramState;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence: InitScheduleEditor, ReadScheduleSettings
    // on param.ini, LoadPortSetting. The port stays closed and the panels hidden. dialogs and state
    // must outlive the window.
    MainWindow(std::unique_ptr<SerialPort> port, DialogService &dialogs, const SettingsFiles &files,
               ProgramState &state, QWidget *parent = nullptr);
    ~MainWindow() override;

    BoardLink *link() const { return m_link; }
    SchedulePanel *schedulePanel() const { return m_schedulePanel; }
    GraphWindow *graphWindow() const;     // null until "Graphique" or after its close box
    JournalWindow *journalWindow() const; // null until "Journal de la liaison"

public Q_SLOTS:
    // The menu.
    void quitProgram();
    void showSchedulePanel();
    void showClockPanel();
    void showBoardDisplayPanel();
    void askPortNumber();
    void showJournal();
    void showViewer();
    // The viewer shown with an acquisition file loaded as "Ouvrir fichier" loads it (a file given
    // on the command line).
    void showFileInViewer(const QString &path);
    void showAbout();

    // The port and board-display panel.
    void openPort();
    void closePort();
    // Empties the three reply displays.
    void clearReplies();

private:
    void buildMenu();
    void buildBoardDisplayPanel();
    void showReply(const QString &text);
    void refreshPortLabel();
    void showStatus(const QString &text);
    void tellFailure(const QString &text);
    bool eventFilter(QObject *watched, QEvent *event) override;

    DialogService &m_dialogs;
    SettingsFiles m_files;
    ProgramState &m_state;
    BoardLink *m_link = nullptr;
    FileDialog *m_fileDialog = nullptr;
    QPointer<GraphWindow> m_graph;
    QPointer<JournalWindow> m_journal;

    QWidget *m_client = nullptr;
    ClockPanel *m_clockPanel = nullptr;
    QGroupBox *m_boardDisplayPanel = nullptr;
    SchedulePanel *m_schedulePanel = nullptr;

    QLabel *m_portLabel = nullptr;
    QLineEdit *m_reply = nullptr; // Text1, the main reply display
    QLabel *m_status = nullptr;   // aide, the status line under the panels
};

} // namespace platine
