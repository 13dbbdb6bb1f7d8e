#pragma once
// The leading-number rule: how the program turns a text typed by a person or written by the board
// into a number. Blanks, tabs and line feeds are skipped wherever they stand (" 2 45 7" is 2457,
// "1. 1" is 1.1); then an optional sign, digits, a "." fraction whatever the locale, an exponent
// introduced by E or D ("1e2" and "1d2" are 100, "1e+1+" is 10, "1eA" is 1); "&H" hexadecimal and
// "&O" octal integers (up to 16 bits they are signed 16-bit integers: "&HFFFF" is -1, longer ones
// signed 32-bit). Reading stops at the first character that cannot continue the number
// ("24 and 57" is 24, "12,5" is 12). No number gives 0.
//
// Details: a hexadecimal or octal digit that would take the value past 32 bits ends the number
// ("&H123456789" reads as &H12345678); a sign before "&H"/"&O" is no number; a value beyond the
// range of a double gives the largest finite double with its sign, one too small for it gives 0;
// the result is never -0.

#include <QByteArrayView>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace platine {

double leadingNumber(QStringView text);

// The same rule for Windows-1252 bytes (a field of an acquisition file). A plain decimal, the way
// the board writes its values ("-12.25", "250": an optional minus, at most 18 digits with at most
// one ".", nothing else), is read straight from the bytes, to the same double; anything else is
// decoded and read by the rule above.
double leadingNumberOfAnsi(QByteArrayView bytes);

// The same, and whether the bytes begin with a number at all (as beginsWithNumber tells of text):
// an empty field, or one of letters, reads as 0 without one.
struct AnsiNumber {
    double value = 0;
    bool found = false;
};
AnsiNumber readLeadingNumberOfAnsi(QByteArrayView bytes);

// The value of a plain decimal read digit by digit: `mantissa` the number its digits write (at
// least one digit), `decimals` of them after the point (at most 18). Nothing when one division
// might not round it correctly (a mantissa above 2^53, not exact in a double); else the exact
// quotient of the mantissa by an exact power of ten, which is what from_chars gives for the same
// text, and never -0. Inline: the board's files have nine of them a line.
inline std::optional<double> exactDecimal(std::uint64_t mantissa, int decimals, bool negative)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                         1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    if (mantissa > std::uint64_t(1) << 53)
        return std::nullopt;
    const double magnitude = double(mantissa) / kPowers[decimals];
    return magnitude == 0 ? 0.0 : negative ? -magnitude : magnitude;
}

// Whether the text begins with a number at all (after the skipped blanks): true when there are
// digits to read, so "", ".", "-", "e5", "&H" and "&HG" are false and ".5", "-0", "&H F" are true.
bool beginsWithNumber(QStringView text);

} // namespace platine
