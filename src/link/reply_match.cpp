#include "link/reply_match.h"

#include "link/reply_parser.h"

#include <algorithm>

namespace vtr8 {

namespace {

constexpr int StatusBytes = 2;
constexpr int CommandPosition = 13; // of the request frame, 1-based
constexpr int CountPosition = 14;

bool EchoMatches(std::span<const std::uint8_t> requestData, std::span<const std::uint8_t> echo,
                 std::size_t minimum)
{
    if (echo.size() != minimum && echo.size() != requestData.size())
        return false;
    return std::equal(echo.begin(), echo.end(), requestData.begin());
}

} // namespace

bool ReplyMatchesRequest(const TxFrame& request, std::uint8_t replyCommand,
                         std::span<const std::uint8_t> data)
{
    if (request.TxFrameLen < CountPosition + 1)
        return false;
    const std::uint8_t command = request.bytes[CommandPosition];
    if (replyCommand != command || data.size() < StatusBytes)
        return false;
    const std::size_t requestCount = request.bytes[CountPosition];
    const std::span<const std::uint8_t> requestData(request.bytes.data() + CountPosition + 1,
                                                    requestCount);
    const std::span<const std::uint8_t> own = data.subspan(StatusBytes);
    switch (command) {
    case 0: // ReadUniqIdent
        return own.size() == 12;
    case 1: // ReadPV
        return own.size() == 5;
    case 111: // ReadRAM: address low, count
    case 120: // ReadRTCC
        return requestCount == 2 && own.size() == requestData[1];
    case 113: // ReadEEPROM: address high, low, count
        return requestCount == 3 && own.size() == requestData[2];
    case 124: // ReadEEPROM2, or WriteCalRC with two bytes
        if (requestCount == 2)
            return EchoMatches(requestData, own, 2);
        return requestCount == 3 && own.size() == requestData[2];
    case 112: // WriteRAM, WriteRTCC: address low, count, data
    case 121:
        return EchoMatches(requestData, own, 2);
    case 114: // WriteEEPROM: address high, low, count, data
        return EchoMatches(requestData, own, 3);
    case 125: // WriteEEPROM2, or Kalibr_RC with two bytes
        return EchoMatches(requestData, own, requestCount == 2 ? 2 : 3);
    case 34:  // WriteCasKonst
    case 117: // WriteDA
    case 123: // STOPFAZ
        return EchoMatches(requestData, own, requestCount);
    default: // Stop, Continue, Reset, NastOfs, NastFS
        return own.empty();
    }
}

bool ReplyProvesItsRequest(const TxFrame& request)
{
    if (request.TxFrameLen < CountPosition + 1)
        return false;
    switch (request.bytes[CommandPosition]) {
    case 0:   // ReadUniqIdent
    case 1:   // ReadPV
    case 36:  // NastFS: its response code
    case 37:  // NastOfs
    case 111: // ReadRAM
    case 113: // ReadEEPROM
    case 120: // ReadRTCC
        return false;
    case 124: // ReadEEPROM2 (three data bytes), WriteCalRC (two, echoed)
        return request.bytes[CountPosition] == 2;
    default:
        return true;
    }
}

std::vector<LineFrame> SplitFrames(std::span<const std::uint8_t> bytes, bool* incomplete)
{
    std::vector<LineFrame> frames;
    ReplyParser parser;
    parser.Clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        parser.ProcessReplyByte(bytes[i]);
        if (!parser.ReplyComplete)
            continue;
        const std::size_t delimiter = start + static_cast<std::size_t>(parser.PreambleLength);
        LineFrame frame;
        frame.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(delimiter),
                           bytes.begin() + static_cast<std::ptrdiff_t>(i + 1));
        frame.valid = !parser.ChecksumError && !parser.FrameError;
        frames.push_back(std::move(frame));
        parser.Clear();
        start = i + 1;
    }
    if (incomplete)
        *incomplete = start < bytes.size();
    return frames;
}

std::vector<std::uint8_t> FrameOf(std::span<const std::uint8_t> reply)
{
    std::vector<LineFrame> frames = SplitFrames(reply);
    return frames.empty() ? std::vector<std::uint8_t>{} : std::move(frames.front().bytes);
}

int ExchangeLineBytes(Command command, std::uint8_t count)
{
    // Preamble, delimiter, five address bytes, command, byte count, checksum.
    constexpr int RequestFrame = RequestPreambleLength + 1 + 5 + 1 + 1 + 1;
    constexpr int ReplyPreambleLength = 5;
    constexpr int ReplyFrame = ReplyPreambleLength + 1 + 5 + 1 + 1 + 1;
    const CommandSpec& spec = SpecOf(command);
    int request = 0;
    switch (spec.layout) {
    case RequestLayout::None:
        break;
    case RequestLayout::TransferBytes:
        request = spec.fixedCount;
        break;
    case RequestLayout::AddressLow:
        request = 1;
        break;
    case RequestLayout::AddressLowCount:
        request = 2;
        break;
    case RequestLayout::AddressLowCountData:
        request = 2 + count;
        break;
    case RequestLayout::AddressHighLowCount:
        request = 3;
        break;
    case RequestLayout::AddressHighLowCountData:
        request = 3 + count;
        break;
    }
    int own = 0;
    switch (command) {
    case Command::ReadUniqIdent:
        own = 12;
        break;
    case Command::ReadPV:
        own = 5;
        break;
    case Command::ReadRAM:
    case Command::ReadRTCC:
    case Command::ReadEEPROM:
    case Command::ReadEEPROM2:
        own = count;
        break;
    case Command::WriteEEPROM:
    case Command::WriteEEPROM2:
        own = 3;
        break;
    case Command::WriteRAM:
    case Command::WriteRTCC:
    case Command::WriteCalRC:
    case Command::Kalibr_RC:
        own = 2;
        break;
    default:
        break;
    }
    return RequestFrame + request + ReplyFrame + StatusBytes + own;
}

} // namespace vtr8
