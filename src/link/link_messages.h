#pragma once

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

// A command asked for while another one is waiting for its reply.
inline QString LinkBusyMessage()
{
    return QStringLiteral("Probíhá jiná komunikace s převodníkem, příkaz nebyl proveden.");
}

} // namespace vtr8
