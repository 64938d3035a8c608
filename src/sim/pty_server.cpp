#include "sim/pty_server.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vtr8::sim {

using Clock = std::chrono::steady_clock;

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
    if (linkMade_)
        ::unlink(config_.linkPath.c_str());
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

    if (!config_.linkPath.empty()) {
        ::unlink(config_.linkPath.c_str());
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

void PtyServer::receive()
{
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const auto now = Clock::now();
        const auto responses = transmitter_.feed({buffer, static_cast<std::size_t>(n)});
        traceRequests();
        for (const Response& response : responses) {
            Outgoing out;
            out.due = now + std::chrono::milliseconds(response.delayMs);
            // On a real line the request is still arriving: its last byte is
            // about one byte time per byte after the first.
            if (config_.pace && !transmitter_.requests().empty())
                out.due += ByteTime * static_cast<int>(transmitter_.requests().back().frame.size());
            out.bytes = response.bytes;
            if (config_.trace)
                log_ << "<- " << HexBytes(out.bytes) << (response.delayMs ? " (late)" : "") << '\n'
                     << std::flush;
            if (!out.bytes.empty())
                outgoing_.push_back(std::move(out));
        }
    }
}

bool PtyServer::sendDue()
{
    while (!outgoing_.empty()) {
        Outgoing& out = outgoing_.front();
        const auto now = Clock::now();
        if (out.due > now)
            return true;
        const std::size_t chunk = config_.pace ? 1 : out.bytes.size() - out.sent;
        const ssize_t n = ::write(master_, out.bytes.data() + out.sent, chunk);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                out.due = now + std::chrono::milliseconds(10);
                return true;
            }
            log_ << "write: " << std::strerror(errno) << '\n' << std::flush;
            return false;
        }
        out.sent += static_cast<std::size_t>(n);
        if (out.sent >= out.bytes.size())
            outgoing_.pop_front();
        else if (config_.pace)
            out.due += ByteTime;
    }
    return true;
}

int PtyServer::run(int stopFd)
{
    for (;;) {
        int timeout = -1;
        if (!outgoing_.empty()) {
            const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(
                outgoing_.front().due - Clock::now());
            timeout = wait.count() <= 0 ? 0 : static_cast<int>((wait.count() + 999) / 1000);
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR) {
            log_ << "poll: " << std::strerror(errno) << '\n' << std::flush;
            return 1;
        }
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP)))
            return 0;
        if (ready > 0 && (fds[0].revents & POLLIN))
            receive();
        if (!sendDue())
            return 1;
    }
}

} // namespace vtr8::sim
