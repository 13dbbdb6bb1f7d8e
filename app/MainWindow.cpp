#include "app/MainWindow.h"

#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "platform/Dialogs.h"
#include "platform/PortChoice.h"
#include "platform/SerialPort.h"
#include "platform/SettingsDir.h"
#include "platform/TabOrder.h"
#include "platform/Twips.h"
#include "schedule/SchedulePanel.h"
#include "viewer/GraphWindow.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace platine {

namespace {

const QString kCaption = QStringLiteral("Acquisition de données sur carte SD - DORNAL  - Ferlanex V:1.1");
// What the three reply displays, which have no caption, are called for screen readers.
const QString kReplyName = QStringLiteral("Réponse de la platine");
constexpr int kClientWidth = 13335;
constexpr int kClientHeight = 8910;

// Panel captions are blue; the rest of the frame keeps the desktop's look.
void makeCaptionBlue(QGroupBox *frame)
{
    frame->setStyleSheet(QStringLiteral("QGroupBox#%1::title { color: #0000ff; }")
                             .arg(frame->objectName()));
}

template <typename W>
W *place(W *widget, const QString &name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left,
                    int top, int width, int height)
{
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

// A reply display: a text box with a background of its own, text kept as received.
QLineEdit *replyBox(QWidget *parent, const QString &name, const QString &text,
                    const QColor &background)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, background);
    box->setPalette(p);
    return box;
}

// What a clock field must hold, for the message that refuses it.
QString clockFieldRule(const QString &field)
{
    if (field == u"heure")
        return QStringLiteral("« Heures » doit contenir deux chiffres de 00 à 23");
    if (field == u"minutes")
        return QStringLiteral("« Minutes » doit contenir deux chiffres de 00 à 59");
    if (field == u"seconde")
        return QStringLiteral("« Secondes » doit contenir deux chiffres de 00 à 59");
    if (field == u"jour")
        return QStringLiteral("« Jour » doit contenir deux chiffres de 01 à 31");
    if (field == u"mois")
        return QStringLiteral("« Mois » doit contenir deux chiffres de 01 à 12");
    if (field == u"annee")
        return QStringLiteral("« Année » doit contenir l'année sur quatre chiffres");
    return QStringLiteral("« Jour de la semaine » doit contenir un des noms de Dimanche à Samedi, "
                          "écrit exactement");
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<SerialPort> port, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("Form1_client"));
    m_client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setCentralWidget(m_client);

    m_dialogue1 = new FileDialog(this);
    m_link = new BoardLink(std::move(port), paramIniPath(), this);

    buildFrame3();
    buildFrame1();
    m_frame4 = new SchedulePanel(m_client);
    m_frame4->setBoard(m_link, [this] { clearReplies(); });
    m_frame4->setFileDialog(m_dialogue1);
    m_frame4->hide();
    m_frame4->raise(); // the schedule panel covers the two others while it is shown
    buildMenu();

    connect(m_link, &BoardLink::replyReceived, this, &MainWindow::showReply);
    connect(m_link, &BoardLink::portLost, this, [this](const QString &reason) {
        refreshPortLabel();
        tellFailure(reason);
    });

    // Start-up: the schedule editor, the stored schedule, then the stored port number.
    m_frame4->initScheduleEditor();
    m_frame4->readScheduleSettings(paramIniPath());
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
           [this] { m_frame4->enregistrerClick(); });
    action(fichier->addAction(QStringLiteral("Ouvrir")), QStringLiteral("n_ouvrir"),
           [this] { m_frame4->ouvrirClick(); });
    action(fichier->addAction(QStringLiteral("Quitter")), QStringLiteral("n_quit"),
           &MainWindow::n_quit_Click);

    QMenu *param = bar->addMenu(QStringLiteral("Paramètrage"));
    param->setObjectName(QStringLiteral("n_param"));
    param->menuAction()->setObjectName(QStringLiteral("n_param"));
    action(param->addAction(QStringLiteral("Programmation")), QStringLiteral("n_prog"),
           &MainWindow::n_prog_Click);
    action(param->addAction(QStringLiteral("Mise à l'heure platine")),
           QStringLiteral("n_mise_a_l_heure"), &MainWindow::n_mise_a_l_heure_Click);
    action(param->addAction(QStringLiteral("Affichage heure platine")),
           QStringLiteral("n_heure_platine"), &MainWindow::n_heure_platine_Click);
    action(param->addAction(QStringLiteral("Port COM")), QStringLiteral("n_port"),
           &MainWindow::n_port_Click);

    action(bar->addAction(QStringLiteral("Graphique")), QStringLiteral("n_graphique"),
           &MainWindow::n_graphique_Click);
    bar->addAction(QString(12, u' '))->setObjectName(QStringLiteral("n_blanc"));
    action(bar->addAction(QStringLiteral("à propos de ...")), QStringLiteral("n_a_propos_de"),
           &MainWindow::n_a_propos_de_Click);
}

void MainWindow::buildFrame3()
{
    m_frame3 = place(new QGroupBox(QStringLiteral("Affichage de l'heure de la platine"), m_client),
                     QStringLiteral("Frame3"), 3750, 390, 6495, 1665);
    makeCaptionBlue(m_frame3);
    auto *command2 = button(m_frame3, QStringLiteral("Command2"), QStringLiteral("Ouverture port"),
                            240, 360, 1815, 420);
    connect(command2, &QPushButton::clicked, this, &MainWindow::command2Click);
    auto *command3 = button(m_frame3, QStringLiteral("Command3"), QStringLiteral("Fermeture port"),
                            240, 960, 1815, 420);
    connect(command3, &QPushButton::clicked, this, &MainWindow::command3Click);
    m_label8 = place(new QLabel(QStringLiteral("Port fermé"), m_frame3), QStringLiteral("Label8"),
                     2280, 360, 2760, 300);
    m_text1 = replyBox(m_frame3, QStringLiteral("Text1"), QStringLiteral("...."),
                       QColor(0xff, 0xff, 0xc0));
    m_text1->setGeometry(twipsRect(2280, 720, 2760, 660));
    m_text1->setAccessibleName(kReplyName);
    m_text1->installEventFilter(this);
    connect(m_text1, &QLineEdit::textChanged, this, &MainWindow::mirrorText1);
    auto *command9 = button(m_frame3, QStringLiteral("Command9"), QStringLiteral("Quitter"), 5220,
                            960, 1095, 420);
    connect(command9, &QPushButton::clicked, m_frame3, &QWidget::hide);
    chainTabOrder({command2, m_text1, command3, command9}); // top to bottom, left to right
    m_frame3->hide();
}

void MainWindow::buildFrame1()
{
    m_frame1 = place(new QGroupBox(QStringLiteral("Mise à l'heure de la platine"), m_client),
                     QStringLiteral("Frame1"), 6810, 2220, 4995, 5205);
    makeCaptionBlue(m_frame1);

    const QStringList captions = {QStringLiteral("Heures"),   QStringLiteral("Minutes"),
                                  QStringLiteral("Secondes"), QStringLiteral("Jour"),
                                  QStringLiteral("Mois"),     QStringLiteral("Année"),
                                  QStringLiteral("Jour de la semaine")};
    const QStringList names = {QStringLiteral("heure"), QStringLiteral("minutes"),
                               QStringLiteral("seconde"), QStringLiteral("jour"),
                               QStringLiteral("mois"), QStringLiteral("annee"),
                               QStringLiteral("numero_jour")};
    QLineEdit **fields[] = {&m_heure, &m_minutes, &m_seconde, &m_jour,
                            &m_mois,  &m_annee,   &m_numeroJour};
    QPalette grey;
    grey.setColor(QPalette::Base, QColor(0xe0, 0xe0, 0xe0));
    for (int i = 0; i < 7; ++i) {
        const int top = 330 + i * 405;
        auto *caption = place(new QLabel(captions[i], m_frame1),
                              QStringLiteral("Label3(%1)").arg(i), 240, top + 30, 2040, 270);
        auto *field = place(new QLineEdit(QStringLiteral(".."), m_frame1), names[i], 2400, top,
                            i == 6 ? 1680 : 1080, 315);
        field->setPalette(grey);
        caption->setBuddy(field);
        *fields[i] = field;
    }
    m_label1 = place(new QLabel(QStringLiteral("Label1"), m_frame1), QStringLiteral("Label1"), 240,
                     3240, 2040, 270);
    connect(button(m_frame1, QStringLiteral("Command4"), QStringLiteral("Heure PC"), 2400, 3180, 1680,
                   390),
            &QPushButton::clicked, this, &MainWindow::command4Click);
    m_text4 = replyBox(m_frame1, QStringLiteral("Text4"), QStringLiteral("..."),
                       palette().color(QPalette::Button));
    m_text4->setGeometry(twipsRect(240, 3720, 4515, 360));
    m_text4->setAccessibleName(kReplyName);
    connect(button(m_frame1, QStringLiteral("Command1"), QStringLiteral("Programmation"), 240, 4320,
                   2040, 450),
            &QPushButton::clicked, this, &MainWindow::command1Click);
    connect(button(m_frame1, QStringLiteral("Command8"), QStringLiteral("Quitter"), 3240, 4320,
                   1515, 450),
            &QPushButton::clicked, m_frame1, &QWidget::hide);

    m_timer1 = new QTimer(m_frame1);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        m_label1->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    });
    m_timer1->start();
    m_frame1->hide();
}

// ---- menu ---------------------------------------------------------------------------------

void MainWindow::n_quit_Click()
{
    m_link->flushPending();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::n_prog_Click() { m_frame4->show(); }

void MainWindow::n_mise_a_l_heure_Click()
{
    command4Click();
    m_frame1->show();
}

void MainWindow::n_heure_platine_Click() { m_frame3->show(); }

void MainWindow::n_port_Click()
{
    const auto answer = DialogService::instance().inputBox(
        this, QStringLiteral("Port de communication"),
        QStringLiteral("Changement du port de communication"), QString::number(m_link->commPort()),
        availablePortSuggestions(paramIniPath()));
    if (!answer || answer->isEmpty())
        return;
    QString error;
    m_link->changePortNumber(*answer, &error);
    if (!error.isEmpty())
        tellFailure(error);
}

void MainWindow::n_graphique_Click()
{
    if (!m_graph)
        m_graph = new GraphWindow(m_dialogue1);
    m_graph->show();
    m_graph->raise();
    m_graph->activateWindow();
}

void MainWindow::n_a_propos_de_Click()
{
    DialogService::instance().message(this, MessageIcon::Information,
                                      QStringLiteral("Platine - logiciel de la carte d'acquisition"),
                                      QStringLiteral("Acquisition de données sur carte SD ver:1.1"));
}

// ---- port and replies ---------------------------------------------------------------------

void MainWindow::command2Click()
{
    QString error;
    if (!m_link->openPort(&error)) {
        refreshPortLabel();
        tellFailure(error);
        return;
    }
    m_label8->setText(QStringLiteral("Port ouvert"));
}

void MainWindow::command3Click()
{
    m_link->closePort();
    m_label8->setText(QStringLiteral("Port fermé"));
}

// After a failure the label tells the truth about the port.
void MainWindow::refreshPortLabel()
{
    if (!m_link->isOpen())
        m_label8->setText(QStringLiteral("Port fermé"));
}

void MainWindow::showReply(const QString &text)
{
    m_text1->setText(text);
    // Text3 follows Text1 through the mirror already; the receive handler copies it once more.
    m_frame4->text3()->setText(m_text1->text());
}

void MainWindow::mirrorText1(const QString &text)
{
    m_frame4->text3()->setText(text);
    m_text4->setText(text);
}

void MainWindow::clearReplies()
{
    m_frame4->text3()->clear();
    m_text4->clear();
    m_text1->clear();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text1 && event->type() == QEvent::MouseButtonPress)
        m_text1->clear();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::tellFailure(const QString &text)
{
    DialogService::instance().message(this, MessageIcon::Warning, windowTitle(), text);
}

// ---- board clock --------------------------------------------------------------------------

void MainWindow::command4Click()
{
    const ClockFields f = clockFieldsFrom(QDateTime::currentDateTime());
    m_heure->setText(f.heure);
    m_minutes->setText(f.minutes);
    m_seconde->setText(f.seconde);
    m_jour->setText(f.jour);
    m_mois->setText(f.mois);
    m_annee->setText(f.annee);
    m_numeroJour->setText(f.numero_jour);
}

void MainWindow::command1Click()
{
    clearReplies();
    const ClockFields fields{m_heure->text(), m_minutes->text(), m_seconde->text(), m_jour->text(),
                             m_mois->text(),  m_annee->text(),   m_numeroJour->text()};
    // An impossible date or time is never written into the board's clock. The fields are checked
    // before the port is opened, so a refused command leaves the port as it was.
    const QString wrong = invalidClockField(fields);
    if (!wrong.isEmpty()) {
        tellFailure(QStringLiteral("Mise à l'heure de la platine : le champ %1. Rien n'a été envoyé.")
                        .arg(clockFieldRule(wrong)));
        if (auto *field = m_frame1->findChild<QLineEdit *>(wrong))
            field->setFocus();
        return;
    }
    QString error;
    if (!m_link->ensureOpen(&error)) {
        tellFailure(error);
        return;
    }
    if (!m_link->writeMessage(encodeClockCommand(fields), &error))
        tellFailure(error);
}

} // namespace platine
