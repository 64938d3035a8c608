#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace vtr8 {

// "FF FF 82 ..." : upper-case hex bytes separated by single blanks.
QString HexBytes(const QByteArray& bytes);

// The request frame of `frame NAME [ADDRESS COUNT [HEXDATA]]`, or nullopt with
// `error` set for an unknown name or a bad number. ADDRESS and COUNT are
// decimal or 0x-prefixed hex; HEXDATA fills the transfer buffer from its first
// position (blanks and colons between bytes are allowed, at most 25 bytes).
[[nodiscard]] std::optional<QByteArray> FrameForArguments(const QStringList& arguments,
                                                          QString& error);

} // namespace vtr8
