#pragma once

#include "configuration/configuration.h"
#include "device/front_end.h"

#include <QString>

namespace vtr8 {

struct TransferContext;

// Pauses of the write the transmitter needs; tests shorten them.
struct WriteTiming {
    int frontEndSettleMs = FrontEndSettleMs; // after the second front-end block
};

// "&Uložit vše do převodníku" (Poslat) once the configuration was taken from the window or a
// file: derives everything the transmitter needs, asks for confirmation and writes exactly that
// value between "Stop" and "Reset"/"Continue". Nothing is sent before the confirmation except
// the two identification reads. Returns true when the whole configuration was written.
// A write that ends after "Stop" was acknowledged adds IncompleteWriteMessage once, after the
// specific message. Refused at once while another transfer owns the link.
[[nodiscard]] bool WriteConfiguration(TransferContext& ctx, const Configuration& configuration,
                                      const WriteTiming& timing = {});

// "Zápis konfigurace nebyl dokončen, ...": the transmitter is stopped with part of a configuration.
QString IncompleteWriteMessage();

} // namespace vtr8
