#pragma once

#include "device/memory_image.h"

#include <functional>
#include <vector>

namespace vtr8 {

class CommandProtocol;

// Runs the reads in order into the image ("ReadEEPROM" each); progress(done, total) after each.
// Ends at the first failed read (the command protocol has told the person why).
bool FetchMemory(CommandProtocol& link, const std::vector<ReadRun>& reads, MemoryImage& image,
                 const std::function<void(int done, int total)>& progress = {});

} // namespace vtr8
