#include "board/LinkMessages.h"

#include "platform/NumberText.h"

namespace platine {

namespace {

// What a lost device means and what to do, said when it goes and at each command until it is back.
QString unpluggedAdvice()
{
    return QStringLiteral("la carte ou le câble a été débranché. Rebranchez-le, puis recommencez.");
}

// Why the device would not open, in the user's words where the cause is a usual one.
QString cannotOpenReason(const LinkFailure &failure)
{
    switch (failure.serial) {
    case SerialError::Permission:
        return QStringLiteral("accès refusé : le port est peut-être pris par un autre programme, "
                              "ou votre compte n'est pas du groupe dialout");
    default: break;
    }
    return failure.reason.isEmpty() ? QStringLiteral("erreur inconnue") : failure.reason;
}

QString noDeviceMessage(const BoardLink &link)
{
    QStringList ports;
    QString example = QStringLiteral("/dev/ttyUSB0");
    const QMap<int, SerialPortEntry> present = link.presentPorts();
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        if (ports.isEmpty())
            example = it->device;
        ports << QStringLiteral("COM%1 (%2)").arg(QString::number(it.key()), it->device);
    }
    return QStringLiteral("Le port COM%1 ne correspond à aucun périphérique de cet ordinateur.\n"
                          "Ports présents : %2.\n"
                          "Choisissez-en un par « Paramètrage » → « Port COM », ou donnez le "
                          "numéro %1 à un périphérique en ajoutant à « %3 » les lignes :\n"
                          "[Ports]\nCOM%1=%4")
        .arg(QString::number(link.portNumber()),
             ports.isEmpty() ? QStringLiteral("aucun") : ports.join(QStringLiteral(", ")),
             link.paramIni(), example);
}

} // namespace

QString openFailureMessage(const BoardLink &link, const LinkFailure &failure)
{
    switch (failure.kind) {
    case LinkProblem::NoDevice: return noDeviceMessage(link);
    case LinkProblem::Unplugged:
        return QStringLiteral("Le port %1 est fermé : %2").arg(link.portName(), unpluggedAdvice());
    case LinkProblem::NotOpen:
        return QStringLiteral("Le port COM%1 n'est pas ouvert.").arg(link.portNumber());
    default: break;
    }
    return QStringLiteral("Impossible d'ouvrir le port COM%1 (%2) : %3")
        .arg(QString::number(link.portNumber()), failure.device, cannotOpenReason(failure));
}

QString sendFailureReason(const LinkFailure &failure)
{
    switch (failure.kind) {
    case LinkProblem::TimedOut: {
        const QString limit = frenchCount(BoardLink::deliveryLimitMs(failure.bytes));
        if (failure.bytesOut == 0)
            return QStringLiteral("aucun des %1 octets n'est parti en %2 ms")
                .arg(frenchCount(failure.bytes), limit);
        return QStringLiteral("seuls %1 des %2 octets sont partis en %3 ms")
            .arg(frenchCount(failure.bytesOut), frenchCount(failure.bytes), limit);
    }
    case LinkProblem::Closed:
        return QStringLiteral("le port a été fermé avant que tous les octets soient partis");
    case LinkProblem::DeviceLost: return QStringLiteral("la carte ou le câble a été débranché");
    default: break;
    }
    return failure.reason.isEmpty()
        ? QStringLiteral("le port a refusé les octets")
        : QStringLiteral("erreur d'écriture sur le port (%1)").arg(failure.reason);
}

QString refusedSentence(const QString &sent, const QString &line)
{
    const bool stop = line.endsWith(u'.') || line.endsWith(u'!');
    return QStringLiteral("%1, mais la platine a répondu : %2%3")
        .arg(sent.endsWith(u'.') ? sent.chopped(1) : sent, line, stop ? "" : ".");
}

QString portLostMessage(const BoardLink &link)
{
    // The system's words ("Inappropriate ioctl for device") would tell the user nothing.
    return QStringLiteral("Le port %1 s'est fermé : %2").arg(link.portName(), unpluggedAdvice());
}

} // namespace platine
