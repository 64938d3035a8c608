#include "link/frame.h"
#include "link/reply_parser.h"
#include "sim/eeprom.h"
#include "sim/transmitter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

namespace vtr8::sim {
namespace {

std::vector<std::uint8_t> Request(std::string_view name, std::uint16_t address = 0,
                                  std::uint8_t count = 0,
                                  const std::vector<std::uint8_t>& data = {})
{
    std::array<std::uint8_t, 26> tb{};
    for (std::size_t i = 0; i < data.size(); ++i)
        tb[i + 1] = data[i];
    const auto frame = BuildTxFrame(name, address, count, tb);
    const auto wire = frame.wire();
    return {wire.begin(), wire.end()};
}

// Parses a reply with the program's own parser.
ReplyParser Parsed(const std::vector<std::uint8_t>& reply)
{
    ReplyParser parser;
    parser.Clear();
    for (std::uint8_t b : reply)
        parser.ProcessReplyByte(b);
    return parser;
}

struct Exchange {
    bool answered = false;
    ReplyParser parser;
    std::vector<std::uint8_t> bytes;
};

Exchange Ask(Transmitter& t, const std::vector<std::uint8_t>& request)
{
    Exchange e;
    const auto responses = t.feed(request);
    if (responses.size() == 1) {
        e.answered = true;
        e.bytes = responses[0].bytes;
        e.parser = Parsed(e.bytes);
    }
    return e;
}

std::vector<std::uint8_t> Data(const ReplyParser& p, int from, int count)
{
    return {p.ReplyData.begin() + from, p.ReplyData.begin() + from + count};
}

TEST(TransmitterFloat, KnownEncodings)
{
    struct Case {
        float value;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {0.0f, {0x00, 0x00, 0x00, 0x00}},  {-0.0f, {0x00, 0x80, 0x00, 0x00}},
        {1.0f, {0x81, 0x00, 0x00, 0x00}},  {-1.0f, {0x81, 0x80, 0x00, 0x00}},
        {0.5f, {0x80, 0x00, 0x00, 0x00}},  {4.0f, {0x83, 0x00, 0x00, 0x00}},
        {12.0f, {0x84, 0x40, 0x00, 0x00}}, {20.0f, {0x85, 0x20, 0x00, 0x00}},
        {3.2f, {0x82, 0x4C, 0xCC, 0xCD}},  {-244.3579f, {0x88, 0xF4, 0x5B, 0x9F}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeTransmitterFloat(c.value), c.bytes) << c.value;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(DecodeTransmitterFloat(c.bytes.data())),
                  std::bit_cast<std::uint32_t>(c.value))
            << c.value;
    }
    const float tiny = std::bit_cast<float>(0x00812345u); // IEEE exponent 1
    EXPECT_EQ(EncodeTransmitterFloat(tiny)[0], 3);
    EXPECT_EQ(DecodeTransmitterFloat(EncodeTransmitterFloat(tiny).data()), tiny);
}

TEST(FactoryEeprom, HoldsIdentificationCalibrationRelaysAndABlankNote)
{
    SimOptions options;
    const EepromImage image = FactoryEeprom(options);
    EXPECT_EQ(image[268], 13);
    EXPECT_EQ(image[269], 249);
    EXPECT_EQ(image[262], 14);
    EXPECT_EQ(GetTransmitterFloat(image, 44), 4.0f);
    EXPECT_EQ(GetTransmitterFloat(image, 48), 20.0f);
    EXPECT_LT(GetTransmitterFloat(image, 36), GetTransmitterFloat(image, 40));
    EXPECT_GT(GetTransmitterFloat(image, 36), 0.0f);
    for (int a = 512; a <= 571; ++a)
        EXPECT_EQ(image[static_cast<std::size_t>(a)], ' ') << a;
    EXPECT_EQ(image[511], 0);
    EXPECT_EQ(image[572], 0);
    EXPECT_EQ(image[1084], 1);
    EXPECT_EQ(image[1085] & 1, 1);

    options.firmware = 255;
    options.secondRelay = false;
    const EepromImage old = FactoryEeprom(options);
    EXPECT_EQ(old[262], 255);
    EXPECT_EQ(old[1084], 1);
    EXPECT_EQ(old[1085] & 1, 0);
    options.relays = false;
    EXPECT_EQ(FactoryEeprom(options)[1084], 0);
}

TEST(Transmitter, ReadEEPROMReturnsTheBytesAsked)
{
    Transmitter t;
    const Exchange e = Ask(t, Request("ReadEEPROM", 268, 2));
    ASSERT_TRUE(e.answered);
    EXPECT_TRUE(e.parser.ReplyComplete);
    EXPECT_FALSE(e.parser.ChecksumError || e.parser.FrameError);
    EXPECT_EQ(e.parser.ReceivedCommand, 113);
    EXPECT_EQ(e.parser.ByteCount, 4);
    EXPECT_EQ(Data(e.parser, 1, 4), (std::vector<std::uint8_t>{0, 0, 13, 249}));
    // Long-address reply: preamble, delimiter 0x86, the address.
    EXPECT_EQ(e.bytes[5], 0x86);
    EXPECT_TRUE(std::equal(DeviceAddress.begin(), DeviceAddress.end(), e.bytes.begin() + 6));
}

TEST(Transmitter, WriteEEPROMStoresAndReadsBack)
{
    Transmitter t;
    std::vector<std::uint8_t> block;
    for (int i = 0; i < 20; ++i)
        block.push_back(static_cast<std::uint8_t>(200 - i));
    const Exchange w = Ask(t, Request("WriteEEPROM", 2028, 20, block));
    ASSERT_TRUE(w.answered);
    EXPECT_EQ(w.parser.ReplyData[1], 0);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), t.eeprom().begin() + 2028));
    const Exchange r = Ask(t, Request("ReadEEPROM", 2032, 16));
    EXPECT_EQ(Data(r.parser, 3, 16), std::vector<std::uint8_t>(block.begin() + 4, block.end()));
}

TEST(Transmitter, AccessBeyondTheEEPROMIsRefusedWithInvalidSelection)
{
    Transmitter t;
    const auto before = t.eeprom();
    const Exchange w = Ask(t, Request("WriteEEPROM", 2040, 10, std::vector<std::uint8_t>(10, 7)));
    EXPECT_EQ(w.parser.ReplyData[1], 2);
    EXPECT_EQ(t.eeprom(), before);
    const Exchange r = Ask(t, Request("ReadEEPROM", 2047, 2));
    EXPECT_EQ(r.parser.ReplyData[1], 2);
    EXPECT_EQ(r.parser.ByteCount, 2);
}

TEST(Transmitter, ReadPVGivesUnitAndBigEndianIEEEValue)
{
    SimOptions options;
    options.input = 25.0;
    Transmitter t(options);
    t.eeprom()[424] = 32;
    SimulatedInput input;
    input.fixed = 25.0;
    const float value = ComputeProcessValue(t.eeprom(), input, 0.0).value;
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const Exchange e = Ask(t, Request("ReadPV"));
    ASSERT_TRUE(e.parser.ReplyComplete);
    EXPECT_EQ(e.parser.ByteCount, 7);
    EXPECT_EQ(Data(e.parser, 1, 7),
              (std::vector<std::uint8_t>{0, 0, 32, static_cast<std::uint8_t>(bits >> 24),
                                         static_cast<std::uint8_t>(bits >> 16),
                                         static_cast<std::uint8_t>(bits >> 8),
                                         static_cast<std::uint8_t>(bits)}));
}

TEST(Transmitter, RunStateFollowsStopContinueAndReset)
{
    Transmitter t;
    EXPECT_EQ(t.state(), RunState::Running);
    EXPECT_TRUE(Ask(t, Request("Stop")).answered);
    EXPECT_EQ(t.state(), RunState::Stopped);
    Ask(t, Request("Reset"));
    EXPECT_EQ(t.resetCount(), 1);
    Ask(t, Request("Continue"));
    EXPECT_EQ(t.state(), RunState::Running);
}

TEST(Transmitter, EveryCommandOfTheTableGetsAWellFormedReply)
{
    Transmitter t;
    for (const CommandSpec& spec : CommandTable()) {
        SCOPED_TRACE(std::string(spec.name));
        const Exchange e = Ask(t, Request(spec.name, 16, 2, {1, 2}));
        ASSERT_TRUE(e.answered);
        EXPECT_TRUE(e.parser.ReplyComplete);
        EXPECT_FALSE(e.parser.ChecksumError || e.parser.FrameError);
        EXPECT_EQ(e.parser.ReceivedCommand, spec.number);
        EXPECT_GE(e.parser.ByteCount, 2);
        EXPECT_EQ(e.parser.ReplyData[1], 0) << "response code";
    }
    // "WriteEEPROM2" went to the second EEPROM, not the first.
    EXPECT_EQ(t.eeprom2()[16], 1);
    EXPECT_EQ(t.eeprom2()[17], 2);
    EXPECT_EQ(t.eeprom()[16], 1); // from "WriteEEPROM"
    EXPECT_EQ(t.eeprom2()[18], 0);
}

TEST(Transmitter, NastResponseCodeIsAnOption)
{
    for (std::uint8_t code : {0, 6, 9, 10, 14}) {
        SimOptions options;
        options.nastResponseCode = code;
        Transmitter t(options);
        EXPECT_EQ(Ask(t, Request("NastOfs")).parser.ReplyData[1], code);
        EXPECT_EQ(Ask(t, Request("NastFS")).parser.ReplyData[1], code);
    }
}

TEST(Transmitter, RequestsInAnyChunkingAndWithLongPreambles)
{
    Transmitter t;
    auto request = Request("ReadEEPROM", 268, 2);
    request.insert(request.begin(), 10, 0xFF);
    request.insert(request.begin(), {0x12, 0x00}); // line noise before
    for (std::size_t chunk = 1; chunk <= request.size(); ++chunk) {
        std::vector<Response> all;
        for (std::size_t i = 0; i < request.size(); i += chunk) {
            const std::size_t n = std::min(chunk, request.size() - i);
            auto part = t.feed({request.data() + i, n});
            all.insert(all.end(), part.begin(), part.end());
        }
        ASSERT_EQ(all.size(), 1u) << chunk;
        EXPECT_EQ(Parsed(all[0].bytes).ReplyData[3], 13);
    }
}

TEST(Transmitter, BadRequestsAreIgnored)
{
    Transmitter t;
    auto badChecksum = Request("ReadPV");
    badChecksum.back() ^= 1;
    EXPECT_TRUE(t.feed(badChecksum).empty());
    auto otherDevice = Request("ReadPV");
    otherDevice[8] ^= 1;
    otherDevice.back() ^= 1;
    EXPECT_TRUE(t.feed(otherDevice).empty());
    EXPECT_TRUE(t.requests().empty());
    // and the next good one is answered
    EXPECT_EQ(t.feed(Request("ReadPV")).size(), 1u);
    EXPECT_EQ(t.requests().size(), 1u);
}

TEST(Transmitter, RequestLogKeepsCommandsAndData)
{
    Transmitter t;
    t.feed(Request("WriteEEPROM", 1080, 2, {3, 1}));
    t.feed(Request("ReadEEPROM", 1080, 2));
    ASSERT_EQ(t.requests().size(), 2u);
    EXPECT_EQ(t.requests()[0].number, 1);
    EXPECT_EQ(t.requests()[0].command, 114);
    EXPECT_EQ(t.requests()[0].data, (std::vector<std::uint8_t>{4, 56, 2, 3, 1}));
    EXPECT_EQ(t.requests()[1].command, 113);
    EXPECT_EQ(t.requests()[1].frame, Request("ReadEEPROM", 1080, 2));
}

TEST(EepromFile, DumpThenLoadGivesTheSameImage)
{
    const std::string path = ::testing::TempDir() + "vtr8-sim-eeprom.bin";
    EepromImage image = FactoryEeprom({});
    image[1000] = 0x5A;
    std::string error;
    ASSERT_TRUE(DumpEeprom(path, image, error)) << error;
    EepromImage loaded{};
    ASSERT_TRUE(LoadEeprom(path, loaded, error)) << error;
    EXPECT_EQ(loaded, image);

    EXPECT_FALSE(LoadEeprom(path + ".missing", loaded, error));
    EXPECT_NE(error.find(".missing"), std::string::npos);
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("short", f);
        std::fclose(f);
    }
    EXPECT_FALSE(LoadEeprom(path, loaded, error));
    EXPECT_EQ(loaded, image); // a refused file leaves the image alone
    std::remove(path.c_str());
}

} // namespace
} // namespace vtr8::sim
