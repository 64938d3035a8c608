#pragma once

#include "cli/cli_options.h"
#include "history/history_store.h"
#include "history/transfer_tap.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace vtr8 {

class CliSession;
class UserInterface;

// The operation a command records; none for commands that change nothing and
// prove nothing (measure, note read, frame, ...).
std::optional<HistoryOperation> RecordedOperation(const CliOptions& options);

// Records one vtr8ctl transfer: watches its frames while it runs and adds one
// record when it has ended. Nothing here can end or slow the transfer: the
// store keeps what it cannot write and says so once.
class CliRecorder {
public:
    CliRecorder(const CliOptions& options, UserInterface& ui);

    void start(CliSession& session);
    void finish(CliSession& session, int status, const QStringList& messages);

private:
    const CliOptions& options_;
    std::optional<HistoryOperation> operation_;
    HistoryStore store_;
    TransferTap tap_;
    QDateTime started_;
};

} // namespace vtr8
