#pragma once

#include "link/link_result.h"

#include <QString>

namespace vtr8 {

inline QString CommunicationErrorMessage()
{
    return QStringLiteral("Chyba komunikace");
}

inline QString PortWriteErrorMessage()
{
    return QStringLiteral("Chyba na portu PC, nelze poslat data pres port !");
}

// The port's name sits between the two fixed parts.
inline QString PortOpenErrorMessage(const QString& portName)
{
    return QStringLiteral("Nejde inicializovat ") + portName + QStringLiteral(" port");
}

// A command or a transfer asked for while another one owns the link.
inline QString LinkBusyMessage()
{
    return QStringLiteral("Probíhá jiná komunikace s převodníkem, příkaz nebyl proveden.");
}

// Another program (or another copy of this one) holds the port.
inline QString PortInUseMessage(const QString& portName)
{
    return QStringLiteral("Port ") + portName +
           QStringLiteral(" používá jiný program, příkaz nebyl proveden.");
}

// The lock file that keeps other programs off the port cannot be made or taken.
inline QString PortLockProblemMessage(const QString& lockFile, const QString& problem)
{
    return QStringLiteral("Zámek portu ") + lockFile + QStringLiteral(" nelze použít (") + problem +
           QStringLiteral("), příkaz nebyl proveden.");
}

// A terminal that is no serial line (console, virtual console, /dev/ptmx).
inline QString NotSerialPortMessage(const QString& portName)
{
    return QStringLiteral("Zařízení ") + portName +
           QStringLiteral(" není sériový port, příkaz nebyl proveden.");
}

// What the person is told of a failed command. An abandoned transfer says its
// own message (PortSession::requestAbandon), once; nothing here.
inline QString LinkFailureMessage(LinkError error, const QString& portName)
{
    switch (error) {
    case LinkError::PortOpen:
        return PortOpenErrorMessage(portName);
    case LinkError::PortWrite:
        return PortWriteErrorMessage();
    case LinkError::Communication:
        return CommunicationErrorMessage();
    case LinkError::Busy:
        return LinkBusyMessage();
    case LinkError::None:
    case LinkError::Abandoned:
        break;
    }
    return {};
}

// vtr8ctl after SIGINT or SIGTERM: the command in flight ended, nothing more was sent.
inline QString InterruptedMessage()
{
    return QStringLiteral("Operace byla přerušena, další příkazy se neposílají.");
}

} // namespace vtr8
