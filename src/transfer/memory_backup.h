#pragma once

#include "device/memory_image.h"

#include <QDateTime>
#include <QString>

namespace vtr8 {

// The text saved beside a memory backup: date, firmware number, type bytes, the user note and a
// hex dump of the whole memory, 16 bytes a line with the address first. Lines end in CR LF.
QString BackupDescription(const MemoryImage& image, const QDateTime& when);

} // namespace vtr8
