#include "link/circle_char_buffer.h"
#include "link/reply_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtr8 {
namespace {

std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

const std::string SampleReply = "FF FF FF FF FF 86 3A BD EF B1 34 01 07 00 00 20 41 C8 00 00 C4";

ReplyParser Parse(const std::vector<std::uint8_t>& bytes)
{
    ReplyParser parser;
    parser.Clear();
    for (std::uint8_t b : bytes)
        parser.ProcessReplyByte(b);
    return parser;
}

std::vector<std::uint8_t> WithChecksum(std::vector<std::uint8_t> bytes, std::size_t delimiterIndex)
{
    std::uint8_t parity = 0;
    for (std::size_t i = delimiterIndex; i < bytes.size(); ++i)
        parity ^= bytes[i];
    bytes.push_back(parity);
    return bytes;
}

TEST(ReplyParser, SampleReplyCompletesWithItsData)
{
    const ReplyParser p = Parse(Hex(SampleReply));
    EXPECT_TRUE(p.ReplyComplete);
    EXPECT_FALSE(p.ChecksumError);
    EXPECT_FALSE(p.FrameError);
    EXPECT_EQ(p.PreambleLength, 5);
    EXPECT_EQ(p.ReceivedCommand, 0x01);
    EXPECT_EQ(p.ByteCount, 7);
    const std::vector<std::uint8_t> data(p.ReplyData.begin() + 1, p.ReplyData.begin() + 8);
    EXPECT_EQ(data, Hex("00 00 20 41 C8 00 00"));
    EXPECT_EQ(p.ReplyData[8], 0);
}

TEST(ReplyParser, AnyOtherLastByteIsAChecksumError)
{
    for (int last = 0; last < 256; ++last) {
        if (last == 0xC4)
            continue;
        auto bytes = Hex(SampleReply);
        bytes.back() = static_cast<std::uint8_t>(last);
        const ReplyParser p = Parse(bytes);
        EXPECT_TRUE(p.ReplyComplete) << last;
        EXPECT_TRUE(p.ChecksumError) << last;
    }
}

TEST(ReplyParser, EveryCorruptedBodyByteIsCaught)
{
    // Flipping one bit anywhere from the delimiter to the last data byte must
    // never pass as a good reply.
    const auto good = Hex(SampleReply);
    for (std::size_t i = 5; i + 1 < good.size(); ++i)
        for (int bit = 0; bit < 8; ++bit) {
            auto bytes = good;
            bytes[i] ^= static_cast<std::uint8_t>(1 << bit);
            const ReplyParser p = Parse(bytes);
            EXPECT_FALSE(p.ReplyComplete && !p.ChecksumError && !p.FrameError)
                << "byte " << i << " bit " << bit;
        }
}

TEST(ReplyParser, FirstByteIsAlwaysPreamble)
{
    // Without a preamble the delimiter is swallowed, the first address byte
    // is taken for the delimiter and rejected.
    const ReplyParser p = Parse(Hex("86 3A BD EF B1 34 01 07 00 00 20 41 C8 00 00 C4"));
    EXPECT_TRUE(p.FrameError);
    EXPECT_EQ(p.PreambleLength, 1);
}

TEST(ReplyParser, OnePreambleByteIsEnough)
{
    const ReplyParser p = Parse(Hex("FF 86 3A BD EF B1 34 01 07 00 00 20 41 C8 00 00 C4"));
    EXPECT_TRUE(p.ReplyComplete);
    EXPECT_FALSE(p.ChecksumError || p.FrameError);
}

TEST(ReplyParser, LongPreamblesParseLikeShortOnes)
{
    const auto body = Hex("86 3A BD EF B1 34 01 07 00 00 20 41 C8 00 00 C4");
    for (int preamble : {2, 20, 49, 50, 60, 200}) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(preamble), 0xFF);
        bytes.insert(bytes.end(), body.begin(), body.end());
        const ReplyParser p = Parse(bytes);
        EXPECT_TRUE(p.ReplyComplete) << preamble;
        EXPECT_FALSE(p.ChecksumError || p.FrameError) << preamble;
        EXPECT_EQ(p.PreambleLength, preamble);
        EXPECT_EQ(p.ReplyData[3], 0x20) << preamble;
        EXPECT_EQ(p.ReplyData[7], 0x00) << preamble;
    }
}

TEST(ReplyParser, ShortFrameAcceptsAnyAddressByte)
{
    for (std::uint8_t delimiter : {0x06, 0x01})
        for (std::uint8_t address : {0x00, 0x3A, 0x80, 0xFF}) {
            const auto bytes =
                WithChecksum({0xFF, 0xFF, delimiter, address, 0x71, 0x03, 0x00, 0x00, 0x42}, 2);
            const ReplyParser p = Parse(bytes);
            EXPECT_TRUE(p.ReplyComplete);
            EXPECT_TRUE(p.ShortFrame);
            EXPECT_FALSE(p.ChecksumError || p.FrameError) << int(delimiter) << ' ' << int(address);
            EXPECT_EQ(p.ReplyData[3], 0x42);
        }
}

TEST(ReplyParser, LongDelimitersAndWrongDelimiters)
{
    auto good = Hex(SampleReply);
    good[5] = 0x81;
    good.back() ^= 0x86 ^ 0x81;
    EXPECT_FALSE(Parse(good).FrameError);

    for (std::uint8_t delimiter : {0x82, 0x02, 0x00, 0x87}) {
        auto bytes = Hex(SampleReply);
        bytes[5] = delimiter;
        bytes.back() ^= 0x86 ^ delimiter; // checksum still right
        EXPECT_TRUE(Parse(bytes).FrameError) << int(delimiter);
    }
}

TEST(ReplyParser, EachWrongAddressByteIsAnError)
{
    for (std::size_t k = 0; k < 5; ++k) {
        auto bytes = Hex(SampleReply);
        bytes[6 + k] ^= 0x10;
        bytes.back() ^= 0x10; // checksum still right
        const ReplyParser p = Parse(bytes);
        EXPECT_TRUE(p.ReplyComplete) << k;
        EXPECT_FALSE(p.ChecksumError) << k;
        EXPECT_TRUE(p.FrameError) << k;
    }
}

TEST(ReplyParser, ByteCountZeroNeverCompletes)
{
    auto bytes = Hex("FF FF 86 3A BD EF B1 34 01 00");
    bytes.push_back(0x86 ^ 0x3A ^ 0xBD ^ 0xEF ^ 0xB1 ^ 0x34 ^ 0x01);
    for (int i = 0; i < 100; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    const ReplyParser p = Parse(bytes);
    EXPECT_FALSE(p.ReplyComplete);
}

TEST(ReplyParser, ABrokenOffReplyIsNotComplete)
{
    const auto good = Hex(SampleReply);
    for (std::size_t n = 0; n + 1 < good.size(); ++n) {
        const ReplyParser p = Parse({good.begin(), good.begin() + static_cast<long>(n)});
        EXPECT_FALSE(p.ReplyComplete) << n;
    }
}

TEST(ReplyParser, ByteCountBeyondReplyDataIsStoredOnlyUpToItsEnd)
{
    std::vector<std::uint8_t> bytes = Hex("FF FF 86 3A BD EF B1 34 71");
    bytes.push_back(40);
    for (int i = 1; i <= 40; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    bytes = WithChecksum(bytes, 2);
    const ReplyParser p = Parse(bytes);
    EXPECT_TRUE(p.ReplyComplete);
    EXPECT_FALSE(p.ChecksumError);
    // The caller cannot be handed 40 bytes: the reply counts as failed.
    EXPECT_TRUE(p.FrameError);
    for (int i = 1; i <= 25; ++i)
        EXPECT_EQ(p.ReplyData[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(p.RxFrame[50], bytes[49]);
}

TEST(ReplyParser, StrayBytesAfterACompleteReplyDoNotChangeTheVerdict)
{
    auto bytes = Hex(SampleReply);
    bytes.push_back(0x00);
    bytes.push_back(0x55);
    const ReplyParser p = Parse(bytes);
    EXPECT_TRUE(p.ReplyComplete);
    EXPECT_FALSE(p.ChecksumError);
}

TEST(ReplyParser, ClearForgetsAFrameErrorButResetCountDoesNot)
{
    auto bytes = Hex(SampleReply);
    bytes[7] ^= 1;
    ReplyParser p = Parse(bytes);
    ASSERT_TRUE(p.FrameError);
    p.ResetCount();
    p.StartAttempt();
    for (std::uint8_t b : Hex(SampleReply))
        p.ProcessReplyByte(b);
    EXPECT_TRUE(p.ReplyComplete);
    EXPECT_TRUE(p.FrameError); // a later good attempt does not wash it out
    p.Clear();
    EXPECT_FALSE(p.FrameError);
    EXPECT_EQ(p.ReplyData[3], 0);
}

TEST(CircleCharBuffer, PassesBytesInOrderAndIsEmptyAfterwards)
{
    TCircleCharBuffer ring;
    ring.Reset();
    EXPECT_TRUE(ring.Empty());
    EXPECT_EQ(ring.Get(), 0);
    for (std::uint8_t b : {1, 2, 3})
        ring.Put(b);
    EXPECT_FALSE(ring.Empty());
    EXPECT_EQ(ring.Get(), 1);
    EXPECT_EQ(ring.Get(), 2);
    EXPECT_EQ(ring.Get(), 3);
    EXPECT_TRUE(ring.Empty());
}

TEST(CircleCharBuffer, PutAtTheLastPositionResetsBufferAndParserCount)
{
    TCircleCharBuffer ring;
    int resets = 0;
    ring.onReset = [&] { ++resets; };
    ring.Reset();
    for (int i = 0; i < 255; ++i) {
        ring.Put(static_cast<std::uint8_t>(i));
        EXPECT_EQ(ring.Get(), i);
    }
    EXPECT_EQ(resets, 1);
    ring.Put(0xAB); // write index was 255
    EXPECT_EQ(resets, 2);
    EXPECT_TRUE(ring.Empty());
    ring.Put(0xCD);
    EXPECT_EQ(ring.Get(), 0xCD);
}

} // namespace
} // namespace vtr8
