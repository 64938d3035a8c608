// Feeds the reply parser arbitrary bytes in arbitrary chunks, through the
// same ring buffer the command protocol uses. Out-of-bounds stores trip the
// bounds-checked arrays (_GLIBCXX_ASSERTIONS) and AddressSanitizer; every reply
// the parser accepts is checked against an independent reading of the bytes.

#include "link/circle_char_buffer.h"
#include "link/reply_parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The bytes the parser saw since its count last restarted.
struct Oracle {
    std::vector<std::uint8_t> seen;

    void verifyAccepted(const vtr8::ReplyParser& p) const
    {
        const std::size_t preamble = static_cast<std::size_t>(p.PreambleLength);
        Check(preamble >= 1 && preamble < seen.size());
        for (std::size_t i = 1; i < preamble; ++i)
            Check(seen[i] == 0xFF);
        const std::uint8_t delimiter = seen[preamble];
        const bool shortFrame = delimiter == 0x06 || delimiter == 0x01;
        Check(shortFrame || delimiter == 0x86 || delimiter == 0x81);
        const std::size_t addressLength = shortFrame ? 1 : 5;
        const std::size_t countAt = preamble + addressLength + 2;
        Check(countAt < seen.size());
        const std::size_t n = seen[countAt];
        Check(n >= 1 && n <= vtr8::ReplyParser::ReplyDataSize);
        Check(seen.size() == countAt + n + 2);
        std::uint8_t parity = 0;
        for (std::size_t i = preamble; i + 1 < seen.size(); ++i)
            parity ^= seen[i];
        Check(parity == seen.back());
        for (std::size_t k = 1; k <= n; ++k)
            Check(p.ReplyData[k] == seen[countAt + k]);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the chunk sizes (1..16, varying).
    const unsigned chunkSeed = data[0];
    ++data;
    --size;

    vtr8::ReplyParser parser;
    vtr8::TCircleCharBuffer ring;
    Oracle oracle;
    ring.onReset = [&] {
        parser.ResetCount();
        parser.StartAttempt();
        oracle.seen.clear();
    };
    parser.Clear();
    ring.Reset();

    std::size_t offset = 0;
    unsigned chunkIndex = 0;
    while (offset < size) {
        const std::size_t chunk = 1 + ((chunkSeed + 7 * chunkIndex++) % 16);
        const std::size_t end = offset + chunk < size ? offset + chunk : size;
        for (; offset < end; ++offset) {
            ring.Put(data[offset]);
            while (!ring.Empty()) {
                const bool wasComplete = parser.ReplyComplete;
                const std::uint8_t b = ring.Get();
                oracle.seen.push_back(b);
                parser.ProcessReplyByte(b);
                Check(parser.RxCount == static_cast<int>(oracle.seen.size()));
                if (!wasComplete && parser.ReplyComplete && !parser.ChecksumError &&
                    !parser.FrameError)
                    oracle.verifyAccepted(parser);
                if (wasComplete)
                    Check(parser.ReplyComplete);
            }
        }
    }
    return 0;
}
