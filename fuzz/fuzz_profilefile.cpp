// The profile-file layer: parse, update, read back.
//
// Input: three lines (ended by LF) giving the section, the key and the value to write, all
// Windows-1252; the remaining bytes are the file as it was. A missing line is an empty text.
//
// Checked for every input, after profileUpdate(file, section, key, value):
//  - a key the file cannot hold (after CR/LF became blanks and outer blanks were removed: empty,
//    holding "=", starting with ";" or "[") is refused: the file comes back unchanged;
//  - otherwise profileLookup(section, key) gives back the value as the rules transform it: CR and
//    LF became blanks, outer blanks are removed, then one pair of matching outer quotes, then it is
//    cut to 19 characters (and, read with a large buffer, the whole of it);
//  - every other section/key pair of the original file (and a few that do not exist) reads as it
//    did before;
//  - updating again with the same value changes nothing.

#include "platform/Ansi.h"
#include "platform/ProfileFile.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &before, const QByteArray &after,
                       const QString &detail = {})
{
    std::fprintf(stderr, "fuzz_profilefile: %s %s\n  before: %s\n  after:  %s\n", what,
                 detail.toUtf8().constData(), before.toPercentEncoding(" []=;").constData(),
                 after.toPercentEncoding(" []=;").constData());
    std::abort();
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

QString oneLine(QString s)
{
    s.replace(u'\r', u' ').replace(u'\n', u' ');
    return s;
}

// What reading gives back for a written value.
QString expectedValue(const QString &written)
{
    QString v = trimBlanks(oneLine(written));
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v;
}

struct Name {
    QString section, key;
};

// The section/key pairs that a reader of the file could ask for: every header and entry line.
QList<Name> namesIn(const QByteArray &file)
{
    QList<Name> names;
    QString section;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QString text = platine::fromAnsi(file);
    for (const QString &raw : text.split(lineEnd)) {
        const QString line = trimBlanks(raw);
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0)
                section = line.sliced(1, close - 1);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !line.startsWith(u';'))
            names.append({section, line.first(eq)});
        if (names.size() >= 64)
            break;
    }
    return names;
}

bool same(const QString &a, const QString &b)
{
    return trimBlanks(a).compare(trimBlanks(b), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QString fields[3];
    for (QString &field : fields) {
        const qsizetype lf = input.indexOf('\n');
        field = platine::fromAnsi(QByteArrayView(input).first(lf < 0 ? input.size() : lf));
        input = lf < 0 ? QByteArray() : input.sliced(lf + 1);
    }
    const QString &section = fields[0], &key = fields[1], &value = fields[2];
    const QByteArray &before = input;

    const QByteArray after = platine::profileUpdate(before, section, key, value);
    const QString readSection = oneLine(section), readKey = oneLine(key);
    const QString missing = QStringLiteral("\x01missing");

    const QString cleanKey = trimBlanks(readKey);
    if (cleanKey.isEmpty() || cleanKey.contains(u'=') || cleanKey.startsWith(u';')
        || cleanKey.startsWith(u'[')) {
        if (after != before)
            fail("key that cannot be read back not refused", before, after);
        return 0;
    }

    const QString expected = expectedValue(value);
    const QString read19 = platine::profileLookup(after, readSection, readKey, missing);
    if (read19 != expected.left(19))
        fail("value not read back", before, after, read19 + u" != " + expected.left(19));
    const QString readAll = platine::profileLookup(after, readSection, readKey, missing, 1 << 20);
    if (readAll != expected)
        fail("whole value not read back", before, after, readAll + u" != " + expected);

    QList<Name> others = namesIn(before);
    others.append({section, QStringLiteral("other")});
    others.append({QStringLiteral("other"), key});
    for (const Name &n : others) {
        if (same(n.section, readSection) && same(n.key, readKey))
            continue;
        const QString was = platine::profileLookup(before, n.section, n.key, missing, 1 << 20);
        const QString is = platine::profileLookup(after, n.section, n.key, missing, 1 << 20);
        if (was != is)
            fail("another entry changed", before, after,
                 u'[' + n.section + u"] " + n.key + u": " + was + u" -> " + is);
    }

    if (platine::profileUpdate(after, section, key, value) != after)
        fail("writing the same value again changed the file", before, after);
    return 0;
}
