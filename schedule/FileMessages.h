#pragma once
// What the windows tell of a profile or schedule file that could not be read or written, in
// French, from what the file layer reported.

#include "platform/ProfileFile.h"

#include <QString>

namespace platine {

// Why, as the end of a sentence: "le fichier est en lecture seule", "le dossier « /a/b » n'existe
// pas", or the system's own words.
QString fileProblemText(const QString &path, const FileFailure &failure);
// "Impossible d'écrire « path » : why".
QString cannotWriteMessage(const QString &path, const FileFailure &failure);

} // namespace platine
