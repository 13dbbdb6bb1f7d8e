#pragma once
// Numbers written for people: at most 15 significant digits, no trailing zeros, an exponent form for
// very large or very small values ("1E+20", "1E-05"), QLocale()'s decimal separator, "-0" as "0".

#include <QString>

namespace platine {

QString numberToText(double value);

} // namespace platine
