#pragma once
// The acquisition schedule as the editor holds it, and the command "B" that programs it into the
// board: three daily windows (start and end time), the days concerned and the acquisition period.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace platine {

inline constexpr int kScheduleBoxCount = 7;  // Text2(0)..Text2(6)
inline constexpr int kScheduleTimeCount = 6; // Text2(0)..Text2(5): start/end of three windows
inline constexpr int kPeriodBox = 6;         // Text2(6): the acquisition period
inline constexpr int kDayEntryCount = 10;    // entries of combo1(0)
inline constexpr int kScheduleBodySize = 124;
inline constexpr int kScheduleFrameSize = 125; // "B" + body
inline constexpr int kPeriodMin = 2;
inline constexpr int kPeriodMax = 120;

// What the editor shows: the seven boxes and the selected position of the day list.
struct ScheduleValues {
    QString boxes[kScheduleBoxCount];
    int dayPosition = 0; // 0..9, -1 when nothing is selected (a text of the user's own)
};

// The day list, "Dimanche" .. "Tous les jours", in list order.
const QStringList &dayListEntries();

// The day code sent to the board: list position + 1, 0 when nothing is selected.
int dayCode(int dayPosition);

// The period box after correction. Plain texts follow the program's four steps (no number or 0
// gives "02", one character gets a leading "0", below 2 gives "02", above 120 gives "120").
// A text that is still not plain decimal digits afterwards ("5a", " 45", "+50", "1e2", "4.5") is
// repaired: the number it begins with, cut to a whole number, kept within 2..120, written in
// plain digits with a leading zero below 10. The result is always decimal digits worth 2..120.
QString correctPeriod(const QString &text);

// The period in seconds of a corrected period text (decimal digits worth 2..120), else nullopt.
std::optional<int> periodSeconds(const QString &corrected);

// A time box is usable when characters 1-2 are an hour 00-23 and characters 4-5 minutes 00-59
// ("hh:mm"), and, when the text goes on, characters 7-8 seconds 00-59 ("hh:mm:ss"). Characters 3
// and 6, and everything after character 8, are not looked at.
bool isValidTimeText(const QString &text);
// The first time box (0..5) that is not usable, or -1.
int firstInvalidTimeBox(const ScheduleValues &values);
// The windows (0..2) whose end comes before their start, as "12:00" - "08:00"; the board may take
// such a window as one over midnight. Only for usable time boxes.
QList<int> windowsEndingBeforeStart(const ScheduleValues &values);

// The 124 body bytes: BCD hour and minute of the six time boxes, the day code, the period, zeros.
// nullopt when a time box is not usable or the period box is not a corrected period.
std::optional<QByteArray> scheduleBody(const ScheduleValues &values);
// "B" + body, 125 bytes.
QByteArray scheduleFrame(const QByteArray &body);

// debug.ini: 15 lines " k :value" CR LF, k = 0..14, value = body byte k (frame offset k + 1).
QByteArray debugIniContents(const QByteArray &body);

// "Heure PC": the text put into each time box (hh:mm with seconds "00") and the list position of
// the weekday (Sunday 0 .. Saturday 6).
QString computerTimeText(const QTime &time);
int weekdayPosition(const QDate &date);

} // namespace platine
