#pragma once
// Numbers written for people: at most 15 significant digits, no trailing zeros, an exponent form for
// very large or very small values ("1E+20", "1E-05"), QLocale()'s decimal separator, "-0" as "0".
// Plain decimals from 0.0001 up to 999999999999999 (after rounding to 15 digits), the exponent form
// outside that range: mantissa, "E", sign, at least two exponent digits ("1,5E+20" in French).
// A fraction below 1 keeps its leading "0" ("0,5"). NaN and infinities read "NaN", "Inf", "-Inf".

#include <QString>

namespace platine {

QString numberToText(double value);

} // namespace platine
