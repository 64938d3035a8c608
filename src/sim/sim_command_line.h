#pragma once

#include "sim/fault_plan.h"
#include "sim/sim_options.h"

#include <string>
#include <vector>

namespace vtr8::sim {

struct SimCommandLine {
    SimOptions options;
    bool firmwareGiven = false;
    bool relaysGiven = false;
    std::string loadPath; // --load / --eeprom
    std::string dumpPath; // --dump
    std::string linkPath; // --link
    bool trace = false;
    bool pace = false;
    bool help = false;
    std::vector<FaultRule> faults;
};

// Parses the arguments after the program name. false and errorText on a bad
// argument.
[[nodiscard]] bool ParseSimCommandLine(const std::vector<std::string>& arguments,
                                       SimCommandLine& result, std::string& errorText);

// Checks the files named on the command line before anything starts: --load
// a readable regular file, --dump a regular file (or none) in a writable
// folder, --link a symbolic link (or none) in a writable folder. false and
// errorText otherwise.
bool CheckSimPaths(const SimCommandLine& commandLine, std::string& errorText);

const char* SimUsage();

} // namespace vtr8::sim
