#include "link/comm_port_driver.h"
#include "link/command_protocol.h"
#include "link/reply_parser.h"
#include "link/wire_access.h"
#include "support/core_application.h"
#include "support/sim_process.h"
#include "support/simulated_transport.h"
#include "user_interface/scripted_user_interface.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace vtr8 {
namespace {

using test::SimProcess;

const QByteArray ReadPVRequest = QByteArray::fromHex("FFFFFFFFFFFF823ABDEFB13401006E");

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class PtyLinkTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureCoreApplication(); }
};

TEST_F(PtyLinkTest, DriverOpensWritesAndPollsTheSimulator)
{
    SimProcess sim({"--input", "25"});
    ASSERT_TRUE(sim.start());

    TCommPortDriver driver;
    EXPECT_EQ(driver.pollingDelay(), 50);
    EXPECT_EQ(driver.WriteData(reinterpret_cast<const std::uint8_t*>(ReadPVRequest.constData()),
                               static_cast<int>(ReadPVRequest.size())),
              0);

    driver.prepare(0, sim.devicePath());
    ASSERT_TRUE(driver.OpenPort());
    EXPECT_TRUE(driver.IsPortOpen());
    EXPECT_EQ(driver.serialPort().baudRate(), 2400);
    EXPECT_EQ(driver.serialPort().dataBits(), QSerialPort::Data8);
    EXPECT_EQ(driver.serialPort().parity(), QSerialPort::OddParity);
    EXPECT_EQ(driver.serialPort().stopBits(), QSerialPort::OneStop);

    // A pty may refuse the control lines; the port must stay usable.
    driver.SetDtr(true);
    driver.SetRts(true);
    EXPECT_EQ(driver.serialPort().error(), QSerialPort::NoError);

    // Open ports keep their port and are not reopened.
    driver.prepare(7, {});
    EXPECT_EQ(driver.portSystemName(), sim.devicePath());
    EXPECT_TRUE(driver.OpenPort());

    QByteArray received;
    int events = 0;
    driver.setReceiveHandler([&](const std::uint8_t* data, int size) {
        EXPECT_GT(size, 0);
        ++events;
        received.append(reinterpret_cast<const char*>(data), size);
    });

    Wait(200);
    EXPECT_EQ(events, 0); // polls that find nothing raise nothing

    EXPECT_EQ(driver.WriteData(reinterpret_cast<const std::uint8_t*>(ReadPVRequest.constData()),
                               static_cast<int>(ReadPVRequest.size())),
              ReadPVRequest.size());
    QElapsedTimer clock;
    clock.start();
    while (received.size() < 21 && clock.elapsed() < 2000)
        Wait(10);
    // A whole, well-formed "ReadPV" reply: preamble, long address, 7 data bytes.
    ASSERT_EQ(received.size(), 21);
    EXPECT_TRUE(received.startsWith(QByteArray::fromHex("FFFFFFFFFF863ABDEFB134010700")));
    ReplyParser parser;
    parser.Clear();
    for (char c : received)
        parser.ProcessReplyByte(static_cast<std::uint8_t>(c));
    EXPECT_TRUE(parser.ReplyComplete);
    EXPECT_FALSE(parser.ChecksumError || parser.FrameError);
    const int eventsAfterReply = events;
    Wait(200);
    EXPECT_EQ(events, eventsAfterReply);

    driver.ClosePort();
    EXPECT_FALSE(driver.IsPortOpen());
    clock.restart();
    EXPECT_EQ(driver.WriteData(reinterpret_cast<const std::uint8_t*>(ReadPVRequest.constData()),
                               static_cast<int>(ReadPVRequest.size())),
              0);
    EXPECT_LT(clock.elapsed(), 50);
    EXPECT_TRUE(sim.stop());
}

TEST_F(PtyLinkTest, DriverOpensNoTerminalThatIsNoSerialLine)
{
    TCommPortDriver driver;
    for (const char* path : {"/dev/vtr8-no-such-port", "/dev/ptmx", "/dev/tty"}) {
        driver.prepare(0, QString::fromLatin1(path));
        EXPECT_FALSE(driver.OpenPort()) << path;
        EXPECT_FALSE(driver.IsPortOpen()) << path;
    }
}

// A bare pty pair: the test plays the far end on the master.
struct PtyPair {
    int master = -1;
    QString slave;
    PtyPair()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        termios t{};
        tcgetattr(master, &t);
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
        slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~PtyPair()
    {
        if (master >= 0)
            close(master);
    }
    void send(const QByteArray& bytes) const
    {
        [[maybe_unused]] auto n =
            write(master, bytes.constData(), static_cast<size_t>(bytes.size()));
    }
};

TEST_F(PtyLinkTest, ItemEightOpensTheEighthPortAndTheLineSettings)
{
    PtyPair pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    qputenv("VTR8_COM8", pty.slave.toLocal8Bit());
    TCommPortDriver driver;
    driver.prepare(7, {});
    ASSERT_TRUE(driver.OpenPort());
    EXPECT_TRUE(pty.slave.endsWith(driver.serialPort().portName()));
    qunsetenv("VTR8_COM8");
    EXPECT_EQ(driver.serialPort().baudRate(), 2400);
    EXPECT_EQ(driver.serialPort().dataBits(), QSerialPort::Data8);
    EXPECT_EQ(driver.serialPort().parity(), QSerialPort::OddParity);
    EXPECT_EQ(driver.serialPort().stopBits(), QSerialPort::OneStop);
    EXPECT_EQ(driver.serialPort().flowControl(), QSerialPort::NoFlowControl);

    QByteArray received;
    driver.setReceiveHandler([&](const std::uint8_t* data, int size) {
        received.append(reinterpret_cast<const char*>(data), size);
    });
    pty.send("abc");
    Wait(150);
    EXPECT_EQ(received, QByteArray("abc"));

    // A new polling period takes effect on the open port.
    driver.setReceiveOnArrival(false);
    driver.setPollingDelay(10);
    EXPECT_EQ(driver.pollingDelay(), 10);
    received.clear();
    pty.send("x");
    Wait(60);
    EXPECT_EQ(received, QByteArray("x"));
}

// The far end answers "ReadPV" with one write once the whole request is in. With bytes handed
// on as they arrive, the reply reaches the parser long before a polling tick 1 s away; with
// the polling timer alone, the command still completes.
TEST_F(PtyLinkTest, ReplyGoesOnAsItArrivesAndPollingAloneStillCompletesTheCommand)
{
    const QByteArray reply = QByteArray::fromHex("FFFFFFFFFF863ABDEFB134010700002041C80000C4");
    struct Case {
        bool onArrival;
        int pollMs;
        qint64 handOnWithinMs;
    };
    for (const Case c : {Case{true, 1000, 250}, Case{false, 50, 500}}) {
        SCOPED_TRACE(c.onArrival ? "on arrival" : "polling alone");
        PtyPair pty;
        ASSERT_FALSE(pty.slave.isEmpty());
        ScriptedUserInterface ui;
        CommandProtocol protocol;
        test::RecordFailures(protocol, ui);
        LinkTiming timing;
        timing.pollMs = c.pollMs;
        protocol.setTiming(timing);
        protocol.session().setDevicePath(pty.slave);
        protocol.serialDriver().setReceiveOnArrival(c.onArrival);

        QByteArray request;
        QElapsedTimer sinceReply;
        qint64 handedOnAfter = -1;
        QSocketNotifier farEnd(pty.master, QSocketNotifier::Read);
        QObject::connect(&farEnd, &QSocketNotifier::activated, [&] {
            char buffer[64];
            const auto n = read(pty.master, buffer, sizeof buffer);
            if (n <= 0)
                return;
            request.append(buffer, static_cast<qsizetype>(n));
            if (request == ReadPVRequest) {
                pty.send(reply);
                sinceReply.start();
            }
        });
        WireAccess(protocol).SendCommand("ReadPV");
        WireAccess(protocol).WaitForReply();
        if (sinceReply.isValid())
            handedOnAfter = sinceReply.elapsed();
        EXPECT_EQ(WireAccess(protocol).CommError, 0) << ui.messages.join('|').toStdString();
        EXPECT_EQ(protocol.lastAttempt(), 1);
        EXPECT_EQ(WireAccess(protocol).ReplyData[4], 0x41);
        EXPECT_GE(handedOnAfter, 0);
        EXPECT_LT(handedOnAfter, c.handOnWithinMs);
        protocol.closePort();
    }
}

TEST_F(PtyLinkTest, ProtocolReadsAndWritesOverThePtyWithDefaultTiming)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    qputenv("VTR8_COM5", sim.devicePath().toLocal8Bit());
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    protocol.session().setPortIndex(4);

    QElapsedTimer clock;
    clock.start();
    protocol.readEeprom(512, 15);
    const qint64 elapsed = clock.elapsed();
    ASSERT_EQ(WireAccess(protocol).CommError, 0) << ui.messages.join('|').toStdString();
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(WireAccess(protocol).ReplyData[static_cast<std::size_t>(3 + k)], ' ') << k;
    EXPECT_EQ(protocol.lastAttempt(), 1);
    std::cout << "[ measure  ] ReadEEPROM 512/15 over a pty, default timing: " << elapsed
              << " ms\n";
    RecordProperty("ReadEEPROM_ms", static_cast<int>(elapsed));

    const char note[] = "Kotelna 2, čidlo";
    for (int i = 1; i <= 20; ++i)
        WireAccess(protocol).TransferBuffer[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(i <= 16 ? note[i - 1] : ' ');
    WireAccess(protocol).SendCommand("WriteEEPROM", 512, 20);
    WireAccess(protocol).WaitForReply();
    ASSERT_EQ(WireAccess(protocol).CommError, 0);
    protocol.readEeprom(512, 16);
    ASSERT_EQ(WireAccess(protocol).CommError, 0);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(WireAccess(protocol).ReplyData[static_cast<std::size_t>(3 + k)],
                  static_cast<std::uint8_t>(note[k]));
    EXPECT_TRUE(ui.messages.isEmpty());
    qunsetenv("VTR8_COM5");
    protocol.closePort();
    EXPECT_TRUE(sim.stop());
}

// A by-id style link whose name alone is near the file system's limit opens the device.
TEST_F(PtyLinkTest, ALongLinkToThePortOpensIt)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    const QString link = dir.filePath(QString(240, QLatin1Char('p')));
    ASSERT_TRUE(QFile::link(sim.devicePath(), link));
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    protocol.session().setDevicePath(link);
    EXPECT_TRUE(protocol.readEeprom(268, 2).ok());
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_F(PtyLinkTest, MissingPortIsReportedOnceWithItsName)
{
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    QElapsedTimer clock;
    clock.start();
    protocol.session().setDevicePath(QStringLiteral("/dev/vtr8-no-such-port"));
    protocol.readEeprom(268, 2);
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(ui.messages, QStringList{"PortMissing /dev/vtr8-no-such-port"});
    EXPECT_LT(clock.elapsed(), 500);

#ifndef Q_OS_WIN
    ui.clear();
    protocol.session().setDevicePath({});
    qputenv("VTR8_COM2", "/dev/vtr8-no-such-port");
    protocol.session().setPortIndex(1);
    protocol.readEeprom(268, 2);
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(ui.messages, QStringList{"PortMissing COM2 (/dev/vtr8-no-such-port)"});
    qunsetenv("VTR8_COM2");
#endif
}

TEST_F(PtyLinkTest, NeverAnsweredCommandTakesThreeSecondsWithoutSpinning)
{
    SimProcess sim({"--fault", "no-reply"});
    ASSERT_TRUE(sim.start());
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    protocol.session().setDevicePath(sim.devicePath());

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(100);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();

    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    protocol.readEeprom(268, 2);
    const qint64 elapsed = clock.elapsed();
    const double cpu = CpuSeconds() - cpuBefore;

    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(protocol.lastAttempt(), 3);
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("NoReply ") + sim.devicePath()});
    EXPECT_GE(elapsed, 3000 + 3 * (20 + 40));
    EXPECT_LT(elapsed, 3800);
    EXPECT_GE(ticks, 25); // the event loop kept running
    const double share = cpu / (static_cast<double>(elapsed) / 1000.0);
    EXPECT_LT(share, 0.10);
    std::cout << "[ measure  ] unanswered command: " << elapsed << " ms, CPU " << cpu * 1000
              << " ms (" << share * 100 << " % of one core), " << ticks << " timer ticks\n";
    protocol.closePort();
    EXPECT_TRUE(sim.stop());
}

TEST_F(PtyLinkTest, SimulatorThatVanishesGivesAMessageNotAHang)
{
    auto sim = std::make_unique<SimProcess>();
    ASSERT_TRUE(sim->start());
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    LinkTiming timing;
    timing.replyTimeoutMs = 300;
    protocol.setTiming(timing);
    protocol.session().setDevicePath(sim->devicePath());
    protocol.readEeprom(268, 2);
    ASSERT_EQ(WireAccess(protocol).CommError, 0);
    sim.reset(); // SIGTERM: the pty goes away while our port is open

    QElapsedTimer clock;
    clock.start();
    protocol.readEeprom(268, 2);
    EXPECT_EQ(WireAccess(protocol).CommError, 1);
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_LT(clock.elapsed(), 2000);
}

// The port is another program's to take as soon as a transfer ends, on success and on
// failure alike; while the transfer runs, it is refused.
TEST_F(PtyLinkTest, PortIsFreeForAnotherProgramRightAfterATransfer)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ScriptedUserInterface ui;
    CommandProtocol first;
    test::RecordFailures(first, ui);
    LinkTiming quick;
    quick.drainQuietMs = 100;
    first.setTiming(quick);
    first.session().setDevicePath(sim.devicePath());
    const auto otherOpens = [&] {
        QSerialPort other(sim.devicePath());
        const bool opened = other.open(QIODevice::ReadWrite);
        other.close();
        return opened;
    };
    for (const std::uint16_t address : {268, 4095}) { // the second read is refused (no reply)
        ASSERT_TRUE(first.session().begin());
        EXPECT_EQ(first.readEeprom(address, 2).ok(), address == 268);
        EXPECT_TRUE(first.serialDriver().IsPortOpen());
        EXPECT_FALSE(otherOpens()) << address;
        // A program that does not take this program's lock is refused by the system, and that
        // is told as the port being in use, not as a port that cannot be opened.
        CommandProtocol intruder;
        intruder.session().setDevicePath(sim.devicePath());
        EXPECT_EQ(intruder.readEeprom(268, 2).failure.error, LinkError::PortInUse) << address;
        first.session().end();
        EXPECT_FALSE(first.serialDriver().IsPortOpen()) << address;
        EXPECT_TRUE(otherOpens()) << address;

        CommandProtocol second;
        test::RecordFailures(second, ui);
        second.session().setDevicePath(sim.devicePath());
        ASSERT_TRUE(second.session().begin()) << ui.messages.join('|').toStdString();
        EXPECT_TRUE(second.readEeprom(268, 2).ok());
        second.session().end();
    }
    // A command outside a session lets the port go at once.
    EXPECT_TRUE(first.readEeprom(268, 2).ok());
    EXPECT_TRUE(otherOpens());
    EXPECT_TRUE(sim.stop());
}

TEST_F(PtyLinkTest, PacedSimulatorTakesTheWireTime)
{
    SimProcess sim({"--pace"});
    ASSERT_TRUE(sim.start());
    ScriptedUserInterface ui;
    CommandProtocol protocol;
    test::RecordFailures(protocol, ui);
    protocol.session().setDevicePath(sim.devicePath());
    QElapsedTimer clock;
    clock.start();
    protocol.readEeprom(512, 15);
    const qint64 elapsed = clock.elapsed();
    ASSERT_EQ(WireAccess(protocol).CommError, 0);
    // 18 request bytes and 33 reply bytes at 4.58 ms each.
    EXPECT_GE(elapsed, (18 + 33) * 4.58);
    std::cout << "[ measure  ] ReadEEPROM 512/15 over a pty at 2400 baud pace: " << elapsed
              << " ms\n";
    protocol.closePort();
    EXPECT_TRUE(sim.stop());
}

} // namespace
} // namespace vtr8
