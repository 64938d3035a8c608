#include "sim/sim_command_line.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace vtr8::sim {

namespace {

bool ParseByte(const std::string& text, std::uint8_t& value)
{
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 0 || n > 255)
        return false;
    value = static_cast<std::uint8_t>(n);
    return true;
}

bool ParseNumber(const std::string& text, double& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The file itself is made later (at exit for --dump): its folder must take it.
bool FolderTakesFiles(const std::string& option, const std::string& path, std::string& errorText)
{
    auto folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    bool usable = std::filesystem::is_directory(folder, error);
#ifndef _WIN32
    usable = usable && ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
    if (!usable)
        errorText =
            option + " " + path + ": folder " + folder.string() + " is not a writable folder";
    return usable;
}

} // namespace

bool CheckSimPaths(const SimCommandLine& commandLine, std::string& errorText)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (const std::string& path = commandLine.loadPath; !path.empty()) {
        const auto status = fs::status(path, error);
        if (error) {
            errorText = "--load " + path + ": " + error.message();
            return false;
        }
        if (!fs::is_regular_file(status)) {
            errorText = "--load " + path + ": not a readable regular file";
            return false;
        }
    }
    if (const std::string& path = commandLine.dumpPath; !path.empty()) {
        if (!FolderTakesFiles("--dump", path, errorText))
            return false;
        const auto status = fs::status(path, error);
        if (path.back() == '/' || (fs::exists(status) && !fs::is_regular_file(status))) {
            errorText = "--dump " + path + ": exists and is not a regular file";
            return false;
        }
    }
    if (const std::string& path = commandLine.linkPath; !path.empty()) {
        // Only a link of our own kind is replaced; a file of the user's never.
        const auto status = fs::symlink_status(path, error);
        if (fs::exists(status) && !fs::is_symlink(status)) {
            errorText = "--link " + path + ": exists and is not a symbolic link, left alone";
            return false;
        }
        if (!FolderTakesFiles("--link", path, errorText))
            return false;
    }
    return true;
}

const char* SimUsage()
{
    return "usage: vtr8-sim [options]\n"
           "Simulated VTR8 transmitter on a pseudo-terminal; prints the device path to open.\n"
           "  --link PATH        also make PATH a symbolic link to the device\n"
           "  --load FILE        start from a 2048-byte EEPROM image (also --eeprom FILE)\n"
           "  --dump FILE        write the EEPROM image to FILE on exit (SIGTERM, SIGINT)\n"
           "  --firmware N       firmware number at byte 262 (default 14; 255 = old firmware)\n"
           "  --relays N         relay outputs fitted: 0, 1 or 2 (default 2)\n"
           "  --no-relays        same as --relays 0\n"
           "  --nast-code N      response code of NastOfs and NastFS (default 0)\n"
           "  --input VALUE      simulated input (default: a slow ramp across the range)\n"
           "  --pace             send at the pace of 2400 baud 8O1 (4.58 ms per byte)\n"
           "  --trace            log every frame on stderr\n"
           "  --fault SPEC       KIND[=PARAM][@N|@N-M|@N-|@every], repeatable; KIND is\n"
           "                     no-reply, broken, checksum, address, garbage, slow, extra,\n"
           "                     late (the reply again PARAM ms after it), command (another\n"
           "                     command byte), short (only PARAM data bytes, default 2),\n"
           "                     duplicate (a copy of the previous reply at once, then the\n"
           "                     reply at the line's pace);\n"
           "                     N counts requests (every attempt) from 1; PARAM is at most\n"
           "                     4096 bytes, or 600000 ms for slow and late\n"
           "  --fault store=A    every WriteEEPROM that covers address A stores that byte\n"
           "                     changed (bit 0 flipped) but echoes the request as usual;\n"
           "                     store-once=A does it to the first such write only\n";
}

bool ParseSimCommandLine(const std::vector<std::string>& arguments, SimCommandLine& result,
                         std::string& errorText)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                errorText = a + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            result.help = true;
        } else if (a == "--trace") {
            result.trace = true;
        } else if (a == "--pace") {
            result.pace = true;
        } else if (a == "--no-relays") {
            result.options.relays = false;
            result.options.secondRelay = false;
            result.relaysGiven = true;
        } else if (a == "--link") {
            if (!value(result.linkPath))
                return false;
        } else if (a == "--load" || a == "--eeprom") {
            if (!value(result.loadPath))
                return false;
        } else if (a == "--dump") {
            if (!value(result.dumpPath))
                return false;
        } else if (a == "--firmware") {
            if (!value(v) || !ParseByte(v, result.options.firmware)) {
                errorText = "--firmware needs a number 0..255";
                return false;
            }
            result.firmwareGiven = true;
        } else if (a == "--relays") {
            std::uint8_t n = 0;
            if (!value(v) || !ParseByte(v, n) || n > 2) {
                errorText = "--relays needs 0, 1 or 2";
                return false;
            }
            result.options.relays = n >= 1;
            result.options.secondRelay = n >= 2;
            result.relaysGiven = true;
        } else if (a == "--nast-code") {
            if (!value(v) || !ParseByte(v, result.options.nastResponseCode)) {
                errorText = "--nast-code needs a number 0..255";
                return false;
            }
        } else if (a == "--input") {
            double x = 0;
            if (!value(v) || !ParseNumber(v, x)) {
                errorText = "--input needs a number";
                return false;
            }
            result.options.input = x;
        } else if (a == "--fault") {
            if (!value(v))
                return false;
            const auto rule = ParseFaultRule(v);
            if (!rule) {
                errorText = "bad fault: " + v;
                return false;
            }
            result.faults.push_back(*rule);
        } else {
            errorText = "unknown argument: " + a;
            return false;
        }
    }
    return true;
}

} // namespace vtr8::sim
