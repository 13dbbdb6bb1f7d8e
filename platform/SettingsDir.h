#pragma once
// Where param.ini and debug.ini live: beside the executable, or, when that directory cannot be
// written or the program is an installed one, in the per-user configuration directory. The
// start-up makes the choice once and hands the result to whoever reads or writes the files.

#include <QString>

namespace platine {

struct SettingsFiles {
    QString dir; // absolute, no trailing separator
    QString paramIni() const { return dir + QStringLiteral("/param.ini"); }
    QString debugIni() const { return dir + QStringLiteral("/debug.ini"); }
};

// The choice: programDir when the program is not installed (its menu entry does not stand in
// programDir/../share/applications) and a file can really be created in it; otherwise fallbackDir,
// created when missing. Settings that move to fallbackDir keep what the program's own folder held:
// when fallbackDir has no param.ini yet, the param.ini beside the program (if any, and if it is a
// profile file of at most 1 MiB) is copied there first, in one step. Both returned absolute and
// without a trailing separator. The temporary copies of param.ini and debug.ini that a save killed
// half-way leaves in the chosen directory ("param.ini.VaIOYo") are removed; nothing else is.
QString chooseSettingsDir(const QString &programDir, const QString &fallbackDir);

// The per-user directory for the application's name: the configuration directory on Linux
// (~/.config/platine), the roaming application data on Windows (%APPDATA%\platine), where Windows
// programs keep what follows their user.
QString perUserSettingsDir();

// The choice for the running program: its own directory and the per-user directory.
SettingsFiles chooseSettingsFiles();

} // namespace platine
