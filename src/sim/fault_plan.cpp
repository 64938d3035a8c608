#include "sim/fault_plan.h"

#include "sim/transmitter.h"

#include <algorithm>
#include <charconv>

namespace vtr8::sim {

namespace {

struct KindName {
    FaultKind kind;
    std::string_view name;
};

constexpr KindName KindNames[] = {
    {FaultKind::NoReply, "no-reply"},
    {FaultKind::BrokenReply, "broken"},
    {FaultKind::BadChecksum, "checksum"},
    {FaultKind::WrongAddress, "address"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Slow, "slow"},
    {FaultKind::ExtraBytes, "extra"},
    {FaultKind::LateDuplicate, "late"},
    {FaultKind::OtherCommand, "command"},
    {FaultKind::ShortCount, "short"},
    {FaultKind::Duplicate, "duplicate"},
    {FaultKind::CorruptStore, "store"},
    {FaultKind::CorruptStoreOnce, "store-once"},
};

// A reply frame: 0xFF preamble, delimiter, five address bytes, command, byte
// count, data, checksum. The position of the delimiter, or npos for bytes
// that are no frame (after another fault).
std::size_t DelimiterOf(const std::vector<std::uint8_t>& frame)
{
    for (std::size_t i = 0; i < frame.size(); ++i)
        if (frame[i] != 0xFF)
            return frame.size() >= i + 9 ? i : std::string_view::npos;
    return std::string_view::npos;
}

void Reseal(std::vector<std::uint8_t>& frame, std::size_t delimiter)
{
    std::uint8_t parity = 0;
    for (std::size_t i = delimiter; i + 1 < frame.size(); ++i)
        parity ^= frame[i];
    frame.back() = parity;
}

bool ParseInt(std::string_view text, int& value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

std::uint8_t NextNoise(std::uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(seed >> 24);
}

} // namespace

std::string_view FaultKindName(FaultKind kind)
{
    for (const auto& k : KindNames)
        if (k.kind == kind)
            return k.name;
    return "?";
}

std::optional<FaultRule> ParseFaultRule(std::string_view text)
{
    FaultRule rule;
    std::string_view which = "every";
    if (const auto at = text.find('@'); at != std::string_view::npos) {
        which = text.substr(at + 1);
        text = text.substr(0, at);
    }
    std::optional<std::string_view> param;
    if (const auto eq = text.find('='); eq != std::string_view::npos) {
        param = text.substr(eq + 1);
        text = text.substr(0, eq);
    }
    bool known = false;
    for (const auto& k : KindNames)
        if (k.name == text) {
            rule.kind = k.kind;
            known = true;
        }
    if (!known)
        return std::nullopt;
    if (param && !ParseInt(*param, rule.param))
        return std::nullopt;
    const bool delay = rule.kind == FaultKind::Slow || rule.kind == FaultKind::LateDuplicate;
    const int maxParam = delay                                  ? MaxFaultDelayMs
                         : rule.kind == FaultKind::OtherCommand ? 255
                                                                : MaxFaultBytes;
    if (rule.param > maxParam)
        return std::nullopt;
    // A changed store needs the address it changes.
    if ((rule.kind == FaultKind::CorruptStore || rule.kind == FaultKind::CorruptStoreOnce) &&
        !param)
        return std::nullopt;

    if (which == "every") {
        rule.first = 1;
        rule.last = 0;
    } else if (const auto dash = which.find('-'); dash != std::string_view::npos) {
        if (!ParseInt(which.substr(0, dash), rule.first) || rule.first < 1)
            return std::nullopt;
        const auto end = which.substr(dash + 1);
        if (end.empty())
            rule.last = 0;
        else if (!ParseInt(end, rule.last) || rule.last < rule.first)
            return std::nullopt;
    } else {
        if (!ParseInt(which, rule.first) || rule.first < 1)
            return std::nullopt;
        rule.last = rule.first;
    }
    return rule;
}

bool FaultPlan::apply(int number, Response& response, std::uint32_t& noiseSeed,
                      std::vector<Response>* extra) const
{
    for (const FaultRule& rule : rules_) {
        if (number < rule.first || (rule.last != 0 && number > rule.last))
            continue;
        auto& bytes = response.bytes;
        switch (rule.kind) {
        case FaultKind::NoReply:
            return false;
        case FaultKind::BrokenReply: {
            const std::size_t keep =
                rule.param >= 0 ? static_cast<std::size_t>(rule.param) : bytes.size() / 2;
            if (keep < bytes.size())
                bytes.resize(keep);
            break;
        }
        case FaultKind::BadChecksum:
            if (!bytes.empty())
                bytes.back() ^= 0xFF;
            break;
        case FaultKind::WrongAddress:
            for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
                if (bytes[i] != 0xFF) {
                    bytes[i + 1] ^= 0x01;
                    break;
                }
            break;
        case FaultKind::Garbage: {
            const int n = std::min(MaxFaultBytes, rule.param >= 0 ? rule.param : 12);
            bytes.clear();
            for (int i = 0; i < n; ++i)
                bytes.push_back(NextNoise(noiseSeed));
            break;
        }
        case FaultKind::Slow:
            // Saturates: however many rules cover the request, no overflow.
            response.delayMs = std::min(
                MaxFaultDelayMs,
                response.delayMs + std::min(MaxFaultDelayMs, rule.param >= 0 ? rule.param : 1500));
            break;
        case FaultKind::ExtraBytes: {
            const int n = std::min(MaxFaultBytes, rule.param >= 0 ? rule.param : 3);
            for (int i = 0; i < n; ++i)
                bytes.push_back(NextNoise(noiseSeed));
            break;
        }
        case FaultKind::LateDuplicate:
            if (extra)
                extra->push_back(
                    {bytes, std::min(MaxFaultDelayMs, response.delayMs + std::max(rule.param, 0))});
            break;
        case FaultKind::OtherCommand: {
            const std::size_t d = DelimiterOf(bytes);
            if (d == std::string_view::npos)
                break;
            bytes[d + 6] =
                static_cast<std::uint8_t>(rule.param >= 0 ? rule.param : bytes[d + 6] + 1);
            Reseal(bytes, d);
            break;
        }
        case FaultKind::ShortCount: {
            const std::size_t d = DelimiterOf(bytes);
            if (d == std::string_view::npos)
                break;
            const std::size_t keep = static_cast<std::size_t>(rule.param >= 0 ? rule.param : 2);
            if (keep >= bytes[d + 7])
                break;
            bytes.resize(d + 8 + keep + 1);
            bytes[d + 7] = static_cast<std::uint8_t>(keep);
            Reseal(bytes, d);
            break;
        }
        case FaultKind::Duplicate:
        case FaultKind::CorruptStore:
        case FaultKind::CorruptStoreOnce:
            break;
        }
    }
    return true;
}

bool FaultPlan::duplicatesPrevious(int number) const
{
    return std::any_of(rules_.begin(), rules_.end(), [&](const FaultRule& rule) {
        return rule.kind == FaultKind::Duplicate && number >= rule.first &&
               (rule.last == 0 || number <= rule.last);
    });
}

int FaultPlan::corruptedStoreOffset(int number, int address, int count)
{
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        const FaultRule& rule = rules_[i];
        if (rule.kind != FaultKind::CorruptStore && rule.kind != FaultKind::CorruptStoreOnce)
            continue;
        if (number < rule.first || (rule.last != 0 && number > rule.last))
            continue;
        if (rule.param < address || rule.param >= address + count)
            continue;
        if (rule.kind == FaultKind::CorruptStoreOnce) {
            if (std::find(spentOnceRules_.begin(), spentOnceRules_.end(), i) !=
                spentOnceRules_.end())
                continue;
            spentOnceRules_.push_back(i);
        }
        return rule.param - address;
    }
    return -1;
}

} // namespace vtr8::sim
