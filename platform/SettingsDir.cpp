#include "platform/SettingsDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platine {

namespace {

QString &chosenDir()
{
    static QString dir;
    return dir;
}

// Whether a file can really be created in the directory (permissions alone do not tell about
// read-only mounts and access-control lists).
bool canCreateFilesIn(const QString &dir)
{
    if (dir.isEmpty() || !QDir(dir).exists())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.platine-write-test-XXXXXX"));
    if (!probe.open())
        return false;
    probe.close();
    return probe.remove();
}

// An installed program (its menu entry installed beside it, under ../share) never keeps its
// settings beside itself, even when run by a user who could write there (root in /usr/bin).
bool isInstalledProgram(const QString &programDir)
{
    return QFile::exists(programDir + QStringLiteral("/../share/applications/platine.desktop"));
}

QString clean(const QString &dir)
{
    QString d = QDir::cleanPath(QDir(dir).absolutePath());
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    return d;
}

} // namespace

QString settingsDir()
{
    QString &dir = chosenDir();
    if (!dir.isEmpty())
        return dir;
    dir = chooseSettingsDir(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    return dir;
}

QString chooseSettingsDir(const QString &programDir, const QString &fallbackDir)
{
    if (!isInstalledProgram(programDir) && canCreateFilesIn(programDir))
        return clean(programDir);
    QDir().mkpath(fallbackDir);
    return clean(fallbackDir);
}

void setSettingsDir(const QString &dir)
{
    // An empty directory forgets the choice: the next settingsDir() makes it again.
    chosenDir() = dir.isEmpty() ? QString() : clean(dir);
}

QString paramIniPath()
{
    return settingsDir() + QStringLiteral("/param.ini");
}

QString debugIniPath()
{
    return settingsDir() + QStringLiteral("/debug.ini");
}

} // namespace platine
