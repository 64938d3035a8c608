#include "device/constants.h"
#include "transfer/link_failure_report.h"
#include "transfer/write_configuration.h"
#include "write_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <tuple>

namespace vtr8::test {
namespace {

const WriteTiming quick{1};

void fillCurrent(WriteFixture& f, const char* shunt)
{
    f.fill({{"Vstup", "proud"},
            {"SnOdpor", shunt},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "4"},
            {"Konec", "20"},
            {"Tlumeni", "1"},
            {"ChybProud", "podproud"}});
}

void fillPt100(WriteFixture& f, const char* start, const char* end)
{
    f.fill({{"Vstup", "odporový teploměr Pt100"},
            {"PripCidl", "čtyřvodičově"},
            {"Linearizace", "linearizováno"},
            {"Pocatek", start},
            {"Konec", end},
            {"Tlumeni", "2.5"},
            {"ChybProud", "nadproud"}});
}

using Shape = std::tuple<int, int, int>; // command, address, byte count (write) or count asked

std::vector<Shape> shapes(const std::vector<SentCommand>& sent)
{
    std::vector<Shape> out;
    for (const auto& c : sent) {
        // A read carries the count it asks for; a write its bytes.
        const int count = c.command == ReadEeprom ? c.bytes.at(0) : int(c.bytes.size());
        out.emplace_back(c.command, c.address, count);
    }
    return out;
}

TEST(WriteSequence, CurrentInputSendsEveryBlockInOrder)
{
    WriteFixture f;
    fillCurrent(f, "5");
    ASSERT_TRUE(f.ui().messages.isEmpty()) << f.ui().messages.join('|').toStdString();
    f.ui().confirmAnswers = {true};
    EXPECT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_TRUE(f.ui().messages.isEmpty()) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.ui().questions,
              QStringList{QString::fromUtf8("Opravdu se má zapsat konfigurace ?")});

    const std::vector<Shape> expected = {
        {ReadEeprom, 268, 2},    {ReadEeprom, 262, 2},    {StopCommand, 0, 0},
        {ReadEeprom, 36, 8},     {ReadEeprom, 44, 8},     {WriteEeprom, 52, 16},
        {WriteEeprom, 387, 8},   {WriteEeprom, 1568, 16}, {WriteEeprom, 363, 4},
        {WriteEeprom, 68, 4},    {WriteEeprom, 0, 12},    {WriteEeprom, 12, 12},
        {WriteEeprom, 24, 4},    {WriteEeprom, 28, 8},    {WriteEeprom, 96, 4},
        {WriteEeprom, 100, 12},  {WriteEeprom, 112, 4},   {WriteEeprom, 448, 8},
        {WriteEeprom, 28, 4},    {WriteEeprom, 606, 1},   {WriteEeprom, 113, 1},
        {WriteEeprom, 32, 4},    {WriteEeprom, 400, 8},   {WriteEeprom, 408, 4},
        {WriteEeprom, 339, 13},  {WriteEeprom, 416, 8},   {WriteEeprom, 354, 13},
        {WriteEeprom, 424, 4},   {WriteEeprom, 114, 1},   {ResetCommand, 0, 0},
        {ContinueCommand, 0, 0},
    };
    EXPECT_EQ(shapes(f.sent()), expected);

    // Scale factor: 20 mA over 0.1 V across the shunt.
    EXPECT_EQ(f.lastWrite(28), FloatBytes({200.0f}));
    std::vector<std::uint8_t> description{18, 2, 28, 0};
    const auto shunt = FloatBytes({5.0f});
    description.insert(description.end(), shunt.begin(), shunt.end());
    EXPECT_EQ(f.lastWrite(400), description);
    EXPECT_EQ(f.lastWrite(408), FloatBytes({0.0f})); // no total value typed
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(f.lastWrite(113), (std::vector<std::uint8_t>{8}));
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{39, 16, 16, 0}));
    EXPECT_EQ(f.lastWrite(114), (std::vector<std::uint8_t>{0}));
    // Mode 28's front end, then the range in mA.
    EXPECT_EQ(f.lastWrite(112), (std::vector<std::uint8_t>{52, 0, 0, 3}));
    EXPECT_EQ(f.floatAt(448), 0.128f);
    EXPECT_EQ(f.floatAt(340), 20.0f);
    EXPECT_EQ(f.floatAt(344), 4.0f);
    EXPECT_FLOAT_EQ(f.floatAt(348), 3.2f);
    EXPECT_EQ(f.floatAt(355), 20.0f);
    EXPECT_EQ(f.floatAt(359), 4.0f);
    EXPECT_EQ(f.floatAt(363), 1.0f);
    EXPECT_EQ(f.eeprom()[339], 39);
    EXPECT_EQ(f.eeprom()[354], 39);
    EXPECT_EQ(f.link.transmitter().state(), sim::RunState::Running);
    EXPECT_EQ(f.progress.back(), 100);
    EXPECT_TRUE(f.model.Poslat.enabled);
}

// The write stores the value it was given, whatever the editor's fields hold meanwhile (a
// field typed into after the confirmation used to reach some blocks and not others).
TEST(WriteSequence, StoresTheValueItWasGivenNotTheFields)
{
    WriteFixture f;
    fillCurrent(f, "5");
    const std::optional<Configuration> confirmed = f.model.configurationForTransfer();
    ASSERT_TRUE(confirmed.has_value());
    f.fill({{"SnOdpor", "50"}, {"Tlumeni", "50"}});
    f.ui().clear();
    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteConfiguration(f.ctx, *confirmed, quick));
    EXPECT_TRUE(f.ui().messages.isEmpty()) << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.floatAt(404), 5.0f);                 // shunt
    EXPECT_EQ(f.floatAt(363), 1.0f);                 // damping as entered
    EXPECT_EQ(f.floatAt(68), dampingCoefficient(1)); // its coefficient
}

// The bar moves with the bytes on the line: from 0 to 100 without going back, in steps no
// larger than one block's share (a Pt100 write used to stand at 29 % through the whole segment
// table and then jump to 82 %), and the read-back of a verified write goes on from where the
// write stands instead of starting again at 0, saying what it does.
TEST(WriteSequence, ProgressFollowsTheBytesOfTheWholeWrite)
{
    for (const bool readBack : {false, true}) {
        SCOPED_TRACE(readBack ? "with read-back" : "write only");
        WriteFixture f;
        fillPt100(f, "0", "100");
        QStringList stages;
        f.ctx.feedback.stage = [&](const QString& text) { stages << text; };
        f.ctx.readBackWrites = readBack;
        f.ui().confirmAnswers = {true};
        f.progress.clear();
        ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick));
        ASSERT_GE(f.progress.size(), 20u);
        EXPECT_EQ(f.progress.front(), 0);
        EXPECT_EQ(f.progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(f.progress.begin(), f.progress.end()));
        int largest = 0;
        for (std::size_t i = 1; i < f.progress.size(); ++i)
            largest = std::max(largest, f.progress[i] - f.progress[i - 1]);
        EXPECT_LE(largest, readBack ? 5 : 8);
        QStringList expected{QStringLiteral("Zápis konfigurace…")};
        if (readBack)
            expected << QStringLiteral("Ověřování zápisu…");
        expected << QString(); // taken back at the end
        EXPECT_EQ(stages, expected);
    }
}

TEST(WriteSequence, Pt100OnOldFirmwareWritesThePolynomial)
{
    sim::SimOptions options;
    options.firmware = 255;
    WriteFixture f(options);
    fillPt100(f, "0", "100");
    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick))
        << f.ui().messages.join('|').toStdString();

    EXPECT_EQ(f.lastWrite(127), (std::vector<std::uint8_t>{4}));
    for (int k = 0; k <= 4; ++k)
        EXPECT_EQ(f.lastWrite(static_cast<std::uint16_t>(128 + 4 * k)).size(), 4u) << k;
    EXPECT_TRUE(f.lastWrite(608).empty());
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{32, 9, 9, 1}));
    EXPECT_EQ(f.model.Label14.caption, QStringLiteral("12"));

    // The stored polynomial gives the temperature from the resistance.
    auto poly = [&](double r) {
        double t = 0;
        for (int k = 0; k <= 4; ++k)
            t = t * r + f.floatAt(128 + 4 * k);
        return t;
    };
    EXPECT_NEAR(poly(100.0), 0.0, 0.01);
    EXPECT_NEAR(poly(119.397), 50.0, 0.01);
    EXPECT_NEAR(poly(138.5), 100.0, 0.01);
}

TEST(WriteSequence, Pt100OnSegmentFirmwareWritesTheTable)
{
    WriteFixture f; // firmware 14
    fillPt100(f, "0", "100");
    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick))
        << f.ui().messages.join('|').toStdString();

    EXPECT_TRUE(f.lastWrite(127).empty());
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(f.lastWrite(static_cast<std::uint16_t>(608 + 20 * k)).size(), 20u) << k;
    EXPECT_EQ(f.lastWrite(1008).size(), 4u);
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{32, 9, 9, 2}));
    EXPECT_NEAR(f.floatAt(608), 100.0, 1e-4);  // first knot at 0 °C
    EXPECT_NEAR(f.floatAt(1008), 138.5, 1e-3); // end at 100 °C
    // Limits stay in °C; the signal limits are in ohms; the overload block holds them reversed.
    EXPECT_EQ(f.floatAt(340), 100.0f);
    EXPECT_EQ(f.floatAt(344), 0.0f);
    EXPECT_NEAR(f.floatAt(387), 96.15, 1e-3);
    EXPECT_NEAR(f.floatAt(391), 151.333, 1e-3);
    EXPECT_NEAR(f.floatAt(448), 151.333, 1e-3);
    EXPECT_NEAR(f.floatAt(452), 96.15, 1e-3);
    EXPECT_EQ(f.eeprom()[402], 1); // 138.5 ohms, four-wire
    EXPECT_EQ(f.eeprom()[113], 4);
    EXPECT_EQ(f.floatAt(363), 2.5f);
}

TEST(WriteSequence, Pt100NotLinearizedStoresOhms)
{
    WriteFixture f;
    fillPt100(f, "0", "100");
    f.fill({{"Linearizace", "nelinearizováno"}});
    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick))
        << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.eeprom()[339], 37);
    EXPECT_NEAR(f.floatAt(344), 100.0, 1e-4);
    EXPECT_NEAR(f.floatAt(340), 138.5, 1e-4);
    EXPECT_NEAR(f.floatAt(60), 100.0, 1e-4);
    EXPECT_NEAR(f.floatAt(64), 138.5, 1e-4);
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{0}));
    EXPECT_TRUE(f.lastWrite(608).empty());
    EXPECT_EQ(f.lastWrite(424), (std::vector<std::uint8_t>{32, 16, 9, 0}));
}

TEST(WriteSequence, OverdrivenInputSendsNothingAtAll)
{
    WriteFixture f;
    // A range the field checks let stand whose front end still cannot take it (a plain voltage
    // range beyond its divider's bounds is refused by those checks before any of this).
    f.fill({{"Vstup", "rozdíl dvou napětí"},
            {"DelPomer", "1"},
            {"CelkovyOdpor", "0.8"},
            {"Linearizace", "nelinearizováno"},
            {"Pocatek", "-0.2"},
            {"Konec", "0.5"},
            {"Tlumeni", "1"},
            {"ChybProud", "nadproud"}});
    f.ui().clear();
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_EQ(f.ui().messages, QStringList{QString::fromUtf8("Přebuzen vstup")});
    EXPECT_TRUE(f.sent().empty());
    EXPECT_TRUE(f.ui().questions.isEmpty());
    EXPECT_TRUE(f.model.Poslat.enabled);
}

TEST(WriteSequence, ForeignTransmitterIsRefusedAfterOneRead)
{
    WriteFixture f;
    f.eeprom()[269] = 248;
    fillCurrent(f, "5");
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_EQ(f.ui().messages, QStringList{QString::fromUtf8("Typ převodníku není VTR8.")});
    EXPECT_EQ(shapes(f.sent()), (std::vector<Shape>{{ReadEeprom, 268, 2}}));
}

TEST(WriteSequence, AnsweringNoSendsNothingAfterTheIdentification)
{
    WriteFixture f;
    fillCurrent(f, "5");
    f.ui().confirmAnswers = {false};
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_EQ(shapes(f.sent()), (std::vector<Shape>{{ReadEeprom, 268, 2}, {ReadEeprom, 262, 2}}));
    EXPECT_TRUE(f.model.Poslat.enabled);
}

TEST(WriteSequence, FailedStopWritesNothing)
{
    WriteFixture f;
    fillCurrent(f, "5");
    f.swallowRequests(3, 5); // every attempt of "Stop"
    f.ui().confirmAnswers = {true};
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_TRUE(f.writes().empty());
    EXPECT_EQ(f.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
    EXPECT_TRUE(f.model.Poslat.enabled);
}

TEST(WriteSequence, FailureMidwayEndsAtOnceAndLeavesTheTransmitterStopped)
{
    WriteFixture f;
    fillCurrent(f, "5");
    // Requests: 268, 262, Stop, 36, 44, 52, 387 -> the eighth (1568) never gets an answer.
    f.swallowRequests(8, 10);
    f.ui().confirmAnswers = {true};
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    const auto sent = f.sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().address, 1568);
    EXPECT_EQ(f.link.transmitter().state(), sim::RunState::Stopped);
    // The link's message, then once what state the transmitter is left in.
    EXPECT_EQ(f.ui().messages,
              (QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")}),
                           IncompleteWriteMessage()}));
}

TEST(WriteSequence, IncompleteConfigurationSendsNothing)
{
    WriteFixture f;
    f.fill({{"Vstup", "proud"}, {"Linearizace", "nelinearizováno"}});
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_TRUE(f.sent().empty());
    EXPECT_FALSE(f.ui().messages.isEmpty());
}

TEST(WriteSequence, PointFileNotYetChosenOpensTheChoiceFirst)
{
    WriteFixture f;
    int chooserCalls = 0;
    f.model.setPointFileChooser([&] {
        ++chooserCalls;
        f.model.OpenDialog1FileName = QStringLiteral("/tmp/body.txt");
        f.points.PointCount = 3;
        f.points.MeasuredInput[1] = 0;
        f.points.RequiredOutput[1] = 0;
        f.points.MeasuredInput[2] = 5;
        f.points.RequiredOutput[2] = 40;
        f.points.MeasuredInput[3] = 10;
        f.points.RequiredOutput[3] = 100;
        f.points.Method = PointFitMethod::StraightLines;
        f.points.PointFileOk = true;
        return true;
    });
    FillVoltage(f, "20", "ze souboru", "100", "vyřazen");
    ASSERT_EQ(chooserCalls, 1);
    // A program change puts the choice back without the dialog, as a configuration read does.
    f.model.PointFileChosen = false;

    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_EQ(chooserCalls, 2);
    EXPECT_TRUE(f.sent().empty());
    EXPECT_TRUE(f.model.PointFileChosen);

    f.ui().confirmAnswers = {true};
    ASSERT_TRUE(WriteEditorConfiguration(f.ctx, f.model, quick))
        << f.ui().messages.join('|').toStdString();
    EXPECT_EQ(f.lastWrite(606), (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(f.lastWrite(608), FloatBytes({0.0f, 0.0f, 0.0f, 8.0f, 0.0f}));
    EXPECT_EQ(f.lastWrite(628), FloatBytes({5.0f, 0.0f, 0.0f, 12.0f, 40.0f}));
    EXPECT_EQ(f.lastWrite(988), f.lastWrite(628)); // record 19 repeats the last segment
    EXPECT_EQ(f.lastWrite(1008), FloatBytes({5.0f}));
    EXPECT_EQ(f.lastWrite(424)[3], 4);
    EXPECT_EQ(f.lastWrite(424)[2], 14);
}

TEST(WriteSequence, NoPointFileNameStopsAtTheCompletenessCheck)
{
    WriteFixture f;
    // Points are in memory (as a configuration read leaves them) but no file was chosen.
    f.model.setPointFileChooser([&] { return f.points.PointFileOk = true; });
    FillVoltage(f, "20", "ze souboru", "100", "vyřazen");
    f.ui().clear();
    EXPECT_FALSE(WriteEditorConfiguration(f.ctx, f.model, quick));
    EXPECT_TRUE(f.sent().empty());
    EXPECT_EQ(f.ui().messages,
              QStringList{QString::fromUtf8("Není vybrán soubor pro linearizaci.")});
}

} // namespace
} // namespace vtr8::test
