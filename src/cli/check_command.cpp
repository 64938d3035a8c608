// vtr8ctl check --at 0,50,100: the transmitter's readings at reference inputs the technician
// sets on the calibrator, against the reference, as a deviation and a share of the span.
#include "cli/cli_session.h"

#include "report/reference_check.h"

namespace vtr8 {

int CliSession::check()
{
    const std::optional<ReferenceCheck> check = runReferenceCheck(
        ctx_, options_.checkAt, [this](const CheckReading& r, const QString& unit) {
            out_ << checkReadingText(r, unit) << '\n';
            out_.flush();
        });
    if (!check)
        return ExitEndedEarly;
    checkReadings_ = check->readings;
    showRead(check->configuration, check->note);
    return check->completed ? ExitDone : ExitEndedEarly;
}

} // namespace vtr8
