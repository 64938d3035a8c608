// Arbitrary text as a fault rule of the simulator. A rule it takes must be
// sensible and must come back unchanged from its own canonical spelling.
#include "sim/fault_plan.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string spelled(const vtr8::sim::FaultRule& rule)
{
    std::string text(vtr8::sim::FaultKindName(rule.kind));
    if (rule.param >= 0)
        text += "=" + std::to_string(rule.param);
    text += "@" + std::to_string(rule.first) + "-";
    if (rule.last != 0)
        text += std::to_string(rule.last);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto rule = vtr8::sim::ParseFaultRule(text);
    if (!rule)
        return 0;
    check(rule->param >= -1);
    check(rule->first >= 1);
    check(rule->last == 0 || rule->last >= rule->first);
    // Only text the usage names gets through: a kind, digits and "=@-".
    for (const char c : text)
        check((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '=' || c == '@');

    const auto again = vtr8::sim::ParseFaultRule(spelled(*rule));
    check(again && again->kind == rule->kind && again->param == rule->param &&
          again->first == rule->first && again->last == rule->last);
    return 0;
}
