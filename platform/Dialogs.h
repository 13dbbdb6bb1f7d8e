#pragma once
// The modal dialogs the program asks of the desktop: file choice, input box, message box. The
// windows are handed one DialogService by the start-up (the desktop's, DesktopDialogs) and pass
// it on; tests hand them a scripted one.

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace platine {

enum class MessageIcon { Information, Warning, Critical };

// The path with the extension of initialName added when its file name has none: "horaire" and
// "*.txt" give "horaire.txt". A name with a "." of its own, or a filter ("*"), is left as it is.
QString withSuffixOf(const QString &path, const QString &initialName);

// An answer an input box proposes: what its list shows, and what choosing it puts in the field.
struct InputSuggestion {
    QString label;
    QString value;
    friend bool operator==(const InputSuggestion &, const InputSuggestion &) = default;
};

class DialogService
{
public:
    virtual ~DialogService() = default;

    // An open or save file dialog starting with initialName (e.g. "*.txt"); nullopt when cancelled.
    // The save dialog asks before replacing an existing file.
    virtual std::optional<QString> openFile(QWidget *parent, const QString &initialName) = 0;
    virtual std::optional<QString> saveFile(QWidget *parent, const QString &initialName) = 0;
    // A modal input box whose field may also offer a list of suggestions: choosing one puts its
    // value in the field, typing works as in a plain box. nullopt when cancelled; an accepted
    // empty field gives an empty string.
    virtual std::optional<QString> inputBox(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &defaultText,
                                            const QList<InputSuggestion> &suggestions = {}) = 0;
    virtual void message(QWidget *parent, MessageIcon icon, const QString &title,
                         const QString &text) = 0;
};

// The main window's common file dialog control (objectName "Dialogue1"), in the shape the windows
// use it: set the initial name, show it, read back the chosen name.
class FileDialog : public QObject
{
    Q_OBJECT
public:
    // Dialogs open over owner; the control itself is a child of parent.
    FileDialog(QWidget *owner, DialogService &dialogs, QObject *parent);
    // Returns the chosen path, or nullopt when the user cancelled. A filter given back as the name
    // ("*.txt", with or without a folder before it) is a cancel too. A name chosen to save under
    // that has no extension gets the initial name's ("horaire" -> "horaire.txt" after "*.txt").
    std::optional<QString> showOpen(const QString &initialName = QStringLiteral("*.txt"));
    std::optional<QString> showSave(const QString &initialName = QStringLiteral("*.txt"));
    DialogService &dialogs() const { return m_dialogs; }

private:
    QWidget *m_owner;
    DialogService &m_dialogs;
};

} // namespace platine
