#include "linearization/number_text.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(NumberText, GeneralFormDropsTrailingZerosAndSwitchesToExponent)
{
    struct Case {
        Extended value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {1.5L, "1.5"},
        {-2.25L, "-2.25"},
        {100, "100"},
        {0.1L, "0.1"},
        {66.666666666666666667L, "66.6666666666667"},
        {0.00001L, "0.00001"},
        {0.0000123L, "0.0000123"},
        {0.000001L, "1E-6"},
        {-1.5e-7L, "-1.5E-7"},
        {123456789012345.0L, "123456789012345"},
        {1234567890123456.0L, "1.23456789012346E+15"},
        // Rounding to 15 digits carries into a new integer digit.
        {99999999999999.999L, "100000000000000"},
        {2.5e20L, "2.5E+20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.value, 15, '.'), c.text) << double(c.value);
    EXPECT_EQ(formatGeneral(-0.5L, 15, ','), "-0,5");
    EXPECT_EQ(formatGeneral(1.25e-9L, 15, ','), "1,25E-9");
    EXPECT_EQ(formatGeneral(3.14159L, 3, '.'), "3.14");
}

} // namespace
} // namespace vtr8
