#include "viewer/LoadReport.h"

#include "platform/NumberText.h"

#include <QFileInfo>

#include <algorithm>

namespace platine {

namespace {

// Counts are written the French way, as the sentences around them.
QString number(qint64 n)
{
    return frenchCount(n);
}

QString acquisitions(qint64 count)
{
    return count > 1 ? QStringLiteral("%1 acquisitions chargées").arg(number(count))
                     : QStringLiteral("%1 acquisition chargée").arg(number(count));
}

} // namespace

QString fileFailureText(const AcquisitionFileFailure &failure)
{
    using Kind = AcquisitionFileFailure::Kind;
    switch (failure.kind) {
    case Kind::Missing: return QStringLiteral("le fichier n'existe pas");
    case Kind::NotRegular: return QStringLiteral("ce n'est pas un fichier ordinaire");
    case Kind::Gone: return QStringLiteral("le fichier n'existe plus");
    case Kind::Changed: return QStringLiteral("le fichier a changé depuis son ouverture");
    case Kind::NoSuchRow:
        return QStringLiteral("il n'a pas d'acquisition %1").arg(number(failure.row));
    case Kind::System: break;
    }
    return failure.reason;
}

LoadReport openFailure(const QString &path, const AcquisitionFileFailure &failure)
{
    return {QStringLiteral("Impossible d'ouvrir « %1 » : %2").arg(path, fileFailureText(failure)),
            true};
}

LoadReport loadReport(const QString &path, const AcquisitionFileProgress &p)
{
    using State = AcquisitionFileProgress::State;
    const QString name = QStringLiteral("« %1 »").arg(QFileInfo(path).fileName());
    if (p.state == State::Reading) {
        const int percent = p.size > 0 ? int(std::min<qint64>(100, p.bytesRead * 100 / p.size)) : 0;
        return {QStringLiteral("Chargement de %1 : %2 %, %3 (Échap pour arrêter)")
                    .arg(name, number(percent), acquisitions(p.rows))};
    }
    if (p.rows == 0) {
        if (p.state == State::Cancelled)
            return {QStringLiteral("Chargement de %1 annulé : rien n'a été chargé.").arg(name)};
        if (p.state == State::ReadError)
            return {QStringLiteral("Impossible de lire %1 : %2").arg(name, p.error), true};
        return {name
                    + QStringLiteral(" ne contient aucune ligne d'acquisition complète : rien n'a "
                                     "été chargé, le graphique garde ses données."),
                true};
    }

    QString text = name + QStringLiteral(" : ") + acquisitions(p.rows);
    bool warning = false;
    if (p.skippedLines == 1) {
        text += QStringLiteral(" ; la ligne %1, qui a moins de neuf champs, est ignorée")
                    .arg(number(p.firstSkipped));
        warning = true;
    } else if (p.skippedLines > 1) {
        text += QStringLiteral(
                    " ; %1 lignes de moins de neuf champs sont ignorées, la première est "
                    "la ligne %2")
                    .arg(number(p.skippedLines), number(p.firstSkipped));
        warning = true;
    }
    if (p.fieldsWithoutNumber == 1) {
        text += QStringLiteral(" ; le champ vide ou non numérique de la ligne %1 est lu comme 0")
                    .arg(number(p.firstWithoutNumber));
        warning = true;
    } else if (p.fieldsWithoutNumber > 1) {
        text += QStringLiteral(" ; %1 champs vides ou non numériques sont lus comme 0, le premier "
                               "à la ligne %2")
                    .arg(number(p.fieldsWithoutNumber), number(p.firstWithoutNumber));
        warning = true;
    }
    if (p.state == State::Cancelled) {
        text += QStringLiteral(" ; chargement annulé après l'acquisition %1 (ligne %2), la suite "
                               "n'est pas chargée")
                    .arg(number(p.rows - 1), number(p.lines));
    } else if (p.state == State::ReadError) {
        text += QStringLiteral(" ; erreur de lecture après la ligne %1 (%2), la suite n'est pas "
                               "chargée")
                    .arg(number(p.lines), p.error);
        warning = true;
    }
    return {text + u'.', warning};
}

QString shownRowsCaption(qint64 first, int n, qint64 rows)
{
    const qint64 last = std::min(first + n, rows - 1);
    return QStringLiteral("Acquisitions %1 à %2 sur %3")
        .arg(number(first), number(last), number(rows));
}

QString shownRowsCaption(const FileSession &session, int n)
{
    using Source = FileSession::Source;
    const Source source = session.source();
    if (source == Source::File)
        return shownRowsCaption(session.windowStart(), n, session.fileRows());
    if (source == Source::Nothing)
        return {};
    QString text = QStringLiteral("Acquisitions 0 à %1 : %2")
                       .arg(number(session.lastEditedRow()),
                            source == Source::Demo ? QStringLiteral("données de démonstration")
                                                   : QStringLiteral("remises à zéro"));
    if (session.file())
        text += QStringLiteral(" ; Pg.Suiv, Pg.Préc, Début, Fin ou l'aperçu ramènent au fichier");
    return text;
}

LoadReport describe(const SessionReport &r)
{
    using Kind = SessionReport::Kind;
    const QString name = QFileInfo(r.path).fileName();
    switch (r.kind) {
    case Kind::Progress:
    case Kind::Ended: return loadReport(r.path, r.progress);
    case Kind::OpenFailed: return openFailure(r.path, r.failure);
    case Kind::ReadFailed:
        return {
            QStringLiteral("Impossible de lire « %1 » : %2").arg(name, fileFailureText(r.failure)),
            true};
    case Kind::MoveFailed:
        return {QStringLiteral("Impossible de relire « %1 » : %2 ; le graphique garde ce qu'il "
                               "montre.")
                    .arg(name, fileFailureText(r.failure)),
                true, QStringLiteral("Parcourir le fichier")};
    }
    return {};
}

} // namespace platine
