#include "model/AcquisitionReader.h"

#include "model/AcquisitionData.h"
#include "model/LineSplitter.h"
#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

namespace platine {

namespace {

std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), std::size_t(bytes.size())};
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A field by the leading-number rule, a comma between two digits standing for the decimal point
// ("21,5" is 21.5), as a spreadsheet set to French writes it.
AnsiNumber fieldValue(QByteArrayView field)
{
    const auto *at =
        static_cast<const char *>(std::memchr(field.data(), ',', std::size_t(field.size())));
    const qsizetype comma = at ? at - field.data() : -1;
    if (comma <= 0 || comma + 1 >= field.size() || !isDigit(field[comma - 1])
        || !isDigit(field[comma + 1]))
        return readLeadingNumberOfAnsi(field);
    QByteArray point = field.toByteArray();
    point[comma] = '.';
    return readLeadingNumberOfAnsi(point);
}

// A data line as the board writes it, read in one walk over its bytes: nine fields of an optional
// "-", at most 18 digits and at most one decimal point (or a comma between two digits), each
// ended by ";", and nothing after the ninth. Such a line is a data line whose every field holds a
// number, and each value is the one the leading-number rule gives (the exact quotient of an exact
// mantissa by an exact power of ten). False for any other line, for the general rule to read.
bool readPlainDataLine(QByteArrayView line, RowValues &values)
{
    const char *p = line.data();
    const char *const end = p + line.size();
    for (double &value : values) {
        const char *const field = p;
        const bool negative = p != end && *p == '-';
        p += negative;
        std::uint64_t mantissa = 0;
        int digits = 0;
        int decimals = 0;
        bool point = false;
        for (;; ++p) {
            if (p == end)
                return false;
            const unsigned digit = unsigned(static_cast<unsigned char>(*p)) - unsigned('0');
            if (digit < 10) {
                if (digits == 18)
                    return false;
                mantissa = mantissa * 10 + digit;
                ++digits;
                decimals += point;
            } else if (*p == ';') {
                break;
            } else if (!point
                       && (*p == '.'
                           || (*p == ',' && p > field && isDigit(p[-1]) && p + 1 != end
                               && isDigit(p[1])))) {
                point = true;
            } else {
                return false;
            }
        }
        ++p;
        const std::optional<double> exact = digits > 0 ? exactDecimal(mantissa, decimals, negative)
                                                       : std::nullopt;
        if (!exact)
            return false;
        value = *exact;
    }
    return p == end;
}

} // namespace

LineKind lineKind(QByteArrayView line)
{
    // The markers are ASCII, so they are looked for in the bytes before decoding.
    const std::string_view text = view(line);
    if (text.find("(s)") != std::string_view::npos)
        return LineKind::Period;
    if (text.find('/') != std::string_view::npos)
        return LineKind::Date;
    if (text.find(';') != std::string_view::npos)
        return LineKind::Data;
    return LineKind::Other;
}

std::optional<int> readDataLine(QByteArrayView line, RowValues &values)
{
    const char *from = line.data();
    const char *const end = from + line.size();
    int withoutNumber = 0;
    for (double &value : values) {
        const auto *sep =
            static_cast<const char *>(std::memchr(from, ';', std::size_t(end - from)));
        if (!sep)
            return std::nullopt;
        const AnsiNumber field = fieldValue(QByteArrayView(from, sep - from));
        value = field.value;
        withoutNumber += !field.found;
        from = sep + 1;
    }
    return withoutNumber;
}

bool LineSorter::sort(QByteArrayView line, qint64 number, RowValues &values)
{
    if (readPlainDataLine(line, values))
        return true;
    switch (lineKind(line)) {
    case LineKind::Period: periodLine = line.toByteArray(); return false;
    case LineKind::Date: dateLine = line.toByteArray(); return false;
    case LineKind::Other: return false;
    case LineKind::Data: break;
    }
    const std::optional<int> withoutNumber = readDataLine(line, values);
    if (!withoutNumber) {
        if (skippedLines++ == 0)
            firstSkipped = number;
        return false;
    }
    if (*withoutNumber > 0 && fieldsWithoutNumber == 0)
        firstWithoutNumber = number;
    fieldsWithoutNumber += *withoutNumber;
    return true;
}

void LineSorter::take(const LineSorter &later, qint64 shift)
{
    if (!later.periodLine.isNull())
        periodLine = later.periodLine;
    if (!later.dateLine.isNull())
        dateLine = later.dateLine;
    if (skippedLines == 0 && later.skippedLines > 0)
        firstSkipped = shift + later.firstSkipped;
    skippedLines += later.skippedLines;
    if (fieldsWithoutNumber == 0 && later.fieldsWithoutNumber > 0)
        firstWithoutNumber = shift + later.firstWithoutNumber;
    fieldsWithoutNumber += later.fieldsWithoutNumber;
}

QString headerText(QByteArrayView line)
{
    return fromUtf8OrAnsi(line);
}

void storeRow(AcquisitionData &store, int r, const RowValues &values)
{
    for (Channel c : kAllChannels) {
        if (AcquisitionData::holds(c, r))
            store.at(c, r) = values[std::size_t(column(c))];
    }
}

std::optional<RowValues> storedRow(const AcquisitionData &store, qint64 r)
{
    RowValues values{};
    for (Channel c : kAllChannels) {
        const std::optional<double> v = store.value(c, r);
        if (!v)
            return std::nullopt;
        values[std::size_t(column(c))] = *v;
    }
    return values;
}

AcquisitionReadResult readRows(QIODevice &device, qint64 skip, qint64 rows,
                               const std::function<void(const RowValues &)> &onRow)
{
    AcquisitionReadResult result;
    const qint64 wanted = rows < 0 ? std::numeric_limits<qint64>::max() : rows;
    if (wanted == 0) {
        result.end = AcquisitionReadResult::End::Full;
        return result;
    }
    LineSplitter lines(device.pos());
    LineSorter sorter;
    RowValues values{};
    qint64 seen = 0;   // complete data lines
    qint64 handed = 0; // rows handed on
    const auto onLine = [&](QByteArrayView line, qint64) {
        if (!sorter.sort(line, lines.lines(), values))
            return true;
        if (seen++ < skip)
            return true;
        onRow(values);
        if (++handed < wanted)
            return true;
        result.end = AcquisitionReadResult::End::Full;
        result.endLine = lines.lines();
        return false;
    };

    // What the sorter found, into the result, whichever way the read ends.
    const auto sorted = [&] {
        result.rowsStored = int(std::min<qint64>(handed, std::numeric_limits<int>::max()));
        if (!sorter.periodLine.isNull())
            result.periodLine = headerText(sorter.periodLine);
        if (!sorter.dateLine.isNull())
            result.dateLine = headerText(sorter.dateLine);
        result.skippedLines = sorter.skippedLines;
        result.firstSkippedLine = sorter.firstSkipped;
        result.fieldsWithoutNumber = sorter.fieldsWithoutNumber;
        result.firstWithoutNumber = sorter.firstWithoutNumber;
        return result;
    };
    constexpr qint64 kPiece = 64 * 1024;
    const auto buffer = std::make_unique<char[]>(kPiece);
    for (;;) {
        const qint64 n = device.read(buffer.get(), kPiece);
        if (n < 0) {
            result.end = AcquisitionReadResult::End::ReadError;
            result.endLine = lines.lines() + 1;
            result.error = device.errorString();
            return sorted();
        }
        if (n == 0)
            break;
        if (!lines.feed(buffer.get(), n, onLine))
            return sorted();
    }
    lines.finish(onLine);
    return sorted();
}

AcquisitionReadResult readAcquisition(QIODevice &device, AcquisitionData &store, qint64 skip,
                                      qint64 rows)
{
    const qint64 wanted = rows < 0 ? AcquisitionData::kRows
                                   : std::min<qint64>(rows, AcquisitionData::kRows);
    int r = 0;
    return readRows(device, skip, wanted,
                    [&](const RowValues &values) { storeRow(store, r++, values); });
}

AcquisitionReadResult readAcquisition(const QByteArray &bytes, AcquisitionData &store)
{
    QByteArray copy = bytes; // shared, not copied: QBuffer only reads it
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readAcquisition(buffer, store);
}

} // namespace platine
