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

// The lines of a file, each with its line end (CR LF, lone CR or lone LF; none for a last line
// without one).
static QList<QByteArrayView> linesOf(QByteArrayView file)
{
    QList<QByteArrayView> lines;
    for (qsizetype from = 0, end = 0; from < file.size(); from = end) {
        end = from;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        if (end < file.size())
            end += file.sliced(end).startsWith("\r\n") ? 2 : 1;
        lines.append(file.sliced(from, end - from));
    }
    return lines;
}
// The line end of such a line.
static QByteArrayView lineEnd(QByteArrayView line)
{
    if (line.endsWith("\r\n"))
        return line.last(2);
    return line.last(line.endsWith('\r') || line.endsWith('\n') ? 1 : 0);
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
    const auto check = [](bool ok, const char *what) {
        if (!ok)
            qFatal("%s", what);
    };
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
                  && read(after, section, key, 1 << 20) == value,
              "not read back");
    check(profileUpdate(after, field[0], field[1], field[2]) == after, "the same write changed it");
    // Every other line stays byte for byte: the lines alike at the start and at the end leave at
    // most one line of the file as it was, which either kept its line end and everything up to
    // its "=" (a value replaced) or was the last line and gained CR LF (lines added after it).
    const QList<QByteArrayView> was = linesOf(before), now = linesOf(after);
    qsizetype same = 0, sameEnd = 0; // lines alike at the start, then at the end
    while (same < qMin(was.size(), now.size()) && was[same] == now[same])
        ++same;
    while (sameEnd < qMin(was.size(), now.size()) - same
           && was[was.size() - 1 - sameEnd] == now[now.size() - 1 - sameEnd])
        ++sameEnd;
    const qsizetype taken = was.size() - same - sameEnd, added = now.size() - same - sameEnd;
    if (taken > 0) {
        const QByteArrayView old = was[same], line = now.value(same);
        const bool lastGotEnd = same == was.size() - 1 && lineEnd(old).isEmpty() && added > 0
            && line.size() == old.size() + 2 && line.startsWith(old) && line.endsWith("\r\n");
        const bool valueReplaced = taken == 1 && added == 1 && old.indexOf('=') >= 0
            && lineEnd(old) == lineEnd(line) && line.indexOf('=') == old.indexOf('=')
            && line.first(line.indexOf('=')) == old.first(old.indexOf('='));
        check(taken == 1 && (lastGotEnd || valueReplaced), "another line changed");
    }
    // So entries before the change read as they did, and those after it can only be moved by the
    // lines added before them: the first two entries from the change on (under the header before
    // them) must read the same too.
    QList<std::pair<QString, QString>> others;
    QString header; // the section of the lines read
    for (qsizetype i = 0; i < was.size() && others.size() < 2; ++i) {
        const QString t = clean(fromAnsi(was[i]));
        if (t.startsWith(u'[') && t.lastIndexOf(u']') > 0)
            header = clean(t.sliced(1, t.lastIndexOf(u']') - 1));
        else if (i >= same && t.indexOf(u'=') > 0 && !t.startsWith(u';'))
            others.append({header, clean(t.first(t.indexOf(u'=')))});
    }
    for (const auto &[s, k] : others) {
        if (s.compare(section, Qt::CaseInsensitive) || k.compare(key, Qt::CaseInsensitive))
            check(read(before, s, k, 1 << 20) == read(after, s, k, 1 << 20), "another changed");
    }
    return 0;
}
