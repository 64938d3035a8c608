#pragma once

#include "device/eeprom_block.h"
#include "device/memory_fields.h"
#include "device/memory_image.h"

#include <QString>

#include <map>
#include <vector>

namespace vtr8 {

// How two memories are compared and how the expected side is called in the texts.
struct ComparisonRules {
    // "v souboru" when a configuration file is the reference, "zapsáno" after a write.
    QString expectedWord = QStringLiteral("v souboru");
    // Floats count as equal when they show alike: with the decimals the configuration file
    // gives a field (decimals), otherwise with seven significant digits. Off: byte for byte.
    bool roundFloats = true;
    std::map<FileKey, int> decimals;
};

// One line per differing field of the block: "horní mez: v převodníku 150, v souboru 200", or
// "adresa 648, segmentová tabulka, záznam 3 (c3): v převodníku …" for a field without a
// configuration-file line. Empty when the image holds the block as expected.
std::vector<QString> BlockDifferences(const EepromBlock& expected, const MemoryImage& actual,
                                      const ComparisonRules& rules);

// Every difference of the blocks: the configuration file's lines first, then the other fields
// in block order.
std::vector<QString> Differences(const std::vector<EepromBlock>& expected,
                                 const MemoryImage& actual, const ComparisonRules& rules);

// Decimals after the separator of a number as the configuration file shows it.
int ShownDecimals(const QString& text);

} // namespace vtr8
