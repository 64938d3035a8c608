#pragma once

#include <QString>

namespace vtr8 {

// Who works: the name entered once in the history window (kept in the settings),
// else the system user.
QString historyOperator();
void setHistoryOperator(const QString& name);
// The computer's name.
QString historyComputer();

// "Databáze" of the history window: a server's address or a file, kept in the
// settings without any password; empty for the default file.
QString savedHistoryLocation();
void setSavedHistoryLocation(const QString& location);

} // namespace vtr8
