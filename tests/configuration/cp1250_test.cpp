#include "configuration/cp1250.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(Cp1250, EveryByteDecodesToOneCharacterAndEncodesBack)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = decodeCp1250(all);
    ASSERT_EQ(text.size(), 256);
    const Cp1250Encoding back = encodeCp1250(text);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, all);
}

TEST(Cp1250, CzechLettersHaveTheirCodePageBytes)
{
    const Cp1250Encoding e =
        encodeCp1250(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy €"));
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(e.bytes, QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl "
                                  "\xEF\xE1\x62\x65lsk\xE9 \xF3\x64y \x80"));
    EXPECT_EQ(decodeCp1250(e.bytes), QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy €"));
}

TEST(Cp1250, CharacterWithoutAByteIsNamed)
{
    const struct {
        QString text;
        QString unmappable;
    } cases[] = {
        {QStringLiteral("a\u00E3b"), QStringLiteral("\u00E3")},
        {QStringLiteral("x\u03A9"), QStringLiteral("\u03A9")},
        {QStringLiteral("\U0001F600"), QStringLiteral("\U0001F600")},
    };
    for (const auto& c : cases) {
        const Cp1250Encoding e = encodeCp1250(c.text);
        EXPECT_EQ(e.unmappable, c.unmappable) << c.text.toStdString();
        EXPECT_TRUE(e.bytes.isEmpty());
        EXPECT_FALSE(cp1250Byte(c.unmappable).has_value());
    }
    EXPECT_EQ(cp1250Byte(QStringLiteral("ř")), std::optional<std::uint8_t>(0xF8));
    EXPECT_FALSE(cp1250Byte(QStringLiteral("ab")).has_value());
}

} // namespace
} // namespace vtr8
