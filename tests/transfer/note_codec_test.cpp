#include "transfer/note_codec.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

QString bytesToText(const NoteBytes& bytes)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), NoteLength);
}

TEST(NoteCodec, EmptyNoteIsSixtySpaces)
{
    const NoteEncoding encoding = encodeNote(QString());
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(bytesToText(encoding.bytes), QString(60, QLatin1Char(' ')));
}

TEST(NoteCodec, ShortNoteIsPaddedWithSpaces)
{
    const NoteEncoding encoding = encodeNote(QStringLiteral("Kotel 1"));
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(bytesToText(encoding.bytes),
              QStringLiteral("Kotel 1") + QString(53, QLatin1Char(' ')));
}

TEST(NoteCodec, OnlyTheFirstSixtyCharactersAreStored)
{
    const QString text = QString(59, QLatin1Char('a')) + QStringLiteral("bc");
    const NoteEncoding encoding = encodeNote(text);
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(encoding.bytes[58], 'a');
    EXPECT_EQ(encoding.bytes[59], 'b');
}

TEST(NoteCodec, CzechLettersBecomeTheirCodePageBytes)
{
    const NoteEncoding encoding = encodeNote(QStringLiteral("čŘůŽ€"));
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(encoding.bytes[0], 0xE8);
    EXPECT_EQ(encoding.bytes[1], 0xD8);
    EXPECT_EQ(encoding.bytes[2], 0xF9);
    EXPECT_EQ(encoding.bytes[3], 0x8E);
    EXPECT_EQ(encoding.bytes[4], 0x80);
    EXPECT_EQ(encoding.bytes[5], ' ');
}

TEST(NoteCodec, CharacterOutsideTheCodePageIsReportedNotReplaced)
{
    struct Case {
        QString text;
        QString bad;
    };
    const Case cases[] = {
        {QStringLiteral("teplota 中"), QStringLiteral("中")},
        {QStringLiteral("À la carte"), QStringLiteral("À")},
        {QString::fromUtf8("x\xF0\x9F\x98\x80y"), QString::fromUtf8("\xF0\x9F\x98\x80")},
    };
    for (const Case& c : cases) {
        const NoteEncoding encoding = encodeNote(c.text);
        EXPECT_FALSE(encoding.ok()) << c.text.toStdString();
        EXPECT_EQ(encoding.unmappable, c.bad) << c.text.toStdString();
    }
}

TEST(NoteCodec, UnmappableCharacterAfterTheSixtiethIsNeverStoredSoNotRefused)
{
    const NoteEncoding encoding = encodeNote(QString(60, QLatin1Char('x')) + QStringLiteral("中"));
    EXPECT_TRUE(encoding.ok());
}

TEST(NoteCodec, DecodingDropsTrailingSpacesAndControlsButKeepsLeadingSpaces)
{
    NoteBytes bytes;
    bytes.fill(' ');
    const char* text = "  ab";
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(text[i]);
    bytes[10] = 0x00;
    bytes[11] = 0x1F;
    EXPECT_EQ(decodeNote(bytes.data(), NoteLength), QStringLiteral("  ab"));
}

TEST(NoteCodec, ControlCharacterInsideTheNoteStays)
{
    const std::uint8_t bytes[] = {'a', 0x09, 'b', ' ', 0x00};
    EXPECT_EQ(decodeNote(bytes, 5), QStringLiteral("a\tb"));
}

TEST(NoteCodec, ErasedNoteAreaShowsTheDotAbove)
{
    NoteBytes bytes;
    bytes.fill(0xFF);
    EXPECT_EQ(decodeNote(bytes.data(), NoteLength), QString(60, QChar(0x02D9)));
}

TEST(NoteCodec, EveryByteSurvivesDecodeAndEncode)
{
    // A note read from a transmitter must be writable back unchanged, whatever
    // bytes it holds (bytes at the end would be trimmed, so each sits first).
    for (int b = 33; b < 256; ++b) {
        const std::uint8_t bytes[] = {static_cast<std::uint8_t>(b)};
        const QString text = decodeNote(bytes, 1);
        const NoteEncoding encoding = encodeNote(text);
        ASSERT_TRUE(encoding.ok()) << b;
        EXPECT_EQ(encoding.bytes[0], b);
    }
}

TEST(NoteCodec, Str1ToZnak)
{
    EXPECT_EQ(str1ToZnak(QStringLiteral("A")), std::optional<std::uint8_t>(0x41));
    EXPECT_EQ(str1ToZnak(QStringLiteral("č")), std::optional<std::uint8_t>(0xE8));
    EXPECT_EQ(str1ToZnak(QStringLiteral("˙")), std::optional<std::uint8_t>(0xFF));
    EXPECT_FALSE(str1ToZnak(QStringLiteral("中")).has_value());
    EXPECT_FALSE(str1ToZnak(QString()).has_value());
}

} // namespace
} // namespace vtr8
