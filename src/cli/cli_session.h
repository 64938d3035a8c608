#pragma once

#include "cli/cli_options.h"
#include "cli/text_user_interface.h"
#include "history/history_record.h"
#include "linearization/point_set.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"

#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

namespace vtr8 {

// Exit statuses of vtr8ctl.
enum CliExit { ExitDone = 0, ExitEndedEarly = 1, ExitUsage = 2 };

// One run of vtr8ctl against a transmitter: the same editor model, table-window
// model, command protocol and transfer sequences the window uses, driven from
// the command line. `out` receives the results (configuration, readings, note,
// comparator fields); messages and questions go through `ui` to stderr.
// The port the command line names (--port, --com) or else the stored choice, set on the link's
// session; false with the message told when the name is no port.
bool choosePortFromOptions(const CliOptions& options, CommandProtocol& link, UserInterface& ui);

class CliSession {
public:
    CliSession(const CliOptions& options, TextUserInterface& ui, QTextStream& out);
    ~CliSession();

    int run();

    // SIGINT or SIGTERM: the command in flight ends, nothing more is sent. A
    // measurement until interrupted simply stops.
    void interrupt();

    // Sees every frame of the run (the record of the transfer); empty for none.
    void setFrameTap(std::function<void(bool outgoing, const QByteArray& bytes)> tap)
    {
        frameTap_ = std::move(tap);
    }
    // The readings a check took.
    const std::vector<CheckReading>& checkReadings() const { return checkReadings_; }

    // For tests: the link (timing, transport) and the model.
    CommandProtocol& link() { return link_; }
    MainWindowModel& model() { return model_; }

private:
    int write();
    int read(); // read_command.cpp
    // The point file behind the "ze souboru" configuration just read, rebuilt from the
    // transmitter's segment table so that a write of it stores the same memory; told and
    // empty when no such file can be found.
    std::optional<QByteArray> recoverPointFile(const QString& pointPath);
    int verify(); // verify_command.cpp
    int backup(); // backup_command.cpp
    int measure();
    int note();
    int comparator();
    int adjust();
    int check();  // check_command.cpp
    int report(); // report_command.cpp

    bool choosePort();
    // The configuration file (and point file) of write and verify into the model, as the window
    // would have them before "Poslat". False, with `refusal` told, when a check refused a value.
    bool loadForWrite(const QString& refusal);
    void printConfiguration();
    // What a check or a report read into its own value, kept as this run's configuration and
    // note (the record of the run names them).
    void showRead(const QByteArray& configuration, const QString& note);

    const CliOptions& options_;
    TextUserInterface& ui_;
    QTextStream& out_;
    LinearizationPoints points_;
    LinearizationWorkspace workspace_;
    CommandProtocol link_;
    MainWindowModel model_;
    TableWindowModel table_;
    EditorTransferContext ctx_;
    bool interrupted_ = false;
    // Set while a continuous measurement runs: ends it.
    std::function<void()> stopMeasuring_;
    std::function<void(bool, const QByteArray&)> frameTap_;
    std::vector<CheckReading> checkReadings_;
};

} // namespace vtr8
