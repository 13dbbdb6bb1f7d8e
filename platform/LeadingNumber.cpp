#include "platform/LeadingNumber.h"

#include "platform/Ansi.h"
#include "platform/Blanks.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <string>

namespace platine {

namespace {

// Walks the text, skipping blanks, tabs and line feeds wherever they stand.
class Cursor
{
public:
    explicit Cursor(QStringView text) : m_text(text) { skip(); }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos].unicode(); }
    void next()
    {
        ++m_pos;
        skip();
    }
    qsizetype position() const { return m_pos; }
    void rewind(qsizetype pos) { m_pos = pos; }

private:
    void skip()
    {
        while (m_pos < m_text.size()) {
            if (!isLeadingNumberBlank(m_text[m_pos]))
                break;
            ++m_pos;
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c, int base)
{
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

struct Reading {
    bool found = false; // there were digits to read
    double value = 0;
};

// "&H" / "&O" integers: a value that fits 16 bits is a signed 16-bit integer, a larger one a signed
// 32-bit integer; a digit that would take the value past 32 bits ends the number.
Reading readRadix(Cursor &c, int base)
{
    Reading r;
    std::uint32_t value = 0;
    for (int d; (d = digitValue(c.peek(), base)) >= 0; c.next()) {
        const std::uint64_t wider = std::uint64_t(value) * unsigned(base) + unsigned(d);
        if (wider > 0xFFFFFFFFu)
            break;
        value = std::uint32_t(wider);
        r.found = true;
    }
    if (value <= 0xFFFFu)
        r.value = std::int16_t(std::uint16_t(value));
    else
        r.value = std::int32_t(value);
    return r;
}

// The power of ten of the first significant digit of a clean number ([-]digits[.digits][e[-]n],
// not all zeros): 2 for "123.4", -3 for "0.001", -1 for "10e-2". Tells a value too large for a
// double from one too small, whether the size comes from the digits or from the exponent.
long decimalExponent(const std::string &number)
{
    const std::size_t exponentAt = number.find('e');
    const std::string mantissa = number.substr(0, exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    long power = 0;
    if (first < point)
        power = long(point - first) - 1;
    else if (first != std::string::npos)
        power = -long(first - point);
    if (exponentAt != std::string::npos)
        power += std::stol(number.substr(exponentAt + 1));
    return power;
}

Reading readDecimal(Cursor &c)
{
    Reading r;
    std::string number; // a clean form for from_chars: [-]digits[.digits][e[-]digits]
    if (c.peek() == u'-' || c.peek() == u'+') {
        if (c.peek() == u'-')
            number += '-';
        c.next();
    }
    bool digits = false;
    for (; isDigit(c.peek()); c.next()) {
        number += char(c.peek());
        digits = true;
    }
    if (c.peek() == u'.') {
        c.next();
        number += '.';
        for (; isDigit(c.peek()); c.next()) {
            number += char(c.peek());
            digits = true;
        }
    }
    if (!digits)
        return r;
    r.found = true;

    const char16_t e = c.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        const qsizetype mark = c.position();
        c.next();
        bool negative = false;
        if (c.peek() == u'-' || c.peek() == u'+') {
            negative = c.peek() == u'-';
            c.next();
        }
        if (isDigit(c.peek())) {
            long exponent = 0;
            for (; isDigit(c.peek()); c.next())
                exponent = std::min(exponent * 10 + (c.peek() - u'0'), 1000000L);
            number += negative ? "e-" : "e";
            number += std::to_string(exponent);
        } else {
            c.rewind(mark); // "1eA": the letter does not belong to the number
        }
    }

    double value = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small for a double gives zero; too large gives the largest finite value.
        value = decimalExponent(number) > 0 ? DBL_MAX : 0.0;
        if (number.front() == '-')
            value = -value;
    }
    r.value = value;
    return r;
}

Reading read(QStringView text)
{
    Cursor c(text);
    if (c.peek() == u'&') {
        c.next();
        const char16_t kind = c.peek();
        if (kind == u'h' || kind == u'H') {
            c.next();
            return readRadix(c, 16);
        }
        if (kind == u'o' || kind == u'O') {
            c.next();
            return readRadix(c, 8);
        }
        return {};
    }
    return readDecimal(c);
}

} // namespace

double leadingNumber(QStringView text)
{
    const double v = read(text).value;
    return v == 0 ? 0.0 : v; // never -0
}

double leadingNumberOfAnsi(QByteArrayView bytes)
{
    return readLeadingNumberOfAnsi(bytes).value;
}

AnsiNumber readLeadingNumberOfAnsi(QByteArrayView bytes)
{
    const auto decoded = [&bytes] {
        const Reading r = read(fromAnsi(bytes));
        return AnsiNumber{r.value == 0 ? 0.0 : r.value, r.found}; // never -0
    };
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    if (p == end)
        return {};
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; p != end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9' && digits < 18) {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++digits;
            decimals += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return decoded();
        }
    }
    const std::optional<double> value = digits > 0 ? exactDecimal(mantissa, decimals, negative)
                                                   : std::nullopt;
    if (!value)
        return decoded();
    return {*value, true};
}

bool beginsWithNumber(QStringView text)
{
    return read(text).found;
}

} // namespace platine
