#pragma once

#include <cstdio>

namespace vtr8 {

// Whether the stream is a terminal (a person at a console) rather than a file or pipe.
bool isTerminal(std::FILE* stream);

} // namespace vtr8
