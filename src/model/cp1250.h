#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The configuration and point files are single-byte Central European text
// (code page 1250). Inside the program every text is a QString; these two
// functions are the only way across.
namespace vtr8 {

struct Cp1250Encoding {
    QByteArray bytes;
    // The first character the code page cannot hold, when there is one.
    std::optional<QChar> unmappable;
};

Cp1250Encoding encodeCp1250(const QString& text);
// Bytes the code page leaves undefined become U+FFFD.
QString decodeCp1250(const QByteArray& bytes);

} // namespace vtr8
