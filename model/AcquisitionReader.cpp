#include "model/AcquisitionReader.h"

#include "model/AcquisitionData.h"
#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cstring>
#include <memory>

namespace platine {

namespace {

// Splits a device into lines at CR LF, lone CR and lone LF, reading it in fixed-size chunks.
// A line is kept up to kMaxLineBytes; the rest of a longer line is read and dropped.
class LineSplitter
{
public:
    explicit LineSplitter(QIODevice &device) : m_device(device), m_buffer(new char[kChunk]) {}

    // The next line without its line end; false at the end of the device or on a read error
    // (failed() tells which).
    bool next(QByteArray &line)
    {
        line.clear();
        bool started = false;
        for (;;) {
            if (m_pos == m_size && !fill()) {
                if (!started || m_failed)
                    return false; // a line cut by a read error is not used
                ++m_lines;
                return true;
            }
            if (m_afterCr) {
                m_afterCr = false;
                if (m_buffer[m_pos] == '\n') {
                    ++m_pos;
                    continue;
                }
            }
            const qsizetype end = nextLineEnd();
            const qsizetype room = kMaxLineBytes - line.size();
            const qsizetype take = std::min(end - m_pos, room);
            if (take > 0)
                line.append(m_buffer.get() + m_pos, take);
            if (end < m_size) {
                m_afterCr = m_buffer[end] == '\r';
                m_pos = end + 1;
                ++m_lines;
                return true;
            }
            started = started || end > m_pos;
            m_pos = m_size;
        }
    }

    bool failed() const { return m_failed; }
    QString errorString() const { return m_device.errorString(); }
    // Lines returned so far: the number of the last one, counted from 1.
    qint64 lines() const { return m_lines; }

private:
    static constexpr qsizetype kChunk = 64 * 1024;

    bool fill()
    {
        if (m_failed)
            return false;
        const qint64 n = m_device.read(m_buffer.get(), kChunk);
        if (n < 0)
            m_failed = true;
        if (n <= 0)
            return false;
        m_size = n;
        m_pos = 0;
        m_nextCr = m_nextLf = -1;
        return true;
    }

    // Position of the first CR or LF at or after m_pos in the chunk, or m_size. The positions
    // found are remembered, so that a chunk of many short lines is scanned only once.
    qsizetype nextLineEnd()
    {
        if (m_nextCr < m_pos)
            m_nextCr = find('\r');
        if (m_nextLf < m_pos)
            m_nextLf = find('\n');
        return std::min(m_nextCr, m_nextLf);
    }

    qsizetype find(char c) const
    {
        const void *hit = std::memchr(m_buffer.get() + m_pos, c, std::size_t(m_size - m_pos));
        return hit ? static_cast<const char *>(hit) - m_buffer.get() : m_size;
    }

    QIODevice &m_device;
    std::unique_ptr<char[]> m_buffer; // kChunk bytes, not cleared: only what was read is used
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    qsizetype m_nextCr = -1;
    qsizetype m_nextLf = -1;
    bool m_afterCr = false;
    bool m_failed = false;
    qint64 m_lines = 0;
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A field by the leading-number rule, a comma between two digits standing for the decimal point
// ("21,5" is 21.5), as a spreadsheet set to French writes it.
double fieldValue(QStringView field)
{
    const qsizetype comma = field.indexOf(u',');
    if (comma <= 0 || comma + 1 >= field.size() || !isDigit(field[comma - 1])
        || !isDigit(field[comma + 1]))
        return leadingNumber(field);
    QString point = field.toString();
    point[comma] = u'.';
    return leadingNumber(point);
}

} // namespace

AcquisitionReadResult readAcquisition(QIODevice &device, AcquisitionData &store)
{
    AcquisitionReadResult result;
    LineSplitter lines(device);
    QByteArray raw;
    qsizetype row = 0;
    const auto stop = [&](AcquisitionReadResult::End end) {
        result.end = end;
        result.endLine = lines.lines();
        result.rowsStored = int(row);
        return result;
    };

    while (lines.next(raw)) {
        // The markers are ASCII, so they are looked for in the bytes before decoding.
        if (raw.contains("(s)")) {
            result.periodLine = fromUtf8OrAnsi(raw);
            continue;
        }
        if (raw.contains('/')) {
            result.dateLine = fromUtf8OrAnsi(raw);
            continue;
        }
        if (!raw.contains(';'))
            continue;
        result.dataLineSeen = true;

        const QString line = fromAnsi(raw);
        qsizetype from = 0;
        for (int field = 0; field < kChannelCount; ++field) {
            const qsizetype sep = line.indexOf(u';', from);
            if (sep < 0)
                return stop(AcquisitionReadResult::End::ShortLine);
            const Channel channel = channelAt(field);
            if (!AcquisitionData::holds(channel, row))
                return stop(AcquisitionReadResult::End::Capacity);
            store.at(channel, row) = fieldValue(QStringView(line).mid(from, sep - from));
            from = sep + 1;
        }
        ++row;
    }
    result.rowsStored = int(row);
    if (lines.failed()) {
        result.end = AcquisitionReadResult::End::ReadError;
        result.endLine = lines.lines() + 1;
        result.error = lines.errorString();
    }
    return result;
}

AcquisitionReadResult readAcquisition(const QByteArray &bytes, AcquisitionData &store)
{
    QByteArray copy = bytes; // shared, not copied: QBuffer only reads it
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readAcquisition(buffer, store);
}

Result<AcquisitionReadResult> loadAcquisitionFile(const QString &path, AcquisitionData &store)
{
    // Only regular files: a directory, a device or a pipe is no acquisition file (a device such
    // as /dev/zero would never end).
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Failure{QStringLiteral("le fichier n'existe pas")};
    if (!info.isFile())
        return Failure{QStringLiteral("ce n'est pas un fichier ordinaire")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString()};
    // Read aside, so that a file without a single data line (a schedule file chosen by mistake)
    // leaves the store as it was.
    const auto read = std::make_unique<AcquisitionData>();
    const AcquisitionReadResult result = readAcquisition(file, *read);
    if (result.dataLineSeen)
        store = *read;
    return result;
}

} // namespace platine
