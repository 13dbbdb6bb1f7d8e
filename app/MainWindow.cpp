#include "app/MainWindow.h"

#include "app/JournalWindow.h"
#include "board/BoardLink.h"
#include "board/ClockPanel.h"
#include "board/LinkMessages.h"
#include "platform/Dialogs.h"
#include "platform/PanelLook.h"
#include "platform/Placement.h"
#include "platform/PortNumbers.h"
#include "platform/QtSerialPort.h"
#include "platform/SerialPort.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "schedule/FileMessages.h"
#include "schedule/SchedulePanel.h"
#include "viewer/GraphWindow.h"
#include "viewer/ProgramState.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>

namespace platine {

namespace {

const QString kCaption =
    QStringLiteral("Acquisition de données sur carte SD - DORNAL  - Ferlanex V:1.1");
constexpr int kClientWidth = 13335;
constexpr int kClientHeight = 8910;

} // namespace

MainWindow::MainWindow(std::unique_ptr<SerialPort> port, DialogService &dialogs,
                       const SettingsFiles &files, ProgramState &state, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_files(files), m_state(state)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("Form1_client"));
    m_client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setCentralWidget(m_client);

    m_fileDialog = new FileDialog(this, dialogs, this);
    m_link = new BoardLink(std::move(port), m_files.paramIni(), this);
    m_link->setPortLister([this] { return availablePorts(m_files.paramIni()); });

    buildBoardDisplayPanel();
    m_clockPanel = new ClockPanel(dialogs, m_client);
    m_clockPanel->setBoard(m_link);
    m_schedulePanel = new SchedulePanel(*m_fileDialog, m_files, m_client);
    m_schedulePanel->setBoard(m_link);
    m_schedulePanel->hide();
    m_schedulePanel->raise(); // the schedule panel covers the two others while it is shown
    buildMenu();

    // The status line: how the last command went, and what was corrected on the way.
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    m_status = new QLabel(statusBar());
    m_status->setObjectName(QStringLiteral("aide"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for two lines, whatever the sentence: a long one wraps and the window keeps its size.
    m_status->setWordWrap(true);
    m_status->setFixedHeight(2 * m_status->fontMetrics().lineSpacing());
    statusBar()->addWidget(m_status, 1);
    connect(m_clockPanel, &ClockPanel::status, this, &MainWindow::showStatus);
    connect(m_schedulePanel, &SchedulePanel::status, this, &MainWindow::showStatus);

    connect(m_link, &BoardLink::replyChanged, this, &MainWindow::showReply);
    // The label follows the port, whatever opened or closed it.
    connect(m_link, &BoardLink::openChanged, this, &MainWindow::refreshPortLabel);
    connect(m_link, &BoardLink::autoClosed, this, [this](bool answered) {
        if (!answered) // after the command's own line: a board that says nothing is told too
            showStatus(m_status->text() + QStringLiteral(" La platine n'a rien répondu."));
    });
    connect(m_link, &BoardLink::portLost, this, [this] {
        const QString text = portLostMessage(*m_link);
        showStatus(text);
        tellFailure(text);
    });

    // Start-up: the schedule editor, the stored schedule, then the stored port number.
    m_schedulePanel->initScheduleEditor();
    m_schedulePanel->readScheduleSettings(m_files.paramIni());
    m_link->loadPortSetting();

    connect(qApp, &QCoreApplication::aboutToQuit, m_link, [this] { m_link->flushPending(); });
}

MainWindow::~MainWindow()
{
    delete m_graph;
}

GraphWindow *MainWindow::graphWindow() const
{
    return m_graph.data();
}

JournalWindow *MainWindow::journalWindow() const
{
    return m_journal.data();
}

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    auto action = [this](QAction *a, const QString &name, auto slot) {
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    fichier->setObjectName(QStringLiteral("n_fichier"));
    fichier->menuAction()->setObjectName(QStringLiteral("n_fichier"));
    action(fichier->addAction(QStringLiteral("Enregistrer sous")), QStringLiteral("n_enregistrer"),
           [this] { m_schedulePanel->saveScheduleAs(); });
    action(fichier->addAction(QStringLiteral("Ouvrir")), QStringLiteral("n_ouvrir"),
           [this] { m_schedulePanel->openSchedule(); });
    action(fichier->addAction(QStringLiteral("Quitter")), QStringLiteral("n_quit"),
           &MainWindow::quitProgram);

    QMenu *param = bar->addMenu(QStringLiteral("Paramètrage"));
    param->setObjectName(QStringLiteral("n_param"));
    param->menuAction()->setObjectName(QStringLiteral("n_param"));
    action(param->addAction(QStringLiteral("Programmation")), QStringLiteral("n_prog"),
           &MainWindow::showSchedulePanel);
    action(param->addAction(QStringLiteral("Mise à l'heure platine")),
           QStringLiteral("n_mise_a_l_heure"), &MainWindow::showClockPanel);
    action(param->addAction(QStringLiteral("Affichage heure platine")),
           QStringLiteral("n_heure_platine"), &MainWindow::showBoardDisplayPanel);
    action(param->addAction(QStringLiteral("Port COM")), QStringLiteral("n_port"),
           &MainWindow::askPortNumber);
    action(param->addAction(QStringLiteral("Journal de la liaison")), QStringLiteral("n_journal"),
           &MainWindow::showJournal);

    action(bar->addAction(QStringLiteral("Graphique")), QStringLiteral("n_graphique"),
           &MainWindow::showViewer);
    bar->addAction(QString(12, u' '))->setObjectName(QStringLiteral("n_blanc"));
    action(bar->addAction(QStringLiteral("à propos de ...")), QStringLiteral("n_a_propos_de"),
           &MainWindow::showAbout);
}

void MainWindow::buildBoardDisplayPanel()
{
    m_boardDisplayPanel =
        place(new QGroupBox(QStringLiteral("Affichage de l'heure de la platine"), m_client),
              QStringLiteral("Frame3"), 3750, 390, 6495, 1665);
    makeCaptionBlue(m_boardDisplayPanel);
    auto *openButton = placeButton(m_boardDisplayPanel, QStringLiteral("Command2"),
                                   QStringLiteral("Ouverture port"), 240, 360, 1815, 420);
    connect(openButton, &QPushButton::clicked, this, &MainWindow::openPort);
    auto *closeButton = placeButton(m_boardDisplayPanel, QStringLiteral("Command3"),
                                    QStringLiteral("Fermeture port"), 240, 960, 1815, 420);
    connect(closeButton, &QPushButton::clicked, this, &MainWindow::closePort);
    // Wide enough for "Port ouvert : COM33 (/dev/ttyUSB0)".
    m_portLabel = place(new QLabel(QStringLiteral("Port fermé"), m_boardDisplayPanel),
                        QStringLiteral("Label8"), 2280, 360, 3975, 300);
    m_reply = replyBox(m_boardDisplayPanel, QStringLiteral("Text1"), QStringLiteral("...."),
                       QColor(0xff, 0xff, 0xc0));
    place(m_reply, 2280, 720, 2760, 660);
    m_reply->installEventFilter(this);
    // What is typed into Text1 shows in the two others as well.
    connect(m_reply, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_schedulePanel->replyBox()->setText(text);
        m_clockPanel->replyBox()->setText(text);
    });
    auto *quitButton = placeButton(m_boardDisplayPanel, QStringLiteral("Command9"),
                                   QStringLiteral("Quitter"), 5220, 960, 1095, 420);
    connect(quitButton, &QPushButton::clicked, m_boardDisplayPanel, &QWidget::hide);
    chainTabOrder({openButton, m_reply, closeButton, quitButton}); // top to bottom, left to right
    m_boardDisplayPanel->hide();
}

// ---- menu ---------------------------------------------------------------------------------

void MainWindow::quitProgram()
{
    m_link->flushPending();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

// A panel chosen in the menu comes above the others.
void MainWindow::showSchedulePanel()
{
    m_schedulePanel->show();
    m_schedulePanel->raise();
}

void MainWindow::showClockPanel()
{
    m_clockPanel->fillFromComputerClock();
    m_clockPanel->show();
    m_clockPanel->raise();
}

void MainWindow::showBoardDisplayPanel()
{
    m_boardDisplayPanel->show();
    m_boardDisplayPanel->raise();
}

void MainWindow::showJournal()
{
    if (!m_journal) {
        m_journal = new JournalWindow(*m_link, this);
        m_journal->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_journal->show();
    m_journal->raise();
    m_journal->activateWindow();
}

void MainWindow::askPortNumber()
{
    const auto answer = m_dialogs.inputBox(this, QStringLiteral("Port de communication"),
                                           QStringLiteral("Changement du port de communication"),
                                           QString::number(m_link->portNumber()),
                                           portSuggestions(m_link->presentPorts()));
    if (!answer || answer->isEmpty())
        return;
    const BoardLink::PortChange change = m_link->changePortNumber(*answer);
    if (!change.answer) {
        tellFailure(
            change.answer.error().kind == LinkProblem::PortOpen
                ? QStringLiteral("Le port %1 est ouvert : fermez-le avant de changer de "
                                 "numéro.")
                      .arg(m_link->portName())
                : QStringLiteral("« %1 » n'est pas un numéro de port (un nombre de 1 à %2).")
                      .arg(*answer, QString::number(kMaxPortNumber)));
        return;
    }
    QStringList told; // in one message
    if (!change.stored)
        told << cannotWriteMessage(m_files.paramIni(), change.stored.error());
    // A number whose device is not on this machine is taken all the same: a "Ports" line may
    // name one later, or the device be plugged in.
    if (!m_link->presentPorts().contains(m_link->portNumber())) {
        told << openFailureMessage(*m_link, {LinkProblem::NoDevice});
        showStatus(told.last().section(u'\n', 0, 0));
    } else {
        showStatus(QStringLiteral("Port %1 choisi.").arg(m_link->portName()));
    }
    if (!told.isEmpty())
        tellFailure(told.join(QStringLiteral("\n\n")));
}

void MainWindow::showViewer()
{
    if (!m_graph)
        m_graph = new GraphWindow(*m_fileDialog, m_state);
    m_graph->show();
    m_graph->raise();
    m_graph->activateWindow();
}

void MainWindow::showFileInViewer(const QString &path)
{
    showViewer();
    m_graph->loadFile(path);
}

void MainWindow::showAbout()
{
    m_dialogs.message(this, MessageIcon::Information,
                      QStringLiteral("Platine - logiciel de la carte d'acquisition"),
                      QStringLiteral("Acquisition de données sur carte SD ver:1.1"));
}

// ---- port and replies ---------------------------------------------------------------------

void MainWindow::openPort()
{
    const LinkStatus opened = m_link->openPort();
    refreshPortLabel();
    if (!opened) {
        const QString why = openFailureMessage(*m_link, opened.error());
        showStatus(why.section(u'\n', 0, 0));
        tellFailure(why);
    }
}

void MainWindow::closePort()
{
    m_link->closePort();
    refreshPortLabel();
}

void MainWindow::refreshPortLabel()
{
    m_portLabel->setText(m_link->isOpen()
                             ? QStringLiteral("Port ouvert : %1").arg(m_link->portName())
                             : QStringLiteral("Port fermé"));
}

void MainWindow::showStatus(const QString &text)
{
    m_status->setText(text);
}

// Text1 shows the board's last answer, which the link keeps (the panels' Text3 and Text4 too).
void MainWindow::showReply(const QString &text)
{
    m_reply->setText(text);
}

void MainWindow::clearReplies()
{
    m_link->clearReply();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reply && event->type() == QEvent::MouseButtonPress)
        clearReplies();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::tellFailure(const QString &text)
{
    m_dialogs.message(this, MessageIcon::Warning, windowTitle(), text);
}

} // namespace platine
