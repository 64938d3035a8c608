#pragma once

#include "device/eeprom_block.h"
#include "device/memory_fields.h"
#include "device/memory_image.h"

#include <QString>

#include <map>
#include <set>
#include <vector>

namespace vtr8 {

// How two memories are compared and how the expected side is called in the texts.
struct ComparisonRules {
    // "v souboru" when a configuration file is the reference, "zapsáno" after a write.
    QString expectedWord = QStringLiteral("v souboru");
    // Every byte counts: a float differs when its bytes do. It is shown with the decimals the
    // configuration file gives its field, or with seven significant digits, and with as many
    // more as it takes to tell the two values apart.
    std::map<FileKey, int> decimals;
    // Fields the configuration file has no line for (the shunt of a Pt100): their line says so
    // and what the write stores instead of "v souboru 0".
    std::set<FileKey> notInFile;
};

// One line per differing field of the block: "horní mez: v převodníku 150, v souboru 200", or
// "adresa 648, segmentová tabulka, záznam 3 (c3): v převodníku …" for a field without a
// configuration-file line. Empty when the image holds the block as expected.
std::vector<QString> BlockDifferences(const EepromBlock& expected, const MemoryImage& actual,
                                      const ComparisonRules& rules);

// Every difference of the memory the blocks leave once written in order: the configuration
// file's lines first, then the other fields in address order. A byte that several blocks write
// is compared once, with what the last of them stores.
std::vector<QString> Differences(const std::vector<EepromBlock>& expected,
                                 const MemoryImage& actual, const ComparisonRules& rules);

// Decimals after the separator of a number as the configuration file shows it.
int ShownDecimals(const QString& text);

} // namespace vtr8
