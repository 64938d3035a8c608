#include "sim/eeprom.h"
#include "sim/pty_server.h"
#include "sim/sim_command_line.h"
#include "sim/transmitter.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(stopPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vtr8::sim;
    SimCommandLine commandLine;
    std::string errorText;
    if (!ParseSimCommandLine({argv + 1, argv + argc}, commandLine, errorText)) {
        std::cerr << "vtr8-sim: " << errorText << '\n' << SimUsage();
        return 2;
    }
    if (commandLine.help) {
        std::cout << SimUsage();
        return 0;
    }
    // A bad path is the caller's mistake like a bad argument, found before
    // the pty exists rather than at exit.
    if (!CheckSimPaths(commandLine, errorText)) {
        std::cerr << "vtr8-sim: " << errorText << '\n';
        return 2;
    }

    Transmitter transmitter(commandLine.options);
    if (!commandLine.loadPath.empty()) {
        if (!LoadEeprom(commandLine.loadPath, transmitter.eeprom(), errorText)) {
            std::cerr << "vtr8-sim: --load " << errorText << '\n';
            return 2;
        }
        // Options given explicitly win over the loaded image.
        const EepromImage factory = FactoryEeprom(commandLine.options);
        if (commandLine.firmwareGiven)
            transmitter.eeprom()[262] = factory[262];
        if (commandLine.relaysGiven) {
            transmitter.eeprom()[1084] = factory[1084];
            transmitter.eeprom()[1085] = factory[1085];
        }
    }
    for (const FaultRule& rule : commandLine.faults)
        transmitter.faults().add(rule);

    if (::pipe(stopPipe) != 0) {
        std::perror("vtr8-sim: pipe");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);

    ServerConfig config;
    config.linkPath = commandLine.linkPath;
    config.trace = commandLine.trace;
    config.pace = commandLine.pace;
    PtyServer server(transmitter, config, std::cerr);
    if (!server.open(errorText)) {
        std::cerr << "vtr8-sim: " << errorText << '\n';
        return 1;
    }
    std::cout << server.slavePath() << std::endl;

    const int result = server.run(stopPipe[0]);

    if (!commandLine.dumpPath.empty() &&
        !DumpEeprom(commandLine.dumpPath, transmitter.eeprom(), errorText)) {
        std::cerr << "vtr8-sim: " << errorText << '\n';
        return 1;
    }
    return result;
}
