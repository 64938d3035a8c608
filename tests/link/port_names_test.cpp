#include "link/comm_port_driver.h"
#include "link/port_lock.h"
#include "link/port_mapping.h"
#include "support/core_application.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace vtr8 {
namespace {

TEST(PortNames, PathsBecomeAbsoluteAndOnlyListedBareNamesAreTaken)
{
#ifdef Q_OS_WIN
    GTEST_SKIP()
        << "POSIX only: the cases are device paths under /dev; Windows ports are COM names";
#endif
    const QList<ListedPort> listed = {{QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")},
                                      {QStringLiteral("COM3"), QString()}};
    const QString here = QDir::currentPath();
    const struct {
        const char* text;
        std::optional<QString> expected;
    } cases[] = {
        {"/dev/ttyS0", QStringLiteral("/dev/ttyS0")},
        {"./link", here + QStringLiteral("/link")},
        {"sub/../link", here + QStringLiteral("/link")},
        {"ttyUSB0", QStringLiteral("/dev/ttyUSB0")},
        {"COM3", QStringLiteral("COM3")},
        {"tty0", std::nullopt}, // would be /dev/tty0, the console
        {"link", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolvePortName(QString::fromUtf8(c.text), listed), c.expected) << c.text;
}

// Both ports of the driver (QSerialPort, and the Windows handle under Wine) tell a device that
// is not there from one that will not open, and stay closed.
TEST(PortDriver, APortThatIsNotThereIsMissingAndTakesNothing)
{
    test::EnsureCoreApplication();
    TCommPortDriver driver;
#ifdef Q_OS_WIN
    driver.prepare(0, QStringLiteral("COM250"));
#else
    driver.prepare(0, QStringLiteral("/nonexistent/vtr8-port"));
#endif
    EXPECT_FALSE(driver.OpenPort());
    EXPECT_EQ(driver.openProblem(), LinkTransport::OpenProblem::Missing);
    EXPECT_FALSE(driver.IsPortOpen());
    const std::uint8_t byte = 0x55;
    EXPECT_EQ(driver.WriteData(&byte, 1), 0);
}

TEST(PortNames, TerminalsThatAreNoSerialLineAreKnown)
{
#ifdef Q_OS_LINUX
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const QString slave = QString::fromLocal8Bit(::ptsname(master));
    const struct {
        QString path;
        bool terminal;
    } cases[] = {
        {QStringLiteral("/dev/console"), true}, {QStringLiteral("/dev/tty0"), true},
        {QStringLiteral("/dev/ptmx"), true},    {QStringLiteral("/dev/tty"), true},
        {QStringLiteral("/dev/ttyS0"), false},  {slave, false},
        {QStringLiteral("/dev/null"), false},   {QStringLiteral("/no/such/port"), false},
    };
    for (const auto& c : cases) {
        if (QFileInfo::exists(c.path) || !c.terminal) {
            EXPECT_EQ(IsTerminalNotSerialPort(c.path), c.terminal) << c.path.toStdString();
        }
    }
    ::close(master);
#endif
}

class PortLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureCoreApplication();
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        savedTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTemp);
    }

    QTemporaryDir runtime;
    QTemporaryDir devices;
    QByteArray savedRuntime;
    QByteArray savedTemp;
};

TEST_F(PortLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    const QString port = devices.filePath(QStringLiteral("port"));
    PortLock first;
    ASSERT_EQ(first.acquire(port), PortLock::Result::Acquired);
#ifdef Q_OS_WIN
    // Windows keeps the locks in the user's own temporary folder.
    EXPECT_TRUE(first.lockFile().startsWith(QDir::tempPath()));
#else
    EXPECT_TRUE(first.lockFile().startsWith(runtime.path()));
#endif
    PortLock second;
    EXPECT_EQ(second.acquire(port), PortLock::Result::HeldByOther);
    first.release();
    EXPECT_EQ(second.acquire(port), PortLock::Result::Acquired);
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, not a link the port opens through
    // A link to the port is the same port.
    QFile(port).open(QIODevice::WriteOnly);
    QFile::link(port, devices.filePath(QStringLiteral("link")));
    EXPECT_EQ(PortLock::LockFilePath(devices.filePath(QStringLiteral("link"))),
              PortLock::LockFilePath(port));
#endif
    // A name longer than any file name still gets its own lock.
    const QString longName = devices.filePath(QString(300, QLatin1Char('x')));
    PortLock third;
    EXPECT_EQ(third.acquire(longName), PortLock::Result::Acquired);
    EXPECT_NE(PortLock::LockFilePath(longName), PortLock::LockFilePath(longName + 'y'));
}

TEST_F(PortLockTest, AnUnreadableLockIsTakenOverOnceItIsOld)
{
    const QString port = devices.filePath(QStringLiteral("port"));
    const QString lockFile = PortLock::LockFilePath(port);
    for (const QByteArray& content : {QByteArray(), QByteArray("\x01garbage")}) {
        QFile file(lockFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        PortLock lock;
        // Just written: perhaps a holder that is still writing it.
        EXPECT_EQ(lock.acquire(port), PortLock::Result::HeldByOther);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                         QFileDevice::FileModificationTime);
        file.close();
        EXPECT_EQ(lock.acquire(port), PortLock::Result::Acquired);
    }
}

TEST_F(PortLockTest, ALockNamingThisProcessIsTakenOverOnlyWhenNotHeldHere)
{
    const QString port = devices.filePath(QStringLiteral("port"));
    const QString lockFile = PortLock::LockFilePath(port);
    QFile file(lockFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // What an earlier run with the same process number left behind, under the name the
    // system gives this process, so that Qt takes its holder for alive.
    const QFileInfo program(QCoreApplication::applicationFilePath());
#ifdef Q_OS_WIN
    const QString name = program.completeBaseName();
#else
    const QString name = program.fileName();
#endif
    file.write(QByteArray::number(QCoreApplication::applicationPid()) + "\n" + name.toUtf8() +
               "\n" + QSysInfo::machineHostName().toUtf8() + "\n\n");
    file.close();
    PortLock lock;
    ASSERT_EQ(lock.acquire(port), PortLock::Result::Acquired);
    // Its own live lock names this process too, and still holds.
    PortLock second;
    EXPECT_EQ(second.acquire(port), PortLock::Result::HeldByOther);
    lock.release();
    EXPECT_EQ(second.acquire(port), PortLock::Result::Acquired);
}

#ifdef Q_OS_UNIX
TEST_F(PortLockTest, WithoutARuntimeFolderLocksStayInAFolderOfTheUsersOwn)
{
    QTemporaryDir shared;
    qputenv("TMPDIR", shared.path().toLocal8Bit());
    for (const char* runtimeValue : {"", "/tmp"}) { // unset, or a folder everyone writes
        qputenv("XDG_RUNTIME_DIR", runtimeValue);
        const QString own = shared.filePath(QStringLiteral("vtr8-%1").arg(::getuid()));
        PortLock lock;
        ASSERT_EQ(lock.acquire(devices.filePath(QStringLiteral("port"))),
                  PortLock::Result::Acquired);
        EXPECT_EQ(QFileInfo(lock.lockFile()).absolutePath(), own);
        EXPECT_EQ(QFile::permissions(own) & (QFileDevice::WriteGroup | QFileDevice::WriteOther),
                  QFileDevice::Permissions());
        lock.release();
        // Once others may write there the lock is refused, saying why and where.
        QFile::setPermissions(own, QFile::permissions(own) | QFileDevice::WriteOther);
        EXPECT_EQ(lock.acquire(devices.filePath(QStringLiteral("port"))),
                  PortLock::Result::Unusable);
        EXPECT_TRUE(lock.lockFile().startsWith(own));
        EXPECT_EQ(lock.problem(), LockProblem::FolderWritableByOthers);
        QDir(own).removeRecursively();
    }
}
#endif

} // namespace
} // namespace vtr8
