#pragma once

#include "link/link_result.h"

#include <QString>

#include <functional>

namespace vtr8 {

class CommandProtocol;
class UserInterface;

// The one place where a failure of the link becomes the person's message: what went wrong,
// on which port, and what to check.
QString LinkFailureMessage(const LinkFailure& failure);
// A port named on the command line that is no port: "Port NAME neexistuje, příkaz nebyl
// proveden."
QString UnknownPortMessage(const QString& text);

// Whether the failure is a refusal before anything was sent (another transfer or program
// holds the port, the lock or the device cannot be used): the window shows these without
// stopping the transfer that runs.
bool IsLinkRefusal(const LinkFailure& failure);

// Tells the person of every failure of `link`, once each: refusals through `refusals` when
// given, everything else (and refusals without it) as a message of `ui`.
void ReportLinkFailures(CommandProtocol& link, UserInterface& ui,
                        std::function<void(const QString&)> refusals = {});

// vtr8ctl after SIGINT or SIGTERM: the command in flight ended, nothing more was sent.
QString InterruptedMessage();

} // namespace vtr8
