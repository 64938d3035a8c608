#pragma once

#include <QTextStream>

namespace vtr8 {

class UserInterface;

// vtr8ctl find: asks every port that is there (COM1..COM8 as mapped, and the ports
// the system lists) for a transmitter, one identification read each. Every
// transmitter that answered is one line on `out`: the port, its device, the
// firmware number and the note, separated by tabs (empty when the note could not be
// read, which `ui` is told); what the other ports did goes to `ui`. Exit 0 when a
// transmitter was found and its note read, else 1.
int RunFindCommand(QTextStream& out, UserInterface& ui);

} // namespace vtr8
