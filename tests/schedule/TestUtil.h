#pragma once
// Shared by the tests of this folder: whole-file reads and writes, and a filled editor with the
// frame it makes.

#include "schedule/ScheduleFrame.h"

#include "common/Files.h"

#include <QFile>

namespace platine::test {

// Twelve different time bytes, one above 0x7F, XON and XOFF, day code 10 (LF) and period 13 (CR):
// a byte at the wrong offset, or one a terminal would interpret, shows.
inline const char *const kFilledTexts[kScheduleBoxCount] = {
    "11:13", "99:87", "08:30:00", "14:45:59", "20:10", "23:59:00", "13"};
inline const QByteArray kFilledFrame =
    QByteArray("B\x11\x13\x99\x87\x08\x30\x14\x45\x20\x10\x23\x59\x0a\x0d", 15)
    + QByteArray(110, 0);

// The same editor in a fresh schedule file.
inline const QByteArray kFilledFile = "[txt0]\r\nvaleur=11:13\r\n[txt1]\r\nvaleur=99:87\r\n"
                                      "[txt2]\r\nvaleur=08:30:00\r\n[txt3]\r\nvaleur=14:45:59\r\n"
                                      "[txt4]\r\nvaleur=20:10\r\n[txt5]\r\nvaleur=23:59:00\r\n"
                                      "[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n";

inline ScheduleValues filledEditor()
{
    ScheduleValues v;
    for (int i = 0; i < kScheduleBoxCount; ++i)
        v.boxes[i] = QString::fromLatin1(kFilledTexts[i]);
    v.dayPosition = 9; // "Tous les jours"
    return v;
}

} // namespace platine::test
