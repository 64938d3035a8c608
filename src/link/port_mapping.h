#pragma once

#include <QString>

namespace vtr8 {

inline constexpr int ComPortCount = 8;

// "COM1" ... "COM8" for item 0..7 of the port window.
QString ComPortItemText(int index);

// What item 0..7 opens. On Windows the port of that name; elsewhere the
// environment variable VTR8_COM<n>, else the per-user setting Devices/Com<n>,
// else /dev/ttyS<n-1>.
QString ComPortSystemName(int index);

} // namespace vtr8
