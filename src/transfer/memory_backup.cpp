#include "transfer/memory_backup.h"

#include "transfer/note_codec.h"

namespace vtr8 {

QString BackupDescription(const MemoryImage& image, const QDateTime& when)
{
    const std::uint8_t firmware = image.at(eeprom::FirmwareNumber);
    const bool old = eeprom::IsOldFirmware(firmware);
    const auto& all = image.all();
    QString text;
    text += QStringLiteral("Záloha paměti převodníku VTR8\n");
    text += QStringLiteral("datum: ") + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
            QLatin1Char('\n');
    text += QStringLiteral("číslo firmwaru: ") +
            (old ? QStringLiteral("%1 (bajt %2)").arg(eeprom::OldFirmwareNumber).arg(firmware)
                 : QString::number(firmware)) +
            QLatin1Char('\n');
    text += QStringLiteral("typové bajty: %1 %2\n")
                .arg(image.at(eeprom::DeviceTypeBytes))
                .arg(image.at(eeprom::DeviceTypeBytes + 1));
    text += QStringLiteral("poznámka: ") +
            visibleControlCharacters(
                decodeNote(all.data() + eeprom::UserNote, eeprom::UserNoteLength)) +
            QLatin1Char('\n');
    text += QLatin1Char('\n');
    text += HexDump(all);
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace vtr8
