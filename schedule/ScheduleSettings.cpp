#include "schedule/ScheduleSettings.h"

#include "platform/LeadingNumber.h"

#include <algorithm>
#include <cmath>

namespace platine {

namespace {

QString key()
{
    return QString::fromLatin1(kScheduleKey);
}

} // namespace

QString textSection(int index)
{
    return QStringLiteral("txt") + QString::number(index);
}

QString comboSection()
{
    return QStringLiteral("cmb0");
}

std::optional<int> storedDayPosition(const QString &value)
{
    const QString text = value.trimmed();
    const double number = beginsWithNumber(text) ? leadingNumber(text) : 0.0;
    if (!std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number); // halves to the even neighbour
    if (rounded < -1.0 || rounded > kDayEntryCount - 1)
        return std::nullopt;
    return static_cast<int>(rounded);
}

StoredSchedule parseScheduleSettings(const QByteArray &contents)
{
    StoredSchedule stored;
    const auto holds = [&contents](const QString &section) {
        const auto entries = profileEntries(contents, section);
        return std::any_of(entries.cbegin(), entries.cend(), [](const auto &entry) {
            return entry.first.compare(key(), Qt::CaseInsensitive) == 0;
        });
    };
    for (int i = 0; i < kScheduleBoxCount; ++i) {
        stored.boxes[i] = profileLookup(contents, textSection(i), key()).trimmed();
        stored.holdsSchedule = stored.holdsSchedule || holds(textSection(i));
    }
    stored.dayPosition = storedDayPosition(profileLookup(contents, comboSection(), key()));
    stored.holdsSchedule = stored.holdsSchedule || holds(comboSection());
    return stored;
}

QByteArray updateScheduleSettings(const QByteArray &contents, const ScheduleValues &values)
{
    QByteArray out = contents;
    for (int i = 0; i < kScheduleBoxCount; ++i)
        out = profileUpdate(out, textSection(i), key(), values.boxes[i]);
    const int position = values.dayPosition >= 0 && values.dayPosition < kDayEntryCount
        ? values.dayPosition
        : -1;
    return profileUpdate(out, comboSection(), key(), QString::number(position));
}

Result<StoredSchedule, FileFailure> loadScheduleFile(const QString &path)
{
    const Result<QByteArray, FileFailure> bytes = readProfileFile(path);
    if (!bytes)
        return bytes.error();
    return parseScheduleSettings(*bytes);
}

FileStatus saveScheduleFile(const QString &path, const ScheduleValues &values)
{
    const Result<QByteArray, FileFailure> bytes = readProfileFile(path);
    if (!bytes)
        return bytes.error();
    return replaceProfileFile(path, updateScheduleSettings(*bytes, values));
}

FileStatus writeDebugIni(const QString &path, const QByteArray &body)
{
    return replaceProfileFile(path, debugIniContents(body));
}

} // namespace platine
