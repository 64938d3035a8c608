#include "model/recent_files.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

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
        {{}, QStringLiteral("/a.txt"), 8, {QStringLiteral("/a.txt")}},
        {abc,
         QStringLiteral("/c.txt"),
         8,
         {QStringLiteral("/c.txt"), QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}},
        {abc,
         QStringLiteral("/d.txt"),
         3,
         {QStringLiteral("/d.txt"), QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}},
        {abc,
         QStringLiteral("/x/../b.txt"),
         8,
         {QStringLiteral("/b.txt"), QStringLiteral("/a.txt"), QStringLiteral("/c.txt")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withRecentFile(c.before, c.used, c.limit), c.after) << c.used.toStdString();
}

} // namespace
} // namespace vtr8
