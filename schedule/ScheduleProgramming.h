#pragma once
// "Programmer": the schedule the editor holds, corrected, kept and sent to the board.

#include "platform/ProfileFile.h"
#include "platform/SettingsDir.h"
#include "schedule/ScheduleFrame.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace platine {

// What "Programmer" did before sending.
struct ProgrammingResult {
    QString period;          // the period box as corrected, for the editor to show
    int invalidTimeBox = -1; // the time box (0..5) that stopped everything, -1 when none did
    // Writing debug.ini, and the schedule into param.ini (neither tried when a time box stopped
    // everything).
    FileStatus debugIni = Done{};
    FileStatus paramIni = Done{};
    std::optional<QByteArray> frame; // the 125-byte frame to send; nullopt when stopped
};

// The steps after the reply displays were emptied, in this order: the period box is corrected; a
// time box the frame cannot carry stops everything (nothing written, no frame); debug.ini gets the
// dump of the body; param.ini gets the editor's values with the corrected period; the 125-byte
// frame "B" + body is made, for the caller to send next. A file that cannot be written does not
// stop the sending.
ProgrammingResult programSchedule(ScheduleValues values, const SettingsFiles &files);

} // namespace platine
