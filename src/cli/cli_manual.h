#pragma once

#include <QString>

namespace vtr8 {

// The manual pages and the bash completion, written from the parser's own tables so that they
// name every option and command the parser knows. The build writes them into files.
QString Vtr8ctlManualPage(const QString& version);
QString Vtr8ManualPage(const QString& version);
QString Vtr8ctlBashCompletion();

} // namespace vtr8
