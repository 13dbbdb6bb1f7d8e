#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

namespace platine {

namespace {

// An initial name made of wildcards ("*.txt") is a filter: the dialog lists the matching files and
// starts with an empty name. Any other initial name is proposed as the file name.
struct Start {
    QString directory, filter;
};

Start startFor(const QString &initialName)
{
    Start s;
    const QString name = initialName.trimmed();
    if (name.contains(u'*') || name.contains(u'?')) {
        const QFileInfo info(name);
        if (name.contains(u'/'))
            s.directory = info.path();
        const QString pattern = info.fileName();
        s.filter = QStringLiteral("%1 (%1);;%2 (*)")
                       .arg(pattern, QStringLiteral("Tous les fichiers"));
    } else {
        s.directory = name;
        s.filter = QStringLiteral("Tous les fichiers") + QStringLiteral(" (*)");
    }
    return s;
}

class DesktopDialogs final : public DialogService
{
public:
    std::optional<QString> openFile(QWidget *parent, const QString &initialName) override
    {
        const Start s = startFor(initialName);
        const QString path = QFileDialog::getOpenFileName(parent, QString(), s.directory, s.filter);
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }

    std::optional<QString> saveFile(QWidget *parent, const QString &initialName) override
    {
        // QFileDialog asks before replacing an existing file unless told not to.
        const Start s = startFor(initialName);
        const QString path = QFileDialog::getSaveFileName(parent, QString(), s.directory, s.filter);
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }

    std::optional<QString> inputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

    std::optional<QString> inputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText,
                                    const QList<InputSuggestion> &suggestions) override
    {
        if (suggestions.isEmpty())
            return inputBox(parent, prompt, title, defaultText);
        QInputDialog dialog(parent);
        dialog.setWindowTitle(title);
        dialog.setLabelText(prompt);
        QStringList labels;
        for (const InputSuggestion &s : suggestions)
            labels << s.label;
        dialog.setComboBoxItems(labels);
        dialog.setComboBoxEditable(true);
        if (auto *combo = dialog.findChild<QComboBox *>()) {
            combo->setInsertPolicy(QComboBox::NoInsert);
            // Without this, typing "3" would be completed into the first label that starts with 3.
            combo->setCompleter(nullptr);
            combo->setCurrentIndex(-1); // the first arrow-down press goes to the first suggestion
            QObject::connect(combo, &QComboBox::activated, &dialog, [combo, suggestions](int i) {
                if (i >= 0 && i < suggestions.size())
                    combo->setEditText(suggestions[i].value);
            });
        }
        dialog.setTextValue(defaultText);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QString text = dialog.textValue();
        for (const InputSuggestion &s : suggestions) {
            if (text == s.label)
                return s.value;
        }
        return text;
    }

    void message(QWidget *parent, MessageIcon icon, const QString &title,
                 const QString &text) override
    {
        switch (icon) {
        case MessageIcon::Information:
            QMessageBox::information(parent, title, text);
            break;
        case MessageIcon::Warning:
            QMessageBox::warning(parent, title, text);
            break;
        case MessageIcon::Critical:
            QMessageBox::critical(parent, title, text);
            break;
        }
    }
};

DialogService *g_override = nullptr;

} // namespace

std::optional<QString> DialogService::inputBox(QWidget *parent, const QString &prompt,
                                               const QString &title, const QString &defaultText,
                                               const QList<InputSuggestion> &)
{
    return inputBox(parent, prompt, title, defaultText);
}

DialogService &DialogService::instance()
{
    static DesktopDialogs desktop;
    return g_override ? *g_override : desktop;
}

void DialogService::setInstance(DialogService *service)
{
    g_override = service;
}

FileDialog::FileDialog(QWidget *owner) : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("Dialogue1"));
}

std::optional<QString> FileDialog::showOpen(const QString &initialName)
{
    return DialogService::instance().openFile(m_owner, initialName);
}

std::optional<QString> FileDialog::showSave(const QString &initialName)
{
    return DialogService::instance().saveFile(m_owner, initialName);
}

} // namespace platine
