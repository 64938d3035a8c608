#include "configuration/number_format.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include <cstdlib>
#include <optional>

namespace vtr8 {
namespace {

// Restores the process's own separator after a test forced one.
struct SeparatorOverride {
    explicit SeparatorOverride(QChar c) { overrideLocaleDecimalSeparator(c); }
    ~SeparatorOverride() { overrideLocaleDecimalSeparator(std::nullopt); }
};

TEST(NumberFormat, LocaleSeparatorComesFromTheEnvironmentLocale)
{
    // The suite runs once in a point locale and once in the Czech comma locale.
    const char* all = std::getenv("LC_ALL");
    const QString locale = all ? QString::fromLatin1(all) : QString();
    if (locale.startsWith(QLatin1String("cs_CZ"))) {
        EXPECT_EQ(localeDecimalSeparator(), QLatin1Char(','));
    } else if (locale.startsWith(QLatin1String("C")))
        EXPECT_EQ(localeDecimalSeparator(), QLatin1Char('.'));
    else
        GTEST_SKIP() << "run under LC_ALL=C.UTF-8 or cs_CZ.UTF-8";
}

TEST(NumberFormat, UpravaFormatuRewritesBothSeparatorsToTheLocaleOne)
{
    {
        SeparatorOverride comma(QLatin1Char(','));
        EXPECT_EQ(UpravaFormatu(QStringLiteral("0.5")), QStringLiteral("0,5"));
        EXPECT_EQ(UpravaFormatu(QStringLiteral("1.2,3")), QStringLiteral("1,2,3"));
    }
    {
        SeparatorOverride point(QLatin1Char('.'));
        EXPECT_EQ(UpravaFormatu(QStringLiteral("0,5")), QStringLiteral("0.5"));
        EXPECT_EQ(UpravaFormatu(QStringLiteral("a,b c")), QStringLiteral("a.b c"));
    }
}

TEST(NumberFormat, FixedHasAPointAndRoundsToNearestEven)
{
    SeparatorOverride comma(QLatin1Char(','));
    EXPECT_EQ(formatFixed(-200, 3), QStringLiteral("-200.000"));
    EXPECT_EQ(formatFixed(850, 3), QStringLiteral("850.000"));
    EXPECT_EQ(formatFixed(0.003L * 10, 3), QStringLiteral("0.030"));
    EXPECT_EQ(formatFixed(0.0625L, 3), QStringLiteral("0.062")); // an exact binary tie
    EXPECT_EQ(formatFixed(2.5L, 0), QStringLiteral("2"));
    EXPECT_EQ(formatFixed(3.5L, 0), QStringLiteral("4"));
    EXPECT_EQ(formatFixed(-0.0001L, 3), QStringLiteral("0.000"));
    EXPECT_EQ(formatFixed(0, 3, 5), QStringLiteral("0.000"));
    EXPECT_EQ(formatFixed(1.5L, 1, 6), QStringLiteral("   1.5"));
}

TEST(NumberFormat, GeneralUsesUpToTenSignificantDigits)
{
    const QChar p = QLatin1Char('.');
    EXPECT_EQ(formatGeneral(0, 10, p), QStringLiteral("0"));
    EXPECT_EQ(formatGeneral(100, 10, p), QStringLiteral("100"));
    EXPECT_EQ(formatGeneral(-2.5L, 10, p), QStringLiteral("-2.5"));
    EXPECT_EQ(formatGeneral(0.123L, 10, p), QStringLiteral("0.123"));
    // A 32-bit float shows its binary value.
    EXPECT_EQ(formatGeneral(static_cast<float>(12.3), 10, p), QStringLiteral("12.30000019"));
    EXPECT_EQ(formatGeneral(static_cast<float>(12.3), 10, QLatin1Char(',')),
              QStringLiteral("12,30000019"));
    EXPECT_EQ(formatGeneral(1.0L / 3, 10, p), QStringLiteral("0.3333333333"));
    EXPECT_EQ(formatGeneral(0.00001L, 10, p), QStringLiteral("0.00001"));
    EXPECT_EQ(formatGeneral(0.0000099L, 10, p), QStringLiteral("9.9E-6"));
    EXPECT_EQ(formatGeneral(1234567890, 10, p), QStringLiteral("1234567890"));
    EXPECT_EQ(formatGeneral(12345678901.0L, 10, p), QStringLiteral("1.23456789E+10"));
    EXPECT_EQ(formatGeneral(9999999999.9L, 10, p), QStringLiteral("1E+10"));
    EXPECT_EQ(formatGeneral(-1e20L, 10, p), QStringLiteral("-1E+20"));
}

TEST(NumberFormat, ParseAcceptsOnlyAWholeNumberWithTheGivenSeparator)
{
    const QChar p = QLatin1Char('.');
    const QChar c = QLatin1Char(',');
    EXPECT_EQ(parseNumber(QStringLiteral("0.5"), p), 0.5L);
    EXPECT_EQ(parseNumber(QStringLiteral("0,5"), c), 0.5L);
    EXPECT_EQ(parseNumber(QStringLiteral(" -200 "), p), -200.0L);
    EXPECT_EQ(parseNumber(QStringLiteral("+1e3"), p), 1000.0L);
    EXPECT_EQ(parseNumber(QStringLiteral("2.5E-1"), p), 0.25L);
    EXPECT_EQ(parseNumber(QStringLiteral(".5"), p), 0.5L);
    EXPECT_EQ(parseNumber(QStringLiteral("5."), p), 5.0L);
    EXPECT_EQ(parseNumber(QStringLiteral("0.1"), p), 0.1L); // extended, not double, precision
    for (const char* bad : {"", " ", "-", ".", "0,5", "1e", "1e+", "12x", "1 000", "1.2.3", "0x10",
                            "inf", "nan", "1e99999", "--1", "1-"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parseNumber(QString::fromLatin1(bad), p).has_value());
    }
    EXPECT_FALSE(parseNumber(QStringLiteral("0.5"), c).has_value());
}

TEST(NumberFormat, RoundingToDecimalsTiesToEven)
{
    EXPECT_EQ(roundHalfEven(2.5L), 2.0L);
    EXPECT_EQ(roundHalfEven(3.5L), 4.0L);
    EXPECT_EQ(roundHalfEven(-2.5L), -2.0L);
    EXPECT_EQ(roundHalfEven(2.56L), 3.0L);
    EXPECT_EQ(roundToDecimals(0.12345L, 3), 0.123L);
    EXPECT_EQ(formatGeneral(roundToDecimals(0.12345L, 3), 10, QLatin1Char('.')),
              QStringLiteral("0.123"));
    EXPECT_EQ(roundToDecimals(0.125L, 2), 0.12L); // 12.5 is exact: the tie goes to 12
    EXPECT_EQ(roundToDecimals(0.375L, 2), 0.38L);
}

} // namespace
} // namespace vtr8
