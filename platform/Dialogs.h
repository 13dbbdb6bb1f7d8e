#pragma once
// The modal dialogs the program asks of the desktop: file choice, input box, message box.
// Windows call them through DialogService::instance(); tests install a scripted service.

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace platine {

enum class MessageIcon { Information, Warning, Critical };

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
    // A modal input box; nullopt when cancelled. An accepted empty field gives an empty string.
    virtual std::optional<QString> inputBox(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &defaultText) = 0;
    // The same box whose field is also a list of suggestions: choosing one puts its value in the
    // field, typing works as in the plain box, and the answer is the field's text (the value of a
    // suggestion when the field holds its label). Without suggestions it is the plain box, which is
    // also what a service that knows no suggestions shows.
    virtual std::optional<QString> inputBox(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &defaultText,
                                            const QList<InputSuggestion> &suggestions);
    virtual void message(QWidget *parent, MessageIcon icon, const QString &title,
                         const QString &text) = 0;

    static DialogService &instance();
    // Replaces the service (tests); nullptr restores the desktop's. Not owned.
    static void setInstance(DialogService *service);
};

// The main window's common file dialog control (objectName "Dialogue1"), in the shape the windows
// use it: set the initial name, show it, read back the chosen name.
class FileDialog : public QObject
{
    Q_OBJECT
public:
    explicit FileDialog(QWidget *owner);
    // Returns the chosen path, or nullopt when the user cancelled.
    std::optional<QString> showOpen(const QString &initialName = QStringLiteral("*.txt"));
    std::optional<QString> showSave(const QString &initialName = QStringLiteral("*.txt"));

private:
    QWidget *m_owner;
};

} // namespace platine
