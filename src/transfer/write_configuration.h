#pragma once

#include "device/front_end.h"

#include <QString>

namespace vtr8 {

struct TransferContext;

// Pauses of the write the transmitter needs; tests shorten them.
struct WriteTiming {
    int frontEndSettleMs = FrontEndSettleMs; // after the second front-end block
};

// The handler of "&Uložit vše do převodníku" (Poslat): checks the configuration of the main
// window, derives everything the transmitter needs, asks for confirmation and writes it between
// "Stop" and "Reset"/"Continue". Nothing is sent before the confirmation except the two
// identification reads. Returns true when the whole configuration was written.
// A write that ends after "Stop" was acknowledged adds IncompleteWriteMessage once, after the
// specific message. Refused at once while another transfer owns the link.
[[nodiscard]] bool WriteConfiguration(TransferContext& ctx, const WriteTiming& timing = {});

// "Zápis konfigurace nebyl dokončen, ...": the transmitter is stopped with part of a configuration.
QString IncompleteWriteMessage();

} // namespace vtr8
