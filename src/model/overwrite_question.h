#pragma once

#include <QString>

namespace vtr8 {

class UserInterface;

// Saving over an existing file asks first. True when the file does not exist yet or the
// person agreed to replace it.
bool ConfirmOverwrite(UserInterface& ui, const QString& path);

} // namespace vtr8
