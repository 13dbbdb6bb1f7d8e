#pragma once
// What the windows tell of the board link, in French, from what the link reported: a port that
// could not be opened, a command that could not leave, a device that went away.

#include "board/BoardLink.h"

#include <QString>

namespace platine {

// Why the port could not be opened or the message not written (NoDevice, Unplugged, CannotOpen,
// NotOpen), as a whole message. NoDevice names the ports the machine has and the "Ports" lines
// of param.ini that would give the number one; its first line says it alone.
QString openFailureMessage(const BoardLink &link, const LinkFailure &failure);

// Why a command's bytes did not all leave (WriteFailed, TimedOut, Closed, DeviceLost), as the end
// of a sentence: "aucun des 8 octets n'est parti en 1016 ms".
QString sendFailureReason(const LinkFailure &failure);

// A sentence that tells a command sent ("… à 14:07:36.") completed by the board's refusal:
// "… à 14:07:36, mais la platine a répondu : Erreur : heure invalide."
QString refusedSentence(const QString &sent, const QString &line);

// The device went away while the port was open.
QString portLostMessage(const BoardLink &link);

} // namespace platine
