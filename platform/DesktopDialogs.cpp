#include "platform/DesktopDialogs.h"

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
    const QString all = QStringLiteral("Tous les fichiers (*)");
    if (name.contains(u'*') || name.contains(u'?')) {
        const QFileInfo info(name);
        if (name.contains(u'/'))
            s.directory = info.path();
        s.filter = QStringLiteral("%1 (%1);;").arg(info.fileName()) + all;
    } else {
        s.directory = name;
        s.filter = all;
    }
    return s;
}

std::optional<QString> chosen(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<QString> DesktopDialogs::openFile(QWidget *parent, const QString &initialName)
{
    const Start s = startFor(initialName);
    return chosen(QFileDialog::getOpenFileName(parent, QString(), s.directory, s.filter));
}

std::optional<QString> DesktopDialogs::saveFile(QWidget *parent, const QString &initialName)
{
    // QFileDialog asks before replacing an existing file unless told not to; it asks about the
    // name with the extension added, the one that will be written.
    const Start s = startFor(initialName);
    QFileDialog dialog(parent, QString(), s.directory, s.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(initialName).suffix());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen(dialog.selectedFiles().value(0));
}

std::optional<QString> DesktopDialogs::inputBox(QWidget *parent, const QString &prompt,
                                                const QString &title, const QString &defaultText,
                                                const QList<InputSuggestion> &suggestions)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    if (!suggestions.isEmpty()) {
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

void DesktopDialogs::message(QWidget *parent, MessageIcon icon, const QString &title,
                             const QString &text)
{
    switch (icon) {
    case MessageIcon::Information: QMessageBox::information(parent, title, text); break;
    case MessageIcon::Warning: QMessageBox::warning(parent, title, text); break;
    case MessageIcon::Critical: QMessageBox::critical(parent, title, text); break;
    }
}

} // namespace platine
