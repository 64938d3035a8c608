#include "model/recent_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

// A name as the list keeps the file just used: absolute, so on Windows with the drive letter.
QString kept(const char* path)
{
    return QDir::cleanPath(QFileInfo(QString::fromUtf8(path)).absoluteFilePath());
}

TEST(RecentFiles, NewestFirstEachFileOnceAtMostTheLimit)
{
    const QStringList abc{QStringLiteral("/a.txt"), QStringLiteral("/b.txt"),
                          QStringLiteral("/c.txt")};
    const struct {
        QStringList before;
        QString used;
        int limit;
        QStringList after;
    } cases[] = {
        {{}, QStringLiteral("/a.txt"), 8, {kept("/a.txt")}},
        {abc,
         QStringLiteral("/c.txt"),
         8,
         {kept("/c.txt"), QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}},
        {abc,
         QStringLiteral("/d.txt"),
         3,
         {kept("/d.txt"), QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}},
        {abc,
         QStringLiteral("/x/../b.txt"),
         8,
         {kept("/b.txt"), QStringLiteral("/a.txt"), QStringLiteral("/c.txt")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withRecentFile(c.before, c.used, c.limit), c.after) << c.used.toStdString();
}

} // namespace
} // namespace vtr8
