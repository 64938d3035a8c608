#include "link/port_lock.h"
#include "link/port_mapping.h"
#include "support/core_application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST(PortLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    test::EnsureCoreApplication();
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("port"));
    PortLock first;
    ASSERT_TRUE(first.acquire(port));
    PortLock second;
    EXPECT_FALSE(second.acquire(port));
    first.release();
    EXPECT_TRUE(second.acquire(port));
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, not a link the port opens through
    // A link to the port is the same port.
    QFile(dir.filePath(QStringLiteral("port"))).open(QIODevice::WriteOnly);
    QFile::link(port, dir.filePath(QStringLiteral("link")));
    EXPECT_EQ(PortLock::LockFilePath(dir.filePath(QStringLiteral("link"))),
              PortLock::LockFilePath(port));
#endif
}

} // namespace
} // namespace vtr8
