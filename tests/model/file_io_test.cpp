// Saving keeps the old file whole whenever any step fails, and only regular files
// are ever read or replaced.
#include "configuration/file_io.h"
#include "model/point_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vtr8 {
namespace {

const QByteArray OldBytes("Konfigura\xE8n\xED data pro VTR8:\r\n\r\nvstup: proud\r\n");
const QByteArray NewBytes(5000, 'n');

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

#ifndef _WIN32
// Restores the real system calls however the test ends.
struct FakeCalls {
    FakeCalls(SaveFileCalls calls) : saved(saveFileCalls()) { saveFileCalls() = calls; }
    ~FakeCalls() { saveFileCalls() = saved; }
    SaveFileCalls saved;
};

int writeCalls = 0;

struct FailureCase {
    const char* name;
    SaveFileCalls calls;
    int expected;
};

class SaveFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SaveFailure, KeepsTheOldFileByteForByteAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("konfigurace.txt"));
    writeFile(path, OldBytes);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    writeCalls = 0;
    {
        FakeCalls fake(GetParam().calls);
        EXPECT_EQ(saveFileAtomically(path, NewBytes), GetParam().expected);
    }
    EXPECT_EQ(fileBytes(path), OldBytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("konfigurace.txt")});

    // The same save with working calls replaces it and keeps the permissions.
    EXPECT_EQ(saveFileAtomically(path, NewBytes), 0);
    EXPECT_EQ(fileBytes(path), NewBytes);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

std::ptrdiff_t realWrite(int fd, const void* b, std::size_t n)
{
    return ::write(fd, b, n);
}

INSTANTIATE_TEST_SUITE_P(
    Injected, SaveFailure,
    testing::Values(FailureCase{"DiskFullAtOnce",
                                {[](int, const void*, std::size_t) -> std::ptrdiff_t {
                                     errno = ENOSPC;
                                     return -1;
                                 },
                                 &::fsync},
                                28},
                    FailureCase{"DiskFullAfterPart",
                                {[](int fd, const void* b, std::size_t n) -> std::ptrdiff_t {
                                     if (writeCalls++ == 0)
                                         return realWrite(fd, b, n < 100 ? n : 100);
                                     errno = ENOSPC;
                                     return -1;
                                 },
                                 &::fsync},
                                28},
                    FailureCase{"WriteTakesNothing",
                                {[](int, const void*, std::size_t) -> std::ptrdiff_t { return 0; },
                                 &::fsync},
                                EIO},
                    FailureCase{"SyncFails",
                                {&realWrite,
                                 [](int) {
                                     errno = EDQUOT;
                                     return -1;
                                 }},
                                EDQUOT}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

#else
TEST(SaveFailure, KeepsTheOldFileByteForByteAndNoTemporary)
{
    GTEST_SKIP() << "POSIX only: the failures are injected into the write and fsync calls of the "
                    "POSIX save; on Windows QSaveFile does the save";
}
#endif

// A real write failure from the system: the file size limit stops the write
// half-way, as a full disk would.
TEST(SaveFile, SystemRefusingTheWriteKeepsTheOldFile)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "POSIX only: Windows has no file size limit (RLIMIT_FSIZE) to make a write fail";
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.txt"));
    writeFile(path, OldBytes);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int error = saveFileAtomically(path, NewBytes);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(fileBytes(path), OldBytes);
#endif
}

TEST(SaveFile, RefusesAndKeepsWhatIsNoRegularFile)
{
    QTemporaryDir dir;
#ifdef _WIN32
    EXPECT_EQ(saveFileAtomically(dir.path(), NewBytes), EISDIR);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
#else
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    EXPECT_EQ(saveFileAtomically(QString::fromLocal8Bit(fifo), NewBytes), EINVAL);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    EXPECT_EQ(saveFileAtomically(dir.path(), NewBytes), EISDIR);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_EQ(saveFileAtomically(QStringLiteral("/dev/null"), NewBytes), EINVAL);
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("fifo")});
#endif
}

TEST(SaveFile, ThroughASymlinkReplacesItsTargetAndKeepsTheLink)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: QFile::link makes a .lnk shortcut on Windows, not a symbolic link";
#endif
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    writeFile(target, OldBytes);
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(saveFileAtomically(link, NewBytes), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(target), NewBytes);
}

// Another user's link in a sticky folder everyone may write to is not followed; one of ours is.
// Giving a link away needs root, so elsewhere only the second half runs.
TEST(SaveFile, NeverFollowsAnotherUsersLinkInAStickyFolder)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: sticky world-writable folders and other users' symbolic links";
#else
    QTemporaryDir dir;
    const QByteArray shared = QFile::encodeName(dir.filePath(QStringLiteral("tmp")));
    ASSERT_EQ(::mkdir(shared.constData(), 01777), 0);
    ASSERT_EQ(::chmod(shared.constData(), 01777), 0);
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    writeFile(victim, OldBytes);
    const QString link = QString::fromLocal8Bit(shared) + QStringLiteral("/save.txt");
    ASSERT_TRUE(QFile::link(victim, link));
    const QByteArray linkName = QFile::encodeName(link);
    if (::geteuid() == 0) {
        ASSERT_EQ(::lchown(linkName.constData(), 4242, 4242), 0);
        EXPECT_EQ(saveFileAtomically(link, NewBytes), EACCES);
        EXPECT_EQ(fileBytes(victim), OldBytes);
        // The folder's owner may have put it there: that one is followed.
        ASSERT_EQ(::chown(shared.constData(), 4242, 4242), 0);
    }
    EXPECT_EQ(saveFileAtomically(link, NewBytes), 0);
    EXPECT_EQ(fileBytes(victim), NewBytes);
#endif
}

// Files saved together: a disk that fills at the second leaves the first as it was and no
// temporary behind; where there was none, none is created.
TEST(SaveFile, FilesSavedTogetherAreAllReplacedOrNone)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: the full disk is injected into the write call of the POSIX save";
#else
    for (const bool existed : {true, false}) {
        QTemporaryDir dir;
        const QString image = dir.filePath(QStringLiteral("zaloha"));
        const QString text = image + QStringLiteral(".txt");
        if (existed) {
            writeFile(image, OldBytes);
            writeFile(text, OldBytes);
        }
        writeCalls = 0;
        QString failed;
        {
            FakeCalls fake({[](int fd, const void* b, std::size_t n) -> std::ptrdiff_t {
                                if (writeCalls++ == 0)
                                    return realWrite(fd, b, n);
                                errno = ENOSPC;
                                return -1;
                            },
                            &::fsync});
            EXPECT_EQ(saveFilesTogether({{image, NewBytes}, {text, NewBytes}}, &failed), ENOSPC);
        }
        EXPECT_EQ(failed, text);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(left, (existed ? QStringList{"zaloha", "zaloha.txt"} : QStringList{}));
        if (existed) {
            EXPECT_EQ(fileBytes(image), OldBytes);
            EXPECT_EQ(fileBytes(text), OldBytes);
        }
        EXPECT_EQ(saveFilesTogether({{image, NewBytes}, {text, OldBytes}}), 0);
        EXPECT_EQ(fileBytes(image), NewBytes);
        EXPECT_EQ(fileBytes(text), OldBytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
#endif
}

TEST(ReadFile, RefusesNoRegularFileAtOnceAndBoundsTheSize)
{
    QTemporaryDir dir;
#ifndef _WIN32
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    const QString exact = dir.filePath(QStringLiteral("exact.txt"));
    writeFile(exact, QByteArray(16, 'x'));
    const QString larger = dir.filePath(QStringLiteral("larger.txt"));
    writeFile(larger, QByteArray(17, 'x'));

    using S = FileRead::Status;
    const struct {
        QString path;
        S status;
        int error;
        qsizetype size;
    } cases[] = {
#ifndef _WIN32
        {fifo, S::OpenFailed, EINVAL, 0},
        {QStringLiteral("/dev/zero"), S::OpenFailed, EINVAL, 0},
#endif
        {dir.path(), S::OpenFailed, EISDIR, 0},
        {dir.filePath(QStringLiteral("missing")), S::OpenFailed, ENOENT, 0},
        {exact, S::Ok, 0, 16},
        {larger, S::TooLarge, 0, 0},
    };
    for (const auto& c : cases) {
        const FileRead read = readWholeFile(c.path, 16);
        EXPECT_EQ(read.status, c.status) << c.path.toStdString();
        EXPECT_EQ(read.error, c.error) << c.path.toStdString();
        EXPECT_EQ(read.data.size(), c.size) << c.path.toStdString();
    }
}

TEST(ReadFile, PointFileReaderIsBoundedToo)
{
    QTemporaryDir dir;
    const QString blanks = dir.filePath(QStringLiteral("blanks.txt"));
    writeFile(blanks, "0 0\n" + QByteArray(MaxInputFileSize, ' ') + "\n1 1\n");
    EXPECT_EQ(readPointFile(blanks).outcome, PointFileReading::Outcome::BadValue);

#ifndef _WIN32
    const PointFileReading device = readPointFile(QStringLiteral("/dev/zero"));
    EXPECT_EQ(device.outcome, PointFileReading::Outcome::IoError);
    EXPECT_EQ(device.errorNumber, EINVAL);
#endif
}

} // namespace
} // namespace vtr8
