// "Najít převodník" against two vtr8-sim programs, a silent pty and a port another
// program holds.
#include "device/memory_map.h"
#include "link/port_lock.h"
#include "sim/eeprom.h"
#include "sim/sim_options.h"
#include "support/core_application.h"
#include "support/sim_process.h"
#include "transfer/note_codec.h"
#include "transfer/transmitter_search.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace vtr8 {
namespace {

using Outcome = SearchFinding::Outcome;

// A pty nobody answers on.
struct SilentPty {
    int master = -1;
    QString slave;
    SilentPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~SilentPty()
    {
        if (master >= 0)
            close(master);
    }
};

TEST(TransmitterSearch, FindsTheTwoSimulatorsWithFirmwareAndNoteAndNamesTheRest)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    sim::EepromImage image = sim::FactoryEeprom(sim::SimOptions{});
    const NoteEncoding note = encodeNote(QStringLiteral("Pec č. 3"));
    std::copy(note.bytes.begin(), note.bytes.end(), image.begin() + 512);
    const QString load = dir.filePath(QStringLiteral("noted.eeprom"));
    std::string error;
    ASSERT_TRUE(sim::DumpEeprom(load.toStdString(), image, error)) << error;

    test::SimProcess noted({QStringLiteral("--load"), load});
    test::SimProcess old({QStringLiteral("--firmware"), QStringLiteral("255")});
    test::SimProcess held;
    ASSERT_TRUE(noted.start());
    ASSERT_TRUE(old.start());
    ASSERT_TRUE(held.start());
    SilentPty silent;
    ASSERT_FALSE(silent.slave.isEmpty());
    // The in-use port answers, but another holder keeps it: nothing may be sent to it.
    PortLock otherProgram;
    ASSERT_EQ(otherProgram.acquire(held.devicePath()), PortLock::Result::Acquired);

    const QList<SearchCandidate> ports = {
        {QStringLiteral("COM1"), noted.devicePath(), 0},
        {QStringLiteral("ttyUSB0"), silent.slave, -1},
        {QStringLiteral("ttyUSB1"), held.devicePath(), -1},
        {QStringLiteral("COM12"), old.devicePath(), -1},
        {QStringLiteral("ttyUSB2"), dir.filePath(QStringLiteral("gone")), -1},
    };
    TransmitterSearch search;
    QStringList asked;
    search.asking = [&asked](int, int, const SearchCandidate& port) { asked << port.name; };
    QElapsedTimer clock;
    clock.start();
    const QList<SearchFinding> found = search.run(ports);
    const qint64 ms = clock.elapsed();

    ASSERT_EQ(found.size(), ports.size());
    EXPECT_EQ(asked, QStringList({"COM1", "ttyUSB0", "ttyUSB1", "COM12", "ttyUSB2"}));
    const struct {
        Outcome outcome;
        int firmware;
        const char* text;
    } expected[] = {
        {Outcome::Found, 14, "COM1: převodník VTR8, firmware 14, poznámka „Pec č. 3“"},
        {Outcome::NoReply, 0, "Na portu ttyUSB0 převodník neodpovídá."},
        {Outcome::InUse, 0, "Port ttyUSB1 používá jiný program, přeskočen."},
        {Outcome::Found, 12, "COM12: převodník VTR8, firmware 12, bez poznámky"},
        {Outcome::CannotOpen, 0, "Port ttyUSB2 nelze otevřít, přeskočen."},
    };
    for (int i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].outcome, expected[i].outcome) << i;
        EXPECT_EQ(found[i].firmware, expected[i].firmware) << i;
        EXPECT_EQ(found[i].text, QString::fromUtf8(expected[i].text)) << i;
    }
    EXPECT_EQ(found[0].note, QStringLiteral("Pec č. 3"));
    EXPECT_EQ(TransmitterSearch::summaryText(found), QStringLiteral("Nalezeno převodníků: 2."));
    // One attempt at the silent port (about 1.1 s), not three with drains in between.
    EXPECT_LT(ms, 2500);
    // Every port was let go: the found ones can be used at once.
    PortLock after;
    EXPECT_EQ(after.acquire(noted.devicePath()), PortLock::Result::Acquired);
}

TEST(TransmitterSearch, ACandidateIsEveryOfferedPortThatIsThere)
{
    const QList<OfferedPort> offered = {{0, "COM1", "/dev/ttyS0", {}, true},
                                        {1, "COM2", "/dev/ttyS1", {}, false},
                                        {2, "COM3", {}, {}, true},
                                        {-1, "ttyUSB0", "/dev/ttyUSB0", "USB", true}};
    const QList<SearchCandidate> candidates = SearchCandidates(offered);
    ASSERT_EQ(candidates.size(), 2);
    EXPECT_EQ(candidates[0].name, QStringLiteral("COM1"));
    EXPECT_EQ(candidates[1].device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(TransmitterSearch::summaryText({}), QStringLiteral("Žádný převodník nebyl nalezen."));
}

} // namespace
} // namespace vtr8

namespace vtr8 {
namespace {

TEST(TransmitterSearch, OnlyTypeBytes13And249AreThisFamily)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    const struct {
        std::uint8_t first, second;
        SearchFinding::Outcome outcome;
    } cases[] = {
        {13, 249, SearchFinding::Outcome::Found},
        {13, 0, SearchFinding::Outcome::OtherDevice},
        {0, 249, SearchFinding::Outcome::OtherDevice},
    };
    for (const auto& c : cases) {
        sim::EepromImage image = sim::FactoryEeprom(sim::SimOptions{});
        image[eeprom::DeviceTypeBytes] = c.first;
        image[eeprom::DeviceTypeBytes + 1] = c.second;
        const QString load = dir.filePath(QStringLiteral("type-%1-%2").arg(c.first).arg(c.second));
        std::string error;
        ASSERT_TRUE(sim::DumpEeprom(load.toStdString(), image, error)) << error;
        test::SimProcess sim({QStringLiteral("--load"), load});
        ASSERT_TRUE(sim.start());
        const SearchFinding f =
            TransmitterSearch().probe({QStringLiteral("COM1"), sim.devicePath(), 0});
        EXPECT_EQ(f.outcome, c.outcome) << int(c.first) << ',' << int(c.second);
        if (c.outcome == SearchFinding::Outcome::OtherDevice) {
            EXPECT_EQ(f.text, QStringLiteral("Na portu COM1 odpovídá zařízení, které není "
                                             "převodník VTR8."));
        }
    }
}

} // namespace
} // namespace vtr8
