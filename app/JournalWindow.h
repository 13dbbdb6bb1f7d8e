#pragma once
// journal: the window that shows the board link's journal, what was sent to the board and what it
// sent back, one line each with its time. The text can be selected and copied; it follows the
// link as lines come.

#include <QWidget>

class QPlainTextEdit;

namespace platine {

class BoardLink;
struct JournalEntry;

// One line of the journal as the window shows it: "14:07:35  envoyé sur COM3 (/dev/pts/4) : 41
// 14 07 ...", "14:07:35  non envoyé sur COM3 (/dev/pts/4) : 41 14 07 ... (why)" or "14:07:36
// reçu : Heure reglee ...", control characters written <0D>.
QString journalLine(const JournalEntry &entry);

class JournalWindow : public QWidget
{
    Q_OBJECT
public:
    JournalWindow(const BoardLink &link, QWidget *parent = nullptr);

    QString text() const;

private:
    void add(const JournalEntry &entry);

    QPlainTextEdit *m_text = nullptr;
};

} // namespace platine
