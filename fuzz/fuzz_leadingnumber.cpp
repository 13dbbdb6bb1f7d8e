// The leading-number rule on arbitrary text. The first byte chooses how the rest is decoded:
// even -> Windows-1252 (as fields of acquisition files are), odd -> UTF-16 (as typed text is).
//
// Checked for every input:
//  - the value is finite and never -0 (values beyond a double give the largest finite one);
//  - no number gives 0: when beginsWithNumber is false the value is 0;
//  - blanks, tabs and line feeds are skipped wherever they stand: removing them all changes
//    neither the value nor beginsWithNumber;
//  - reading stops at the first character that cannot continue the number: appending one ("x")
//    changes nothing either;
//  - a decimal number gives what the C library reads from its clean form (sign, digits, point,
//    exponent with E for D), too large for a double the largest finite one, too small 0.

#include "platform/Ansi.h"
#include "platform/LeadingNumber.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void fail(const char *what, const QString &text, double a, double b)
{
    std::fprintf(stderr, "fuzz_leadingnumber: %s\n  text: \"%s\"\n  values: %.17g %.17g\n", what,
                 text.toUtf8().constData(), a, b);
    std::abort();
}

QString decode(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return {};
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const std::size_t n = size - 1;
    if ((data[0] & 1) == 0)
        return platine::fromAnsi(QByteArrayView(rest, qsizetype(n)));
    QString text(qsizetype(n / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i < n / 2; ++i) {
        const auto low = std::uint8_t(rest[2 * i]), high = std::uint8_t(rest[2 * i + 1]);
        text[qsizetype(i)] = QChar(char16_t(low | high << 8));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = decode(data, size);
    const double value = platine::leadingNumber(text);
    const bool found = platine::beginsWithNumber(text);

    if (!std::isfinite(value))
        fail("value not finite", text, value, 0);
    if (value == 0 && std::signbit(value))
        fail("value is -0", text, value, 0);
    if (!found && value != 0)
        fail("no number but a value other than 0", text, value, 0);

    QString packed = text;
    packed.remove(u' ').remove(u'\t').remove(u'\n');
    const double packedValue = platine::leadingNumber(packed);
    if (packedValue != value || platine::beginsWithNumber(packed) != found)
        fail("blanks changed the reading", text, value, packedValue);

    // Decimal numbers against strtod (this program never changes the C locale, so "." it is).
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eEdD][+-]?[0-9]+)?"));
    qsizetype ascii = 0; // the regular expression refuses text that is not valid UTF-16
    while (ascii < packed.size() && packed[ascii].unicode() < 0x80 && packed[ascii].unicode() > 0)
        ++ascii;
    if (const auto m = decimal.match(QStringView(packed).first(ascii)); m.hasMatch()) {
        std::string clean = m.captured(0).toStdString();
        std::replace(clean.begin(), clean.end(), 'd', 'e');
        std::replace(clean.begin(), clean.end(), 'D', 'e');
        double expected = std::strtod(clean.c_str(), nullptr);
        if (std::isinf(expected))
            expected = std::copysign(DBL_MAX, expected);
        // Below the normal range the two may round a subnormal differently or give 0.
        const bool tiny = std::fabs(expected) < DBL_MIN && std::fabs(value) < DBL_MIN;
        if (!found || (value != expected && !tiny))
            fail("decimal number not read as the C library reads it", text, value, expected);
    } else if (!packed.startsWith(u'&') && found) {
        fail("a number found where there is none", text, value, 0);
    }

    const QString extended = text + u'x';
    const double extendedValue = platine::leadingNumber(extended);
    if (extendedValue != value || platine::beginsWithNumber(extended) != found)
        fail("a character after the number changed the reading", text, value, extendedValue);
    return 0;
}
