#pragma once
// Profile (INI) files as the program has always kept them: single-byte Windows-1252 text,
// "[section]" headers, "key=value" entries, CR LF line ends.
//
// Reading: sections and keys match without regard to case; blanks around names and values are
// ignored; one pair of matching outer quotes around a value is removed; the value is cut to
// bufferSize - 1 characters; a missing file, section or key gives the default; lines starting with
// ";" are comments; lines before the first section and lines without "=" are no entries; the first
// of two same-named sections or keys wins; CR LF, lone CR and lone LF all end a line.
//
// Writing: an existing value is replaced in place (the key keeps its spelling), a missing key goes
// right after the last entry of its section, a missing section goes at the end of the file with no
// blank line before it, every other line stays byte for byte as it was. The file is replaced
// atomically, so a crash or a full disk never leaves it half written. CR and LF in a section, key or
// value are replaced by blanks so that a value can never add lines to the file.
//
// Details of this implementation: "blanks" are spaces and tabs; a header is a line starting with
// "[" and holding a "]" (the name runs to the last "]"); only the first of two same-named sections
// is consulted, for reading and writing; a replaced entry keeps everything up to its "=" and its
// own line end, new lines end with CR LF; a key name that could not be read back is refused and
// the file left as it was (an empty one, one holding "=", one starting with ";" or with "[", which
// would even read as a section header and take the entries after it); an existing file that is
// read-only (or a directory, or a path in a missing directory) is reported and left untouched.
//
// A file larger than 1 MiB is no profile file (a wrong file chosen by mistake): it is neither read
// nor written, and reads as if it could not be read.
//
// A failure says what kind of failure it was (and the system's words for a refusal of the system);
// the window that acted, which knows the path, tells the user.

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platine {

inline constexpr int kProfileBufferSize = 20; // room for 19 characters and the terminator
inline constexpr qint64 kMaxProfileFileBytes = 1024 * 1024;

// Why a profile file could not be read or written.
enum class FileProblem {
    MissingFolder, // the folder that would hold it does not exist
    Folder,        // the path names a folder
    NotRegular,    // a device, a pipe or the like
    TooLarge,      // over kMaxProfileFileBytes: no profile file
    ReadOnly,      // an existing file that may not be written
    EmptyKey,      // a key name that is empty once trimmed
    BadKey,        // a key name that could not be read back (see above)
    System,        // the system refused: its words in `reason`
};

struct FileFailure {
    FileProblem kind = FileProblem::System;
    QString reason; // the system's words (System); empty otherwise
};

using FileStatus = Result<Done, FileFailure>;

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue = QString(),
                          int bufferSize = kProfileBufferSize);

FileStatus writeProfileString(const QString &path, const QString &section, const QString &key,
                              const QString &value);

// The bytes of a profile file: empty for a file that does not exist in an existing folder; a
// failure for a path in a missing folder, a folder or other non-regular file, a file that cannot
// be read and a file larger than kMaxProfileFileBytes.
Result<QByteArray, FileFailure> readProfileFile(const QString &path);
// Replaces the file with bytes in one step (a crash leaves the old file or the new one). An existing
// read-only file, or a folder, is refused and left untouched.
FileStatus replaceProfileFile(const QString &path, const QByteArray &bytes);

// Pure forms of the same rules, on the file's bytes, for tests and fuzzing.
QString profileLookup(const QByteArray &contents, const QString &section, const QString &key,
                      const QString &defaultValue = QString(), int bufferSize = kProfileBufferSize);
QByteArray profileUpdate(const QByteArray &contents, const QString &section, const QString &key,
                         const QString &value);
// The entries of the first section of that name, in the file's order: each key as written (blanks
// around it removed) and its value as profileLookup() reads it, whole.
QList<std::pair<QString, QString>> profileEntries(const QByteArray &contents,
                                                  const QString &section);

} // namespace platine
