// Guards against: crashes, written values that do not read back, writes that change other entries.
// Input: three LF-ended Windows-1252 lines (section, key, value written), then the file as it was.
// Checked: refused keys leave the file as it was; writes read back and are the only change.
#include "platform/Ansi.h"
#include "platform/ProfileFile.h"

#include <QRegularExpression>

using namespace platine;

// As the program takes a name or value: CR and LF made blanks, blanks and tabs around removed.
static QString clean(QString s)
{
    static const QRegularExpression outerBlanks(QStringLiteral("^[ \\t]+|[ \\t]+$"));
    return s.replace(u'\r', u' ').replace(u'\n', u' ').remove(outerBlanks);
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
    // The entries of the file's first lines (under the header before them), two names not there.
    QList<std::pair<QString, QString>> others = {{section, "other"}, {"other", key}};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n?|\n"));
    for (const QString &line : fromAnsi(before).split(lineEnd).mid(0, 64)) {
        const QString t = clean(line);
        if (t.startsWith(u'[') && t.lastIndexOf(u']') > 0)
            others.append({clean(t.sliced(1, t.lastIndexOf(u']') - 1)), "other"});
        else if (t.indexOf(u'=') > 0 && !t.startsWith(u';'))
            others.append({others.last().first, clean(t.first(t.indexOf(u'=')))});
    }
    for (const auto &[s, k] : others) {
        if (s.compare(section, Qt::CaseInsensitive) || k.compare(key, Qt::CaseInsensitive))
            check(read(before, s, k, 1 << 20) == read(after, s, k, 1 << 20), "another changed");
    }
    return 0;
}
