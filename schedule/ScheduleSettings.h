#pragma once
// The schedule in profile files: param.ini (beside the program) and the user's schedule files.
// Sections "txt0".."txt6" hold the seven boxes, "cmb0" the day list's position, each under the
// single key "valeur"; a value is read with room for 19 characters.

#include "platform/ProfileFile.h"
#include "platform/Result.h"
#include "schedule/ScheduleFrame.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace platine {

inline constexpr auto kScheduleKey = "valeur";

// "txt0".."txt6".
QString textSection(int index);
// "cmb0".
QString comboSection();

// What a schedule file gives back to the editor.
struct StoredSchedule {
    QString boxes[kScheduleBoxCount]; // cut to 19 characters, blanks around removed
    // The list position to select (-1 clears the selection and the list's text), or nullopt when
    // the stored value is no list position and the list stays as it is.
    std::optional<int> dayPosition;
    bool holdsSchedule = false; // the file holds at least one of the eight entries
};

// The "cmb0" rule: blanks removed, the number the text begins with (0 when none), rounded to a
// whole number with halves to the even neighbour; -1..9 is a position, anything else is not.
std::optional<int> storedDayPosition(const QString &value);

// ReadScheduleSettings on a file's bytes (empty bytes: a missing file).
StoredSchedule parseScheduleSettings(const QByteArray &contents);
// WriteScheduleSettings on a file's bytes: txt0..txt6 then cmb0 set in that order, every other
// line kept as it was.
QByteArray updateScheduleSettings(const QByteArray &contents, const ScheduleValues &values);

// Reads a schedule file. A missing file reads as empty (every box empty, "Dimanche"); a file in a
// missing folder, one that exists but cannot be read and one larger than 1 MiB (no schedule file
// is that large) fail with the reason.
Result<StoredSchedule, FileFailure> loadScheduleFile(const QString &path);
// Writes the schedule into a file, creating it or updating it in place. The file is replaced in
// one step: either all eight entries are written or the file is left as it was.
FileStatus saveScheduleFile(const QString &path, const ScheduleValues &values);
// Replaces debug.ini with the dump of a schedule body.
FileStatus writeDebugIni(const QString &path, const QByteArray &body);

} // namespace platine
