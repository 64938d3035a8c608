#include "sim/eeprom.h"
#include "sim/sim_options.h"
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace vtr8 {
namespace {

using test::SimProcess;

// Talks to the simulator's pty with plain POSIX calls.
std::vector<std::uint8_t> Exchange(const QString& device, const QByteArray& request,
                                   std::size_t expected)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return {};
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    [[maybe_unused]] auto n = ::write(fd, request.constData(), static_cast<size_t>(request.size()));
    std::vector<std::uint8_t> reply;
    pollfd p{fd, POLLIN, 0};
    while (reply.size() < expected && ::poll(&p, 1, 1000) > 0) {
        std::uint8_t buffer[64];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        reply.insert(reply.end(), buffer, buffer + got);
    }
    ::close(fd);
    return reply;
}

const QByteArray ReadTypeBytes = QByteArray::fromHex("FFFFFFFFFFFF823ABDEFB1347103010C0212");

TEST(SimExecutable, AnswersOnItsPtyAndLinksItWhereAsked)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    const QString link = dir.filePath("vtr8-port");
    ASSERT_TRUE(QFile::link(dir.filePath("an-earlier-run"), link)); // a link is replaced
    SimProcess sim({"--link", link, "--trace"});
    ASSERT_TRUE(sim.start());
    EXPECT_TRUE(sim.devicePath().startsWith("/dev/pts/"));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.devicePath());

    const auto reply = Exchange(link, ReadTypeBytes, 18);
    ASSERT_EQ(reply.size(), 18u);
    EXPECT_EQ(reply[15], 13);
    EXPECT_EQ(reply[16], 249);

    EXPECT_TRUE(sim.stop());
    const QString trace = sim.errorOutput();
    EXPECT_TRUE(
        trace.contains("-> #1 ReadEEPROM: FF FF FF FF FF FF 82 3A BD EF B1 34 71 03 01 0C 02 12"))
        << trace.toStdString();
    EXPECT_TRUE(trace.contains("<- FF FF FF FF FF 86 3A BD EF B1 34 71 04 00 00 0D F9"));
    EXPECT_FALSE(QFileInfo::exists(link)); // removed on exit
}

TEST(SimExecutable, LoadsAndDumpsItsEEPROM)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    sim::EepromImage image = sim::FactoryEeprom({});
    image[268] = 99;
    image[262] = 3;
    std::string error;
    const QString in = dir.filePath("in.bin");
    const QString out = dir.filePath("out.bin");
    ASSERT_TRUE(sim::DumpEeprom(in.toStdString(), image, error));

    SimProcess sim({"--load", in, "--dump", out, "--firmware", "255"});
    ASSERT_TRUE(sim.start());
    const auto reply = Exchange(sim.devicePath(), ReadTypeBytes, 18);
    ASSERT_EQ(reply.size(), 18u);
    EXPECT_EQ(reply[15], 99);
    // Write 0x42 at 2047.
    const QByteArray write = QByteArray::fromHex("FFFFFFFFFFFF823ABDEFB134720407FF0142");
    QByteArray withChecksum = write;
    char parity = 0;
    for (int i = 6; i < write.size(); ++i)
        parity = static_cast<char>(parity ^ write[i]);
    withChecksum += parity;
    EXPECT_EQ(Exchange(sim.devicePath(), withChecksum, 19).size(), 19u);
    ASSERT_TRUE(sim.stop());

    sim::EepromImage dumped{};
    ASSERT_TRUE(sim::LoadEeprom(out.toStdString(), dumped, error)) << error;
    EXPECT_EQ(dumped[268], 99);
    EXPECT_EQ(dumped[262], 255); // the explicit option wins over the file
    EXPECT_EQ(dumped[2047], 0x42);
}

TEST(SimExecutable, RefusesBadArgumentsAndPathsAtStart)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    const QString precious = dir.filePath("precious.txt");
    {
        QFile f(precious);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    struct Case {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"--fault", "sometimes"}, "bad fault"},
        {{"--fault", "garbage=2000000000"}, "bad fault"},
        {{"--load", "/nonexistent/eeprom.bin"}, "/nonexistent/eeprom.bin"},
        {{"--load", dir.path()}, "not a readable regular file"},
        {{"--load", precious}, "7 bytes, expected 2048"},
        {{"--dump", dir.path()}, "not a regular file"},
        {{"--dump", "/nonexistent/out.bin"}, "not a writable folder"},
        {{"--link", precious}, "not a symbolic link"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess p;
        p.start(SimProcess::executable(), c.arguments);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 2);
        const QByteArray error = p.readAllStandardError();
        EXPECT_TRUE(error.contains(c.message)) << error.toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty()); // no pty was offered
    }
    QFile f(precious);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "keep me");
}

// A client that dies cannot restore what it changed: the pty would stay in exclusive mode (every
// later open by an ordinary user fails) with odd parity as PARODD without PARENB. The simulator
// gives the pty its settings back once the client is gone.
TEST(SimExecutable, RestoresThePtySettingsWhenAClientGoesAway)
{
    test::EnsureCoreApplication();
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    const QByteArray device = sim.devicePath().toLocal8Bit();
    termios before{};
    {
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ::tcgetattr(fd, &before);
        termios odd = before;
        odd.c_cflag |= PARENB | PARODD;
        ::tcsetattr(fd, TCSANOW, &odd);
        ::ioctl(fd, TIOCEXCL);
        ::close(fd); // as a killed client: nothing restored
    }
    termios after{};
    int exclusive = -1;
    for (int i = 0; i < 100; ++i) {
        ::usleep(10000);
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            continue; // EBUSY while still exclusive (not for root)
        ::tcgetattr(fd, &after);
        ::ioctl(fd, TIOCGEXCL, &exclusive);
        ::close(fd);
        if (after.c_cflag == before.c_cflag && exclusive == 0)
            break;
    }
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(Exchange(sim.devicePath(), ReadTypeBytes, 18).size(), 18u);
    EXPECT_TRUE(sim.stop());
}

} // namespace
} // namespace vtr8
