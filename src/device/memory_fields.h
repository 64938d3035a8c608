#pragma once

#include "device/memory_map.h"

#include <QString>

#include <optional>

// Names of the memory's fields for messages that tell a technician where two memories differ.
namespace vtr8 {

enum class FieldEncoding { Float, Byte, Bytes };

// The line of the configuration file a field stores, where it stores one.
enum class FileKey {
    None,
    Input,         // "vstup"
    Start,         // "dolní mez"
    End,           // "horní mez"
    Unit,          // "jednotka"
    Linearization, // "linearizace"
    Damping,       // "tlumení"
    ErrorCurrent,  // "chybový proud"
    Connection,    // "připojení čidla"
    Parasitic,     // "Parazitní odpor"
    Shunt,         // "snímací odpor"
};

struct MemoryField {
    eeprom::Address address = 0;
    int length = 1;
    FieldEncoding encoding = FieldEncoding::Byte;
    QString name; // the configuration file's word when key is not None
    FileKey key = FileKey::None;
};

// The field that holds address; a byte of no named field is a one-byte field named by its
// address only (empty name).
MemoryField FieldAt(eeprom::Address address);

} // namespace vtr8
