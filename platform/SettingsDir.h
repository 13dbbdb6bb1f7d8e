#pragma once
// Where param.ini and debug.ini live: beside the executable, or, when that directory cannot be
// written (an installed program), in the per-user configuration directory. Chosen once at start-up.

#include <QString>

namespace platine {

// The chosen directory (absolute, no trailing separator). The first call makes the choice.
QString settingsDir();
// Tests point the program at a directory of their own; call before anything reads settingsDir().
void setSettingsDir(const QString &dir);

QString paramIniPath(); // settingsDir() + "/param.ini"
QString debugIniPath(); // settingsDir() + "/debug.ini"

// The choice itself: programDir when a file can really be created in it, otherwise fallbackDir,
// created when missing. Both returned absolute and without a trailing separator.
QString chooseSettingsDir(const QString &programDir, const QString &fallbackDir);

} // namespace platine
