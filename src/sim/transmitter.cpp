#include "sim/transmitter.h"

#include <bit>
#include <chrono>

namespace vtr8::sim {

namespace {

// The transmitter's own long address.
constexpr std::array<std::uint8_t, 5> OwnAddress{0x3A, 0xBD, 0xEF, 0xB1, 0x34};
constexpr std::uint8_t MasterLongDelimiter = 0x82;
constexpr std::uint8_t SlaveLongDelimiter = 0x86;
constexpr int ReplyPreamble = 5;

// Response codes (first status byte).
constexpr std::uint8_t Success = 0;
constexpr std::uint8_t InvalidSelection = 2;
constexpr std::uint8_t TooFewDataBytes = 5;
constexpr std::uint8_t CommandNotImplemented = 64;

enum Stage { Hunting, Address, Command, ByteCount, Data, Checksum };

} // namespace

Transmitter::Transmitter(const SimOptions& options)
    : options_(options), eeprom_(FactoryEeprom(options))
{
    const auto start = std::chrono::steady_clock::now();
    clock_ = [start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
}

std::vector<Response> Transmitter::feed(std::span<const std::uint8_t> bytes)
{
    pending_.clear();
    for (std::uint8_t b : bytes)
        takeByte(b);
    return std::move(pending_);
}

// Requests: preamble of 0xFF, delimiter 0x82, five address bytes, command,
// byte count, data, longitudinal parity over delimiter..data. Anything that
// does not fit is dropped silently, as a device on a shared line would.
void Transmitter::takeByte(std::uint8_t b)
{
    switch (stage_) {
    case Hunting:
        if (b == 0xFF) {
            ++preamble_;
            return;
        }
        if (b == MasterLongDelimiter && preamble_ >= 2) {
            framePreamble_ = static_cast<std::size_t>(preamble_);
            frame_.assign(framePreamble_, 0xFF);
            frame_.push_back(b);
            stage_ = Address;
        }
        preamble_ = 0;
        return;
    case Address:
        frame_.push_back(b);
        if (frame_.size() - framePreamble_ == 6)
            stage_ = Command;
        return;
    case Command:
        frame_.push_back(b);
        stage_ = ByteCount;
        return;
    case ByteCount:
        frame_.push_back(b);
        expected_ = b;
        stage_ = expected_ > 0 ? Data : Checksum;
        return;
    case Data:
        frame_.push_back(b);
        if (--expected_ == 0)
            stage_ = Checksum;
        return;
    case Checksum:
        break;
    }

    stage_ = Hunting;
    preamble_ = 0;
    const std::size_t start = framePreamble_;
    std::uint8_t parity = 0;
    for (std::size_t i = start; i < frame_.size(); ++i)
        parity ^= frame_[i];
    frame_.push_back(b);
    if (parity != b)
        return;
    for (std::size_t k = 0; k < OwnAddress.size(); ++k)
        if (frame_[start + 1 + k] != OwnAddress[k])
            return;

    const std::uint8_t command = frame_[start + 6];
    const std::span<const std::uint8_t> data(frame_.data() + start + 8, frame_[start + 7]);

    RequestRecord record;
    record.number = ++requestCount_;
    record.command = command;
    record.data.assign(data.begin(), data.end());
    record.frame = frame_;

    Response response;
    response.bytes = replyFrame(command, answer(command, data));
    std::vector<Response> extra;
    record.answered = faults_.apply(record.number, response, noiseSeed_, &extra);
    if (faults_.duplicatesPrevious(record.number) && !lastReply_.empty())
        pending_.push_back({lastReply_, 0, true});
    requests_.push_back(std::move(record));
    if (requests_.back().answered) {
        if (!response.bytes.empty())
            lastReply_ = response.bytes;
        pending_.push_back(std::move(response));
    }
    for (Response& more : extra)
        pending_.push_back(std::move(more));
}

std::vector<std::uint8_t> Transmitter::answer(std::uint8_t command,
                                              std::span<const std::uint8_t> data)
{
    const std::uint8_t deviceStatus = 0;
    std::vector<std::uint8_t> reply{Success, deviceStatus};
    auto fail = [&](std::uint8_t code) { return std::vector<std::uint8_t>{code, deviceStatus}; };
    auto append = [&](const std::uint8_t* from, std::size_t n) {
        reply.insert(reply.end(), from, from + n);
    };

    const std::size_t size = data.size();
    switch (command) {
    case 0: {
        const std::uint8_t identity[] = {
            254,           OwnAddress[0], OwnAddress[1], 5, 5, options_.firmware, 1, 0, 0,
            OwnAddress[2], OwnAddress[3], OwnAddress[4]};
        append(identity, sizeof identity);
        return reply;
    }
    case 1: {
        SimulatedInput input;
        input.fixed = options_.input;
        const ProcessValue pv = ComputeProcessValue(eeprom_, input, clock_());
        reply.push_back(pv.unitCode);
        // IEEE single, most significant byte first.
        const auto bits = std::bit_cast<std::uint32_t>(pv.value);
        for (int shift = 24; shift >= 0; shift -= 8)
            reply.push_back(static_cast<std::uint8_t>(bits >> shift));
        return reply;
    }
    case 34:
        if (size != 4)
            return fail(TooFewDataBytes);
        append(data.data(), size);
        return reply;
    case 36:
    case 37:
        return fail(options_.nastResponseCode);
    case 111:
    case 120: { // ReadRAM, ReadRTCC: address low byte, count
        if (size != 2)
            return fail(TooFewDataBytes);
        auto& area = command == 111 ? ram_ : rtcc_;
        if (data[0] + data[1] > static_cast<int>(area.size()) || data[1] > 253)
            return fail(InvalidSelection);
        append(area.data() + data[0], data[1]);
        return reply;
    }
    case 112:
    case 121: { // WriteRAM, WriteRTCC: address low byte, count, bytes
        if (size < 2 || size != static_cast<std::size_t>(data[1]) + 2)
            return fail(TooFewDataBytes);
        auto& area = command == 112 ? ram_ : rtcc_;
        if (data[0] + data[1] > static_cast<int>(area.size()))
            return fail(InvalidSelection);
        std::copy(data.begin() + 2, data.end(), area.begin() + data[0]);
        append(data.data(), 2);
        return reply;
    }
    case 113:
    case 124: { // ReadEEPROM, ReadEEPROM2; 124 with two bytes is WriteCalRC
        if (command == 124 && size == 2) {
            append(data.data(), size);
            return reply;
        }
        if (size != 3)
            return fail(TooFewDataBytes);
        const int address = (data[0] << 8) | data[1];
        const int count = data[2];
        if (address + count > EepromSize || count > 253)
            return fail(InvalidSelection);
        const auto& area = command == 113 ? eeprom_ : eeprom2_;
        append(area.data() + address, static_cast<std::size_t>(count));
        return reply;
    }
    case 114:
    case 125: { // WriteEEPROM, WriteEEPROM2; 125 with two bytes is Kalibr_RC
        if (command == 125 && size == 2) {
            append(data.data(), size);
            return reply;
        }
        if (size < 3 || size != static_cast<std::size_t>(data[2]) + 3)
            return fail(TooFewDataBytes);
        const int address = (data[0] << 8) | data[1];
        if (address + data[2] > EepromSize)
            return fail(InvalidSelection);
        auto& area = command == 114 ? eeprom_ : eeprom2_;
        std::copy(data.begin() + 3, data.end(), area.begin() + address);
        if (command == 114)
            if (const int offset = faults_.corruptedStoreOffset(requestCount_, address, data[2]);
                offset >= 0)
                area[static_cast<std::size_t>(address + offset)] ^= 0x01;
        append(data.data(), 3);
        return reply;
    }
    case 115:
        state_ = RunState::Stopped;
        return reply;
    case 116:
        state_ = RunState::Running;
        return reply;
    case 117:
        if (size != 3)
            return fail(TooFewDataBytes);
        append(data.data(), size);
        return reply;
    case 118:
        ++resetCount_;
        return reply;
    case 123:
        if (size != 1)
            return fail(TooFewDataBytes);
        append(data.data(), size);
        return reply;
    default:
        return fail(CommandNotImplemented);
    }
}

std::vector<std::uint8_t> Transmitter::replyFrame(std::uint8_t command,
                                                  std::span<const std::uint8_t> replyData) const
{
    std::vector<std::uint8_t> frame(ReplyPreamble, 0xFF);
    frame.push_back(SlaveLongDelimiter);
    frame.insert(frame.end(), OwnAddress.begin(), OwnAddress.end());
    frame.push_back(command);
    frame.push_back(static_cast<std::uint8_t>(replyData.size()));
    frame.insert(frame.end(), replyData.begin(), replyData.end());
    std::uint8_t parity = 0;
    for (std::size_t i = ReplyPreamble; i < frame.size(); ++i)
        parity ^= frame[i];
    frame.push_back(parity);
    return frame;
}

} // namespace vtr8::sim
