#include "viewer/LoadReport.h"

#include "model/AcquisitionData.h"

#include <QFileInfo>

namespace platine {

namespace {

QString acquisitions(int count)
{
    return count > 1 ? QStringLiteral("%1 acquisitions chargées").arg(count)
                     : QStringLiteral("%1 acquisition chargée").arg(count);
}

} // namespace

LoadReport loadReport(const QString &path, const Result<AcquisitionReadResult> &result)
{
    if (!result)
        return {QStringLiteral("Impossible d'ouvrir « %1 » : %2").arg(path, result.reason()), true};
    const QString name = QStringLiteral("« %1 »").arg(QFileInfo(path).fileName());
    if (!result->dataLineSeen)
        return {name
                    + QStringLiteral(" ne contient aucune ligne d'acquisition : rien n'a été "
                                     "chargé, le graphique garde ses données."),
                true};

    using End = AcquisitionReadResult::End;
    const QString line = QString::number(result->endLine);
    switch (result->end) {
    case End::EndOfFile:
        return {name + QStringLiteral(" : ") + acquisitions(result->rowsStored) + u'.'};
    case End::ShortLine:
        return {name + QStringLiteral(" : ") + acquisitions(result->rowsStored)
                    + QStringLiteral(" ; chargement arrêté à la ligne %1, qui a moins de neuf "
                                     "champs.")
                          .arg(line),
                true};
    case End::Capacity:
        // The last row stored its temperature and analog values before the store was full.
        return {name + QStringLiteral(" : ") + acquisitions(result->rowsStored + 1)
                    + QStringLiteral(" ; le graphique en contient au plus %1, la suite du fichier "
                                     "(à partir de la ligne %2) n'est pas chargée.")
                          .arg(QString::number(AcquisitionData::kRows), line),
                true};
    case End::ReadError:
        return {name + QStringLiteral(" : ") + acquisitions(result->rowsStored)
                    + QStringLiteral(" ; erreur de lecture à la ligne %1 (%2), la suite n'est pas "
                                     "chargée.")
                          .arg(line, result->error),
                true};
    }
    return {};
}

} // namespace platine
