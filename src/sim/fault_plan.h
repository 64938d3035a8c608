#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtr8::sim {

enum class FaultKind {
    NoReply,      // the request is swallowed
    BrokenReply,  // the reply stops after its first `param` bytes (default: half of it)
    BadChecksum,  // the checksum byte is inverted
    WrongAddress, // the first address byte is changed
    Garbage,      // `param` bytes of noise instead of the reply (default 12)
    Slow,         // the reply comes `param` ms late (default 1500)
    ExtraBytes,   // `param` bytes after the checksum (default 3)
    // The reply comes once more, `param` ms after it (default 0): to the next
    // exchange, a late duplicate of the previous reply.
    LateDuplicate,
    // A copy of the previous reply in one burst as soon as the request is in (a repeater, an
    // adapter's buffer), the reply itself behind it.
    Duplicate,
    OtherCommand, // the reply carries command byte `param` (default: the request's + 1)
    ShortCount,   // the reply keeps only `param` data bytes (default 2: the status bytes)

    // Not a reply fault: a "WriteEEPROM" that covers address `param` stores that byte changed
    // while its reply still echoes the request. StoreOnce does it to the first such write only.
    CorruptStore,
    CorruptStoreOnce,
};

// Bounds of PARAM: a byte count (broken, garbage, extra) and a delay in ms
// (slow, also the sum of all slow rules for one request).
inline constexpr int MaxFaultBytes = 4096;
inline constexpr int MaxFaultDelayMs = 600000;

// Applies to requests first..last (1-based, counting every well-formed request
// including repeated attempts); last 0 = no end.
struct FaultRule {
    FaultKind kind = FaultKind::NoReply;
    int param = -1; // -1 = the kind's default
    int first = 1;
    int last = 0;
};

// Parses "KIND[=PARAM][@N|@N-M|@N-|@every]", e.g. "no-reply@1-2",
// "slow=1200@3", "extra=5". Without "@" the rule applies to every request.
[[nodiscard]] std::optional<FaultRule> ParseFaultRule(std::string_view text);
std::string_view FaultKindName(FaultKind kind);

struct Response;

class FaultPlan {
public:
    void add(const FaultRule& rule) { rules_.push_back(rule); }
    void clear() { rules_.clear(); }
    bool empty() const { return rules_.empty(); }
    // Changes the response to request `number` by every rule that covers it.
    // Returns false when the reply is to be swallowed. Replies a rule adds
    // (duplicates) go to `extra`.
    bool apply(int number, Response& response, std::uint32_t& noiseSeed,
               std::vector<Response>* extra = nullptr) const;
    // The offset within a "WriteEEPROM" of count bytes at address whose stored byte request
    // `number` changes, or -1.
    int corruptedStoreOffset(int number, int address, int count);
    // Whether request `number` gets a copy of the previous reply before its own.
    bool duplicatesPrevious(int number) const;

private:
    std::vector<FaultRule> rules_;
    std::vector<std::size_t> spentOnceRules_;
};

} // namespace vtr8::sim
