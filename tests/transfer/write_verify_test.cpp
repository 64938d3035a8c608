// The plan a comparison uses is the write's own, and the read-back after a write finds, names
// and repairs a block the transmitter stored wrong.
#include "device/memory_image.h"
#include "transfer/block_comparison.h"
#include "transfer/write_configuration.h"
#include "transfer/write_preparation.h"
#include "write_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vtr8::test {
namespace {

const WriteTiming quick{1};

void fillPt100(WriteFixture& f, const char* end)
{
    f.fill({{"Vstup", "odporový teploměr Pt100"},
            {"PripCidl", "čtyřvodičově"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", "0"},
            {"Konec", end},
            {"Tlumeni", "2.5"},
            {"ChybProud", "nadproud"}});
}

std::vector<EepromBlock> asBlocks(const std::vector<SentCommand>& writes)
{
    std::vector<EepromBlock> blocks;
    for (const SentCommand& w : writes)
        blocks.push_back({w.address, w.bytes, 0});
    return blocks;
}

TEST(WriteVerify, PlanIsWhatTheWriteSendsAndNothingIsWritten)
{
    WriteFixture f;
    fillPt100(f, "100");
    const auto prepared = ComputeWrite(f.ctx, *f.model.configurationForTransfer());
    ASSERT_TRUE(prepared) << f.ui().messages.join('|').toStdString();
    const auto planned = PlanConfigurationBlocks(f.ctx, *prepared);
    ASSERT_TRUE(planned);
    EXPECT_TRUE(f.writes().empty());
    EXPECT_TRUE(f.ui().questions.isEmpty());

    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick));
    std::vector<EepromBlock> plannedBlocks = *planned;
    for (EepromBlock& b : plannedBlocks)
        b.pauseAfterMs = 0;
    EXPECT_EQ(plannedBlocks, asBlocks(f.writes()));
}

TEST(WriteVerify, DifferencesUseTheFilesWordsAndItsDecimals)
{
    WriteFixture f;
    fillPt100(f, "100");
    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick));
    MemoryImage held;
    for (int a = 0; a < eeprom::MemorySize; ++a)
        held.store(static_cast<eeprom::Address>(a), std::vector<std::uint8_t>{f.eeprom()[a]});

    fillPt100(f, "120");
    const auto prepared = ComputeWrite(f.ctx, *f.model.configurationForTransfer());
    ASSERT_TRUE(prepared);
    const auto planned = PlanConfigurationBlocks(f.ctx, *prepared);
    ASSERT_TRUE(planned);
    ComparisonRules rules;
    rules.decimals = {{FileKey::End, 0}};
    const std::vector<QString> lines = Differences(FinalBlocks(*planned), held, rules);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), QStringLiteral("horní mez: v převodníku 100, v souboru 120"));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& l) {
        return l.startsWith(QStringLiteral("adresa 628, segmentová tabulka, záznam 2 (x0)"));
    })) << lines.size();

    // A float that shows alike with the file's decimals counts as equal; byte for byte it not.
    const EepromBlock close = FloatBlock(eeprom::RangeEnd, {100.0001});
    EXPECT_TRUE(
        BlockDifferences(close, held, {QStringLiteral("v souboru"), true, {{FileKey::End, 3}}})
            .empty());
    EXPECT_EQ(BlockDifferences(close, held, {QStringLiteral("zapsáno"), false, {}}).size(), 1u);
}

TEST(WriteVerify, ReadBackFindsNamesAndRepairsACorruptedStore)
{
    struct Case {
        const char* fault;
        bool written;
        const char* named; // in the first message
    };
    // 52 is the first block a write stores, 648 one in the middle, 114 the last.
    const Case cases[] = {
        {nullptr, true, nullptr},
        {"store=52", false, "Blok na adresách 52–67"},
        {"store=648", false, "segmentová tabulka, záznam 3 (x0)"},
        {"store=114", false, "Blok na adrese 114 "},
        {"store-once=355", true, "horní mez: v převodníku 50, zapsáno 100"},
    };
    for (const Case& c : cases) {
        WriteFixture f;
        if (c.fault)
            f.link.transmitter().faults().add(*sim::ParseFaultRule(c.fault));
        f.ctx.readBackWrites = true;
        fillPt100(f, "100");
        f.ui().confirmAnswers = {true};
        EXPECT_EQ(WriteEditorConfiguration(f.ctx, f.model, quick), c.written) << c.fault;

        const std::vector<SentCommand> sent = f.sent();
        const auto lastWrite = std::find_if(sent.rbegin(), sent.rend(), [](const SentCommand& s) {
            return s.command == WriteEeprom;
        });
        ASSERT_NE(lastWrite, sent.rend());
        // The read-back comes after the writes and before the restart.
        EXPECT_EQ(std::prev(lastWrite)->command, ReadEeprom) << c.fault;
        EXPECT_EQ(sent.back().command, c.written ? ContinueCommand : ReadEeprom) << c.fault;
        if (!c.named) {
            EXPECT_TRUE(f.ui().messages.isEmpty()) << f.ui().messages.join('|').toStdString();
            continue;
        }
        // A failed read-back leaves the transmitter stopped: the incomplete-write message follows.
        ASSERT_EQ(f.ui().messages.size(), c.written ? 1 : 3) << c.fault;
        EXPECT_TRUE(f.ui().messages.first().contains(QString::fromUtf8(c.named)))
            << f.ui().messages.first().toStdString();
        if (!c.written) {
            EXPECT_TRUE(f.ui().messages[1].endsWith(
                QStringLiteral("Zápis konfigurace se nepodařilo ověřit.")));
            EXPECT_EQ(f.ui().messages.last(), IncompleteWriteMessage());
        }
    }
}

} // namespace
} // namespace vtr8::test
