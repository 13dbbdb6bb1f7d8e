#include "schedule/SchedulePanel.h"

#include "board/LinkMessages.h"
#include "platform/Dialogs.h"
#include "platform/Placement.h"
#include "platform/TabOrder.h"
#include "schedule/FileMessages.h"
#include "schedule/ScheduleProgramming.h"
#include "schedule/ScheduleSettings.h"

#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace platine {

namespace {

// Positions and sizes in twips.
constexpr int kPanelWidth = 13365;
constexpr int kPanelHeight = 8865;

constexpr int kEditorLeft = 360, kEditorTop = 360, kEditorWidth = 6375, kEditorHeight = 6375;
constexpr int kMargin = 360;     // left margin inside Frame2
constexpr int kRowHeight = 375;  // text boxes, labels and the list
constexpr int kLabelWidth = 840; // "Début" / "Fin"
constexpr int kBoxLeft = 1320;   // the column of time boxes
constexpr int kBoxWidth = 1455;
constexpr int kDaysLeft = 3240; // days caption and list, right of the first window
constexpr int kDaysWidth = 2775;

// The six time rows, two per window with a gap between windows.
constexpr int timeRowTop(int k)
{
    return 600 + k * 540 + (k / 2) * 240;
}

constexpr int kPeriodTop = timeRowTop(5) + 720;
constexpr int kReplyTop = kPeriodTop + 600;
constexpr int kClockButtonTop = kReplyTop + 660;

QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top,
              int width, int height = kRowHeight)
{
    auto *l = place(new QLabel(text, parent), name, left, top, width, height);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

const QString kProgrammerTitle = QStringLiteral("Programmation des horaires d'acquisition");

// How a time box is named to the user: "fenêtre 2, « Fin »".
QString timeBoxDescription(int box)
{
    const QString edge = box % 2 == 0 ? QStringLiteral("Début") : QStringLiteral("Fin");
    return QStringLiteral("fenêtre %1, « %2 »").arg(box / 2 + 1).arg(edge);
}

// Why "Programmer" (and "Enregistrer sous") refuses an unusable time box.
QString invalidTimeMessage(int box, const QString &text)
{
    return QStringLiteral("L'heure de la %1 (« %2 ») doit s'écrire hh:mm ou hh:mm:ss : l'heure "
                          "de 00 à 23, les minutes et les secondes de 00 à 59.")
        .arg(timeBoxDescription(box), text);
}

} // namespace

SchedulePanel::SchedulePanel(FileDialog &fileDialog, const SettingsFiles &files, QWidget *parent)
    : QFrame(parent),
      m_fileDialog(fileDialog),
      m_files(files),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("Frame4"));
    place(this, 0, 0, kPanelWidth, kPanelHeight);
    setAutoFillBackground(true); // the panel covers whatever lies beneath it

    auto *editor = place(new QGroupBox(kProgrammerTitle, this), QStringLiteral("Frame2"),
                         kEditorLeft, kEditorTop, kEditorWidth, kEditorHeight);

    for (int k = 0; k < kScheduleTimeCount; ++k) {
        const int top = timeRowTop(k);
        const bool start = k % 2 == 0;
        QLabel *caption = label(editor, QStringLiteral("Label_t%1").arg(k),
                                start ? QStringLiteral("Début") : QStringLiteral("Fin"), kMargin,
                                top, kLabelWidth);
        m_boxes[k] = place(new QLineEdit(editor), QStringLiteral("Text2(%1)").arg(k), kBoxLeft, top,
                           kBoxWidth, kRowHeight);
        caption->setBuddy(m_boxes[k]);
        // Six boxes under two captions: each says which end of which window it holds.
        m_boxes[k]->setAccessibleName(
            (start ? QStringLiteral("Début de la plage %1") : QStringLiteral("Fin de la plage %1"))
                .arg(k / 2 + 1));
    }

    QLabel *days = label(editor, QStringLiteral("Label_jours"),
                         QStringLiteral("Jour(s) concerné(s)"), kDaysLeft, timeRowTop(0),
                         kDaysWidth);
    m_dayList = place(new QComboBox(editor), QStringLiteral("combo1(0)"), kDaysLeft, timeRowTop(1),
                      kDaysWidth, kRowHeight);
    m_dayList->setEditable(true);
    m_dayList->setInsertPolicy(QComboBox::NoInsert); // a typed text stays a text of its own
    m_dayList->setMaxVisibleItems(kDayEntryCount);
    days->setBuddy(m_dayList);

    QLabel *period = label(editor, QStringLiteral("Label_periode"),
                           QStringLiteral("Période d'acquisition  (2s - 120s)"), kMargin,
                           kPeriodTop, 3480);
    m_boxes[kPeriodBox] = place(new QLineEdit(editor), QStringLiteral("Text2(6)"), 3960, kPeriodTop,
                                975, kRowHeight);
    period->setBuddy(m_boxes[kPeriodBox]);

    m_replyBox = place(new QLineEdit(QStringLiteral("...."), editor), QStringLiteral("Text3"),
                       kMargin, kReplyTop, kEditorWidth - 2 * kMargin, kRowHeight);
    m_replyBox->setReadOnly(true);
    m_replyBox->setAccessibleName(QStringLiteral("Réponse de la platine"));
    {
        QPalette p = m_replyBox->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        m_replyBox->setPalette(p);
    }

    auto *clockButton = placeButton(editor, QStringLiteral("Command6(0)"),
                                    QStringLiteral("Heure PC"), kMargin, kClockButtonTop, 1815,
                                    495);

    // Outside the editor, on the panel itself.
    auto *programButton = placeButton(this, QStringLiteral("Command7"),
                                      QStringLiteral("Programmer"), 7320, 600, 2175, 615);
    m_dateLabel = label(this, QStringLiteral("Label5"), QStringLiteral("..."), 7320, 1440, 2535);
    auto *credit = label(this, QStringLiteral("Label_credit"),
                         QStringLiteral("Acquisition de données sur carte SD"), kEditorLeft, 7260,
                         6375);
    QFont creditFont = credit->font();
    creditFont.setItalic(true);
    credit->setFont(creditFont);
    auto *quitButton = placeButton(this, QStringLiteral("Command5"), QStringLiteral("Quitter"),
                                   11400, 7920, 1575, 495);

    // Top to bottom, left to right within a row: the editor first, then the panel's own buttons.
    chainTabOrder({m_boxes[0], m_boxes[1], m_dayList, m_boxes[2], m_boxes[3], m_boxes[4],
                   m_boxes[5], m_boxes[kPeriodBox], m_replyBox, clockButton, programButton,
                   quitButton});

    connect(clockButton, &QPushButton::clicked, this, &SchedulePanel::fillFromComputerClock);
    connect(programButton, &QPushButton::clicked, this, &SchedulePanel::programBoard);
    connect(quitButton, &QPushButton::clicked, this, &QWidget::hide);

    auto *dateTimer = new QTimer(this);
    dateTimer->setObjectName(QStringLiteral("Timer2"));
    dateTimer->setInterval(1000);
    connect(dateTimer, &QTimer::timeout, this, &SchedulePanel::showDate);
    dateTimer->start();

    hide();
}

void SchedulePanel::setBoard(BoardLink *link)
{
    m_link = link;
    connect(link, &BoardLink::replyChanged, m_replyBox, &QLineEdit::setText);
    connect(link, &BoardLink::commandSent, this, &SchedulePanel::commandSent);
    connect(link, &BoardLink::commandFailed, this, &SchedulePanel::commandFailed);
    connect(link, &BoardLink::boardRefused, this, &SchedulePanel::boardRefused);
}

void SchedulePanel::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void SchedulePanel::initScheduleEditor()
{
    m_dayList->clear();
    m_dayList->addItems(dayListEntries());
    setDayPosition(0);
}

int SchedulePanel::dayPosition() const
{
    const QString text = m_dayList->currentText();
    const int index = m_dayList->currentIndex();
    if (index >= 0 && m_dayList->itemText(index) == text)
        return index;
    // The text was typed: it counts as an entry only when it is one, spelled exactly.
    return m_dayList->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void SchedulePanel::setDayPosition(int position)
{
    if (position < 0 || position >= m_dayList->count()) {
        m_dayList->setCurrentIndex(-1);
        m_dayList->clearEditText();
        return;
    }
    m_dayList->setCurrentIndex(position);
    m_dayList->setEditText(m_dayList->itemText(position)); // also when the index did not change
}

ScheduleValues SchedulePanel::values() const
{
    ScheduleValues v;
    for (int i = 0; i < kScheduleBoxCount; ++i)
        v.boxes[i] = m_boxes[i]->text();
    v.dayPosition = dayPosition();
    return v;
}

void SchedulePanel::applyStoredSchedule(const StoredSchedule &stored)
{
    for (int i = 0; i < kScheduleBoxCount; ++i)
        m_boxes[i]->setText(stored.boxes[i]);
    if (stored.dayPosition)
        setDayPosition(*stored.dayPosition);
}

void SchedulePanel::readScheduleSettings(const QString &path)
{
    if (const auto stored = loadScheduleFile(path))
        applyStoredSchedule(*stored);
}

void SchedulePanel::fillFromComputerClock()
{
    // The clock is read anew for each box, as the button always did.
    for (int k = 0; k < kScheduleTimeCount; ++k)
        m_boxes[k]->setText(computerTimeText(m_clock().time()));
    setDayPosition(weekdayPosition(m_clock().date()));
}

void SchedulePanel::programBoard()
{
    // The reply displays are emptied before anything is read.
    if (m_link)
        m_link->clearReply();
    else
        m_replyBox->clear();

    const ScheduleValues v = values();
    const ProgrammingResult result = programSchedule(v, m_files);

    QLineEdit *period = m_boxes[kPeriodBox];
    if (result.period != period->text())
        period->setText(result.period); // the user sees the corrected period
    if (const int bad = result.invalidTimeBox; bad >= 0) {
        return refuseBox(bad, kProgrammerTitle,
                         invalidTimeMessage(bad, v.boxes[bad])
                             + QStringLiteral("\nRien n'a été programmé."));
    }
    m_notes.clear(); // for the status line, after how the sending went
    const std::optional<int> seconds = periodSeconds(result.period);
    if (seconds && periodSeconds(v.boxes[kPeriodBox]) != seconds)
        m_notes << QStringLiteral("Période ramenée à %1 s.").arg(*seconds);
    // The windows that end before they start, told in one sentence, short enough for the status
    // line with the rest.
    QStringList overMidnight;
    for (const int w : windowsEndingBeforeStart(v)) {
        overMidnight << QStringLiteral("%1 (%2 avant %3)")
                            .arg(QString::number(w + 1), v.boxes[2 * w + 1].left(5),
                                 v.boxes[2 * w].left(5));
    }
    if (overMidnight.size() == 1) {
        m_notes << QStringLiteral("La fenêtre %1 finit avant de commencer : envoyée telle quelle, "
                                  "la platine peut la lire comme une plage sur minuit.")
                       .arg(overMidnight[0]);
    } else if (!overMidnight.isEmpty()) {
        const QString last = overMidnight.takeLast();
        m_notes << QStringLiteral("Les fenêtres %1 et %2 finissent avant de commencer : envoyées "
                                  "telles quelles, la platine peut les lire comme des plages sur "
                                  "minuit.")
                       .arg(overMidnight.join(QStringLiteral(", ")), last);
    }
    m_sending = 0;
    if (m_link) {
        const LinkResult<CommandId> sent = m_link->sendToBoard(*result.frame);
        if (sent) {
            m_sending = *sent;
            const QString sending =
                QStringLiteral("Programme en cours d'envoi à la platine sur le port %1…")
                    .arg(m_link->portName());
            Q_EMIT status((QStringList(sending) + m_notes).join(u' '));
        } else if (sent.error().kind == LinkProblem::WriteFailed) {
            tellNotSent(sent.error());
        } else {
            const QString why = openFailureMessage(*m_link, sent.error());
            const QString notSent =
                QStringLiteral("Programme non envoyé : %1").arg(why.section(u'\n', 0, 0));
            Q_EMIT status((QStringList(notSent) + m_notes).join(u' '));
            tell(MessageIcon::Critical, kProgrammerTitle,
                 QStringLiteral("Le programme n'a pas été envoyé à la platine.\n") + why);
        }
    } else {
        Q_EMIT status(m_notes.join(u' '));
    }
    QStringList unwritten;
    if (!result.debugIni)
        unwritten << cannotWriteMessage(m_files.debugIni(), result.debugIni.error());
    if (!result.paramIni)
        unwritten << cannotWriteMessage(m_files.paramIni(), result.paramIni.error())
                  << QStringLiteral("Ce programme ne sera pas rétabli au prochain démarrage.");
    if (!unwritten.isEmpty())
        tell(MessageIcon::Warning, kProgrammerTitle, unwritten.join(u'\n'));
}

void SchedulePanel::commandSent(CommandId command)
{
    if (command != m_sending || command == 0)
        return;
    m_sending = 0;
    m_lastSent = command;
    m_sentSentence = QStringLiteral("Programme envoyé à la platine sur le port %1 à %2.")
                         .arg(m_link->portName(),
                              QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    Q_EMIT status((QStringList(m_sentSentence) + m_notes).join(u' '));
}

void SchedulePanel::boardRefused(CommandId command, const QString &line)
{
    if (command == m_lastSent && command != 0)
        Q_EMIT status((QStringList(refusedSentence(m_sentSentence, line)) + m_notes).join(u' '));
}

void SchedulePanel::commandFailed(CommandId command, const LinkFailure &failure)
{
    if (command != m_sending)
        return;
    m_sending = 0;
    tellNotSent(failure);
}

void SchedulePanel::tellNotSent(const LinkFailure &failure)
{
    if (failure.kind == LinkProblem::DeviceLost)
        return; // the main window tells the loss, once
    const QString why = QStringLiteral("Le programme n'a pas pu être envoyé à la platine sur le "
                                       "port %1 : %2.")
                            .arg(m_link->portName(), sendFailureReason(failure));
    Q_EMIT status((QStringList(why) + m_notes).join(u' '));
    tell(MessageIcon::Critical, kProgrammerTitle, why);
}

void SchedulePanel::refuseBox(int box, const QString &title, const QString &text)
{
    Q_EMIT status(QString(text).replace(u'\n', u' '));
    tell(MessageIcon::Warning, title, text);
    m_boxes[box]->setFocus(Qt::OtherFocusReason);
    m_boxes[box]->selectAll();
}

void SchedulePanel::saveScheduleAs()
{
    // A schedule "Programmer" would refuse is not kept either.
    const ScheduleValues v = values();
    if (const int bad = firstInvalidTimeBox(v); bad >= 0) {
        return refuseBox(bad, QStringLiteral("Enregistrer sous"),
                         invalidTimeMessage(bad, v.boxes[bad])
                             + QStringLiteral("\nRien n'a été enregistré."));
    }
    const std::optional<QString> path = m_fileDialog.showSave(QStringLiteral("*.txt"));
    if (!path || path->isEmpty())
        return;
    const FileStatus saved = saveScheduleFile(*path, v);
    if (!saved)
        tell(MessageIcon::Warning, QStringLiteral("Enregistrer sous"),
             cannotWriteMessage(*path, saved.error())
                 + QStringLiteral("\nLe programme n'a pas été enregistré."));
}

void SchedulePanel::openSchedule()
{
    const std::optional<QString> path = m_fileDialog.showOpen(QStringLiteral("*.txt"));
    if (!path || path->isEmpty())
        return;
    const Result<StoredSchedule, FileFailure> stored = loadScheduleFile(*path);
    if (!stored) {
        tell(MessageIcon::Warning, QStringLiteral("Ouvrir"),
             QStringLiteral("Impossible de lire « %1 » : %2\nLe programme affiché n'a pas changé.")
                 .arg(*path, fileProblemText(*path, stored.error())));
        return;
    }
    if (!stored->holdsSchedule) { // another kind of file: the editor is not emptied by mistake
        tell(MessageIcon::Warning, QStringLiteral("Ouvrir"),
             QStringLiteral("« %1 » ne contient aucun programme d'acquisition (sections [txt0] à "
                            "[txt6] et [cmb0]).\nLe programme affiché n'a pas changé.")
                 .arg(*path));
        return;
    }
    applyStoredSchedule(*stored);
    const ScheduleValues v = values();
    if (const int bad = firstInvalidTimeBox(v); bad >= 0) {
        QString rule = invalidTimeMessage(bad, v.boxes[bad]);
        rule[0] = rule[0].toLower();
        refuseBox(bad, QStringLiteral("Ouvrir"),
                  QStringLiteral("Programme de « %1 » chargé, mais « Programmer » le refusera tel "
                                 "quel : %2")
                      .arg(*path, rule));
    }
}

void SchedulePanel::showDate()
{
    // As French users write a date, 07/03/2026, whatever the system's language.
    m_dateLabel->setText(QLocale(QLocale::French, QLocale::France)
                             .toString(QDate::currentDate(), QLocale::ShortFormat));
}

void SchedulePanel::tell(MessageIcon icon, const QString &title, const QString &text)
{
    m_fileDialog.dialogs().message(window(), icon, title, text);
}

} // namespace platine
