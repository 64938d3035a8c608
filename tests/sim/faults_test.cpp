#include "link/frame.h"
#include "link/reply_parser.h"
#include "sim/fault_plan.h"
#include "sim/sim_command_line.h"
#include "sim/transmitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace vtr8::sim {
namespace {

std::vector<std::uint8_t> ReadTypeBytes()
{
    const auto frame = BuildTxFrame("ReadEEPROM", 268, 2, {});
    return {frame.wire().begin(), frame.wire().end()};
}

ReplyParser Parsed(const std::vector<std::uint8_t>& reply)
{
    ReplyParser parser;
    parser.Clear();
    for (std::uint8_t b : reply)
        parser.ProcessReplyByte(b);
    return parser;
}

TEST(FaultRule, ParsesKindsParametersAndSelections)
{
    struct Case {
        const char* text;
        FaultKind kind;
        int param, first, last;
    };
    const Case cases[] = {
        {"no-reply", FaultKind::NoReply, -1, 1, 0},
        {"no-reply@2", FaultKind::NoReply, -1, 2, 2},
        {"broken=7@1-3", FaultKind::BrokenReply, 7, 1, 3},
        {"checksum@4-", FaultKind::BadChecksum, -1, 4, 0},
        {"address@every", FaultKind::WrongAddress, -1, 1, 0},
        {"garbage=0", FaultKind::Garbage, 0, 1, 0},
        {"slow=1200@5", FaultKind::Slow, 1200, 5, 5},
        {"extra=2", FaultKind::ExtraBytes, 2, 1, 0},
        {"late@3", FaultKind::LateDuplicate, -1, 3, 3},
        {"command=5", FaultKind::OtherCommand, 5, 1, 0},
        {"short=1@2-", FaultKind::ShortCount, 1, 2, 0},
        {"garbage=4096@2", FaultKind::Garbage, 4096, 2, 2},
        {"slow=600000", FaultKind::Slow, 600000, 1, 0},
    };
    for (const Case& c : cases) {
        const auto rule = ParseFaultRule(c.text);
        ASSERT_TRUE(rule) << c.text;
        EXPECT_EQ(rule->kind, c.kind) << c.text;
        EXPECT_EQ(rule->param, c.param) << c.text;
        EXPECT_EQ(rule->first, c.first) << c.text;
        EXPECT_EQ(rule->last, c.last) << c.text;
    }
    for (const char* bad :
         {"", "noreply", "slow=", "slow=x", "slow=-5", "checksum@0", "checksum@3-2", "checksum@a",
          "extra=1@", "no-reply@1-x", "garbage=2000000000", "extra=4097", "broken=4097",
          "slow=600001", "slow=2147483648"})
        EXPECT_FALSE(ParseFaultRule(bad)) << bad;
}

TEST(FaultPlan, EachKindDamagesTheReplyAsNamed)
{
    Transmitter clean;
    const auto good = clean.feed(ReadTypeBytes()).at(0).bytes;

    auto run = [](const char* rule) {
        Transmitter t;
        t.faults().add(*ParseFaultRule(rule));
        return t.feed(ReadTypeBytes());
    };

    EXPECT_TRUE(run("no-reply").empty());

    auto broken = run("broken");
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].bytes.size(), good.size() / 2);
    EXPECT_FALSE(Parsed(broken[0].bytes).ReplyComplete);
    EXPECT_EQ(run("broken=3")[0].bytes.size(), 3u);

    const auto checksum = Parsed(run("checksum")[0].bytes);
    EXPECT_TRUE(checksum.ReplyComplete);
    EXPECT_TRUE(checksum.ChecksumError);

    const auto address = Parsed(run("address")[0].bytes);
    EXPECT_TRUE(address.FrameError);

    EXPECT_EQ(run("garbage")[0].bytes.size(), 12u);
    EXPECT_NE(run("garbage")[0].bytes, good);

    const auto slow = run("slow=250");
    EXPECT_EQ(slow[0].delayMs, 250);
    EXPECT_EQ(slow[0].bytes, good);
    EXPECT_EQ(run("slow")[0].delayMs, 1500);

    const auto extra = run("extra=4")[0].bytes;
    ASSERT_EQ(extra.size(), good.size() + 4);
    EXPECT_TRUE(std::equal(good.begin(), good.end(), extra.begin()));
}

TEST(FaultPlan, WellFormedRepliesThatAnswerAnotherRequest)
{
    Transmitter clean;
    const auto good = clean.feed(ReadTypeBytes()).at(0).bytes;
    auto run = [](const char* rule) {
        Transmitter t;
        t.faults().add(*ParseFaultRule(rule));
        return t.feed(ReadTypeBytes());
    };

    const auto late = run("late=30");
    ASSERT_EQ(late.size(), 2u);
    EXPECT_EQ(late[0].bytes, good);
    EXPECT_EQ(late[1].bytes, good);
    EXPECT_EQ(late[1].delayMs, 30);

    // Both are complete replies with a good checksum, only not the ones asked for.
    const auto command = Parsed(run("command")[0].bytes);
    EXPECT_TRUE(command.ReplyComplete);
    EXPECT_FALSE(command.ChecksumError);
    EXPECT_EQ(command.ReceivedCommand, 114);
    const auto shortReply = Parsed(run("short")[0].bytes);
    EXPECT_TRUE(shortReply.ReplyComplete);
    EXPECT_FALSE(shortReply.ChecksumError);
    EXPECT_EQ(shortReply.ByteCount, 2);
}

TEST(FaultPlan, DuplicateSendsThePreviousReplyAtOnceBeforeTheAnswer)
{
    Transmitter t;
    t.faults().add(*ParseFaultRule("duplicate@2-"));
    const auto first = t.feed(ReadTypeBytes());
    ASSERT_EQ(first.size(), 1u); // nothing before it to copy
    const auto frame = BuildTxFrame("ReadEEPROM", 262, 2, {});
    const auto second = t.feed({frame.wire().begin(), frame.wire().end()});
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].bytes, first[0].bytes);
    EXPECT_TRUE(second[0].burst);
    EXPECT_FALSE(second[1].burst);
    EXPECT_NE(second[1].bytes, first[0].bytes);
    EXPECT_EQ(Parsed(second[1].bytes).ReplyData[3], 14); // the firmware number at 262
}

TEST(FaultPlan, RulesSelectRequestsByNumberAndCombine)
{
    Transmitter t;
    t.faults().add(*ParseFaultRule("no-reply@2-3"));
    t.faults().add(*ParseFaultRule("slow=100@3-"));
    std::vector<bool> answered;
    std::vector<int> delays;
    for (int i = 0; i < 5; ++i) {
        const auto r = t.feed(ReadTypeBytes());
        answered.push_back(!r.empty());
        delays.push_back(r.empty() ? -1 : r[0].delayMs);
    }
    EXPECT_EQ(answered, (std::vector<bool>{true, false, false, true, true}));
    EXPECT_EQ(delays, (std::vector<int>{0, -1, -1, 100, 100}));

    // Delays of several rules add up, but no further than the bound.
    Transmitter late;
    late.faults().add(*ParseFaultRule("slow=600000"));
    late.faults().add(*ParseFaultRule("slow=600000"));
    late.faults().add({FaultKind::Slow, 2147483647, 1, 0});
    EXPECT_EQ(late.feed(ReadTypeBytes()).at(0).delayMs, MaxFaultDelayMs);
    ASSERT_EQ(t.requests().size(), 5u);
    EXPECT_FALSE(t.requests()[1].answered);
    EXPECT_TRUE(t.requests()[3].answered);
}

TEST(FaultPlan, StoreFaultChangesTheStoredByteButNotTheEcho)
{
    const auto write = [](Transmitter& t, std::uint16_t address) {
        std::array<std::uint8_t, 26> buffer{};
        buffer[1] = 0x81; // 1.0
        const auto frame = BuildTxFrame("WriteEEPROM", address, 4, buffer);
        return t.feed(std::vector<std::uint8_t>(frame.wire().begin(), frame.wire().end()));
    };
    struct Case {
        const char* rule;
        std::vector<std::uint8_t> firstStore, secondStore; // bytes 100..103 after each write
    };
    const Case cases[] = {
        {"store=102", {0x81, 0, 1, 0}, {0x81, 0, 1, 0}},
        {"store-once=100", {0x80, 0, 0, 0}, {0x81, 0, 0, 0}},
        {"store=200", {0x81, 0, 0, 0}, {0x81, 0, 0, 0}},
        {"store-once=100@2-", {0x81, 0, 0, 0}, {0x80, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Transmitter t;
        Transmitter clean;
        t.faults().add(*ParseFaultRule(c.rule));
        for (const auto* expected : {&c.firstStore, &c.secondStore}) {
            const auto replies = write(t, 100);
            ASSERT_EQ(replies.size(), 1u);
            EXPECT_EQ(replies[0].bytes, write(clean, 100).at(0).bytes) << c.rule;
            EXPECT_TRUE(std::equal(expected->begin(), expected->end(), t.eeprom().begin() + 100))
                << c.rule;
        }
    }
    EXPECT_FALSE(ParseFaultRule("store"));
    EXPECT_FALSE(ParseFaultRule("store-once"));
}

TEST(SimCommandLine, OptionsAndErrors)
{
    SimCommandLine c;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({"--link",   "/tmp/x",  "--eeprom",    "in.bin",     "--dump",
                                     "out.bin",  "--trace", "--pace",      "--firmware", "255",
                                     "--relays", "1",       "--nast-code", "9",          "--input",
                                     "-12.5",    "--fault", "no-reply@1",  "--fault",    "slow=5"},
                                    c, error))
        << error;
    EXPECT_EQ(c.linkPath, "/tmp/x");
    EXPECT_EQ(c.loadPath, "in.bin");
    EXPECT_EQ(c.dumpPath, "out.bin");
    EXPECT_TRUE(c.trace && c.pace);
    EXPECT_EQ(c.options.firmware, 255);
    EXPECT_TRUE(c.firmwareGiven);
    EXPECT_TRUE(c.options.relays);
    EXPECT_FALSE(c.options.secondRelay);
    EXPECT_EQ(c.options.nastResponseCode, 9);
    EXPECT_EQ(c.options.input, -12.5);
    EXPECT_EQ(c.faults.size(), 2u);

    SimCommandLine d;
    ASSERT_TRUE(ParseSimCommandLine({"--no-relays"}, d, error));
    EXPECT_FALSE(d.options.relays);
    EXPECT_TRUE(d.relaysGiven);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--firmware", "256"},
                                               {"--firmware"},
                                               {"--relays", "3"},
                                               {"--input", "1,5"},
                                               {"--fault", "sometimes"},
                                               {"--verbose"}}) {
        SimCommandLine e;
        EXPECT_FALSE(ParseSimCommandLine(bad, e, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace vtr8::sim
