#include "transfer/write_configuration.h"

#include "device/constants.h"
#include "device/device_float.h"
#include "device/input_type_table.h"
#include "device/memory_map.h"
#include "linearization/characteristic.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"
#include "transfer/write_blocks.h"
#include "transfer/write_preparation.h"
#include "transfer/write_read_back.h"

namespace vtr8 {
namespace {

// Progress (per cent of the write) after a special input's signal band.
int bandProgress(InputType input)
{
    switch (input) {
    case InputType::Special0to10V:
        return 35;
    case InputType::Special0to20mA:
        return 39;
    default:
        return 43;
    }
}

class ConfigurationTransfer {
public:
    // With planOnly the steps run as a write would, calibration reads included, but the blocks
    // are only collected and no command changes the transmitter.
    ConfigurationTransfer(TransferContext& ctx, const PreparedWrite& w, int settleMs,
                          bool planOnly = false)
        : ctx_(ctx), c_(w.configuration), link_(ctx.link), w_(w), settleMs_(settleMs),
          planOnly_(planOnly)
    {
    }

    const std::vector<EepromBlock>& blocks() const { return blocks_; }

    bool run()
    {
        progress(0);
        FrontEndImage image;
        // The mode came from the table when the write was prepared.
        if (!LoadFrontEndSettings(w_.frontEnd.mode, image))
            return false;
        if (!planOnly_ && !SendSimpleCommand(link_, Command::Stop))
            return false;
        stopped_ = true;

        ctx_.workspace.CharacteristicIndex = w_.characteristics.linearizationCharacteristic;

        OutputScaling scaling;
        if (!ComputeOutputScaling(scaling) || !send(OutputScalingBlocks(scaling)))
            return false;
        if (!send(FloatBlock(eeprom::DampingTime, {c_.damping.value})))
            return false;
        progress(4);
        if (!send(FloatBlock(eeprom::DampingCoefficient, {dampingCoefficient(c_.damping.value)})))
            return false;
        progress(9);

        if (!send(FrontEndBlocks(image)))
            return false;
        // After the front-end blocks, which write 1.0 there first.
        if (w_.inputScaleFactor &&
            !send(FloatBlock(eeprom::InputScaleFactor, {*w_.inputScaleFactor})))
            return false;
        progress(26);

        if (isThermocouple(w_.input) || isResistanceThermometer(w_.input)) {
            if (!send(FloatBlock(eeprom::OverloadLimits,
                                 {scaling.signal.upper, scaling.signal.lower})))
                return false;
            progress(30);
        }
        if (const auto& band = inputTypeRow(w_.input).band) {
            if (!send(FloatBlock(eeprom::OverloadLimits,
                                 {band->upperOverload, band->lowerOverload})) ||
                !send(FloatBlock(eeprom::InputOffset, {band->offset, band->span})))
                return false;
            progress(bandProgress(w_.input));
            if (w_.input == InputType::Special4to20mA)
                progress(48);
        }

        if (!WriteLinearizationData() || !WriteLinearizationMethod())
            return false;
        if (isThermocouple(w_.input)) {
            if (!send(ColdJunctionBlocks(w_.input)))
                return false;
            progress(78);
        }
        if (!send(ByteBlock(eeprom::ErrorCurrentFlags,
                            {ErrorCurrentFlags(w_.errorCurrent, w_.rangeFalling)})))
            return false;
        progress(83);
        if (!ZapisKonfigurace())
            return false;
        if (planOnly_)
            return true;
        if (ctx_.readBackWrites && !ReadBackWrittenBlocks(ctx_, blocks_))
            return false;

        if (!SendSimpleCommand(link_, Command::Reset))
            return false;
        progress(96);
        if (!SendSimpleCommand(link_, Command::Continue))
            return false;
        progress(100);
        return true;
    }

    // "Stop" was acknowledged: until "Continue" the transmitter does not measure.
    bool stopped() const { return stopped_; }

private:
    bool send(const EepromBlock& block)
    {
        blocks_.push_back(block);
        return planOnly_ || SendEepromBlock(link_, block, 0);
    }
    bool send(const std::vector<EepromBlock>& blocks)
    {
        blocks_.insert(blocks_.end(), blocks.begin(), blocks.end());
        return planOnly_ || SendEepromBlocks(link_, blocks, settleMs_);
    }
    void progress(int value)
    {
        if (!planOnly_)
            ShowProgress(ctx_, value);
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
        if (!ReadBlock(link_, eeprom::CalibrationD1, 8))
            return false;
        calibration.d1 = ReplyDeviceFloat(link_, eeprom::CalibrationD1, eeprom::CalibrationD1);
        calibration.d2 = ReplyDeviceFloat(link_, eeprom::CalibrationD1, eeprom::CalibrationD2);
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
        if (!ReadBlock(link_, eeprom::CalibrationI1, 8))
            return false;
        calibration.i1 = ReplyDeviceFloat(link_, eeprom::CalibrationI1, eeprom::CalibrationI1);
        calibration.i2 = ReplyDeviceFloat(link_, eeprom::CalibrationI1, eeprom::CalibrationI2);
        for (const QString& message : CheckOutputCalibration(calibration))
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
            if (!send(PolynomialBlocks(w_.polynomialDegree, w_.polynomial)))
                return false;
            progress(w_.linearization == Linearization::FromFile ? 61 : 52);
            return true;
        case LinearizationData::Segments:
            if (!send(SegmentTableBlocks(w_.segments)))
                return false;
            if (w_.linearization != Linearization::FromFile)
                progress(57);
            return true;
        }
        return false;
    }

    bool WriteLinearizationMethod()
    {
        if (!w_.method)
            return true;
        if (!send(LinearizationMethodBlock(*w_.method)))
            return false;
        switch (w_.linearization) {
        case Linearization::NotLinearized:
            progress(65);
            break;
        case Linearization::Linearized:
        case Linearization::SquareRoot:
            progress(70);
            break;
        case Linearization::FromFile:
            progress(74);
            break;
        }
        return true;
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

        const std::vector<EepromBlock> blocks = ConfigurationBlocks(r);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (!send(blocks[i]))
                return false;
            if (i == 3)
                progress(87);
        }
        progress(91);
        return true;
    }

    TransferContext& ctx_;
    const Configuration& c_;
    CommandProtocol& link_;
    const PreparedWrite& w_;
    int settleMs_;
    bool stopped_ = false;
    bool planOnly_;
    std::vector<EepromBlock> blocks_; // every block sent (or planned), in order
};

} // namespace

bool TransferConfiguration(TransferContext& ctx, const PreparedWrite& write, int settleMs)
{
    ConfigurationTransfer transfer(ctx, write, settleMs);
    if (transfer.run())
        return true;
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
    ConfigurationTransfer plan(ctx, write, 0, true);
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
