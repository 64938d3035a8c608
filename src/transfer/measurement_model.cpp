#include "transfer/measurement_model.h"

#include "link/command_protocol.h"
#include "transfer/process_value_display.h"
#include "transfer/transfer_session.h"

#include <algorithm>
#include <cmath>

namespace vtr8 {

namespace {

// decodeProcessValue clamps to this bound.
constexpr float ClampedValue = 1.0e30f;

} // namespace

MeasurementModel::MeasurementModel(CommandProtocol& link, InputChoiceSource inputChoice,
                                   QObject* parent)
    : QObject(parent), link_(link), inputChoice_(std::move(inputChoice))
{
    Timer3.setSingleShot(true);
    Timer3.setTimerType(Qt::PreciseTimer);
    connect(&Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
}

MeasurementModel::~MeasurementModel()
{
    if (continuous_)
        link_.session().releasePort();
}

void MeasurementModel::setIntervalMs(int ms)
{
    intervalMs_ = std::max(0, ms);
}

void MeasurementModel::MereniClick()
{
    ZoZmHodn.clear();
    Z_jedn.clear();
    stale = false;
    emit changed();
}

void MeasurementModel::Button1Click()
{
    // A reading of its own while another waits for its reply would be refused by
    // the link as a failed command; there is nothing to gain from starting it.
    // During a continuous run a reading of its own would come sooner than the pace allows;
    // the run reads anyway.
    if (reading_ || continuous_)
        return;
    (void)readOnce();
}

void MeasurementModel::Start_MerClick()
{
    if (continuous_)
        return;
    // The port stays this program's for the whole run, between the readings too.
    if (!link_.session().holdPort())
        return;
    continuous_ = true;
    run_.clear();
    emit changed();
    if (reading_) {
        // The reading under way counts as the first one.
        armTimer();
        return;
    }
    // The first reading of a run happens at once.
    lastStart_.invalidate();
    Timer3Timer();
}

void MeasurementModel::Stop_merClick()
{
    endContinuous();
}

void MeasurementModel::ZAVRITClick()
{
    endContinuous();
    emit closeRequested();
}

void MeasurementModel::Timer3Timer()
{
    if (!continuous_)
        return;
    if (reading_ || (lastStart_.isValid() && lastStart_.elapsed() < intervalMs_)) {
        // A "Změřit" reading is under way, or the timer woke early: the next
        // continuous reading waits for its full interval.
        armTimer();
        return;
    }
    const bool ok = readOnce();
    if (!continuous_)
        return;
    if (!ok) {
        endContinuous();
        return;
    }
    armTimer();
}

void MeasurementModel::armTimer()
{
    const qint64 elapsed = lastStart_.isValid() ? lastStart_.elapsed() : intervalMs_;
    const qint64 wait = std::max<qint64>(0, intervalMs_ - elapsed);
    Timer3.start(static_cast<int>(wait));
}

void MeasurementModel::endContinuous()
{
    Timer3.stop();
    if (!continuous_)
        return;
    continuous_ = false;
    link_.session().releasePort();
    emit continuousStopped();
}

bool MeasurementModel::readOnce()
{
    TransferSession session(link_);
    if (!session.active())
        return false;
    reading_ = true;
    lastStart_.start();
    const auto reply = link_.send(Command::ReadPV);
    reading_ = false;
    if (!reply) {
        if (!ZoZmHodn.isEmpty() && !stale) {
            stale = true;
            emit changed();
        }
        return false;
    }

    // The unit code, then the value's four bytes.
    const auto data = [&reply](std::size_t k) -> std::uint8_t {
        return k < reply.value.data.size() ? reply.value.data[k] : 0;
    };
    const float value = decodeProcessValue(data(1), data(2), data(3), data(4));
    const InputChoice choice = inputChoice_ ? inputChoice_() : InputChoice{};
    ZoZmHodn = formatProcessValue(value, processValueDecimals(choice.input, choice.linearization));
    // The clamp's bound as the transmitter's documentation writes it, not its 31 float digits.
    if (std::fabs(value) >= ClampedValue)
        ZoZmHodn = value < 0 ? QStringLiteral("-1.0e30") : QStringLiteral("1.0e30");
    stale = false;
    if (const auto unit = processValueUnitText(data(0)))
        Z_jedn = *unit;
    ++readingCount_;
    const MeasurementReading reading{QDateTime::currentDateTime(), value, ZoZmHodn, Z_jedn};
    if (continuous_)
        run_.push_back(reading);
    emit readingTaken(reading);
    emit changed();
    return true;
}

} // namespace vtr8
