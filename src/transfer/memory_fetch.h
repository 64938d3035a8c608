#pragma once

#include "device/memory_image.h"

#include <functional>
#include <vector>

namespace vtr8 {

class CommandProtocol;
class UserInterface;

// Runs the reads in order into the image ("ReadEEPROM" each); progress(done, total) after each.
// Ends at the first failed read: the command protocol has told the person why, or, for a reply
// that carries another number of bytes than asked, this does (its bytes are not taken).
bool FetchMemory(CommandProtocol& link, UserInterface& ui, const std::vector<ReadRun>& reads,
                 MemoryImage& image, const std::function<void(int done, int total)>& progress = {});

} // namespace vtr8
