#pragma once
// The cursor read-out under the chart: the value at the mouse height and the row under the mouse.

#include <QString>
#include <QStringView>

#include <optional>

namespace platine {

// Scale of the value read-out, taken from the text of `coeff`.
struct ReadOutScale {
    // Factor K of the read-out: value = (5040 - Y) / 1005 * K. Empty when the coefficient text is
    // none of the presets and cannot be read as a number: the value caption is then left as it is.
    std::optional<double> k;
    QStringView unit; // " V" or " °C" (static text)
};

// K and the unit for the coefficient text: a coefficient worth a preset's (coefficientValue, so
// "0,492", " 0.492 " and "0.4920" alike) gives its read-out factor and unit ("0.492" -> 1 " V";
// "0.246" -> 2 " V";  "5" -> 10 " °C"); any other text -> coefficientValue(text), unit " V".
ReadOutScale readOutScale(QStringView coeffText);

// The coefficient as the drawings and the read-out take it: the text with its first "." turned
// into "," read by decimalCommaNumber, so "1.5" and "1,5" are both 1.5; nothing when that is no
// number ("abc", "1.5x").
std::optional<double> coefficientValue(QStringView coeffText);

// Reads a decimal number written with "," as the decimal separator, whatever the locale: blanks
// around it, an optional sign, digits with at most one "," (at least one digit in all), an optional
// exponent (E or e, optional sign, digits). Anything else, or a value too large for a double, gives
// nothing. "0,3" is 0.3, "5," is 5, ",5" is 0.5, "1e3" is 1000; "", "abc", "1,5.2", "1,2,3" give
// nothing.
std::optional<double> decimalCommaNumber(QStringView text);

// The value at the mouse height Y for the factor K: (5040 - Y) / 1005 * K.
double readOutValue(double y, double k);

// The "0.##" format: at least one integer digit, at most two decimals rounded half away from zero,
// trailing zeros of the fraction dropped, and the decimal separator always written, so a whole value
// keeps it after its last digit. The separator is QLocale()'s: 2.495 -> "2,5", 25.0149 -> "25,01",
// 10 -> "10," in French; "2.5", "25.01", "10." in the C locale. A value that rounds to zero is "0,"
// (no minus sign).
QString formatReadOut(double value);

// The read-out row: the largest whole number not above (X - 960) / step. Empty when that is not a
// number (step 0 with X on the axis, or non-finite input).
std::optional<double> readOutRow(double x, double step);

} // namespace platine
