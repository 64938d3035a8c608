#pragma once

#include "configuration/configuration.h"
#include "device/memory_image.h"
#include "linearization/extended.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vtr8 {

struct LinearizationPoints;
struct LinearizationWorkspace;
struct TransferContext;

// The straight line of a point file's range, stored at 1024 as four byte-reversed floats.
struct PointFileLine {
    Extended inverseSlope = 0;
    Extended inverseOffset = 0;
    Extended lineSlope = 0;
    Extended lineOffset = 0;
};

// Puts the line into the point set, where a later write and the point-file recovery take it.
void SetPointFileLine(LinearizationPoints& points, const PointFileLine& line);

// The characteristic indices (425, 426) and the linearization code (427) the range limits are
// stored under.
struct RangeEncoding {
    std::uint8_t linearizationCharacteristic = 16;
    std::uint8_t rangeCharacteristic = 16;
    std::uint8_t linearizationCode = 0;
};

// The range as a field shows it: each limit rounded in the range's own unit, its text with the
// person's separator.
struct RangeRead {
    ConfigurationNumber start;
    ConfigurationNumber end;
    std::optional<PointFileLine> pointFileLine; // with "ze souboru" only
};

// Everything a read of the configuration brings.
struct ConfigurationRead {
    std::uint8_t firmwareNumber = 0; // byte 262 as stored
    // nullopt for a unit without a valid input or error-current code (blank or foreign): what
    // it holds is no configuration to show.
    std::optional<Configuration> configuration;
    QString note;
};

// "ReadEEPROM" of the limits at 340 (8 bytes), the entered range at 355 (8 bytes) and, for
// "ze souboru", the point file's line at 1024, into `image`; "Dany prubeh neni v programu
// jeste zadan" when the program does not know a characteristic of `encoding`. False at the
// first failed read.
[[nodiscard]] bool FetchRange(TransferContext& ctx, const RangeEncoding& encoding,
                              MemoryImage& image);
// The range those bytes hold for `input` (the decimals follow it). Limits stored as sensor
// signals come back through the inverse characteristic; the smaller limit is the start unless
// the entered range falls.
RangeRead DecodeRange(const MemoryImage& image, const RangeEncoding& encoding,
                      std::optional<InputType> input, LinearizationWorkspace& workspace);

// The configuration that the bytes of a read hold, or nullopt when the input or error-current
// code is not valid. The numbers carry the texts the fields show.
std::optional<Configuration> DecodeConfiguration(const MemoryImage& image,
                                                 LinearizationWorkspace& workspace);

// "&Přečíst z převodníku" on the link: the firmware number (shown through the feedback at
// once), the input description, the input type's auxiliary values, damping, linearization,
// range, divider and the note, each block read as it always was; progress 0..100. Runs within
// the caller's TransferSession. `shownInput` chooses the auxiliary blocks of a unit whose input
// code is not valid, so its requests stay those of the editor's input type. On a complete read
// of a valid configuration the context's characteristic indices, front-end mode and point-file
// line follow it. nullopt when a command failed (the link has said why); nothing else changes.
[[nodiscard]] std::optional<ConfigurationRead>
ReadConfiguration(TransferContext& ctx, std::optional<InputType> shownInput);

} // namespace vtr8
