#include "schedule/FileMessages.h"

#include <QFileInfo>

namespace platine {

QString fileProblemText(const QString &path, const FileFailure &failure)
{
    switch (failure.kind) {
    case FileProblem::MissingFolder:
        return QStringLiteral("le dossier « %1 » n'existe pas").arg(QFileInfo(path).absolutePath());
    case FileProblem::Folder: return QStringLiteral("c'est un dossier");
    case FileProblem::NotRegular: return QStringLiteral("ce n'est pas un fichier ordinaire");
    case FileProblem::TooLarge:
        return QStringLiteral("ce n'est pas un fichier de paramètres (plus de 1 Mio)");
    case FileProblem::ReadOnly: return QStringLiteral("le fichier est en lecture seule");
    case FileProblem::EmptyKey: return QStringLiteral("nom de clé vide");
    case FileProblem::BadKey: return QStringLiteral("nom de clé invalide");
    case FileProblem::System: break;
    }
    return failure.reason.isEmpty() ? QStringLiteral("erreur inconnue") : failure.reason;
}

QString cannotWriteMessage(const QString &path, const FileFailure &failure)
{
    return QStringLiteral("Impossible d'écrire « %1 » : %2")
        .arg(path, fileProblemText(path, failure));
}

} // namespace platine
