#pragma once

#include "linearization/point_set.h"
#include "linearization/workspace.h"
#include "model/main_window_model.h"
#include "sim/eeprom.h"
#include "support/simulated_transport.h"
#include "transfer/transfer_context.h"
#include "transfer/write_configuration.h"
#include "user_interface/scripted_user_interface.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vtr8::test {

// Creates the test program's QCoreApplication (timers and event loops need one).
void EnsureApplication();

// A request the transmitter received: command number and data bytes.
struct Request {
    std::uint8_t command;
    std::vector<std::uint8_t> data;
    bool operator==(const Request&) const = default;
};
Request ReadRequest(std::uint16_t address, std::uint8_t count);
Request WriteRequest(std::uint16_t address, std::vector<std::uint8_t> bytes);
Request Command(std::uint8_t number);
std::ostream& operator<<(std::ostream& out, const Request& request);

// The main-window model, the linearization working data and a transfer
// context over an in-process simulated transmitter.
struct TransferBench {
    explicit TransferBench(const sim::SimOptions& options = {});

    SimulatedLink link;
    LinearizationPoints points;
    LinearizationWorkspace workspace;
    MainWindowModel model;
    TransferContext ctx;
    // Prenos as the window would have shown it, one entry per change.
    std::vector<int> progress;

    ScriptedUserInterface& ui() { return link.ui; }
    sim::Transmitter& transmitter() { return link.transmitter(); }
    sim::EepromImage& eeprom() { return link.transmitter().eeprom(); }
    std::vector<Request> requests() const;
    void clearRequests() { link.transmitter().clearRequests(); }
    // The transmitter swallows requests first..last (every attempt counts).
    void noReply(int first, int last);
};

// A write of what the editor holds, taken as the window takes it.
bool WriteEditorConfiguration(TransferContext& ctx, MainWindowModel& model,
                              const WriteTiming& timing = {});

// A number as the person's locale writes it ("0.01" or "0,01").
QString Localised(const char* text);

void PutFloat(sim::EepromImage& image, int address, float value);
// The point-file range at 1024 keeps its floats with the four bytes reversed.
void PutReversedFloat(sim::EepromImage& image, int address, float value);
std::vector<std::uint8_t> FloatBytes(float value);

} // namespace vtr8::test
