// platine-sim: the logger board on a pseudo-terminal, to try the program without a board.

#include "platform/PortNumbers.h"
#include "platform/ProfileFile.h"
#include "tools/BoardSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// Why param.ini could not be written, for the terminal.
QString problemText(const platine::FileFailure &failure)
{
    using platine::FileProblem;
    switch (failure.kind) {
    case FileProblem::MissingFolder: return QStringLiteral("son dossier n'existe pas");
    case FileProblem::Folder: return QStringLiteral("c'est un dossier");
    case FileProblem::NotRegular: return QStringLiteral("ce n'est pas un fichier ordinaire");
    case FileProblem::TooLarge: return QStringLiteral("plus de 1 Mio, ce n'est pas un param.ini");
    case FileProblem::ReadOnly: return QStringLiteral("il est en lecture seule");
    case FileProblem::EmptyKey:
    case FileProblem::BadKey:
    case FileProblem::System: break;
    }
    return failure.reason;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("platine-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulateur de la platine : ouvre un pseudo-terminal, affiche chaque commande recue, "
        "repond a la mise a l'heure et envoie son heure chaque seconde."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Numero de port COM a faire pointer sur le "
                                                       "simulateur (3 par defaut)."),
                                        QStringLiteral("N"), QStringLiteral("3"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"),
                                         QStringLiteral("Ne pas envoyer l'heure chaque seconde."));
    const QCommandLineOption iniOption(
        QStringLiteral("ini"),
        QStringLiteral("Ecrire dans ce param.ini le port choisi et le peripherique du simulateur."),
        QStringLiteral("param.ini"));
    parser.addOption(portOption);
    parser.addOption(quietOption);
    parser.addOption(iniOption);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool ok = false;
    const int port = parser.value(portOption).toInt(&ok);
    if (!ok || port < 1 || port > platine::kMaxPortNumber) {
        err << "platine-sim: --port attend un nombre de 1 a " << platine::kMaxPortNumber << '\n';
        return 2;
    }

    platine::BoardSimulator sim;
    if (parser.isSet(quietOption))
        sim.setClockInterval(0);
    if (const platine::Status started = sim.start(); !started) {
        err << "platine-sim: impossible d'ouvrir un pseudo-terminal : " << started.reason() << '\n';
        return 1;
    }

    out << "Peripherique : " << sim.devicePath() << "\n\n"
        << "Lignes de param.ini (a cote de platine, ou ~/.config/platine/ pour un programme "
           "installe) :\n"
        << "[Port COM]\nvaleur=" << port << '\n';
    for (const QString &line : sim.paramIniLines(port))
        out << line << '\n';
    out << '\n';
    if (parser.isSet(iniOption)) {
        const QString ini = parser.value(iniOption);
        const platine::FileStatus portWritten = platine::writeProfileString(
            ini, QStringLiteral("Port COM"), QStringLiteral("valeur"), QString::number(port));
        const platine::FileStatus written = !portWritten
            ? portWritten
            : platine::writeProfileString(ini, QStringLiteral("Ports"),
                                          QStringLiteral("COM%1").arg(port), sim.devicePath());
        if (!written) {
            err << "platine-sim: impossible d'ecrire " << ini << " : "
                << problemText(written.error()) << '\n';
            return 1;
        }
        out << "Ecrit dans " << ini << "\n\n";
    }
    out << "En attente de commandes (Ctrl+C pour quitter)." << Qt::endl;

    QObject::connect(&sim, &platine::BoardSimulator::commandReceived, &app,
                     [&](const QByteArray &, const QString &description) {
                         out << "<< " << description << Qt::endl;
                     });
    QObject::connect(&sim, &platine::BoardSimulator::junkReceived, &app,
                     [&](const QByteArray &, const QString &description) {
                         out << "<< " << description << Qt::endl;
                     });
    QObject::connect(&sim, &platine::BoardSimulator::textSent, &app, [&](const QString &text) {
        if (text.startsWith(QStringLiteral("Heure reglee"))
            || text.startsWith(QStringLiteral("Erreur")))
            out << ">> " << text.trimmed() << Qt::endl;
    });

    return app.exec();
}
