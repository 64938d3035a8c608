#include "link/frame.h"

namespace vtr8 {

namespace {

using L = RequestLayout;
using C = Command;

constexpr CommandSpec Commands[] = {
    {C::ReadUniqIdent, "ReadUniqIdent", 0, L::None, 0},
    {C::ReadPV, "ReadPV", 1, L::None, 0},
    {C::WriteCasKonst, "WriteCasKonst", 34, L::TransferBytes, 4},
    {C::NastFS, "NastFS", 36, L::None, 0},
    {C::NastOfs, "NastOfs", 37, L::None, 0},
    {C::ReadRAM, "ReadRAM", 111, L::AddressLowCount, 0},
    {C::WriteRAM, "WriteRAM", 112, L::AddressLowCountData, 0},
    {C::ReadEEPROM, "ReadEEPROM", 113, L::AddressHighLowCount, 0},
    {C::WriteEEPROM, "WriteEEPROM", 114, L::AddressHighLowCountData, 0},
    {C::Stop, "Stop", 115, L::None, 0},
    {C::Continue, "Continue", 116, L::None, 0},
    {C::WriteDA, "WriteDA", 117, L::AddressHighLowCount, 0},
    {C::Reset, "Reset", 118, L::None, 0},
    {C::ReadRTCC, "ReadRTCC", 120, L::AddressLowCount, 0},
    {C::WriteRTCC, "WriteRTCC", 121, L::AddressLowCountData, 0},
    {C::STOPFAZ, "STOPFAZ", 123, L::AddressLow, 0},
    {C::ReadEEPROM2, "ReadEEPROM2", 124, L::AddressHighLowCount, 0},
    {C::WriteCalRC, "WriteCalRC", 124, L::TransferBytes, 2},
    {C::WriteEEPROM2, "WriteEEPROM2", 125, L::AddressHighLowCountData, 0},
    {C::Kalibr_RC, "Kalibr_RC", 125, L::TransferBytes, 2},
};

} // namespace

std::span<const CommandSpec> CommandTable()
{
    return Commands;
}

std::optional<CommandSpec> FindCommand(std::string_view name)
{
    for (const CommandSpec& spec : Commands)
        if (spec.name == name)
            return spec;
    return std::nullopt;
}

const CommandSpec& SpecOf(Command command)
{
    return Commands[static_cast<std::size_t>(command)];
}

std::uint8_t LongitudinalParity(std::span<const std::uint8_t> bytes)
{
    std::uint8_t parity = 0;
    for (std::uint8_t b : bytes)
        parity ^= b;
    return parity;
}

TxFrame BuildTxFrame(std::string_view name, std::uint16_t address, std::uint8_t count,
                     const std::array<std::uint8_t, 26>& transferBuffer)
{
    TxFrame frame;
    const auto spec = FindCommand(name);
    const bool carriesData = spec && (spec->layout == L::AddressLowCountData ||
                                      spec->layout == L::AddressHighLowCountData);
    // The transfer buffer holds 25 bytes; a longer write cannot be built.
    if (!spec || (carriesData && count > transferBuffer.size() - 1))
        return frame;

    int p = 1;
    for (int i = 0; i < RequestPreambleLength; ++i)
        frame.bytes[p++] = RequestPreambleByte;
    frame.bytes[p++] = RequestDelimiter;
    for (std::uint8_t b : DeviceAddress)
        frame.bytes[p++] = b;

    const auto high = static_cast<std::uint8_t>(address >> 8);
    const auto low = static_cast<std::uint8_t>(address & 0xFF);
    std::uint8_t data[30]{};
    int n = 0;
    switch (spec->layout) {
    case L::None:
        break;
    case L::TransferBytes:
        for (int i = 1; i <= spec->fixedCount; ++i)
            data[n++] = transferBuffer[i];
        break;
    case L::AddressLowCount:
        data[n++] = low;
        data[n++] = count;
        break;
    case L::AddressLowCountData:
        data[n++] = low;
        data[n++] = count;
        for (int i = 1; i <= count; ++i)
            data[n++] = transferBuffer[i];
        break;
    case L::AddressHighLowCount:
        data[n++] = high;
        data[n++] = low;
        data[n++] = count;
        break;
    case L::AddressHighLowCountData:
        data[n++] = high;
        data[n++] = low;
        data[n++] = count;
        for (int i = 1; i <= count; ++i)
            data[n++] = transferBuffer[i];
        break;
    case L::AddressLow:
        data[n++] = low;
        break;
    }

    frame.bytes[p++] = spec->number;
    frame.bytes[p++] = static_cast<std::uint8_t>(n);
    for (int i = 0; i < n; ++i)
        frame.bytes[p++] = data[i];
    // The checksum covers the delimiter through the last data byte.
    frame.bytes[p] = LongitudinalParity(
        std::span<const std::uint8_t>(frame.bytes.data() + 1 + RequestPreambleLength,
                                      static_cast<std::size_t>(p - 1 - RequestPreambleLength)));
    frame.TxFrameLen = static_cast<std::uint8_t>(p);
    return frame;
}

} // namespace vtr8
