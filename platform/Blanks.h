#pragma once
// What counts as a blank, for each kind of text the program reads. Three rules, each named for
// the texts it serves:
// - profile blanks: spaces and tabs, around names and values of profile files and around a typed
//   port number;
// - leading-number blanks: spaces, tabs and line feeds, skipped wherever they stand in a number
//   (LeadingNumber.h);
// - number-text blanks: spaces, tabs, CR, LF and the no-break space, around a number written with
//   a decimal comma (a value copied from a table or a read-out).

#include <QChar>
#include <QStringView>

namespace platine {

constexpr bool isProfileBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

constexpr bool isLeadingNumberBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

constexpr bool isNumberTextBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x00A0);
}

// The text without the blanks (by one of the rules above) at its two ends.
template <bool (*isBlank)(QChar)> constexpr QStringView trimmedBy(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

constexpr QStringView trimProfileBlanks(QStringView text)
{
    return trimmedBy<isProfileBlank>(text);
}

constexpr QStringView trimNumberTextBlanks(QStringView text)
{
    return trimmedBy<isNumberTextBlank>(text);
}

} // namespace platine
