#include "transfer/link_failure_report.h"

#include "link/command_protocol.h"
#include "user_interface/user_interface.h"

namespace vtr8 {

namespace {

QString lockProblemText(LockProblem problem)
{
    switch (problem) {
    case LockProblem::None:
        break;
    case LockProblem::FolderMissing:
        return QStringLiteral("složka neexistuje");
    case LockProblem::NotAFolder:
        return QStringLiteral("není to složka");
    case LockProblem::FolderOfAnotherUser:
        return QStringLiteral("složka patří jinému uživateli");
    case LockProblem::FolderWritableByOthers:
        return QStringLiteral("do složky smí zapisovat i jiný uživatel");
    case LockProblem::NoWritePermission:
        return QStringLiteral("chybí oprávnění k zápisu");
    case LockProblem::CannotCreate:
        return QStringLiteral("soubor zámku nelze vytvořit ani převzít");
    }
    return {};
}

} // namespace

QString UnknownPortMessage(const QString& text)
{
    return QStringLiteral("Port ") + text + QStringLiteral(" neexistuje, příkaz nebyl proveden.");
}

QString LinkFailureMessage(const LinkFailure& failure)
{
    const QString& port = failure.portName;
    // The texts the transmitter's program has always shown stay at the start, so that a
    // technician who knows them still recognises them; what follows says what to do.
    const QString cannotOpen =
        QStringLiteral("Nejde inicializovat ") + port + QStringLiteral(" port");
    switch (failure.error) {
    case LinkError::None:
        break;
    case LinkError::PortMissing:
        return cannotOpen + QStringLiteral(". Takové zařízení v počítači není: zvolte port, ke "
                                           "kterému je převodník připojen, a zkontrolujte, že je "
                                           "převodník (nebo převodník USB) zapojen.");
    case LinkError::PortDenied:
        return cannotOpen + QStringLiteral(". K zařízení nemá tento uživatel oprávnění; požádejte "
                                           "správce počítače o přístup k sériovým portům.");
    case LinkError::PortOpen:
        return cannotOpen;
    case LinkError::PortInUse:
        return QStringLiteral("Port ") + port +
               QStringLiteral(" používá jiný program, příkaz nebyl proveden.");
    case LinkError::NotSerialPort:
        return QStringLiteral("Zařízení ") + port +
               QStringLiteral(" není sériový port, příkaz nebyl proveden.");
    case LinkError::LockUnusable:
        return QStringLiteral("Zámek portu ") + failure.detail + QStringLiteral(" nelze použít (") +
               lockProblemText(failure.lockProblem) + QStringLiteral("), příkaz nebyl proveden.");
    case LinkError::PortWrite:
        return QStringLiteral("Chyba na portu PC, nelze poslat data pres port !");
    case LinkError::NoReply:
        return QStringLiteral("Chyba komunikace. Převodník na ") + port +
               QStringLiteral(" neodpovídá. Zkontrolujte kabel, napájení převodníku a zvolený "
                              "port.");
    case LinkError::Communication:
        return QStringLiteral("Chyba komunikace");
    case LinkError::Busy:
        return QStringLiteral("Probíhá jiná komunikace s převodníkem, příkaz nebyl proveden.");
    case LinkError::Abandoned:
        return failure.detail;
    }
    return {};
}

bool IsLinkRefusal(const LinkFailure& failure)
{
    switch (failure.error) {
    case LinkError::PortInUse:
    case LinkError::NotSerialPort:
    case LinkError::LockUnusable:
    case LinkError::Busy:
        return true;
    default:
        return false;
    }
}

void ReportLinkFailures(CommandProtocol& link, UserInterface& ui,
                        std::function<void(const QString&)> refusals)
{
    link.setFailureReporter([&ui, refusals = std::move(refusals)](const LinkFailure& failure) {
        const QString text = LinkFailureMessage(failure);
        if (text.isEmpty())
            return;
        if (refusals && IsLinkRefusal(failure))
            refusals(text);
        else
            ui.message(text);
    });
}

QString InterruptedMessage()
{
    return QStringLiteral("Operace byla přerušena, další příkazy se neposílají.");
}

} // namespace vtr8
