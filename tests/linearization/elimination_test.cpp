#include "linearization/elimination.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace vtr8 {
namespace {

struct Pivot {
    int row;
    int col;
    bool operator==(const Pivot&) const = default;
};

EquationMatrix matrix(std::initializer_list<std::initializer_list<Extended>> rows)
{
    EquationMatrix m{};
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (Extended v : row)
            m[i][j++] = v;
        ++i;
    }
    return m;
}

TEST(Elimination, EqualCandidatesGoToTheLowerRowThenTheLowerColumn)
{
    // |4| appears at (0,1), (0,2) and (1,0): the first found in row order wins.
    EquationMatrix a = matrix({{1, 4, -4}, {4, 2, 1}, {0, 1, 3}});
    EquationVector b{1 * 1 + 4 * 2 - 4 * 3, 4 * 1 + 2 * 2 + 1 * 3, 0 * 1 + 1 * 2 + 3 * 3};
    EquationVector x{};
    std::vector<Pivot> chosen;
    ASSERT_TRUE(solveCompletePivoting(a, b, 3, x, 0, [&](int r, int c, Extended) {
        chosen.push_back({r, c});
    }));
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0], (Pivot{0, 1}));
    EXPECT_NEAR(x[0], 1, 1e-17L);
    EXPECT_NEAR(x[1], 2, 1e-17L);
    EXPECT_NEAR(x[2], 3, 1e-17L);
}

TEST(Elimination, LaterCandidatesWinOnlyWhenStrictlyLarger)
{
    EquationMatrix a = matrix({{2, -3}, {3, 1}});
    EquationVector b{2 * 5 - 3 * 7, 3 * 5 + 7};
    EquationVector x{};
    std::vector<Pivot> chosen;
    ASSERT_TRUE(solveCompletePivoting(a, b, 2, x, 0, [&](int r, int c, Extended) {
        chosen.push_back({r, c});
    }));
    EXPECT_EQ(chosen, (std::vector<Pivot>{{0, 1}, {1, 0}}));
    EXPECT_NEAR(x[0], 5, 1e-17L);
    EXPECT_NEAR(x[1], 7, 1e-17L);
}

TEST(Elimination, CompletePivotingSurvivesATinyLeadingElement)
{
    EquationMatrix a = matrix({{1e-30L, 1}, {1, 1}});
    EquationVector b{1, 2};
    EquationVector x{};
    ASSERT_TRUE(solveCompletePivoting(a, b, 2, x, 0));
    EXPECT_NEAR(x[0], 1, 1e-17L);
    EXPECT_NEAR(x[1], 1, 1e-17L);
}

TEST(Elimination, SingularSystemFailsAndLeavesTheSolutionAlone)
{
    EquationMatrix a = matrix({{1, 2}, {2, 4}});
    EquationVector b{3, 6};
    EquationVector x{};
    x[0] = 42;
    EXPECT_FALSE(solveCompletePivoting(a, b, 2, x, 0));
    EXPECT_EQ(x[0], 42);

    // Not finite input is no usable pivot either.
    EquationMatrix n = matrix({{NAN, 1}, {1, 1}});
    EquationVector nb{1, 1};
    EXPECT_FALSE(solveCompletePivoting(n, nb, 2, x, 0));
    EXPECT_FALSE(std::isnan(x[0]));
}

} // namespace
} // namespace vtr8
