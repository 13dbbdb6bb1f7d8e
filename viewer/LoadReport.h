#pragma once
// What the viewer tells after "Ouvrir fichier": how many acquisitions a load brought and, when it
// stopped early or did not happen, why.

#include "model/AcquisitionReader.h"

#include <QString>

namespace platine {

struct LoadReport {
    QString text;         // one line, for the help line
    bool warning = false; // the load failed or stopped early: worth a message of its own
};

// The report on loading path: what the load read, or why the file could not be opened.
LoadReport loadReport(const QString &path, const Result<AcquisitionReadResult> &result);

} // namespace platine
