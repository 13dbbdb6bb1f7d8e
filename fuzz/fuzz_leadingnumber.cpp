// Guards against: crashes, -0 or non-finite values, and decimals read unlike the C library does.
// Input: byte 0 even, the rest is Windows-1252 text (as in acquisition files); odd, UTF-16 (typed).
// Checked: finite, never -0, 0 without a number, blanks or a character after it change nothing,
// and the bytes read directly give what their decoded text gives.
#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"

#include <QRegularExpression>

#include <cfloat>
#include <cmath>
#include <cstring>

using namespace platine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto check = [](bool ok, const char *what) {
        if (!ok)
            qFatal("%s", what);
    };
    const bool utf16 = size > 0 && data[0] % 2;
    const QByteArrayView rest = size ? QByteArrayView(data + 1, qsizetype(size - 1)) : "";
    QString text = utf16 ? QString() : fromAnsi(rest);
    for (qsizetype i = 0; utf16 && i + 1 < rest.size(); i += 2)
        text += QChar(char16_t(std::uint8_t(rest[i]) | std::uint8_t(rest[i + 1]) << 8));
    const double value = leadingNumber(text);
    const bool found = beginsWithNumber(text);
    check(std::isfinite(value) && !(value == 0 && std::signbit(value)), "-0 or inf");
    check(found || value == 0, "a value without a number");
    const double direct = utf16 ? value : leadingNumberOfAnsi(rest);
    check(std::memcmp(&direct, &value, sizeof value) == 0, "bytes read unlike their text");
    const QString packed = QString(text).remove(u' ').remove(u'\t').remove(u'\n');
    for (const QString &same : {packed, QString(text + u'x')})
        check(leadingNumber(same) == value && beginsWithNumber(same) == found, "blanks or an end");
    // A decimal is what strtod reads of its clean form (D as E; too large the largest double), the
    // program never changing the C locale. The expression sees Latin-1: it refuses bad UTF-16.
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eEdD][+-]?[0-9]+)?"));
    const QRegularExpressionMatch m = decimal.match(QString::fromLatin1(packed.toLatin1()));
    check(m.hasMatch() || !found || packed.startsWith(u'&'), "a number where none is");
    const QByteArray clean = m.captured(0).toLatin1().replace('d', 'e').replace('D', 'e');
    const double read = std::strtod(clean.constData(), nullptr);
    const double expected = std::isinf(read) ? std::copysign(DBL_MAX, read) : read;
    // Below the normal range the two may round a subnormal differently or give 0.
    const bool tiny = std::fabs(expected) < DBL_MIN && std::fabs(value) < DBL_MIN;
    check(!m.hasMatch() || (found && (value == expected || tiny)), "unlike strtod");
    return 0;
}
