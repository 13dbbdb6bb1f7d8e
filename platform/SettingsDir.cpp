#include "platform/SettingsDir.h"

#include "platform/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platine {

namespace {

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

// The param.ini left beside the program, copied into the settings directory the first time the
// settings live there. Nothing is copied over an existing file, and nothing that is no profile file.
void carryOverParamIni(const QString &programDir, const QString &settingsDir)
{
    const SettingsFiles from{programDir}, to{settingsDir};
    if (QFile::exists(to.paramIni()) || !QFile::exists(from.paramIni()))
        return;
    // A copy that fails leaves the settings as they would be without it: nothing to tell.
    if (const auto bytes = readProfileFile(from.paramIni()))
        static_cast<void>(replaceProfileFile(to.paramIni(), *bytes));
}

// Removes what a save killed half-way leaves beside param.ini and debug.ini: their temporary
// copies, named after them with a dot and six letters or digits ("param.ini.VaIOYo"). Regular
// files only; any other name, and anything that is no regular file, stays.
void removeLeftoverTemporaries(const QString &dir)
{
    static const QRegularExpression own(QStringLiteral("^(param|debug)\\.ini\\.[A-Za-z0-9]{6}$"));
    const QStringList candidates = {QStringLiteral("param.ini.*"), QStringLiteral("debug.ini.*")};
    for (const QFileInfo &file : QDir(dir).entryInfoList(
             candidates, QDir::Files | QDir::NoSymLinks | QDir::CaseSensitive)) {
        if (own.match(file.fileName()).hasMatch())
            QFile::remove(file.absoluteFilePath());
    }
}

} // namespace

QString chooseSettingsDir(const QString &programDir, const QString &fallbackDir)
{
    const QString program = clean(programDir);
    if (!isInstalledProgram(program) && canCreateFilesIn(program)) {
        removeLeftoverTemporaries(program);
        return program;
    }
    const QString fallback = clean(fallbackDir);
    QDir().mkpath(fallback);
    if (fallback != program)
        carryOverParamIni(program, fallback);
    removeLeftoverTemporaries(fallback);
    return fallback;
}

QString perUserSettingsDir()
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#endif
}

SettingsFiles chooseSettingsFiles()
{
    return {chooseSettingsDir(QCoreApplication::applicationDirPath(), perUserSettingsDir())};
}

} // namespace platine
