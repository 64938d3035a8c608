#pragma once

#include "device/codes.h"
#include "transfer/measurement_log.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace vtr8 {

class CommandProtocol;

// The measurement window without widgets: one "ReadPV" on request, or
// continuous reading paced by Timer3. Continuous reading is event-driven: a
// reading starts when Timer3 fires, and Timer3 is armed so that two readings
// start at least 1500 ms apart (a reading that takes longer delays the next).
// Nothing spins; "Stop" and "Zavřít" take effect before the next reading.
class MeasurementModel : public QObject {
    Q_OBJECT

public:
    // The current input type and linearization choose the number of decimals of the
    // shown value.
    struct InputChoice {
        std::optional<InputType> input;
        std::optional<Linearization> linearization;
    };
    using InputChoiceSource = std::function<InputChoice()>;

    MeasurementModel(CommandProtocol& link, InputChoiceSource inputChoice,
                     QObject* parent = nullptr);
    ~MeasurementModel() override;

    static constexpr int IntervalMs = 1500;

    // Shown value and unit ("ZoZmHodn", "Z_jedn").
    QString ZoZmHodn;
    QString Z_jedn;
    // The value shown is from before the link dropped: the last reading failed.
    bool stale = false;

    // Main window's "Měření": empty both fields before the window opens.
    void MereniClick();
    // "Změřit": one reading. Ignored while a reading is under way and during a continuous run,
    // whose readings keep their pace.
    void Button1Click();
    // "Start měření": starts continuous reading and returns; the first reading
    // happens at once.
    void Start_MerClick();
    // "Stop": no further reading starts.
    void Stop_merClick();
    // "Zavřít": stops and asks the window to close (closeRequested).
    void ZAVRITClick();

    bool continuousRunning() const { return continuous_; }
    bool readingInProgress() const { return reading_; }
    // Readings completed successfully since construction (for tests and the CLI).
    int readingCount() const { return readingCount_; }
    // The readings of the continuous run under way or last ended (the trend and its record).
    const std::vector<MeasurementReading>& runReadings() const { return run_; }

    // For tests: a shorter pace.
    void setIntervalMs(int ms);

signals:
    // Fields changed.
    void changed();
    // Continuous reading ended (Stop, Zavřít or a failed reading).
    void continuousStopped();
    void closeRequested();
    // A reading succeeded (single or continuous).
    void readingTaken(const vtr8::MeasurementReading& reading);

private:
    void Timer3Timer();
    [[nodiscard]] bool readOnce();
    void endContinuous();
    void armTimer();

    CommandProtocol& link_;
    InputChoiceSource inputChoice_;
    QTimer Timer3;
    QElapsedTimer lastStart_;
    int intervalMs_ = IntervalMs;
    bool continuous_ = false;
    bool reading_ = false;
    int readingCount_ = 0;
    std::vector<MeasurementReading> run_;
};

} // namespace vtr8
