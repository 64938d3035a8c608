#include "model/recent_files.h"

#include <QDir>
#include <QFileInfo>

namespace vtr8 {

QStringList withRecentFile(const QStringList& list, const QString& path, int limit)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList result{absolute};
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive; // one file, however typed
#else
    const Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
#endif
    for (const QString& entry : list) {
        if (result.size() >= limit)
            break;
        if (!entry.isEmpty() &&
            QDir::cleanPath(QFileInfo(entry).absoluteFilePath()).compare(absolute, sensitivity) !=
                0)
            result << entry;
    }
    return result;
}

} // namespace vtr8
