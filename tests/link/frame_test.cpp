#include "link/frame.h"

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

std::vector<std::uint8_t> Wire(const TxFrame& frame)
{
    const auto w = frame.wire();
    return {w.begin(), w.end()};
}

std::array<std::uint8_t, 26> NumberedBuffer()
{
    std::array<std::uint8_t, 26> tb{};
    for (int i = 1; i <= 25; ++i)
        tb[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0xA0 + i);
    return tb;
}

TEST(Frame, ReadPVIsTheKnownRequest)
{
    EXPECT_EQ(Wire(BuildTxFrame("ReadPV", 0, 0, {})),
              Hex("FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E"));
}

TEST(Frame, ReadEEPROMAddressHighByteFirst)
{
    EXPECT_EQ(Wire(BuildTxFrame("ReadEEPROM", 512, 15, {})),
              Hex("FF FF FF FF FF FF 82 3A BD EF B1 34 71 03 02 00 0F 10"));
}

TEST(Frame, TwentyByteWriteEEPROMIsThirtyEightBytes)
{
    const auto tb = NumberedBuffer();
    const TxFrame frame = BuildTxFrame("WriteEEPROM", 0x0123, 20, tb);
    ASSERT_EQ(frame.TxFrameLen, 38);
    const auto wire = Wire(frame);
    EXPECT_EQ(wire[12], 0x72);
    EXPECT_EQ(wire[13], 23);
    EXPECT_EQ(wire[14], 0x01);
    EXPECT_EQ(wire[15], 0x23);
    EXPECT_EQ(wire[16], 20);
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(wire[16 + static_cast<std::size_t>(i)], tb[static_cast<std::size_t>(i)]) << i;
    std::uint8_t parity = 0;
    for (std::size_t i = 6; i + 1 < wire.size(); ++i)
        parity ^= wire[i];
    EXPECT_EQ(wire.back(), parity);
}

struct Expected {
    const char* name;
    std::uint8_t number;
    std::vector<std::uint8_t> data; // for address 0x1234, count 3, TB = A1 A2 A3 ...
};

TEST(Frame, EveryCommandOfTheTable)
{
    const std::vector<Expected> table = {
        {"ReadUniqIdent", 0, {}},
        {"ReadPV", 1, {}},
        {"WriteCasKonst", 34, {0xA1, 0xA2, 0xA3, 0xA4}},
        {"NastFS", 36, {}},
        {"NastOfs", 37, {}},
        {"ReadRAM", 111, {0x34, 3}},
        {"WriteRAM", 112, {0x34, 3, 0xA1, 0xA2, 0xA3}},
        {"ReadEEPROM", 113, {0x12, 0x34, 3}},
        {"WriteEEPROM", 114, {0x12, 0x34, 3, 0xA1, 0xA2, 0xA3}},
        {"Stop", 115, {}},
        {"Continue", 116, {}},
        {"WriteDA", 117, {0x12, 0x34, 3}},
        {"Reset", 118, {}},
        {"ReadRTCC", 120, {0x34, 3}},
        {"WriteRTCC", 121, {0x34, 3, 0xA1, 0xA2, 0xA3}},
        {"STOPFAZ", 123, {0x34}},
        {"ReadEEPROM2", 124, {0x12, 0x34, 3}},
        {"WriteCalRC", 124, {0xA1, 0xA2}},
        {"WriteEEPROM2", 125, {0x12, 0x34, 3, 0xA1, 0xA2, 0xA3}},
        {"Kalibr_RC", 125, {0xA1, 0xA2}},
    };
    ASSERT_EQ(CommandTable().size(), table.size());
    const auto tb = NumberedBuffer();
    for (const Expected& e : table) {
        SCOPED_TRACE(e.name);
        const auto wire = Wire(BuildTxFrame(e.name, 0x1234, 3, tb));
        std::vector<std::uint8_t> expected = Hex("FF FF FF FF FF FF 82 3A BD EF B1 34");
        expected.push_back(e.number);
        expected.push_back(static_cast<std::uint8_t>(e.data.size()));
        expected.insert(expected.end(), e.data.begin(), e.data.end());
        std::uint8_t parity = 0;
        for (std::size_t i = 6; i < expected.size(); ++i)
            parity ^= expected[i];
        expected.push_back(parity);
        EXPECT_EQ(wire, expected);
        // The enumeration names the same row.
        const std::optional<CommandSpec> spec = FindCommand(e.name);
        ASSERT_TRUE(spec.has_value());
        EXPECT_EQ(SpecOf(spec->command).name, e.name);
    }
}

TEST(Frame, NamesAreCaseSensitiveAndUnknownNamesBuildNothing)
{
    EXPECT_EQ(BuildTxFrame("readpv", 0, 0, {}).TxFrameLen, 0);
    EXPECT_EQ(BuildTxFrame("ReadEeprom", 0, 0, {}).TxFrameLen, 0);
    EXPECT_FALSE(FindCommand("stop"));
    ASSERT_TRUE(FindCommand("Stop"));
}

TEST(Frame, AWriteLongerThanTheTransferBufferIsNotBuilt)
{
    const auto tb = NumberedBuffer();
    EXPECT_EQ(BuildTxFrame("WriteEEPROM", 0, 25, tb).TxFrameLen, 15 + 3 + 25);
    EXPECT_EQ(BuildTxFrame("WriteEEPROM", 0, 26, tb).TxFrameLen, 0);
    EXPECT_EQ(BuildTxFrame("WriteRAM", 0, 200, tb).TxFrameLen, 0);
}

} // namespace
} // namespace vtr8
