// The plan a comparison uses is the write's own, and the read-back after a write finds, names
// and repairs a block the transmitter stored wrong.
#include "device/memory_image.h"
#include "transfer/block_comparison.h"
#include "transfer/write_configuration.h"
#include "transfer/write_preparation.h"
#include "write_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

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

    // A field the file has no line for is not said to be 0 in it.
    const EepromBlock shunt = FloatBlock(eeprom::ShuntResistance, {0.0f});
    MemoryImage withShunt = held;
    withShunt.store(FloatBlock(eeprom::ShuntResistance, {5.0f}));
    rules.notInFile = {FileKey::Shunt};
    EXPECT_EQ(BlockDifferences(shunt, withShunt, rules),
              std::vector<QString>{QStringLiteral(
                  "snímací odpor: v převodníku 5, soubor tuto položku nemá, zápis uloží 0")});
    rules.notInFile.clear();

    // A float that shows alike with the file's decimals still differs: it is shown with the
    // digits that tell the two apart.
    const EepromBlock close = FloatBlock(eeprom::RangeEnd, {100.0001f});
    rules.decimals = {{FileKey::End, 3}};
    EXPECT_EQ(
        BlockDifferences(close, held, rules),
        std::vector<QString>{QStringLiteral("horní mez: v převodníku 100, v souboru 100.0001")});
}

// Every bit of every byte the write stores, flipped one at a time, is one difference, for the
// families whose blocks differ most: an RTD, a thermocouple, a special current input and a
// point file in straight segments.
TEST(WriteVerify, EveryChangedBitOfTheWrittenBytesIsReportedOnce)
{
    const std::function<void(WriteFixture&)> families[] = {
        [](WriteFixture& f) { fillPt100(f, "100"); },
        [](WriteFixture& f) {
            f.fill({{"Vstup", "termočlánek K"},
                    {"VzdStKon", "blízký studený konec"},
                    {"Linearizace", "linearizováno"},
                    {"Pocatek", "0"},
                    {"Konec", "1000"},
                    {"Tlumeni", "1"},
                    {"ChybProud", "vyřazen"}});
        },
        [](WriteFixture& f) {
            f.fill({{"Vstup", "4...20 mA-spec. vstup U/I"},
                    {"Linearizace", "nelinearizováno"},
                    {"Pocatek", "0"},
                    {"Konec", "250"},
                    {"Tlumeni", "1"},
                    {"ChybProud", "nadproud"}});
        },
        [](WriteFixture& f) {
            ChoosePoints(f, PointFitMethod::StraightLines,
                         {{0, 0}, {2, 25}, {4, 40}, {6, 61}, {8, 80}, {10, 100}});
            FillVoltage(f, "20", "ze souboru", "100", "nadproud");
        },
    };
    ComparisonRules rules;
    rules.decimals = {{FileKey::Start, 0}, {FileKey::End, 0}, {FileKey::Damping, 1}};
    for (std::size_t family = 0; family < std::size(families); ++family) {
        WriteFixture f;
        families[family](f);
        const auto prepared = ComputeWrite(f.ctx, *f.model.configurationForTransfer());
        ASSERT_TRUE(prepared) << family << f.ui().messages.join('|').toStdString();
        const auto planned = PlanConfigurationBlocks(f.ctx, *prepared);
        ASSERT_TRUE(planned) << family;
        const std::vector<EepromBlock> blocks = FinalBlocks(*planned);
        MemoryImage written;
        for (const EepromBlock& block : blocks)
            written.store(block);
        ASSERT_TRUE(Differences(blocks, written, rules).empty()) << family;

        int bytes = 0;
        std::vector<int> missed;
        for (int a = 0; a < eeprom::MemorySize; ++a) {
            const auto address = static_cast<eeprom::Address>(a);
            if (!written.holds(address, 1))
                continue;
            ++bytes;
            for (int bit = 0; bit < 8; ++bit) {
                MemoryImage held = written;
                held.store(address, std::vector<std::uint8_t>{static_cast<std::uint8_t>(
                                        written.at(address) ^ (1 << bit))});
                if (Differences(blocks, held, rules).size() != 1)
                    missed.push_back(a);
            }
        }
        EXPECT_GT(bytes, 150) << family;
        const std::set<int> positions(missed.begin(), missed.end());
        EXPECT_TRUE(missed.empty())
            << "family " << family << ": " << missed.size() << " of " << 8 * bytes << " changes at "
            << positions.size() << " positions, first " << *positions.begin();
    }
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
        // The lowest bit of the float's last byte: 100 stored as 100.000008.
        {"store-once=358", true, "horní mez: v převodníku 100.000008, zapsáno 100"},
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
