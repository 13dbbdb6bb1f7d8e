// Guards against: crashes, written values that do not read back, writes that change other entries.
// Input: three LF-ended Windows-1252 lines (section, key, value written), then the file as it was.
// Checked: refused keys leave the file as it was; writes read back, other lines stay as they were.
#include "platform/Ansi.h"
#include "platform/ProfileFile.h"

using namespace platine;

// As the program takes a name or value: CR and LF made blanks, blanks and tabs around removed.
static QString clean(QStringView s)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!s.isEmpty() && blank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && blank(s.back()))
        s.chop(1);
    return s.toString().replace(u'\r', u' ').replace(u'\n', u' ');
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray before(reinterpret_cast<const char *>(data), qsizetype(size));
    QString field[3]; // section, key, value
    for (QString &f : field) {
        const qsizetype lf = before.indexOf('\n');
        f = fromAnsi(before.first(lf < 0 ? before.size() : lf));
        before = lf < 0 ? QByteArray() : before.sliced(lf + 1);
    }
    const auto check = [](bool ok, const char *what) { if (!ok) qFatal("%s", what); };
    const auto read = [](const QByteArray &file, const QString &s, const QString &k, int size) {
        return profileLookup(file, s, k, QStringLiteral("\x01no"), size);
    };
    const QByteArray after = profileUpdate(before, field[0], field[1], field[2]);
    const QString section = clean(field[0]), key = clean(field[1]);
    QString value = clean(field[2]); // read back without one pair of outer quotes, cut to 19
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
        value = value.sliced(1, value.size() - 2);
    if (key.isEmpty() || key.contains(u'=') || key.startsWith(u';') || key.startsWith(u'['))
        check(after == before, "a key that cannot be read back was written");
    else
        check(read(after, section, key, 20) == value.left(19)
                  && read(after, section, key, 1 << 20) == value, "not read back");
    check(profileUpdate(after, field[0], field[1], field[2]) == after, "the same write changed it");
    // Every other line stays byte for byte: what the write took away lies within one line.
    qsizetype same = 0, sameEnd = 0; // bytes alike at the start, then at the end
    while (same < qMin(before.size(), after.size()) && before[same] == after[same])
        ++same;
    while (sameEnd < qMin(before.size(), after.size()) - same
           && before[before.size() - 1 - sameEnd] == after[after.size() - 1 - sameEnd])
        ++sameEnd;
    const QByteArrayView taken = QByteArrayView(before).first(before.size() - sameEnd).sliced(same);
    check(!taken.contains('\r') && !taken.contains('\n'), "another line changed");
    // So entries before the change read as they did; those of the lines from the change on (the
    // first few, under the header before them) and two names not there must read the same too.
    QList<std::pair<QString, QString>> others = {{section, "other"}, {"other", key}};
    const QString text = fromAnsi(before);
    QString header; // the section of the lines read
    for (qsizetype from = 0, entries = 0; from < text.size() && entries < 4;) {
        qsizetype end = from;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString t = clean(QStringView(text).sliced(from, end - from));
        const bool changed = end >= same; // this line, or one after it, holds the change
        const bool isHeader = t.startsWith(u'[') && t.lastIndexOf(u']') > 0;
        if (isHeader)
            header = clean(t.sliced(1, t.lastIndexOf(u']') - 1));
        if (changed && isHeader)
            others.append({header, "other"});
        else if (changed && t.indexOf(u'=') > 0 && !t.startsWith(u';'))
            others.append({header, clean(t.first(t.indexOf(u'=')))});
        entries = others.size() - 2;
        from = end + (QStringView(text).sliced(end).startsWith(u"\r\n") ? 2 : 1); // CR LF, CR, LF
    }
    for (const auto &[s, k] : others) {
        if (s.compare(section, Qt::CaseInsensitive) || k.compare(key, Qt::CaseInsensitive))
            check(read(before, s, k, 1 << 20) == read(after, s, k, 1 << 20), "another changed");
    }
    return 0;
}
