#pragma once

#include "sim/eeprom.h"
#include "sim/fault_plan.h"
#include "sim/process_value.h"
#include "sim/sim_options.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vtr8::sim {

// One reply to send: its bytes, after delayMs milliseconds.
struct Response {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;
    // All at once rather than byte by byte at the line's pace (it still holds the line
    // for as long as its bytes would take).
    bool burst = false;
};

// A well-formed request the transmitter took, in arrival order.
struct RequestRecord {
    int number = 0; // 1, 2, ... over the whole run
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;  // the request's data bytes
    std::vector<std::uint8_t> frame; // the whole request as received, preamble included
    bool answered = false;           // false when a fault swallowed the reply
};

enum class RunState { Running, Stopped };

// The simulated transmitter without any input or output: request bytes go in,
// reply bytes come out. The pty server and the tests' in-process transport
// both drive it.
class Transmitter {
public:
    explicit Transmitter(const SimOptions& options = {});

    // Takes received bytes in any chunking; returns one response per complete
    // request addressed to this transmitter (a fault may leave it empty).
    std::vector<Response> feed(std::span<const std::uint8_t> bytes);

    EepromImage& eeprom() { return eeprom_; }
    const EepromImage& eeprom() const { return eeprom_; }
    EepromImage& eeprom2() { return eeprom2_; }
    std::array<std::uint8_t, 256>& ram() { return ram_; }

    RunState state() const { return state_; }
    int resetCount() const { return resetCount_; }
    const std::vector<RequestRecord>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    FaultPlan& faults() { return faults_; }
    SimOptions& options() { return options_; }
    // Seconds since start, for the ramp of the simulated input.
    void setClock(std::function<double()> clock) { clock_ = std::move(clock); }

private:
    void takeByte(std::uint8_t b);
    std::vector<std::uint8_t> answer(std::uint8_t command, std::span<const std::uint8_t> data);
    std::vector<std::uint8_t> replyFrame(std::uint8_t command,
                                         std::span<const std::uint8_t> replyData) const;

    SimOptions options_;
    EepromImage eeprom_;
    EepromImage eeprom2_{};
    std::array<std::uint8_t, 256> ram_{};
    std::array<std::uint8_t, 256> rtcc_{};
    RunState state_ = RunState::Running;
    int resetCount_ = 0;
    FaultPlan faults_;
    std::function<double()> clock_;
    std::vector<RequestRecord> requests_;
    std::vector<Response> pending_;
    std::vector<std::uint8_t> lastReply_; // the last reply sent, for a duplicate

    // Request decoder state.
    std::vector<std::uint8_t> frame_;
    int stage_ = 0;
    int preamble_ = 0;
    int expected_ = 0;
    std::size_t framePreamble_ = 0;
    int requestCount_ = 0;
    std::uint32_t noiseSeed_ = 12345;
};

} // namespace vtr8::sim
