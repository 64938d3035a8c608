#include "transfer/comparator_transfer.h"

#include "device/device_float.h"
#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "user_interface/user_interface.h"

#include <QString>

#include <array>

namespace vtr8 {
namespace {

struct ComparatorAddresses {
    std::uint16_t limits;
    std::uint16_t delays;
    std::uint16_t mode;
};

ComparatorAddresses addressesOf(int number)
{
    if (number == 1)
        return {eeprom::Comparator1Limits, eeprom::Comparator1Delays, eeprom::Comparator1Mode};
    return {eeprom::Comparator2Limits, eeprom::Comparator2Delays, eeprom::Comparator2Mode};
}

QString numbered(const QString& text, int number)
{
    return text + QString::number(number);
}

const QString NoRelayOutputs = QStringLiteral("Připojený převodník neobsahuje spínací výstupy");

ComparatorStore writeEnabledComparator(TransferContext& ctx, int number,
                                       const ComparatorSettings& settings)
{
    CommandProtocol& link = ctx.link;
    const ComparatorAddresses at = addressesOf(number);

    if (number == 1) {
        if (!ReadBlock(link, eeprom::RelayOutputsPresent, 1))
            return ComparatorStore::Failed;
        ShowProgress(ctx, 25);
        if (ReplyDataByte(link, 0) != 1) {
            ctx.ui.message(NoRelayOutputs);
            return ComparatorStore::Failed;
        }
    } else {
        if (!ReadBlock(link, eeprom::RelayOutputsPresent, 2))
            return ComparatorStore::Failed;
        ShowProgress(ctx, 20);
        if ((ReplyDataByte(link, 1) & 1) == 0) {
            ctx.ui.message(QStringLiteral("Připojený převodník neobsahuje spínací výstup 2"));
            return ComparatorStore::SecondOutputMissing;
        }
    }

    if (!ctx.ui.confirm(numbered(QStringLiteral("Opravdu se má zapsat konfigurace Relé "), number) +
                        QStringLiteral(" ?")))
        return ComparatorStore::Failed;

    const std::uint8_t delays[eeprom::ComparatorDelaysLength] = {settings.switchOnDelay,
                                                                 settings.switchOffDelay};
    if (!WriteBlock(link, at.delays, delays))
        return ComparatorStore::Failed;
    ShowProgress(ctx, 40);

    std::array<std::uint8_t, eeprom::ComparatorLimitsLength> limits{};
    PutDeviceFloat(limits, static_cast<float>(settings.switchOnLimit), 0);
    PutDeviceFloat(limits, static_cast<float>(settings.switchOffLimit), 4);
    if (!WriteBlock(link, at.limits, limits))
        return ComparatorStore::Failed;
    ShowProgress(ctx, 60);

    if (!ReadBlock(link, at.mode, 1))
        return ComparatorStore::Failed;
    std::uint8_t mode = ReplyDataByte(link, 0) | eeprom::ComparatorModeEnabled;
    if (settings.window)
        mode |= eeprom::ComparatorModeWindow;
    else
        mode &= static_cast<std::uint8_t>(~eeprom::ComparatorModeWindow);
    if (!WriteBlock(link, at.mode, std::span<const std::uint8_t>(&mode, 1)))
        return ComparatorStore::Failed;
    ShowProgress(ctx, 80);
    return ComparatorStore::Stored;
}

} // namespace

ComparatorStore StoreComparator(TransferContext& ctx, int number,
                                const ComparatorSettings& settings)
{
    if (settings.enabled) {
        if (const ComparatorStore written = writeEnabledComparator(ctx, number, settings);
            written != ComparatorStore::Stored)
            return written;
    } else if (ctx.ui.confirm(
                   numbered(QStringLiteral("Opravdu se má vypnout mezní komparátor "), number) +
                   QStringLiteral(" ?"))) {
        const std::uint16_t modeAddress = addressesOf(number).mode;
        if (!ReadBlock(ctx.link, modeAddress, 1))
            return ComparatorStore::Failed;
        const std::uint8_t mode =
            ReplyDataByte(ctx.link, 0) & static_cast<std::uint8_t>(~eeprom::ComparatorModeEnabled);
        if (!WriteBlock(ctx.link, modeAddress, std::span<const std::uint8_t>(&mode, 1)))
            return ComparatorStore::Failed;
        ShowProgress(ctx, 80);
    }

    // The transmitter takes the new settings only after a reset.
    if (!SendSimpleCommand(ctx.link, Command::Reset))
        return ComparatorStore::Failed;
    ShowProgress(ctx, 100);
    return ComparatorStore::Stored;
}

std::optional<ComparatorSettings> ReadComparator(TransferContext& ctx, int number)
{
    CommandProtocol& link = ctx.link;
    const ComparatorAddresses at = addressesOf(number);
    if (!ReadBlock(link, eeprom::RelayOutputsPresent, 1))
        return std::nullopt;
    ShowProgress(ctx, 25);
    if (ReplyDataByte(link, 0) != 1) {
        ctx.ui.message(NoRelayOutputs);
        return std::nullopt;
    }

    ComparatorSettings s;
    if (!ReadBlock(link, at.limits, 4))
        return std::nullopt;
    ShowProgress(ctx, 25);
    s.switchOnLimit = ReplyDeviceFloat(link, at.limits, at.limits);

    const auto offLimit = static_cast<std::uint16_t>(at.limits + 4);
    if (!ReadBlock(link, offLimit, 4))
        return std::nullopt;
    ShowProgress(ctx, 50);
    s.switchOffLimit = ReplyDeviceFloat(link, offLimit, offLimit);

    if (!ReadBlock(link, at.delays, eeprom::ComparatorDelaysLength))
        return std::nullopt;
    ShowProgress(ctx, 75);
    s.switchOnDelay = ReplyDataByte(link, 0);
    s.switchOffDelay = ReplyDataByte(link, 1);

    if (!ReadBlock(link, at.mode, 1))
        return std::nullopt;
    ShowProgress(ctx, 100);
    const std::uint8_t mode = ReplyDataByte(link, 0);
    s.enabled = (mode & eeprom::ComparatorModeEnabled) != 0;
    s.window = (mode & eeprom::ComparatorModeWindow) != 0;
    return s;
}

} // namespace vtr8
