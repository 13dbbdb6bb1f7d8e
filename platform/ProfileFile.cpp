#include "platform/ProfileFile.h"

#include "platform/Ansi.h"
#include "platform/Blanks.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QVector>

namespace platine {

namespace {

// One line of a profile file: [begin, contentEnd) is its text, [contentEnd, end) its line end
// (CR LF, CR, LF, or nothing for a last line without one).
struct Line {
    qsizetype begin, contentEnd, end;
};

QVector<Line> splitLines(const QByteArray &bytes)
{
    QVector<Line> lines;
    lines.reserve(bytes.count('\n') + bytes.count('\r') + 1); // at most one line per line end
    const char *const data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype begin = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        qsizetype end = i + 1;
        if (c == '\r' && end < n && data[end] == '\n')
            ++end;
        lines.append({begin, i, end});
        begin = end;
        i = end - 1;
    }
    if (begin < n)
        lines.append({begin, n, n});
    return lines;
}

enum class Kind { Other, Section, Entry };

struct Parsed {
    Kind kind = Kind::Other;
    QStringView name;  // section or key name, blanks removed
    QStringView value; // entry value, blanks removed (quotes still there)
};

Parsed parseLine(QStringView text)
{
    Parsed p;
    const QStringView t = trimProfileBlanks(text);
    if (t.isEmpty() || t.front() == u';')
        return p;
    if (t.front() == u'[') {
        const qsizetype close = t.lastIndexOf(u']');
        if (close > 0) {
            p.kind = Kind::Section;
            p.name = trimProfileBlanks(t.sliced(1, close - 1));
        }
        return p; // "[" without "]": neither a section nor an entry
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return p;
    p.name = trimProfileBlanks(t.first(eq));
    if (p.name.isEmpty())
        return p;
    p.kind = Kind::Entry;
    p.value = trimProfileBlanks(t.sliced(eq + 1));
    return p;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringView stripQuotes(QStringView value)
{
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == u'"' || q == u'\'') && value.back() == q)
            return value.sliced(1, value.size() - 2);
    }
    return value;
}

// A name or value as it may be written: CR and LF become blanks, so nothing can start a new line.
QString oneLine(const QString &s)
{
    if (!s.contains(u'\r') && !s.contains(u'\n'))
        return s; // shared, not copied
    QString out = s;
    for (QChar &c : out) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return out;
}

// Whether a key (CR/LF made blanks, outer blanks removed) can be written so that it reads back:
// an empty name, a name holding "=" (the name ends at the first "="), or one starting with ";" (a
// comment) or "[" (a header, which would also move the entries after it into another section)
// cannot.
bool writableKey(QStringView key)
{
    return !key.isEmpty() && !key.contains(u'=') && !key.startsWith(u';') && !key.startsWith(u'[');
}

// Where a section lives in the file: the index of its header line and of the line after its last
// line (the next header, or the end of the file).
struct SectionSpan {
    qsizetype header = -1, end = -1;
    qsizetype lastEntry = -1; // last entry line of the section, -1 when it has none
    qsizetype keyLine = -1;   // the first entry line of the wanted key
};

// The text of a line of the decoded file (one character a byte: the offsets are the same).
QStringView lineText(const QString &text, const Line &l)
{
    return QStringView(text).sliced(l.begin, l.contentEnd - l.begin);
}

SectionSpan findSection(const QString &text, const QVector<Line> &lines, QStringView section,
                        QStringView key)
{
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Parsed p = parseLine(lineText(text, lines[i]));
        if (p.kind == Kind::Section) {
            if (span.header >= 0) { // the wanted section ends here
                span.end = i;
                return span;
            }
            if (sameName(p.name, section))
                span.header = i;
        } else if (p.kind == Kind::Entry && span.header >= 0) {
            span.lastEntry = i;
            if (span.keyLine < 0 && sameName(p.name, key))
                span.keyLine = i;
        }
    }
    if (span.header >= 0)
        span.end = lines.size();
    return span;
}

} // namespace

QString profileLookup(const QByteArray &contents, const QString &section, const QString &key,
                      const QString &defaultValue, int bufferSize)
{
    const QStringView wantedSection = trimProfileBlanks(section);
    const QStringView wantedKey = trimProfileBlanks(key);
    if (wantedKey.isEmpty())
        return defaultValue;
    const QVector<Line> lines = splitLines(contents);
    const QString text = fromAnsi(contents);
    const SectionSpan span = findSection(text, lines, wantedSection, wantedKey);
    if (span.keyLine < 0)
        return defaultValue;
    const Parsed p = parseLine(lineText(text, lines[span.keyLine]));
    return stripQuotes(p.value).left(qMax(0, bufferSize - 1)).toString();
}

QByteArray profileUpdate(const QByteArray &contents, const QString &section, const QString &key,
                         const QString &value)
{
    const QString cleanSection = trimProfileBlanks(oneLine(section)).toString();
    const QString cleanKey = trimProfileBlanks(oneLine(key)).toString();
    if (!writableKey(cleanKey))
        return contents;
    const QByteArray entryValue = toAnsi(oneLine(value));
    static const QByteArray crlf = QByteArrayLiteral("\r\n");

    const QVector<Line> lines = splitLines(contents);
    const SectionSpan span = findSection(fromAnsi(contents), lines, cleanSection, cleanKey);
    QByteArray out;
    out.reserve(contents.size() + entryValue.size() + cleanKey.size() + cleanSection.size() + 8);

    if (span.header < 0) {
        // A new section at the end of the file, right after its last line.
        out = contents;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += crlf;
        out += '[' + toAnsi(cleanSection) + ']' + crlf;
        out += toAnsi(cleanKey) + '=' + entryValue + crlf;
        return out;
    }

    if (span.keyLine >= 0) {
        // Replace the value in place: everything up to and including "=" stays as it was, and so
        // does the line end.
        const Line &l = lines[span.keyLine];
        const qsizetype eq = contents.indexOf('=', l.begin);
        out = contents.first(eq + 1);
        out += entryValue;
        out += QByteArrayView(contents).sliced(l.contentEnd);
        return out;
    }

    // A new entry right after the last entry of the section, or after its header.
    const qsizetype after = span.lastEntry >= 0 ? span.lastEntry : span.header;
    const Line &l = lines[after];
    out = contents.first(l.end);
    if (l.end == l.contentEnd) // the last line of the file had no line end
        out += crlf;
    out += toAnsi(cleanKey) + '=' + entryValue + crlf;
    out += QByteArrayView(contents).sliced(l.end);
    return out;
}

QList<std::pair<QString, QString>> profileEntries(const QByteArray &contents,
                                                  const QString &section)
{
    QList<std::pair<QString, QString>> entries;
    const QVector<Line> lines = splitLines(contents);
    const QString text = fromAnsi(contents);
    const SectionSpan span = findSection(text, lines, trimProfileBlanks(section), {});
    for (qsizetype i = span.header + 1; span.header >= 0 && i < span.end; ++i) {
        const Parsed p = parseLine(lineText(text, lines[i]));
        if (p.kind == Kind::Entry)
            entries.append({p.name.toString(), stripQuotes(p.value).toString()});
    }
    return entries;
}

Result<QByteArray, FileFailure> readProfileFile(const QString &path)
{
    const auto fail = [](FileProblem kind,
                         const QString &why = {}) -> Result<QByteArray, FileFailure> {
        return FileFailure{kind, why};
    };
    const QFileInfo info(path);
    if (!info.exists()) {
        if (QFileInfo(info.absolutePath()).isDir())
            return QByteArray();
        return fail(FileProblem::MissingFolder);
    }
    if (info.isDir())
        return fail(FileProblem::Folder);
    if (!info.isFile())
        return fail(FileProblem::NotRegular);
    if (info.size() > kMaxProfileFileBytes)
        return fail(FileProblem::TooLarge);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return fail(FileProblem::System, in.errorString());
    // Read at most one byte past the limit: a file that grew since it was measured is refused too.
    QByteArray bytes = in.read(kMaxProfileFileBytes + 1);
    if (in.error() != QFileDevice::NoError)
        return fail(FileProblem::System, in.errorString());
    if (bytes.size() > kMaxProfileFileBytes)
        return fail(FileProblem::TooLarge);
    return bytes;
}

FileStatus replaceProfileFile(const QString &path, const QByteArray &bytes)
{
    const auto fail = [](FileProblem kind, const QString &why = {}) -> FileStatus {
        return FileFailure{kind, why};
    };
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir())
            return fail(FileProblem::Folder);
        // Replacing the file through a new one would get past a read-only flag: honour it.
        if (!info.isWritable())
            return fail(FileProblem::ReadOnly);
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(FileProblem::System, out.errorString());
    if (out.write(bytes) != bytes.size()) {
        const QString why = out.errorString();
        out.cancelWriting();
        return fail(FileProblem::System, why);
    }
    if (!out.commit())
        return fail(FileProblem::System, out.errorString());
    return Done{};
}

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferSize)
{
    const Result<QByteArray, FileFailure> contents = readProfileFile(path);
    if (!contents)
        return defaultValue;
    return profileLookup(*contents, section, key, defaultValue, bufferSize);
}

FileStatus writeProfileString(const QString &path, const QString &section, const QString &key,
                              const QString &value)
{
    const QString cleanKey = trimProfileBlanks(oneLine(key)).toString();
    if (cleanKey.isEmpty())
        return FileFailure{FileProblem::EmptyKey, {}};
    if (!writableKey(cleanKey))
        return FileFailure{FileProblem::BadKey, {}};
    const Result<QByteArray, FileFailure> contents = readProfileFile(path);
    if (!contents)
        return contents.error();
    return replaceProfileFile(path, profileUpdate(*contents, section, key, value));
}

} // namespace platine
