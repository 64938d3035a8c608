#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vtr8 {

// Long address of the transmitter, the same in every request.
inline constexpr std::array<std::uint8_t, 5> DeviceAddress{0x3A, 0xBD, 0xEF, 0xB1, 0x34};

inline constexpr std::uint8_t RequestPreambleByte = 0xFF;
inline constexpr int RequestPreambleLength = 6;
// Master-to-slave delimiter announcing a five-byte address.
inline constexpr std::uint8_t RequestDelimiter = 0x82;

// How the data bytes of a request are laid out. "address" and "count" are the
// arguments of SendCommand; TB is the TransferBuffer.
enum class RequestLayout {
    None,                    // no data
    TransferBytes,           // TB[1..fixedCount]
    AddressLowCount,         // address low byte, count
    AddressLowCountData,     // address low byte, count, TB[1..count]
    AddressHighLowCount,     // address high byte, address low byte, count
    AddressHighLowCountData, // address high byte, address low byte, count, TB[1..count]
    AddressLow,              // address low byte
};

// The commands of the table, in its order.
enum class Command {
    ReadUniqIdent,
    ReadPV,
    WriteCasKonst,
    NastFS,
    NastOfs,
    ReadRAM,
    WriteRAM,
    ReadEEPROM,
    WriteEEPROM,
    Stop,
    Continue,
    WriteDA,
    Reset,
    ReadRTCC,
    WriteRTCC,
    STOPFAZ,
    ReadEEPROM2,
    WriteCalRC,
    WriteEEPROM2,
    Kalibr_RC,
};

struct CommandSpec {
    Command command;
    std::string_view name;
    std::uint8_t number;
    RequestLayout layout;
    std::uint8_t fixedCount; // data bytes for TransferBytes
};

// Every command the program knows. Numbers 124 and 125 each stand for two
// names; their byte counts tell them apart on the wire.
std::span<const CommandSpec> CommandTable();

// Exact, case-sensitive lookup.
std::optional<CommandSpec> FindCommand(std::string_view name);
const CommandSpec& SpecOf(Command command);

// The request being prepared. Positions are 1-based as on the wire; index 0
// is unused.
struct TxFrame {
    std::array<std::uint8_t, 51> bytes{};
    std::uint8_t TxFrameLen = 0; // the checksum's position, so also the frame length

    std::span<const std::uint8_t> wire() const { return {bytes.data() + 1, TxFrameLen}; }
};

// Builds the request for one command of the table. transferBuffer is indexed
// 1..25. A name outside the table gives a frame without command bytes, which
// the caller never sends (see CommandProtocol::SendCommand).
TxFrame BuildTxFrame(std::string_view name, std::uint16_t address, std::uint8_t count,
                     const std::array<std::uint8_t, 26>& transferBuffer);

// Longitudinal parity: exclusive-or of the bytes.
std::uint8_t LongitudinalParity(std::span<const std::uint8_t> bytes);

} // namespace vtr8
