#pragma once

#include "linearization/point_set.h"
#include "linearization/workspace.h"
#include "model/main_window_model.h"
#include "support/simulated_transport.h"
#include "support/transfer_bench.h"
#include "transfer/transfer_context.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <utility>
#include <vector>

namespace vtr8::test {

// One request the simulated transmitter took: command number, EEPROM address and data bytes
// (the address is 0 for commands without one).
struct SentCommand {
    std::uint8_t command = 0;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> bytes;
};

inline constexpr std::uint8_t ReadEeprom = 113;
inline constexpr std::uint8_t WriteEeprom = 114;
inline constexpr std::uint8_t StopCommand = 115;
inline constexpr std::uint8_t ContinueCommand = 116;
inline constexpr std::uint8_t ResetCommand = 118;

// The editor model, the linearization working data and a transfer context over an in-process
// simulated transmitter, plus a way to fill the main window's fields as a person would.
struct WriteFixture {
    explicit WriteFixture(const sim::SimOptions& options = {});

    SimulatedLink link;
    LinearizationPoints points;
    LinearizationWorkspace workspace;
    MainWindowModel model;
    TransferContext ctx;
    std::vector<int> progress;

    ScriptedUserInterface& ui() { return link.ui; }
    sim::EepromImage& eeprom() { return link.transmitter().eeprom(); }

    // Types into the named fields in order and leaves each (running its exit check).
    void fill(std::initializer_list<std::pair<const char*, const char*>> fields);

    std::vector<SentCommand> sent() const;
    // Only the writes, as (address, bytes).
    std::vector<SentCommand> writes() const;
    // The data of the last write to address, or empty.
    std::vector<std::uint8_t> lastWrite(std::uint16_t address) const;
    float floatAt(int address);
    void swallowRequests(int first, int last);
};

std::vector<std::uint8_t> FloatBytes(std::initializer_list<float> values);

// "napětí" 0..end with the divider ratio and linearization given, damping 1 s.
void FillVoltage(WriteFixture& f, const char* divider, const char* linearization, const char* end,
                 const char* errorCurrent = "nadproud");

// Makes the next point-file choice take these points (measured input, required output) with
// the method given, as reading a point file and the table window's OK would.
void ChoosePoints(WriteFixture& f, PointFitMethod method,
                  std::initializer_list<std::pair<double, double>> points);

} // namespace vtr8::test

// Failure output shows texts, not their UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
