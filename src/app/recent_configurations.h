#pragma once

#include <QStringList>

namespace vtr8 {

// The recently used configuration files, kept per user beside the port choice.
QStringList LoadRecentConfigurations();
void SaveRecentConfigurations(const QStringList& files);

} // namespace vtr8
