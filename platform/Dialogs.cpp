#include "platform/Dialogs.h"

#include <QFileInfo>

namespace platine {

namespace {

// A name with a wildcard in its file name is a filter given back ("*.txt", "/home/u/*.txt"),
// never a file the user chose.
std::optional<QString> unlessFilter(std::optional<QString> path)
{
    const QString name = path ? QFileInfo(*path).fileName() : QString();
    if (name.contains(u'*') || name.contains(u'?'))
        return std::nullopt;
    return path;
}

} // namespace

FileDialog::FileDialog(QWidget *owner, DialogService &dialogs, QObject *parent)
    : QObject(parent), m_owner(owner), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Dialogue1"));
}

std::optional<QString> FileDialog::showOpen(const QString &initialName)
{
    return unlessFilter(m_dialogs.openFile(m_owner, initialName));
}

std::optional<QString> FileDialog::showSave(const QString &initialName)
{
    std::optional<QString> path = unlessFilter(m_dialogs.saveFile(m_owner, initialName));
    if (path)
        *path = withSuffixOf(*path, initialName);
    return path;
}

QString withSuffixOf(const QString &path, const QString &initialName)
{
    const QString suffix = QFileInfo(initialName).suffix();
    const QString name = QFileInfo(path).fileName();
    if (suffix.isEmpty() || name.isEmpty() || name.startsWith(u'*') || name.contains(u'.'))
        return path;
    return path + u'.' + suffix;
}

} // namespace platine
