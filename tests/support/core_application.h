#pragma once

namespace vtr8::test {

// Creates the one QCoreApplication of a test program if there is none yet;
// timers and event loops need it. Call it first in every test that waits.
void EnsureCoreApplication();

} // namespace vtr8::test
