// Arbitrary arguments for the simulator (NUL separates them). Parsing either
// fails with a text or gives options that hold together.
#include "sim/sim_command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    vtr8::sim::SimCommandLine parsed;
    std::string error;
    const bool ok = vtr8::sim::ParseSimCommandLine(arguments, parsed, error);
    check(ok == error.empty());
    if (!ok)
        return 0;

    std::size_t faultOptions = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--fault") {
            ++faultOptions;
            ++i; // its value, whatever it says
        } else if (arguments[i] == "--link" || arguments[i] == "--load" ||
                   arguments[i] == "--eeprom" || arguments[i] == "--dump" ||
                   arguments[i] == "--firmware" || arguments[i] == "--relays" ||
                   arguments[i] == "--nast-code" || arguments[i] == "--input") {
            ++i;
        }
    }
    check(parsed.faults.size() == faultOptions);
    for (const auto& rule : parsed.faults)
        check(rule.first >= 1 && (rule.last == 0 || rule.last >= rule.first) && rule.param >= -1);
    check(!parsed.options.secondRelay || parsed.options.relays);
    return 0;
}
