#pragma once
// Numbers written for people: at most 15 significant digits, no trailing zeros, an exponent form for
// very large or very small values ("1E+20", "1E-05"), QLocale()'s decimal separator, "-0" as "0".
// Plain decimals from 0.0001 up to 999999999999999 (after rounding to 15 digits), the exponent form
// outside that range: mantissa, "E", sign, at least two exponent digits ("1,5E+20" in French).
// A fraction below 1 keeps its leading "0" ("0,5"). NaN and infinities read "NaN", "Inf", "-Inf".

#include <QString>

namespace platine {

QString numberToText(double value);

// A count in the program's French sentences, written the French way whatever the system's locale:
// digits in groups of three from the right, joined by a narrow no-break space (U+202F), from
// 1 000 on: "999", "5 000", "-1 522 620".
QString frenchCount(qint64 count);

} // namespace platine
