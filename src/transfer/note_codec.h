#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace vtr8 {

// The user note occupies 60 EEPROM bytes (512..571), one Windows-1250 byte per
// character, padded with spaces, with no terminator and no length byte.
inline constexpr int NoteLength = 60;
using NoteBytes = std::array<std::uint8_t, NoteLength>;

struct NoteEncoding {
    NoteBytes bytes{};
    // Empty when every character has a Windows-1250 byte; otherwise the first
    // character that has none (written as one QString, a surrogate pair stays whole).
    QString unmappable;
    bool ok() const { return unmappable.isEmpty(); }
};

// The first 60 characters of the text, padded with spaces. A character that
// Windows-1250 cannot hold is reported instead of being stored as something else.
[[nodiscard]] NoteEncoding encodeNote(const QString& text);

// The note as the field shows it: every byte through Windows-1250, then every
// trailing character with a code of 32 or less removed. Leading spaces stay.
QString decodeNote(const std::uint8_t* bytes, int count);

// The note for a terminal or a text file: every control character shown as its picture (ESC as
// U+241B, DEL as U+2421, the C1 ones as U+FFFD), so that no byte a transmitter holds can move
// the cursor, retitle a window or end a line. None of these pictures has a Windows-1250 byte,
// so none can be mistaken for a character of the note.
QString visibleControlCharacters(const QString& text);

// The byte code of a one-character text, as the transmitter stores it; empty
// when the character has no Windows-1250 byte.
[[nodiscard]] std::optional<std::uint8_t> str1ToZnak(const QString& character);

// The message shown when a note character cannot be stored.
QString unmappableNoteMessage(const QString& character);

} // namespace vtr8
