#pragma once
// A filled editor, with the frame and the fresh schedule file it makes.
#include "schedule/ScheduleFrame.h"
#include "support/Files.h"
namespace platine::test {
// Distinct bytes (one above 0x7F, XON, XOFF, day code LF, period CR): one out of place shows.
inline ScheduleValues filledEditor() // "Tous les jours"
{
    return {{"11:13", "99:87", "08:30:00", "14:45:59", "20:10", "23:59:00", "13"}, 9};
}
inline const QByteArray kFilledFrame = QByteArray::fromHex("421113998708301445201023590a0d")
    + QByteArray(110, 0);
inline const QByteArray kFilledFile = "[txt0]\r\nvaleur=11:13\r\n[txt1]\r\nvaleur=99:87\r\n"
                                      "[txt2]\r\nvaleur=08:30:00\r\n[txt3]\r\nvaleur=14:45:59\r\n"
                                      "[txt4]\r\nvaleur=20:10\r\n[txt5]\r\nvaleur=23:59:00\r\n"
                                      "[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n";
} // namespace platine::test
