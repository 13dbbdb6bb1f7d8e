#pragma once
// What the viewer tells of "Ouvrir fichier": the progress of a load, how many acquisitions it
// brought and, when it stopped early or brought none, why; and the caption of the rows shown.

#include "model/AcquisitionFile.h"
#include "viewer/FileSession.h"

#include <QString>

namespace platine {

struct LoadReport {
    QString text;         // one line, for the help line
    bool warning = false; // the load failed or lost lines: worth a message of its own
    QString title = QStringLiteral("Ouvrir fichier"); // of that message
};

// What the viewer says of a report of its file session.
LoadReport describe(const SessionReport &report);

// The report on loading path, from what its reading thread did so far. Numbers are written as
// QLocale() writes them.
LoadReport loadReport(const QString &path, const AcquisitionFileProgress &progress);
// Why a file could not be opened or read again, as the end of a sentence: "le fichier a changé
// depuis son ouverture", or the system's words.
QString fileFailureText(const AcquisitionFileFailure &failure);
// A file that could not be opened.
LoadReport openFailure(const QString &path, const AcquisitionFileFailure &failure);

// "Acquisitions A à B sur R" for a full view of rows first .. first + n of a file of `rows` rows.
QString shownRowsCaption(qint64 first, int n, qint64 rows);
// The same caption for whatever the session's store holds, in a full view of n + 1 rows: empty
// before anything was loaded or written.
QString shownRowsCaption(const FileSession &session, int n);

} // namespace platine
