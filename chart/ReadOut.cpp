#include "chart/ReadOut.h"

#include "model/Coefficients.h"
#include "platform/Blanks.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

namespace platine {

namespace {

constexpr double kBaseline = 5040.0;     // Y of the value 0
constexpr double kTwipsPerUnit = 1005.0; // twips per read-out unit
constexpr double kAxisX = 960.0;         // X of the Y axis, origin of the row read-out

} // namespace

std::optional<double> decimalCommaNumber(QStringView text)
{
    text = trimmedBy<isNumberTextBlank>(text);
    qsizetype i = 0;
    const qsizetype n = text.size();

    // Build the same number in the C notation and let strtod do the rounding.
    std::string c;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        c += static_cast<char>(text[i++].unicode());
    int digits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        c += static_cast<char>(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == u',') {
        c += '.';
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            c += static_cast<char>(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        c += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            c += static_cast<char>(text[i++].unicode());
        int expDigits = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            c += static_cast<char>(text[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    // from_chars ignores the process locale (Qt sets LC_ALL from the environment at start).
    double value = 0;
    const char *begin = c.data();
    if (*begin == '+')
        ++begin; // from_chars takes a minus sign only
    const auto [end, error] = std::from_chars(begin, c.data() + c.size(), value);
    if (error != std::errc() || end != c.data() + c.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

ReadOutScale readOutScale(QStringView coeffText)
{
    // A preset is known by its value, however it is written: "0,492", " 0.492 ", "0.4920".
    const std::optional<double> value = coefficientValue(coeffText);
    for (const CoefficientPreset &preset : kPresets) {
        if (value && value == coefficientValue(QString::fromLatin1(preset.coefficient)))
            return {preset.readOutFactor, QStringView(preset.unit)};
    }
    return {value, u" V"};
}

std::optional<double> coefficientValue(QStringView coeffText)
{
    QString text = coeffText.toString();
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0)
        text[dot] = u',';
    return decimalCommaNumber(text);
}

double readOutValue(double y, double k)
{
    return (kBaseline - y) / kTwipsPerUnit * k;
}

QString formatReadOut(double value)
{
    const QString separator = QLocale().decimalPoint();
    if (std::isnan(value))
        return QLocale().toString(value); // "nan": K itself is finite, Y never is NaN in practice
    const double hundredths = std::round(value * 100.0);
    if (!std::isfinite(hundredths) || std::fabs(hundredths) >= 9.0e15) {
        // Too large for a fraction to matter: all integer digits, then the separator.
        if (std::isinf(value))
            return QLocale().toString(value);
        return QString::number(value, 'f', 0) + separator;
    }
    if (hundredths == 0.0)
        return QStringLiteral("0") + separator;
    const long long h = static_cast<long long>(hundredths);
    const unsigned long long magnitude = static_cast<unsigned long long>(h < 0 ? -h : h);
    QString out;
    if (h < 0)
        out += u'-';
    out += QString::number(magnitude / 100) + separator;
    const unsigned long long fraction = magnitude % 100;
    if (fraction != 0) {
        out += QChar(u'0' + static_cast<char16_t>(fraction / 10));
        if (fraction % 10 != 0)
            out += QChar(u'0' + static_cast<char16_t>(fraction % 10));
    }
    return out;
}

std::optional<double> readOutRow(double x, double step)
{
    const double row = std::floor((x - kAxisX) / step);
    if (std::isnan(row))
        return std::nullopt;
    return row;
}

} // namespace platine
