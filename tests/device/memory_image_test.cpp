#include "device/memory_fields.h"
#include "device/memory_image.h"

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

EepromBlock block(eeprom::Address address, int length, std::uint8_t fill = 0)
{
    return {address, std::vector<std::uint8_t>(static_cast<std::size_t>(length), fill), 0};
}

TEST(MemoryImage, ReadsCoverTheBlocksWithFewestReads)
{
    struct Case {
        std::vector<EepromBlock> blocks;
        std::vector<ReadRun> reads;
    };
    const Case cases[] = {
        {{block(52, 16)}, {{52, 16}}},
        {{block(52, 20)}, {{52, 16}, {68, 4}}},
        // A gap inside one read's reach is read along; one beyond it starts a new read.
        {{block(387, 8), block(400, 3)}, {{387, 16}}},
        {{block(387, 8), block(424, 4)}, {{387, 8}, {424, 4}}},
        // Overlapping and repeated blocks are read once.
        {{block(448, 8), block(28, 8), block(448, 8), block(28, 4)}, {{28, 8}, {448, 8}}},
        {{block(2040, 8)}, {{2040, 8}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadsCovering(c.blocks), c.reads) << c.blocks.front().address;
    EXPECT_EQ(WholeMemoryReads().size(), 128u);
}

TEST(MemoryImage, FinalBlocksHoldWhatTheLastWriteLeft)
{
    const std::vector<EepromBlock> written = {block(28, 8, 1), block(112, 4, 2), block(28, 4, 3),
                                              block(113, 1, 4)};
    const std::vector<EepromBlock> final = FinalBlocks(written);
    ASSERT_EQ(final.size(), 4u);
    EXPECT_EQ(final[0].data, (std::vector<std::uint8_t>{3, 3, 3, 3, 1, 1, 1, 1}));
    EXPECT_EQ(final[1].data, (std::vector<std::uint8_t>{2, 4, 2, 2}));
    EXPECT_EQ(FinalBlocks({block(28, 8, 1), block(28, 8, 5)}).size(), 1u);
}

TEST(MemoryImage, HexDumpLinesStartWithTheAddress)
{
    std::vector<std::uint8_t> bytes(20);
    bytes[0] = 0xAB;
    bytes[17] = 0x0F;
    EXPECT_EQ(HexDump(bytes),
              QStringLiteral("0000: AB 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
                             "0010: 00 0F 00 00\n"));
}

TEST(MemoryFields, NamesRepeatedStructuresByTheirNumber)
{
    struct Case {
        eeprom::Address address;
        eeprom::Address fieldAddress;
        const char* name;
        FileKey key;
    };
    const Case cases[] = {
        {357, 355, "horní mez", FileKey::End},
        {400, 400, "vstup", FileKey::Input},
        {651, 648, "segmentová tabulka, záznam 3 (x0)", FileKey::None},
        {1007, 1004, "segmentová tabulka, záznam 20 (c0)", FileKey::None},
        {133, 132, "polynom linearizace, koeficient 2", FileKey::None},
        {1200, 1200, "", FileKey::None},
    };
    for (const Case& c : cases) {
        const MemoryField f = FieldAt(c.address);
        EXPECT_EQ(f.address, c.fieldAddress) << c.address;
        EXPECT_EQ(f.name, QString::fromUtf8(c.name)) << c.address;
        EXPECT_EQ(f.key, c.key) << c.address;
    }
}

} // namespace
} // namespace vtr8
