#include "platform/NumberText.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace platine {

// The value is rounded to 15 significant digits. With d the position of its first digit (the
// decimal exponent of the rounded value), it is written in plain decimals when -5 < d < 15, i.e.
// from 0.0001 up to 999999999999999, and otherwise as mantissa, "E", sign and at least two exponent
// digits: 1E+15, 1.5E-05, 1E+300. Trailing zeros of the fraction are never written; a fraction
// below 1 gets a leading "0".
QString numberToText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (value == 0)
        return QStringLiteral("0"); // also -0

    // d.dddddddddddddde±x: 15 significant digits, correctly rounded.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string_view sci(buf, res.ptr - buf);
    const bool negative = sci.front() == '-';
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char ch : sci.substr(0, ePos)) {
        if (ch >= '0' && ch <= '9')
            digits += ch;
    }
    const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const QString point = QLocale().decimalPoint();
    QString text;
    if (negative)
        text += u'-';
    if (exponent >= 15 || exponent < -4) {
        text += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            text += point + QString::fromLatin1(digits.substr(1));
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QString::number(std::abs(exponent)).rightJustified(2, u'0');
    } else if (exponent < 0) {
        text += u'0' + point + QString(-exponent - 1, u'0') + QString::fromLatin1(digits);
    } else {
        const std::size_t intDigits = std::size_t(exponent) + 1;
        if (digits.size() <= intDigits) {
            text += QString::fromLatin1(digits) + QString(int(intDigits - digits.size()), u'0');
        } else {
            text += QString::fromLatin1(digits.substr(0, intDigits)) + point
                + QString::fromLatin1(digits.substr(intDigits));
        }
    }
    return text;
}

QString frenchCount(qint64 count)
{
    QString text = QString::number(count);
    const qsizetype first = count < 0 ? 1 : 0; // the digits start after the sign
    for (qsizetype i = text.size() - 3; i > first; i -= 3)
        text.insert(i, QChar(0x202F));
    return text;
}

} // namespace platine
