#include "board/ClockPanel.h"

#include "board/LinkMessages.h"
#include "platform/Bcd.h"
#include "platform/DayNames.h"
#include "platform/Dialogs.h"
#include "platform/PanelLook.h"
#include "platform/Placement.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace platine {

namespace {

// What a clock field must hold, for the message that refuses it.
QString clockFieldRule(ClockField field, const ClockFields &f)
{
    switch (field) {
    case ClockField::Hours:
        return QStringLiteral("« Heures » doit contenir deux chiffres de 00 à 23");
    case ClockField::Minutes:
        return QStringLiteral("« Minutes » doit contenir deux chiffres de 00 à 59");
    case ClockField::Seconds:
        return QStringLiteral("« Secondes » doit contenir deux chiffres de 00 à 59");
    case ClockField::Day: break;
    case ClockField::Month:
        return QStringLiteral("« Mois » doit contenir deux chiffres de 01 à 12");
    case ClockField::Year:
        return QStringLiteral("« Année » doit contenir l'année sur quatre chiffres");
    case ClockField::Weekday:
        return QStringLiteral("« Jour de la semaine » doit contenir un des noms de Dimanche à "
                              "Samedi, écrit exactement");
    }
    if (!twoDigitsIn(f.day, 0, 1, 31))
        return QStringLiteral("« Jour » doit contenir deux chiffres de 01 à 31");
    return QStringLiteral("« Jour » donne une date qui n'existe pas (%1/%2/%3)")
        .arg(f.day.left(2), f.month.left(2), f.year);
}

} // namespace

ClockPanel::ClockPanel(DialogService &dialogs, QWidget *parent)
    : QGroupBox(QStringLiteral("Mise à l'heure de la platine"), parent),
      m_dialogs(dialogs),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    place(this, QStringLiteral("Frame1"), 6810, 2220, 4995, 5205);
    makeCaptionBlue(this);

    const QStringList captions = {QStringLiteral("Heures"),
                                  QStringLiteral("Minutes"),
                                  QStringLiteral("Secondes"),
                                  QStringLiteral("Jour"),
                                  QStringLiteral("Mois"),
                                  QStringLiteral("Année"),
                                  QStringLiteral("Jour de la semaine")};
    const QStringList names = {QStringLiteral("heure"),      QStringLiteral("minutes"),
                               QStringLiteral("seconde"),    QStringLiteral("jour"),
                               QStringLiteral("mois"),       QStringLiteral("annee"),
                               QStringLiteral("numero_jour")};
    QPalette grey;
    grey.setColor(QPalette::Base, QColor(0xe0, 0xe0, 0xe0));
    for (int i = 0; i < 7; ++i) {
        const int top = 330 + i * 405;
        auto *caption = place(new QLabel(captions[i], this), QStringLiteral("Label3(%1)").arg(i),
                              240, top + 30, 2040, 270);
        auto *field = place(new QLineEdit(QStringLiteral(".."), this), names[i], 2400, top,
                            i == 6 ? 1680 : 1080, 315);
        field->setPalette(grey);
        caption->setBuddy(field);
        m_fields[std::size_t(i)] = field;
        // A field changed by anything but the clock stops it; the weekday follows a whole date.
        connect(field, &QLineEdit::textChanged, this, [this, i] {
            if (m_filling)
                return;
            m_following = false;
            if (i >= int(ClockField::Day) && i <= int(ClockField::Year))
                followDate();
        });
    }
    m_timeLabel = place(new QLabel(QStringLiteral("Label1"), this), QStringLiteral("Label1"), 240,
                        3240, 2040, 270);
    connect(placeButton(this, QStringLiteral("Command4"), QStringLiteral("Heure PC"), 2400, 3180,
                        1680, 390),
            &QPushButton::clicked, this, &ClockPanel::fillFromComputerClock);
    m_replyBox = platine::replyBox(this, QStringLiteral("Text4"), QStringLiteral("..."),
                                   palette().color(QPalette::Button));
    place(m_replyBox, 240, 3720, 4515, 360);
    connect(placeButton(this, QStringLiteral("Command1"), QStringLiteral("Programmation"), 240,
                        4320, 2040, 450),
            &QPushButton::clicked, this, &ClockPanel::sendToBoard);
    connect(placeButton(this, QStringLiteral("Command8"), QStringLiteral("Quitter"), 3240, 4320,
                        1515, 450),
            &QPushButton::clicked, this, &QWidget::hide);

    auto *timeTimer = new QTimer(this);
    timeTimer->setObjectName(QStringLiteral("Timer1"));
    timeTimer->setInterval(1000);
    connect(timeTimer, &QTimer::timeout, this, [this] {
        const QDateTime now = m_clock();
        m_timeLabel->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
        if (m_following)
            showTime(now);
    });
    timeTimer->start();
    hide();
}

void ClockPanel::setBoard(BoardLink *link)
{
    m_link = link;
    connect(link, &BoardLink::replyChanged, m_replyBox, &QLineEdit::setText);
    connect(link, &BoardLink::commandSent, this, &ClockPanel::commandSent);
    connect(link, &BoardLink::commandFailed, this, &ClockPanel::commandFailed);
    connect(link, &BoardLink::boardRefused, this, &ClockPanel::boardRefused);
}

void ClockPanel::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void ClockPanel::fillFromComputerClock()
{
    showTime(m_clock());
    m_following = true;
}

void ClockPanel::showTime(const QDateTime &time)
{
    const ClockFields f = clockFieldsFrom(time);
    const QString texts[] = {f.hours, f.minutes, f.seconds, f.day, f.month, f.year, f.weekday};
    m_filling = true;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(texts[i]);
    m_filling = false;
}

void ClockPanel::followDate()
{
    if (const QDate date = clockDate(fields()); date.isValid())
        m_fields[std::size_t(ClockField::Weekday)]->setText(weekdayNames().at(weekdayIndex(date)));
}

void ClockPanel::say(const QString &text)
{
    Q_EMIT status(m_note.isEmpty() ? text : text + u' ' + m_note);
}

ClockFields ClockPanel::fields() const
{
    const auto text = [this](ClockField f) { return m_fields[std::size_t(f)]->text(); };
    return {text(ClockField::Hours),  text(ClockField::Minutes), text(ClockField::Seconds),
            text(ClockField::Day),    text(ClockField::Month),   text(ClockField::Year),
            text(ClockField::Weekday)};
}

void ClockPanel::sendToBoard()
{
    if (m_link)
        m_link->clearReply(); // the three reply displays
    else
        m_replyBox->clear();
    if (m_following)
        showTime(m_clock()); // the time of the click, not that of the last tick
    ClockFields clock = fields();
    m_note.clear();
    // The weekday is the date's: one typed against it is corrected, and said.
    if (const QDate date = clockDate(clock); date.isValid()) {
        const QString weekday = weekdayNames().at(weekdayIndex(date));
        if (clock.weekday != weekday) {
            m_fields[std::size_t(ClockField::Weekday)]->setText(weekday);
            m_note = QStringLiteral("« Jour de la semaine » corrigé en « %1 » : le %2 est un %3.")
                         .arg(weekday, date.toString(QStringLiteral("dd/MM/yyyy")),
                              weekday.toLower());
            clock.weekday = weekday;
        }
    }
    // An impossible date or time is never written into the board's clock. The fields are checked
    // before the port is opened, so a refused command leaves the port as it was.
    if (const std::optional<ClockField> wrong = invalidClockField(clock)) {
        const QString why =
            QStringLiteral("Mise à l'heure de la platine : le champ %1. Rien n'a été envoyé.")
                .arg(clockFieldRule(*wrong, clock));
        say(why);
        tellFailure(why);
        m_fields[std::size_t(*wrong)]->setFocus();
        return;
    }
    if (!m_link)
        return;
    m_sending = 0;
    const QByteArray message = encodeClockCommand(clock);
    m_sendingText = clockCommandText(message);
    const LinkStatus opened = m_link->openPort();
    const LinkResult<CommandId> written = opened ? m_link->writeMessage(message) : opened.error();
    if (!written) {
        if (written.error().kind == LinkProblem::WriteFailed)
            return tellNotSent(written.error());
        const QString why = openFailureMessage(*m_link, written.error());
        say(QStringLiteral("Heure non envoyée : %1").arg(why.section(u'\n', 0, 0)));
        tellFailure(why);
        return;
    }
    m_sending = *written;
    say(QStringLiteral("Heure « %1 » en cours d'envoi à la platine sur le port %2…")
            .arg(m_sendingText, m_link->portName()));
}

void ClockPanel::commandSent(CommandId command)
{
    if (command != m_sending || command == 0)
        return;
    m_sending = 0;
    m_lastSent = command;
    m_sentSentence = QStringLiteral("Heure « %1 » envoyée à la platine sur le port %2 à %3.")
                         .arg(m_sendingText, m_link->portName(),
                              QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    say(m_sentSentence);
}

void ClockPanel::boardRefused(CommandId command, const QString &line)
{
    if (command == m_lastSent && command != 0)
        say(refusedSentence(m_sentSentence, line));
}

void ClockPanel::commandFailed(CommandId command, const LinkFailure &failure)
{
    if (command != m_sending)
        return;
    m_sending = 0;
    tellNotSent(failure);
}

void ClockPanel::tellNotSent(const LinkFailure &failure)
{
    if (failure.kind == LinkProblem::DeviceLost)
        return; // the main window tells the loss, once
    const QString why = QStringLiteral("L'heure n'a pas pu être envoyée à la platine sur le port "
                                       "%1 : %2.")
                            .arg(m_link->portName(), sendFailureReason(failure));
    say(why);
    tellFailure(why);
}

void ClockPanel::tellFailure(const QString &text)
{
    m_dialogs.message(window(), MessageIcon::Warning, window()->windowTitle(), text);
}

} // namespace platine
