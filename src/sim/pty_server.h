#pragma once

#include "sim/transmitter.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <termios.h>
#include <vector>

namespace vtr8::sim {

// 2400 baud with 8 data bits, odd parity and one stop bit: 11 bits a byte.
inline constexpr std::chrono::microseconds ByteTime{4583};

struct ServerConfig {
    std::string linkPath; // empty = no symbolic link
    bool trace = false;
    bool pace = false;
};

// Serves one Transmitter on a pseudo-terminal. The master side is raw; the
// server keeps its own descriptor of the slave open so that the program's
// closing and reopening of the port never hangs up the master.
class PtyServer {
public:
    PtyServer(Transmitter& transmitter, ServerConfig config, std::ostream& log);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    [[nodiscard]] bool open(std::string& errorText);
    const std::string& slavePath() const { return slavePath_; }

    // Runs until stopFd becomes readable. Returns 0, or 1 after an I/O failure.
    int run(int stopFd);

private:
    // Paced, byte k is handed over at due + (k + 1) byte times, when its stop
    // bit would have been received; unpaced, all of it at due.
    struct Outgoing {
        std::chrono::steady_clock::time_point due;
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        bool burst = false;
    };

    void receive();
    void take(std::uint8_t byte, std::chrono::steady_clock::time_point receivedAt);
    bool sendDue();
    std::chrono::steady_clock::time_point nextDue() const;
    void traceRequests();
    void watchClients();

    Transmitter& transmitter_;
    ServerConfig config_;
    std::ostream& log_;
    int master_ = -1;
    int slave_ = -1;
    // The line settings the pty starts with, given back (and exclusive mode
    // ended) when the last client has gone: a client that dies cannot.
    termios lineSettings_{};
    int clientWatch_ = -1; // inotify on the slave device, -1 where there is none
    int clients_ = 0;
    std::string slavePath_;
    bool linkMade_ = false;
    std::deque<Outgoing> outgoing_;
    // Paced: when the byte last read from the program is all on the line, and
    // when the reply line is free again.
    std::chrono::steady_clock::time_point receiveLineFree_{};
    std::chrono::steady_clock::time_point sendLineFree_{};
    std::size_t tracedRequests_ = 0;
};

// Hex bytes separated by blanks, e.g. "FF 82 3A".
std::string HexBytes(const std::vector<std::uint8_t>& bytes);
// The request's name by command number and byte count.
const char* RequestName(std::uint8_t command, std::size_t dataSize);

} // namespace vtr8::sim
