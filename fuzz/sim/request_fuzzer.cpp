// Arbitrary bytes on the simulated transmitter's line. The requests it takes
// must be exactly the well-formed frames an independent scan finds, whatever the
// chunking, and every reply must be a whole frame to the program's reply parser.
#include "link/reply_parser.h"
#include "sim/transmitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr std::uint8_t Address[5] = {0x3A, 0xBD, 0xEF, 0xB1, 0x34};

struct Frame {
    std::uint8_t command;
    std::vector<std::uint8_t> data;
};

// Preamble of two or more 0xFF, 0x82, five address bytes, command, count, data,
// parity over everything from 0x82. A frame that fails is dropped whole and the
// hunt starts after its last byte.
std::vector<Frame> scan(std::span<const std::uint8_t> in)
{
    std::vector<Frame> frames;
    std::size_t i = 0;
    std::size_t run = 0;
    while (i < in.size()) {
        const std::uint8_t b = in[i++];
        if (b == 0xFF) {
            ++run;
            continue;
        }
        const bool start = b == 0x82 && run >= 2;
        run = 0;
        if (!start)
            continue;
        const std::size_t from = i - 1;
        if (in.size() - i < 7)
            break;
        const std::size_t count = in[i + 6];
        if (in.size() - i < 7 + count + 1)
            break;
        const std::size_t end = i + 7 + count; // the parity byte
        std::uint8_t parity = 0;
        for (std::size_t k = from; k < end; ++k)
            parity ^= in[k];
        bool ours = true;
        for (std::size_t k = 0; k < 5; ++k)
            ours = ours && in[i + k] == Address[k];
        if (parity == in[end] && ours)
            frames.push_back(
                {in[i + 5], std::vector<std::uint8_t>(in.begin() + std::ptrdiff_t(i + 7),
                                                      in.begin() + std::ptrdiff_t(end))});
        i = end + 1;
    }
    return frames;
}

std::vector<std::uint8_t> replies(vtr8::sim::Transmitter& t, std::span<const std::uint8_t> in,
                                  unsigned chunkSeed)
{
    std::vector<std::uint8_t> out;
    std::size_t offset = 0;
    unsigned index = 0;
    while (offset < in.size()) {
        const std::size_t chunk = chunkSeed == 0 ? in.size() : 1 + (chunkSeed + 5 * index++) % 23;
        const std::size_t n = chunk < in.size() - offset ? chunk : in.size() - offset;
        for (const auto& response : t.feed(in.subspan(offset, n))) {
            vtr8::ReplyParser parser;
            parser.Clear();
            for (const std::uint8_t b : response.bytes)
                parser.ProcessReplyByte(b);
            // A read of more than the program ever asks for gets a reply longer than
            // the program's store; the parser flags that, the frame is still whole.
            check(parser.ReplyComplete && !parser.ChecksumError);
            check(!parser.FrameError || parser.ByteCount > vtr8::ReplyParser::ReplyDataSize);
            check(parser.RxCount == static_cast<int>(response.bytes.size()));
            out.insert(out.end(), response.bytes.begin(), response.bytes.end());
        }
        offset += n;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const unsigned chunkSeed = data[0];
    const std::span<const std::uint8_t> in(data + 1, size - 1);

    vtr8::sim::Transmitter whole;
    vtr8::sim::Transmitter chunked;
    whole.setClock([] { return 0.0; });
    chunked.setClock([] { return 0.0; });
    const auto a = replies(whole, in, 0);
    const auto b = replies(chunked, in, chunkSeed | 1);
    check(a == b);
    check(whole.eeprom() == chunked.eeprom());

    const std::vector<Frame> expected = scan(in);
    const auto& taken = whole.requests();
    check(taken.size() == expected.size());
    for (std::size_t k = 0; k < taken.size(); ++k) {
        check(taken[k].command == expected[k].command);
        check(taken[k].data == expected[k].data);
        check(taken[k].answered);
    }
    return 0;
}
