#include "app/qt_user_interface.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(QtUserInterfaceFilters, PairedFilterBecomesQtFilter)
{
    EXPECT_EQ(QtUserInterface::qtFilter(QStringLiteral("*.txt|*.txt|*.*|*.*")),
              QStringLiteral("*.txt (*.txt);;*.* (*)"));
    EXPECT_EQ(QtUserInterface::qtFilter(QStringLiteral("Texty|*.txt;*.dat")),
              QStringLiteral("Texty (*.txt *.dat)"));
    EXPECT_TRUE(QtUserInterface::qtFilter(QString()).isEmpty());
    // A description that names its patterns keeps them once.
    EXPECT_EQ(QtUserInterface::qtFilter(QString::fromUtf8("Záznam CSV (*.csv)|*.csv")),
              QString::fromUtf8("Záznam CSV (*.csv)"));
}

TEST(QtUserInterfaceFilters, DialogFolderIsMadeOrFallsBackToHome)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("velkor_vtr8/konfigurace"));
    EXPECT_EQ(QtUserInterface::dialogFolder(missing, QStringLiteral("/home")), missing);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    // Below a file no folder can be made.
    QFile file(dir.filePath(QStringLiteral("f")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(QtUserInterface::dialogFolder(file.fileName() + QStringLiteral("/x"), dir.path()),
              dir.path());
}

TEST(QtUserInterfaceFilters, SaveDialogTakesTheFirstPatternsSuffix)
{
    EXPECT_EQ(QtUserInterface::defaultSuffix(QStringLiteral("*.txt|*.txt|*.*|*.*")),
              QStringLiteral("txt"));
    EXPECT_TRUE(QtUserInterface::defaultSuffix(QStringLiteral("*.*|*.*")).isEmpty());
    EXPECT_TRUE(QtUserInterface::defaultSuffix(QString()).isEmpty());
}

} // namespace
} // namespace vtr8
