#include "app/qt_user_interface.h"

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
