#include "schedule/ScheduleSettings.h"

#include "platform/LeadingNumber.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace platine {

namespace {

QString key()
{
    return QString::fromLatin1(kScheduleKey);
}

ProfileWriteResult failure(const QString &path, const QString &why)
{
    return {false, QStringLiteral("Impossible d'écrire « %1 » : %2").arg(path, why)};
}

// Replaces the file at path with bytes in one step. A read-only file stays untouched (replacing
// it through a new file would get past its flag).
ProfileWriteResult replaceFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir())
            return failure(path, QStringLiteral("c'est un dossier"));
        if (!info.isWritable())
            return failure(path, QStringLiteral("le fichier est en lecture seule"));
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failure(path, out.errorString());
    if (out.write(bytes) != bytes.size()) {
        const QString why = out.errorString();
        out.cancelWriting();
        return failure(path, why);
    }
    if (!out.commit())
        return failure(path, out.errorString());
    return {};
}

// The bytes of a file; an absent file is empty. nullopt, with the reason, when it cannot be read,
// and when its folder is missing: that is a wrong path, not a new file.
std::optional<QByteArray> readBytes(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (QFileInfo(info.absolutePath()).isDir())
            return QByteArray();
        if (error)
            *error = QStringLiteral("le dossier « %1 » n'existe pas").arg(info.absolutePath());
        return std::nullopt;
    }
    if (info.isDir()) {
        if (error)
            *error = QStringLiteral("c'est un dossier");
        return std::nullopt;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return std::nullopt;
    }
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = in.errorString();
        return std::nullopt;
    }
    return bytes;
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

std::optional<int> storedComboPosition(const QString &value)
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
    for (int i = 0; i < kScheduleTextCount; ++i)
        stored.text2[i] = profileLookup(contents, textSection(i), key()).trimmed();
    stored.comboIndex = storedComboPosition(profileLookup(contents, comboSection(), key()));
    return stored;
}

QByteArray updateScheduleSettings(const QByteArray &contents, const ScheduleValues &values)
{
    QByteArray out = contents;
    for (int i = 0; i < kScheduleTextCount; ++i)
        out = profileUpdate(out, textSection(i), key(), values.text2[i]);
    const int position = values.comboIndex >= 0 && values.comboIndex < kDayEntryCount
        ? values.comboIndex
        : -1;
    return profileUpdate(out, comboSection(), key(), QString::number(position));
}

std::optional<StoredSchedule> loadScheduleFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return parseScheduleSettings(*bytes);
}

ProfileWriteResult saveScheduleFile(const QString &path, const ScheduleValues &values)
{
    QString why;
    const std::optional<QByteArray> bytes = readBytes(path, &why);
    if (!bytes)
        return failure(path, why);
    return replaceFile(path, updateScheduleSettings(*bytes, values));
}

ProfileWriteResult writeDebugIni(const QString &path, const QByteArray &body)
{
    return replaceFile(path, debugIniContents(body));
}

} // namespace platine
