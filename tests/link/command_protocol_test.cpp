#include "link/command_protocol.h"
#include "link/wire_access.h"
#include "scripted_transport.h"
#include "support/core_application.h"
#include "support/simulated_transport.h"
#include "user_interface/scripted_user_interface.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtr8 {
namespace {

using test::RecordingIndicators;
using test::ScriptedTransport;

QByteArray Hex(const std::string& text)
{
    return QByteArray::fromHex(QByteArray::fromStdString(text).replace(' ', ""));
}

const QByteArray SampleReply =
    Hex("FF FF FF FF FF 86 3A BD EF B1 34 01 07 00 00 20 41 C8 00 00 C4");

ScriptedTransport::Reply Whole(const QByteArray& bytes)
{
    return {{bytes}};
}

ScriptedTransport::Reply Silence()
{
    return {};
}

std::vector<int> Data(CommandProtocol& p, int from, int to)
{
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(WireAccess(p).ReplyData[static_cast<std::size_t>(i)]);
    return v;
}

class CommandProtocolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureCoreApplication();
        protocol.setTransport(&transport);
        protocol.setIndicators(&indicators);
        protocol.setTiming(test::FastTiming());
        test::RecordFailures(protocol, ui);
    }

    void readPV()
    {
        WireAccess(protocol).SendCommand("ReadPV");
        WireAccess(protocol).WaitForReply();
    }

    ScriptedUserInterface ui;
    ScriptedTransport transport;
    RecordingIndicators indicators;
    CommandProtocol protocol;
};

TEST_F(CommandProtocolTest, SampleReplySucceedsOnTheFirstAttempt)
{
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(Data(protocol, 1, 7), (std::vector<int>{0x00, 0x00, 0x20, 0x41, 0xC8, 0x00, 0x00}));
    EXPECT_TRUE(ui.messages.isEmpty());
    ASSERT_EQ(transport.writes.size(), 1);
    EXPECT_EQ(transport.writes[0], Hex("FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E"));
    EXPECT_EQ(indicators.zPocPrij, QStringList{"1"});
    ASSERT_FALSE(indicators.prenosByte.isEmpty());
    EXPECT_EQ(indicators.prenosByte.first(), 0);
    EXPECT_EQ(indicators.prenosByte.last(), 100);
    EXPECT_EQ(indicators.prenosByte.count(100), SampleReply.size());
}

TEST_F(CommandProtocolTest, ReplySplitAtEveryPositionGivesTheSameResult)
{
    const QByteArray eepromReply = [] {
        QByteArray r = Hex("FF FF FF FF FF 86 3A BD EF B1 34 71 05 00 00 11 22 33");
        char parity = 0;
        for (int i = 5; i < r.size(); ++i)
            parity = static_cast<char>(parity ^ r[i]);
        return r + parity;
    }();
    // Each reply with the request it answers.
    const std::pair<QByteArray, std::function<void()>> cases[] = {
        {SampleReply, [this] { readPV(); }},
        {eepromReply, [this] { protocol.readEeprom(0x100, 3); }},
    };
    for (const auto& [reply, request] : cases) {
        for (int cut = 1; cut < reply.size(); ++cut) {
            transport.replies.push_back({{reply.left(cut), reply.mid(cut)}});
            request();
            EXPECT_EQ(WireAccess(protocol).CommError, 0) << cut;
            EXPECT_EQ(protocol.lastAttempt(), 1) << cut;
            EXPECT_EQ(WireAccess(protocol).ReplyData[3], static_cast<std::uint8_t>(reply[15]))
                << cut;
        }
        // and byte by byte
        ScriptedTransport::Reply single;
        for (char c : reply)
            single.chunks.push_back(QByteArray(1, c));
        transport.replies.push_back(single);
        request();
        EXPECT_EQ(WireAccess(protocol).CommError, 0);
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(CommandProtocolTest, WrongChecksumFailsWithoutRetry)
{
    QByteArray bad = SampleReply;
    bad[bad.size() - 1] = char(0xC5);
    transport.replies.push_back(Whole(bad));
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 1);
    EXPECT_EQ(ui.messages, QStringList{"Communication"});
    EXPECT_EQ(indicators.zPocPrij, QStringList{"1"});
}

TEST_F(CommandProtocolTest, TimeOutThenGoodReplySucceedsOnAttemptTwo)
{
    transport.replies.push_back(Silence());
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(transport.writes.size(), 2);
    EXPECT_EQ(transport.writes[0], transport.writes[1]);
    EXPECT_EQ(indicators.zPocPrij, (QStringList{"1", "2"}));
    EXPECT_EQ(WireAccess(protocol).ReplyData[3], 0x20);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(CommandProtocolTest, BrokenOffReplyIsRetried)
{
    transport.replies.push_back(Whole(SampleReply.left(12)));
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(protocol.lastAttempt(), 2);
}

TEST_F(CommandProtocolTest, WrongAddressThenTimeOutFailsEvenIfAttemptTwoIsGood)
{
    QByteArray wrong = SampleReply;
    wrong[8] = char(0xEE);
    transport.replies.push_back(Whole(wrong.left(14))); // breaks off after the address
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(transport.writes.size(), 2);
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(ui.messages, QStringList{"Communication"});
    EXPECT_EQ(indicators.zPocPrij, (QStringList{"1", "2"}));
}

TEST_F(CommandProtocolTest, CompleteReplyWithWrongAddressFailsAtOnce)
{
    QByteArray wrong = SampleReply;
    wrong[10] = char(0x35);
    wrong[wrong.size() - 1] = char(0xC4 ^ 0x34 ^ 0x35);
    transport.replies.push_back(Whole(wrong));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 1);
    EXPECT_EQ(ui.messages, QStringList{"Communication"});
}

TEST_F(CommandProtocolTest, ThreeTimeOutsFailWithOneMessage)
{
    QElapsedTimer clock;
    clock.start();
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 3);
    EXPECT_EQ(ui.messages, QStringList{"NoReply COM1"});
    EXPECT_EQ(indicators.zPocPrij, (QStringList{"1", "2", "3"}));
    EXPECT_GE(clock.elapsed(), 3 * test::FastTiming().replyTimeoutMs);
}

TEST_F(CommandProtocolTest, ByteCountZeroEndsByTimeOut)
{
    QByteArray zero = Hex("FF FF 86 3A BD EF B1 34 01 00");
    zero += char(0x86 ^ 0x3A ^ 0xBD ^ 0xEF ^ 0xB1 ^ 0x34 ^ 0x01);
    for (int i = 0; i < 3; ++i)
        transport.replies.push_back(Whole(zero));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 3);
}

TEST_F(CommandProtocolTest, PortThatCannotOpenFailsWithoutRetry)
{
    transport.opens = false;
    protocol.session().setPortIndex(2);
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.openCalls, 1);
    EXPECT_TRUE(transport.writes.isEmpty());
    EXPECT_EQ(ui.messages, QStringList{"PortOpen COM3"});
}

TEST_F(CommandProtocolTest, WriteThatTransfersNothingFailsWithThePortMessage)
{
    transport.writeResult = 0;
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 1);
    EXPECT_EQ(ui.messages, QStringList{"PortWrite"});
}

TEST_F(CommandProtocolTest, APortChosenDuringACommandOrSessionWaitsForItsEnd)
{
    PortSession& session = protocol.session();
    EXPECT_TRUE(session.setPortIndex(1));
    EXPECT_FALSE(session.setPortIndex(8));
    transport.replies.push_back(Silence());
    transport.replies.push_back(Whole(SampleReply));
    // The person picks COM6 while the first attempt waits: the repeat stays on COM2.
    QTimer::singleShot(test::FastTiming().replyTimeoutMs / 2,
                       [&] { EXPECT_FALSE(session.setPortIndex(5)); });
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    transport.replies.push_back(Whole(SampleReply));
    ASSERT_TRUE(session.begin());
    readPV();
    // A session keeps the port it locked; the choice made in it comes after it.
    EXPECT_FALSE(session.setPortIndex(2));
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    session.end();
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    // The session's commands share one open of its port.
    EXPECT_EQ(transport.openedIndices, (QList<int>{1, 1, 5, 2}));
    EXPECT_EQ(session.portIndex(), 2);
}

TEST_F(CommandProtocolTest, ASecondCommandDuringTheWaitIsRefusedAndTheFirstSurvives)
{
    transport.replies.push_back(Silence());
    transport.replies.push_back(Whole(SampleReply));
    int innerError = -1;
    QTimer::singleShot(test::FastTiming().replyTimeoutMs / 2, [&] {
        WireAccess(protocol).TransferBuffer[1] = 0x99;
        WireAccess(protocol).SendCommand("WriteEEPROM", 100, 1);
        WireAccess(protocol).WaitForReply();
        innerError = WireAccess(protocol).CommError;
    });
    readPV();
    EXPECT_EQ(innerError, 1);
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(WireAccess(protocol).ReplyData[3], 0x20);
    ASSERT_EQ(transport.writes.size(), 2);
    EXPECT_EQ(transport.writes[1], Hex("FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E"));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Busy")});
}

TEST_F(CommandProtocolTest, ReplyDataIsClearedByTheNextCommand)
{
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    ASSERT_EQ(WireAccess(protocol).ReplyData[3], 0x20);
    readPV(); // silence
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(WireAccess(protocol).ReplyData[3], 0);
}

TEST_F(CommandProtocolTest, ExtraBytesAfterTheReplyAreIgnored)
{
    transport.replies.push_back(Whole(SampleReply + Hex("00 13 FF")));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
}

TEST_F(CommandProtocolTest, ObserverSeesEveryFrameSentAndTheBytesReceived)
{
    QList<QPair<bool, QByteArray>> seen;
    protocol.setFrameObserver([&](bool out, const QByteArray& bytes) {
        seen.append({out, bytes});
    });
    transport.replies.push_back(Silence());
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    const QByteArray request = Hex("FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E");
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], qMakePair(true, request));
    EXPECT_EQ(seen[1], qMakePair(true, request));
    EXPECT_EQ(seen[2], qMakePair(false, SampleReply));
}

TEST_F(CommandProtocolTest, UnknownCommandFailsWithoutSending)
{
    WireAccess(protocol).SendCommand("readpv");
    WireAccess(protocol).WaitForReply();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_TRUE(transport.writes.isEmpty());
}

// Through the in-process simulated transmitter.

TEST(CommandProtocolWithSimulator, TypedCommandsGiveTheBytesOrTheFailure)
{
    test::EnsureCoreApplication();
    test::SimulatedLink link;
    CommandProtocol& p = link.protocol;
    Bytes written;
    for (int i = 1; i <= 20; ++i)
        written.push_back(static_cast<std::uint8_t>(i * 7));
    ASSERT_TRUE(p.writeEeprom(1040, written));
    const auto read = p.readEeprom(1044, 16);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.value, Bytes(written.begin() + 4, written.end()));
    const auto stop = p.send(Command::Stop);
    EXPECT_TRUE(stop);
    EXPECT_TRUE(stop.value.data.empty());
    EXPECT_TRUE(link.ui.messages.isEmpty());

    // More than a request carries: nothing sent, the usual failure and message.
    const auto sent = link.transport.writes.size();
    EXPECT_EQ(p.writeEeprom(1040, Bytes(26, 1)).failure.error, LinkError::Communication);
    EXPECT_EQ(link.transport.writes.size(), sent);
    link.transport.portExists[3] = false;
    p.session().setPortIndex(3);
    const auto closed = p.readEeprom(0, 2);
    EXPECT_EQ(closed.failure.error, LinkError::PortOpen);
    EXPECT_EQ(closed.failure.portName, QStringLiteral("COM4"));
    EXPECT_TRUE(closed.value.empty());
    p.session().setPortIndex(0);
    p.session().requestAbandon(QStringLiteral("přerušeno"));
    EXPECT_EQ(p.send(Command::Stop).failure.error, LinkError::Abandoned);
    EXPECT_EQ(p.send(Command::Stop).failure.error, LinkError::Abandoned);
    // Each failure told once, in the texts of old.
    EXPECT_EQ(link.ui.messages, (QStringList{"Communication", "PortOpen COM4", "přerušeno"}));
}

TEST(CommandProtocolWithSimulator, ReadOperationsUseTheirCommands)
{
    test::EnsureCoreApplication();
    test::SimulatedLink link;
    link.protocol.readEeprom(268, 2);
    EXPECT_EQ(WireAccess(link.protocol).ReplyData[3], 13);
    EXPECT_EQ(WireAccess(link.protocol).ReplyData[4], 249);
    link.protocol.readRam(0x1234, 4);
    link.protocol.readEeprom2(0x0102, 3);
    EXPECT_EQ(WireAccess(link.protocol).CommError, 0);
    const auto commands = link.commands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0], (std::pair<std::uint8_t, std::vector<std::uint8_t>>{113, {1, 12, 2}}));
    EXPECT_EQ(commands[1], (std::pair<std::uint8_t, std::vector<std::uint8_t>>{111, {0x34, 4}}));
    EXPECT_EQ(commands[2], (std::pair<std::uint8_t, std::vector<std::uint8_t>>{124, {1, 2, 3}}));
}

TEST(CommandProtocolWithSimulator, InjectedFaultsAndRecovery)
{
    test::EnsureCoreApplication();
    struct Case {
        const char* fault;
        int error;
        int attempts;
    };
    const Case cases[] = {
        {"no-reply@1", 0, 2}, {"no-reply@1-2", 0, 3}, {"no-reply", 1, 3},
        {"broken@1", 0, 2},   {"checksum@1", 1, 1},   {"address@1", 1, 1},
        {"extra=4@1", 0, 1},  {"slow=400@1", 0, 2},   {"garbage@1-3", 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        test::SimulatedLink link;
        link.transmitter().faults().add(*sim::ParseFaultRule(c.fault));
        link.protocol.readEeprom(268, 2);
        EXPECT_EQ(WireAccess(link.protocol).CommError, c.error);
        EXPECT_EQ(link.protocol.lastAttempt(), c.attempts);
        EXPECT_EQ(link.transmitter().requests().size(), static_cast<std::size_t>(c.attempts));
        EXPECT_EQ(link.ui.messages.size(), c.error);
        if (c.error == 0) {
            EXPECT_EQ(WireAccess(link.protocol).ReplyData[3], 13);
        }
    }
}

} // namespace
} // namespace vtr8

namespace vtr8 {
namespace {

// A reply to ReadPV with its command byte, byte count and data changed; the checksum follows.
QByteArray Reply(std::uint8_t command, const QByteArray& data)
{
    QByteArray r = Hex("FF FF FF FF FF 86 3A BD EF B1 34");
    r.append(static_cast<char>(command));
    r.append(static_cast<char>(data.size()));
    r.append(data);
    char parity = 0;
    for (int i = 5; i < r.size(); ++i)
        parity = static_cast<char>(parity ^ r[i]);
    return r + parity;
}

TEST_F(CommandProtocolTest, OnlyAMatchingReplyAnswersAndAMismatchIsAskedAgain)
{
    const QByteArray pvData = Hex("00 00 20 41 C8 00 00");
    const struct {
        const char* what;
        QByteArray first;
    } cases[] = {
        {"other command byte", Reply(0x71, pvData)},
        {"no data bytes", Reply(0x01, Hex("00 00"))},
        {"one data byte short", Reply(0x01, Hex("00 00 20 41 C8 00"))},
    };
    for (const auto& c : cases) {
        // Mismatched once: the repeat is answered properly.
        transport.replies.push_back(Whole(c.first));
        transport.replies.push_back(Whole(SampleReply));
        readPV();
        EXPECT_EQ(WireAccess(protocol).CommError, 0) << c.what;
        EXPECT_EQ(protocol.lastAttempt(), 2) << c.what;
        EXPECT_EQ(Data(protocol, 3, 7), (std::vector<int>{0x20, 0x41, 0xC8, 0x00, 0x00})) << c.what;
        // Mismatched every time: a failure, never the mismatched data.
        for (int i = 0; i < 3; ++i)
            transport.replies.push_back(Whole(c.first));
        readPV();
        EXPECT_EQ(WireAccess(protocol).CommError, 1) << c.what;
        EXPECT_EQ(protocol.lastAttempt(), 3) << c.what;
    }
    EXPECT_EQ(ui.messages, QStringList(std::size(cases), QStringLiteral("Communication")));
}

TEST_F(CommandProtocolTest, ReadAndWriteRepliesMustHaveTheirRequestsShape)
{
    // ReadEEPROM(400, 4) answered by a 16-byte read: refused three times.
    const QByteArray longRead = Reply(0x71, QByteArray(18, '\0'));
    for (int i = 0; i < 3; ++i)
        transport.replies.push_back(Whole(longRead));
    protocol.readEeprom(400, 4);
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    // WriteEEPROM echoes the address and count it was given; another echo is no answer.
    WireAccess(protocol).TransferBuffer[1] = 7;
    transport.replies.push_back(Whole(Reply(0x72, Hex("00 00 01 91 01"))));
    transport.replies.push_back(Whole(Reply(0x72, Hex("00 00 01 90 01"))));
    WireAccess(protocol).SendCommand("WriteEEPROM", 400, 1);
    WireAccess(protocol).WaitForReply();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(protocol.lastAttempt(), 2);
}

TEST_F(CommandProtocolTest, TwoAnswersToOneReadAreNoAnswer)
{
    // Two replies of the same shape: either may be the stale one. An exact repeat
    // or noise behind the reply changes nothing.
    const QByteArray other = Reply(0x01, Hex("00 00 21 00 00 00 00"));
    transport.replies.push_back(Whole(other + SampleReply));
    transport.replies.push_back(Whole(SampleReply + SampleReply + Hex("00 13"))); // the repeat
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 0);
    EXPECT_EQ(protocol.lastAttempt(), 2);
    EXPECT_EQ(Data(protocol, 3, 7), (std::vector<int>{0x20, 0x41, 0xC8, 0x00, 0x00}));
}

// A transmitter whose EEPROM byte at address a is a % 251, answering ReadEEPROM
// with its replies held back or repeated as the line of a faulty one would.
struct LineFault {
    const char* what;
    int lateMs;      // every reply this late
    int duplicateOf; // the reply to this request (1-based, every attempt) comes again
    int duplicateAfterMs;
};

QByteArray BuildFrameText(std::uint16_t address, std::uint8_t count)
{
    std::array<std::uint8_t, 26> none{};
    const auto frame = BuildTxFrame("ReadEEPROM", address, count, none);
    const auto wire = frame.wire();
    return QByteArray(reinterpret_cast<const char*>(wire.data()), qsizetype(wire.size()));
}

QByteArray EepromReply(const QByteArray& request)
{
    const int address =
        (static_cast<std::uint8_t>(request[14]) << 8) | static_cast<std::uint8_t>(request[15]);
    QByteArray data = Hex("00 00");
    for (int i = 0; i < static_cast<std::uint8_t>(request[16]); ++i)
        data.append(static_cast<char>((address + i) % 251));
    return Reply(0x71, data);
}

TEST_F(CommandProtocolTest, ALateOrRepeatedReplyNeverAnswersALaterRead)
{
    LinkTiming timing = test::FastTiming();
    timing.replyTimeoutMs = 60;
    timing.drainQuietMs = timing.replyTimeoutMs * 5 / 2;
    protocol.setTiming(timing);
    const int timeout = timing.replyTimeoutMs;
    const LineFault faults[] = {
        {"replies 1.1 times the time-out late", timeout * 11 / 10, 0, 0},
        {"replies 1.5 times the time-out late", timeout * 3 / 2, 0, 0},
        {"replies 2.3 times the time-out late", timeout * 23 / 10, 0, 0},
        {"the 1st reply again a fifth of the time-out later", 0, 1, timeout / 5},
        {"the 2nd reply again three fifths of the time-out later", 0, 2, timeout * 3 / 5},
        {"the 3rd reply again right behind it", 0, 3, 0},
    };
    std::deque<ScriptedTransport> lines; // outlive the protocol's use of them
    for (const LineFault& fault : faults) {
        ScriptedTransport& line = lines.emplace_back();
        line.keepBytesOnClose = true;
        int requests = 0;
        line.responder = [&](const QByteArray& request) {
            const QByteArray reply = EepromReply(request);
            std::vector<ScriptedTransport::Reply> replies{{{reply}, fault.lateMs}};
            if (++requests == fault.duplicateOf)
                replies.push_back({{reply}, fault.lateMs + fault.duplicateAfterMs});
            return replies;
        };
        protocol.setTransport(&line);
        int answered = 0;
        for (int address = 100; address < 148; address += 12) {
            protocol.readEeprom(static_cast<std::uint16_t>(address), 12);
            if (WireAccess(protocol).CommError != 0)
                continue;
            ++answered;
            for (int i = 0; i < 12; ++i)
                EXPECT_EQ(WireAccess(protocol).ReplyData[static_cast<std::size_t>(3 + i)],
                          (address + i) % 251)
                    << fault.what << ", read at " << address << ", byte " << i;
        }
        // A repeat of the request is answered by its own late reply, and the
        // duplicate costs at most the read it fell into.
        EXPECT_GE(answered, fault.lateMs > 2 * timeout ? 0 : 3) << fault.what;
    }
    protocol.setTransport(&transport);
}

TEST_F(CommandProtocolTest, AReadReplyFollowedByExactlyOneIdenticalCopyStands)
{
    // The copy in the reply's own chunk, in the next one, or only after the command ended:
    // the read keeps its data, and the copy costs the next read neither a repeat nor a drain.
    LinkTiming timing = test::FastTiming();
    timing.drainQuietMs = 1500;
    protocol.setTiming(timing);
    const QByteArray first = EepromReply(BuildFrameText(400, 4));
    const QByteArray second = EepromReply(BuildFrameText(404, 4));
    const std::vector<ScriptedTransport::Reply> copies[] = {
        {Whole(first + first)},
        {{{first, first}}},
        {{{first, QByteArray(), QByteArray(), first}}},
    };
    for (const auto& reply : copies) {
        transport.replies.assign(reply.begin(), reply.end());
        transport.replies.push_back(Whole(second));
        const int before = static_cast<int>(transport.writes.size());
        const LinkResult<Bytes> a = protocol.readEeprom(400, 4);
        QElapsedTimer clock;
        clock.start();
        const LinkResult<Bytes> b = protocol.readEeprom(404, 4);
        EXPECT_LT(clock.elapsed(), timing.drainQuietMs / 2);
        ASSERT_TRUE(a.ok() && b.ok()) << ui.messages.join('|').toStdString();
        EXPECT_EQ(a.value, (Bytes{400 % 251, 401 % 251, 402 % 251, 403 % 251}));
        EXPECT_EQ(b.value, (Bytes{404 % 251, 405 % 251, 406 % 251, 407 % 251}));
        EXPECT_EQ(transport.writes.size(), before + 2);
    }
}

TEST_F(CommandProtocolTest, AbandonLetsTheCommandInFlightEndAndStopsEverythingAfter)
{
    // Abandoned while the first attempt waits in vain: no second attempt.
    QTimer::singleShot(5, &protocol,
                       [this] { protocol.session().requestAbandon(QStringLiteral("přerušeno")); });
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 1);
    transport.replies.push_back(Whole(SampleReply));
    readPV();
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(transport.writes.size(), 1);
    EXPECT_FALSE(protocol.session().begin());
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("přerušeno")});
}

TEST_F(CommandProtocolTest, QuittingTheApplicationFailsTheWaitAndWhatFollows)
{
    // After quit() every nested event loop returns at once; none of that is a reply.
    QTimer::singleShot(5, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        readPV();
        EXPECT_EQ(WireAccess(protocol).CommError, 1);
        const auto writes = transport.writes.size();
        readPV();
        EXPECT_EQ(WireAccess(protocol).CommError, 1);
        EXPECT_EQ(transport.writes.size(), writes); // nothing sent unanswered
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    EXPECT_LE(transport.writes.size(), 1);
}

TEST_F(CommandProtocolTest, OneSessionAtATime)
{
    ASSERT_TRUE(protocol.session().begin());
    EXPECT_FALSE(protocol.session().begin());
    protocol.session().end();
    EXPECT_TRUE(protocol.session().begin());
    protocol.session().end();
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("Busy")});
}

} // namespace
} // namespace vtr8
