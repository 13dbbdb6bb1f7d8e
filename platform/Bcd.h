#pragma once
// The board's number bytes and the two-digit texts of times and dates.

#include <QChar>
#include <QString>

namespace platine {

constexpr bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A character's digit value; anything but a decimal digit counts as 0.
constexpr int digitValue(QChar c)
{
    return isAsciiDigit(c) ? c.unicode() - u'0' : 0;
}

// A BCD byte of two characters: 16 x first digit + second digit; a character that is not a
// decimal digit counts as 0.
constexpr int bcdByte(QChar first, QChar second)
{
    return 16 * digitValue(first) + digitValue(second);
}

// The number two digit characters write: 10 x first digit + second digit, by the same rule.
constexpr int twoDigitValue(QChar first, QChar second)
{
    return 10 * digitValue(first) + digitValue(second);
}

// The number a BCD byte holds (0..99), or -1 when one of its halves is not a decimal digit.
constexpr int bcdValue(unsigned char byte)
{
    if ((byte >> 4) > 9 || (byte & 15) > 9)
        return -1;
    return (byte >> 4) * 10 + (byte & 15);
}

// Whether the two characters at `pos` are decimal digits whose number lies in [low, high].
bool twoDigitsIn(const QString &text, qsizetype pos, int low, int high);

// A number of at least two digits, with a leading zero below 10: "07", "59", "120".
QString twoDigitText(int value);

static_assert(bcdByte(u'2', u'3') == 0x23 && bcdByte(u'x', u'9') == 0x09);
static_assert(twoDigitValue(u'2', u'3') == 23 && twoDigitValue(u'x', u'9') == 9);
static_assert(bcdValue(0x59) == 59 && bcdValue(0x5a) == -1 && bcdValue(0xa0) == -1);

} // namespace platine
