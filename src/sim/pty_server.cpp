#include "sim/pty_server.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif
#include <termios.h>
#include <unistd.h>

namespace vtr8::sim {

using Clock = std::chrono::steady_clock;

namespace {

// Whether path is still the symbolic link to target this server made.
bool PointsTo(const std::string& path, const std::string& target)
{
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n >= 0 && std::string(buffer, static_cast<std::size_t>(n)) == target;
}

} // namespace

std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char buffer[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += buffer;
    }
    return text;
}

const char* RequestName(std::uint8_t command, std::size_t dataSize)
{
    switch (command) {
    case 0:
        return "ReadUniqIdent";
    case 1:
        return "ReadPV";
    case 34:
        return "WriteCasKonst";
    case 36:
        return "NastFS";
    case 37:
        return "NastOfs";
    case 111:
        return "ReadRAM";
    case 112:
        return "WriteRAM";
    case 113:
        return "ReadEEPROM";
    case 114:
        return "WriteEEPROM";
    case 115:
        return "Stop";
    case 116:
        return "Continue";
    case 117:
        return "WriteDA";
    case 118:
        return "Reset";
    case 120:
        return "ReadRTCC";
    case 121:
        return "WriteRTCC";
    case 123:
        return "STOPFAZ";
    case 124:
        return dataSize == 2 ? "WriteCalRC" : "ReadEEPROM2";
    case 125:
        return dataSize == 2 ? "Kalibr_RC" : "WriteEEPROM2";
    default:
        return "unknown";
    }
}

PtyServer::PtyServer(Transmitter& transmitter, ServerConfig config, std::ostream& log)
    : transmitter_(transmitter), config_(std::move(config)), log_(log)
{
}

PtyServer::~PtyServer()
{
    if (linkMade_ && PointsTo(config_.linkPath, slavePath_))
        ::unlink(config_.linkPath.c_str());
    if (clientWatch_ >= 0)
        ::close(clientWatch_);
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyServer::open(std::string& errorText)
{
    auto failure = [&](const char* what) {
        errorText = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return failure("posix_openpt");
    if (::grantpt(master_) != 0)
        return failure("grantpt");
    if (::unlockpt(master_) != 0)
        return failure("unlockpt");
    const char* name = ::ptsname(master_);
    if (!name)
        return failure("ptsname");
    slavePath_ = name;

    // Raw, so no byte is echoed, translated or held back for a line.
    termios settings{};
    if (::tcgetattr(master_, &settings) != 0)
        return failure("tcgetattr");
    ::cfmakeraw(&settings);
    if (::tcsetattr(master_, TCSANOW, &settings) != 0)
        return failure("tcsetattr");

    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return failure("open slave");
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    ::tcgetattr(slave_, &lineSettings_);
#ifdef __linux__
    // Opened after our own descriptor of the slave, so only clients count.
    clientWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (clientWatch_ >= 0 && ::inotify_add_watch(clientWatch_, slavePath_.c_str(),
                                                 IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(clientWatch_);
        clientWatch_ = -1;
    }
#endif

    if (!config_.linkPath.empty()) {
        // A symbolic link (an earlier run's) is replaced; anything else is
        // someone's file and stays.
        struct stat info {};
        if (::lstat(config_.linkPath.c_str(), &info) == 0) {
            if (!S_ISLNK(info.st_mode)) {
                errorText = config_.linkPath + ": exists and is not a symbolic link, left alone";
                return false;
            }
            ::unlink(config_.linkPath.c_str());
        }
        if (::symlink(slavePath_.c_str(), config_.linkPath.c_str()) != 0)
            return failure("symlink");
        linkMade_ = true;
    }
    return true;
}

void PtyServer::traceRequests()
{
    const auto& requests = transmitter_.requests();
    for (; tracedRequests_ < requests.size(); ++tracedRequests_) {
        const RequestRecord& r = requests[tracedRequests_];
        if (config_.trace) {
            log_ << "-> #" << r.number << ' ' << RequestName(r.command, r.data.size()) << ": "
                 << HexBytes(r.frame) << '\n';
            if (!r.answered)
                log_ << "   #" << r.number << " left unanswered\n";
        }
    }
    log_.flush();
}

void PtyServer::watchClients()
{
#ifdef __linux__
    alignas(inotify_event) char buffer[4096];
    bool closed = false;
    for (;;) {
        const ssize_t n = ::read(clientWatch_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN)
                ++clients_;
            if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                clients_ = std::max(0, clients_ - 1);
                closed = true;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    // A client that was killed restored nothing: the pty stays in exclusive
    // mode (every later open by an ordinary user fails with EBUSY) and keeps
    // its odd parity as PARODD without PARENB (a pty drops parity enable).
    if (closed && clients_ == 0) {
        ::ioctl(slave_, TIOCNXCL);
        ::tcsetattr(slave_, TCSANOW, &lineSettings_);
    }
#endif
}

void PtyServer::receive()
{
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const auto now = Clock::now();
        if (!config_.pace) {
            // Unpaced, a chunk is one moment: its replies all become due now.
            for (ssize_t i = 0; i < n; ++i)
                take(buffer[i], now);
            continue;
        }
        // The pty hands over a whole frame at once; on the line each byte is
        // received one byte time after the one before, and a request counts
        // only once its last byte (preamble included) is in.
        for (ssize_t i = 0; i < n; ++i) {
            receiveLineFree_ = std::max(receiveLineFree_, now) + ByteTime;
            take(buffer[i], receiveLineFree_);
        }
    }
}

void PtyServer::take(std::uint8_t byte, Clock::time_point receivedAt)
{
    const auto responses = transmitter_.feed({&byte, 1});
    if (tracedRequests_ < transmitter_.requests().size())
        traceRequests();
    for (const Response& response : responses) {
        Outgoing out;
        out.due = receivedAt + std::chrono::milliseconds(response.delayMs);
        out.bytes = response.bytes;
        out.burst = response.burst;
        if (config_.trace)
            log_ << "<- " << HexBytes(out.bytes)
                 << (response.burst     ? " (copy)"
                     : response.delayMs ? " (late)"
                                        : "")
                 << '\n'
                 << std::flush;
        if (out.bytes.empty())
            continue;
        if (config_.pace) {
            // One line: a reply starts when the one before it has gone.
            out.due = std::max(out.due, sendLineFree_);
            sendLineFree_ = out.due + ByteTime * static_cast<int>(out.bytes.size());
        }
        outgoing_.push_back(std::move(out));
    }
}

Clock::time_point PtyServer::nextDue() const
{
    const Outgoing& out = outgoing_.front();
    return config_.pace && !out.burst ? out.due + ByteTime * static_cast<int>(out.sent + 1)
                                      : out.due;
}

bool PtyServer::sendDue()
{
    while (!outgoing_.empty()) {
        Outgoing& out = outgoing_.front();
        const auto now = Clock::now();
        if (nextDue() > now)
            return true;
        const std::size_t chunk = config_.pace && !out.burst ? 1 : out.bytes.size() - out.sent;
        const ssize_t n = ::write(master_, out.bytes.data() + out.sent, chunk);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                out.due += std::chrono::milliseconds(10);
                return true;
            }
            log_ << "write: " << std::strerror(errno) << '\n' << std::flush;
            return false;
        }
        out.sent += static_cast<std::size_t>(n);
        if (out.sent >= out.bytes.size())
            outgoing_.pop_front();
    }
    return true;
}

int PtyServer::run(int stopFd)
{
    for (;;) {
        // ppoll: a paced byte is due every 4.58 ms, and poll's whole
        // milliseconds would hand each one over up to a millisecond late.
        timespec wait{};
        timespec* timeout = nullptr;
        if (!outgoing_.empty()) {
            const auto left = std::max(Clock::duration::zero(), nextDue() - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &wait;
        }
        pollfd fds[3] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}, {clientWatch_, POLLIN, 0}};
        const int ready = ::ppoll(fds, clientWatch_ >= 0 ? 3 : 2, timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            log_ << "poll: " << std::strerror(errno) << '\n' << std::flush;
            return 1;
        }
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP)))
            return 0;
        if (ready > 0 && (fds[2].revents & POLLIN))
            watchClients();
        if (ready > 0 && (fds[0].revents & POLLIN))
            receive();
        if (!sendDue())
            return 1;
    }
}

} // namespace vtr8::sim
