#pragma once

#include <QString>
#include <QStringList>

namespace vtr8 {

inline constexpr int MaxRecentFiles = 8;

// The recently used configuration files, newest first, after `path` was used: it goes to the
// front, an older entry naming the same file goes, and at most `limit` stay.
QStringList withRecentFile(const QStringList& list, const QString& path,
                           int limit = MaxRecentFiles);

} // namespace vtr8
