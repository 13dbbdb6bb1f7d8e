#pragma once
// Form1: the main window. A menu bar and three panels shown and hidden from the menu: the clock
// panel Frame1, the port and board-display panel Frame3 and the schedule panel Frame4.

#include <QMainWindow>
#include <QPointer>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace platine {

class BoardLink;
class FileDialog;
class GraphWindow;
class SchedulePanel;
class SerialPort;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence: InitScheduleEditor, ReadScheduleSettings
    // on param.ini, LoadPortSetting. The port stays closed and the panels hidden.
    explicit MainWindow(std::unique_ptr<SerialPort> port, QWidget *parent = nullptr);
    ~MainWindow() override;

    BoardLink *link() const { return m_link; }
    SchedulePanel *schedulePanel() const { return m_frame4; }
    GraphWindow *graphWindow() const; // null until "Graphique" or after its close box
    FileDialog *dialogue1() const { return m_dialogue1; }

public Q_SLOTS:
    // Menu handlers.
    void n_quit_Click();
    void n_prog_Click();
    void n_mise_a_l_heure_Click();
    void n_heure_platine_Click();
    void n_port_Click();
    void n_graphique_Click();
    void n_a_propos_de_Click();

    // Frame3: the port.
    void command2Click(); // "Ouverture port"
    void command3Click(); // "Fermeture port"
    // Frame1: the board clock.
    void command4Click(); // "Heure PC"
    void command1Click(); // "Programmation"

    // Empties Text1, and through the mirror Text3 and Text4.
    void clearReplies();

private:
    void buildMenu();
    void buildFrame3();
    void buildFrame1();
    void showReply(const QString &text);
    void mirrorText1(const QString &text);
    void refreshPortLabel();
    void tellFailure(const QString &text);
    bool eventFilter(QObject *watched, QEvent *event) override;

    BoardLink *m_link = nullptr;
    FileDialog *m_dialogue1 = nullptr;
    QPointer<GraphWindow> m_graph;

    QWidget *m_client = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame3 = nullptr;
    SchedulePanel *m_frame4 = nullptr;

    QLabel *m_label8 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text4 = nullptr;
    QLabel *m_label1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QLineEdit *m_heure = nullptr, *m_minutes = nullptr, *m_seconde = nullptr, *m_jour = nullptr,
              *m_mois = nullptr, *m_annee = nullptr, *m_numeroJour = nullptr;
};

} // namespace platine
