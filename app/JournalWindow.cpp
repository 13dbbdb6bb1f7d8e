#include "app/JournalWindow.h"

#include "board/BoardLink.h"
#include "board/ClockCommand.h"
#include "board/LinkMessages.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace platine {

QString journalLine(const JournalEntry &entry)
{
    const QString time = entry.time.toString(QStringLiteral("HH:mm:ss"));
    QString hex = QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    if (const QString clock = clockCommandText(entry.bytes); !clock.isEmpty())
        hex += QStringLiteral(" (%1)").arg(clock); // the date and time it sets
    if (entry.kind == JournalEntry::Kind::Sent)
        return QStringLiteral("%1  envoyé sur %2 : %3").arg(time, entry.port, hex);
    if (entry.kind == JournalEntry::Kind::NotSent) {
        return QStringLiteral("%1  non envoyé sur %2 : %3 (%4)")
            .arg(time, entry.port, hex,
                 entry.failure ? sendFailureReason(*entry.failure) : QString());
    }
    QString text;
    QByteArrayView bytes = entry.bytes;
    if (bytes.endsWith("\r\n")) // the end of the board's line
        bytes.chop(2);
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u < 0x20 || u == 0x7F)
            text += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += QChar(char16_t(u)); // byte value = character code, as the reply displays
    }
    return QStringLiteral("%1  reçu : %2").arg(time, text);
}

JournalWindow::JournalWindow(const BoardLink &link, QWidget *parent)
    : QWidget(parent, Qt::Window), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("journal"));
    setWindowTitle(QStringLiteral("Journal de la liaison avec la platine"));
    m_text->setObjectName(QStringLiteral("journal_texte"));
    m_text->setAccessibleName(QStringLiteral("Journal"));
    m_text->setReadOnly(true); // selectable and copyable all the same
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setMaximumBlockCount(BoardLink::kJournalEntries);
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::Monospace);
    m_text->setFont(fixed);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    resize(720, 360);
    for (const JournalEntry &entry : link.journal())
        add(entry);
    connect(&link, &BoardLink::journalAdded, this, &JournalWindow::add);
}

QString JournalWindow::text() const
{
    return m_text->toPlainText();
}

void JournalWindow::add(const JournalEntry &entry)
{
    m_text->appendPlainText(journalLine(entry));
}

} // namespace platine
