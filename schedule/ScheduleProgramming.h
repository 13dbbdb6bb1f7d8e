#pragma once
// "Programmer": the schedule the editor holds, corrected, kept and sent to the board.

#include "platform/SettingsDir.h"
#include "schedule/ScheduleFrame.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace platine {

// Sends a frame to the board (SendToBoard); false with the reason in *error when it did not go.
using FrameSender = std::function<bool(const QByteArray &frame, QString *error)>;

struct ProgrammingResult {
    QString period;          // the period box as corrected, for the editor to show
    int invalidTimeBox = -1; // the time box (0..5) that stopped everything, -1 when none did
    bool sent = false;
    QString sendError;     // why the frame did not reach the board
    QString debugIniError; // why debug.ini could not be written, empty when it was
    QString paramIniError; // the same for param.ini
};

// The steps after the reply displays were emptied, in this order: the period box is corrected; a
// time box the frame cannot carry stops everything (nothing written or sent); debug.ini gets the
// dump of the body; param.ini gets the editor's values with the corrected period; the 125-byte
// frame "B" + body goes to send. A file that cannot be written does not stop the sending.
ProgrammingResult programSchedule(ScheduleValues values, const SettingsFiles &files,
                                  const FrameSender &send);

} // namespace platine
