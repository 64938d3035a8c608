#include "transfer/write_configuration.h"

#include "device/constants.h"
#include "device/device_float.h"
#include "device/input_type_table.h"
#include "device/memory_image.h"
#include "device/memory_map.h"
#include "linearization/characteristic.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "link/reply_match.h"
#include "transfer/line_progress.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"
#include "transfer/write_blocks.h"
#include "transfer/write_preparation.h"
#include "transfer/write_read_back.h"

namespace vtr8 {
namespace {

class ConfigurationTransfer {
public:
    enum class Mode {
        Send,    // the write
        Plan,    // the steps as a write, calibration reads included, the blocks only collected
        Measure, // nothing sent at all: the bytes the write will put on the line, for its progress
    };
    ConfigurationTransfer(TransferContext& ctx, const PreparedWrite& w, int settleMs,
                          Mode mode = Mode::Send)
        : ctx_(ctx), c_(w.configuration), link_(ctx.link), w_(w), settleMs_(settleMs),
          planOnly_(mode != Mode::Send), measureOnly_(mode == Mode::Measure)
    {
    }

    const std::vector<EepromBlock>& blocks() const { return blocks_; }
    qint64 lineBytes() const { return lineBytes_; }

    bool run()
    {
        FrontEndImage image;
        // The mode came from the table when the write was prepared.
        if (!LoadFrontEndSettings(w_.frontEnd.mode, image))
            return false;
        count(Command::Stop);
        if (!planOnly_ && !SendSimpleCommand(link_, Command::Stop))
            return false;
        stopped_ = true;

        ctx_.workspace.CharacteristicIndex = w_.characteristics.linearizationCharacteristic;

        OutputScaling scaling;
        if (!ComputeOutputScaling(scaling) || !send(OutputScalingBlocks(scaling)))
            return false;
        if (!send(FloatBlock(eeprom::DampingTime, {c_.damping.value})))
            return false;
        if (!send(FloatBlock(eeprom::DampingCoefficient, {dampingCoefficient(c_.damping.value)})))
            return false;

        if (!send(FrontEndBlocks(image)))
            return false;
        // After the front-end blocks, which write 1.0 there first.
        if (w_.inputScaleFactor &&
            !send(FloatBlock(eeprom::InputScaleFactor, {*w_.inputScaleFactor})))
            return false;

        if (isThermocouple(w_.input) || isResistanceThermometer(w_.input)) {
            if (!send(FloatBlock(eeprom::OverloadLimits,
                                 {scaling.signal.upper, scaling.signal.lower})))
                return false;
        }
        if (const auto& band = inputTypeRow(w_.input).band) {
            if (!send(FloatBlock(eeprom::OverloadLimits,
                                 {band->upperOverload, band->lowerOverload})) ||
                !send(FloatBlock(eeprom::InputOffset, {band->offset, band->span})))
                return false;
        }

        if (!WriteLinearizationData() || !WriteLinearizationMethod())
            return false;
        if (isThermocouple(w_.input)) {
            if (!send(ColdJunctionBlocks(w_.input)))
                return false;
        }
        if (!send(ByteBlock(eeprom::ErrorCurrentFlags,
                            {ErrorCurrentFlags(w_.errorCurrent, w_.rangeFalling)})))
            return false;
        if (!ZapisKonfigurace())
            return false;
        if (ctx_.readBackWrites) {
            if (measureOnly_) {
                for (const ReadRun& read : ReadsCovering(FinalBlocks(blocks_)))
                    count(Command::ReadEEPROM, static_cast<std::uint8_t>(read.count));
            } else if (!planOnly_) {
                if (ctx_.feedback.stage)
                    ctx_.feedback.stage(QStringLiteral("Ověřování zápisu…"));
                if (!ReadBackWrittenBlocks(ctx_, blocks_))
                    return false;
            }
        }
        count(Command::Reset);
        count(Command::Continue);
        if (planOnly_)
            return true;

        if (!SendSimpleCommand(link_, Command::Reset))
            return false;
        if (!SendSimpleCommand(link_, Command::Continue))
            return false;
        return true;
    }

    // "Stop" was acknowledged: until "Continue" the transmitter does not measure.
    bool stopped() const { return stopped_; }

private:
    bool send(const EepromBlock& block)
    {
        blocks_.push_back(block);
        count(Command::WriteEEPROM, static_cast<std::uint8_t>(block.data.size()));
        return planOnly_ || SendEepromBlock(link_, block, 0);
    }
    bool send(const std::vector<EepromBlock>& blocks)
    {
        for (const EepromBlock& block : blocks)
            count(Command::WriteEEPROM, static_cast<std::uint8_t>(block.data.size()));
        blocks_.insert(blocks_.end(), blocks.begin(), blocks.end());
        return planOnly_ || SendEepromBlocks(link_, blocks, settleMs_);
    }
    void count(Command command, std::uint8_t n = 0) { lineBytes_ += ExchangeLineBytes(command, n); }
    // Reads 8 bytes at `address` for the calibration; measuring sends nothing and takes the
    // values as 1, which leads to the same blocks.
    bool readCalibration(std::uint16_t address, Extended& first, Extended& second)
    {
        count(Command::ReadEEPROM, 8);
        if (measureOnly_) {
            first = second = 1;
            return true;
        }
        if (!ReadBlock(link_, address, 8))
            return false;
        first = ReplyDeviceFloat(link_, address, address);
        second = ReplyDeviceFloat(link_, address, address + 4);
        return true;
    }

    // Signals at the range limits, the factory calibration and the output scaling.
    bool ComputeOutputScaling(OutputScaling& scaling)
    {
        float s0 = static_cast<float>(w_.rangeMin);
        float s1 = static_cast<float>(w_.rangeMax);
        if (w_.characteristics.rangeCharacteristic != Characteristic::Identity) {
            s0 = ZPPrepoc(ctx_.workspace, s0);
            s1 = ZPPrepoc(ctx_.workspace, s1);
        }
        const SignalLimits signal =
            ComputeSignalLimits(s0, s1, w_.linearization == Linearization::SquareRoot);

        OutputCalibration calibration;
        if (!readCalibration(eeprom::CalibrationD1, calibration.d1, calibration.d2))
            return false;
        // Unlike I1 and I2 there is no nominal D1 or D2 to fall back on: the write ends before
        // any block, and the transmitter measures on.
        for (const auto& [name, value] :
             {std::pair{"D1", calibration.d1}, std::pair{"D2", calibration.d2}}) {
            if (FitsDeviceFloat(value))
                continue;
            ctx_.ui.message(QString::fromUtf8("Špatně přečtená konstanta %1 z převodníku, "
                                              "konfiguraci nelze zapsat.")
                                .arg(QLatin1String(name)));
            // Nothing was stored yet: the transmitter measures on with its old configuration.
            if (!planOnly_ && SendSimpleCommand(link_, Command::Continue))
                stopped_ = false;
            return false;
        }
        if (!readCalibration(eeprom::CalibrationI1, calibration.i1, calibration.i2))
            return false;
        for (const QString& message : CheckOutputCalibration(calibration))
            if (!measureOnly_)
                ctx_.ui.message(message);
        scaling = vtr8::ComputeOutputScaling(calibration, w_.rangeMin, w_.rangeMax, signal);
        return true;
    }

    bool WriteLinearizationData()
    {
        switch (w_.data) {
        case LinearizationData::None:
            return true;
        case LinearizationData::Polynomial:
            return send(PolynomialBlocks(w_.polynomialDegree, w_.polynomial));
        case LinearizationData::Segments:
            return send(SegmentTableBlocks(w_.segments));
        }
        return false;
    }

    bool WriteLinearizationMethod()
    {
        return !w_.method || send(LinearizationMethodBlock(*w_.method));
    }

    bool ZapisKonfigurace()
    {
        ConfigurationRecord r;
        r.parasiticResistance = c_.parasiticResistance.value;
        r.input = w_.input;
        r.errorCurrentCode = w_.errorCurrent ? static_cast<std::uint8_t>(*w_.errorCurrent) : 0;
        r.frontEndMode = w_.frontEnd.mode;
        r.connection = w_.connection;
        r.shuntResistance = c_.shuntResistance.value;
        r.totalValue = c_.totalValue.value;
        r.rangeUnitCode = w_.rangeUnit.rangeUnitCode;
        r.limits = w_.limits;
        r.dampingTime = c_.damping.value;
        r.unitCode = c_.unitCode;
        r.linearizationCharacteristic = w_.characteristics.linearizationCharacteristic;
        r.rangeCharacteristic = w_.characteristics.rangeCharacteristic;
        r.linearizationCode = w_.characteristics.code;

        for (const EepromBlock& block : ConfigurationBlocks(r))
            if (!send(block))
                return false;
        return true;
    }

    TransferContext& ctx_;
    const Configuration& c_;
    CommandProtocol& link_;
    const PreparedWrite& w_;
    int settleMs_;
    bool stopped_ = false;
    bool planOnly_;
    bool measureOnly_;
    qint64 lineBytes_ = 0;
    std::vector<EepromBlock> blocks_; // every block sent (or planned), in order
};

} // namespace

bool TransferConfiguration(TransferContext& ctx, const PreparedWrite& write, int settleMs)
{
    ConfigurationTransfer plan(ctx, write, settleMs, ConfigurationTransfer::Mode::Measure);
    if (!plan.run())
        return false;
    // The stage is said while the write runs and taken back however it ends.
    struct Stage {
        const TransferFeedback& feedback;
        void say(const QString& text) const
        {
            if (feedback.stage)
                feedback.stage(text);
        }
        ~Stage() { say({}); }
    } stage{ctx.feedback};
    stage.say(QStringLiteral("Zápis konfigurace…"));
    LineProgress progress(ctx, plan.lineBytes());
    ConfigurationTransfer transfer(ctx, write, settleMs);
    if (transfer.run()) {
        progress.finish();
        return true;
    }
    // The specific message came first; this one says what state the transmitter is left in.
    if (transfer.stopped())
        ctx.ui.message(IncompleteWriteMessage());
    return false;
}

QString IncompleteWriteMessage()
{
    return QStringLiteral("Zápis konfigurace nebyl dokončen, převodník je zastaven a jeho "
                          "konfigurace je neúplná. Zapište konfiguraci znovu.");
}

std::optional<std::vector<EepromBlock>> PlanConfigurationBlocks(TransferContext& ctx,
                                                                const PreparedWrite& write)
{
    ConfigurationTransfer plan(ctx, write, 0, ConfigurationTransfer::Mode::Plan);
    if (!plan.run())
        return std::nullopt;
    return plan.blocks();
}

bool WriteConfiguration(TransferContext& ctx, const Configuration& configuration,
                        const WriteTiming& timing)
{
    TransferSession session(ctx.link, TransferSession::Kind::Write);
    if (!session.active())
        return false;
    struct Writing {
        const TransferFeedback& feedback;
        explicit Writing(const TransferFeedback& f) : feedback(f) { tell(true); }
        ~Writing() { tell(false); }
        void tell(bool running) const
        {
            if (feedback.writing)
                feedback.writing(running);
        }
    } writing(ctx.feedback);
    const std::optional<PreparedWrite> write = PrepareWrite(ctx, configuration);
    if (!write)
        return false;
    return TransferConfiguration(ctx, *write, timing.frontEndSettleMs);
}

} // namespace vtr8
