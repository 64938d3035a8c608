#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// The configuration and point files and the transmitter's user note are
// single-byte Central European text (code page 1250). Inside the program every
// text is a QString; these functions are the only way across.
namespace vtr8 {

struct Cp1250Encoding {
    QByteArray bytes;
    // Empty when every character has a byte; otherwise the first character that
    // has none (a surrogate pair stays whole), and bytes is empty.
    QString unmappable;
    bool ok() const { return unmappable.isEmpty(); }
};

// A character the code page lacks is reported, never stored as a look-alike or '?'.
[[nodiscard]] Cp1250Encoding encodeCp1250(const QString& text);
// The byte of one character (a surrogate pair counts as one); nullopt when the
// text is not exactly one character or the code page has no byte for it.
[[nodiscard]] std::optional<std::uint8_t> cp1250Byte(const QString& character);
QString decodeCp1250(QByteArrayView bytes);

// One character of the text starting at index i (a surrogate pair counts as one).
QString characterAt(const QString& text, qsizetype i);

} // namespace vtr8
