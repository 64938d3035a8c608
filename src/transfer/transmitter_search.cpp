#include "transfer/transmitter_search.h"

#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "link/link_messages.h"
#include "transfer/note_codec.h"
#include "user_interface/user_interface.h"

namespace vtr8 {

namespace {

// The search tells nothing on the way; what a port did is in its finding.
class QuietUserInterface : public UserInterface {
public:
    void message(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    void focus(const QString&) override {}
};

// One read from the firmware number to the type bytes: 262..269.
constexpr std::uint16_t IdentificationStart = eeprom::FirmwareNumber;
constexpr std::uint8_t IdentificationLength =
    eeprom::DeviceTypeBytes + eeprom::DeviceTypeBytesLength - eeprom::FirmwareNumber;
constexpr int TypeOffset = eeprom::DeviceTypeBytes - eeprom::FirmwareNumber;

QString FoundText(const SearchFinding& f)
{
    QString text =
        QStringLiteral("%1: převodník VTR8, firmware %2, ").arg(f.port.name).arg(f.firmware);
    if (!f.noteRead)
        return text + QStringLiteral("poznámku nelze přečíst");
    if (f.note.isEmpty())
        return text + QStringLiteral("bez poznámky");
    return text + QStringLiteral("poznámka „%1“").arg(visibleControlCharacters(f.note));
}

} // namespace

QList<SearchCandidate> SearchCandidates(const QList<OfferedPort>& offered)
{
    QList<SearchCandidate> result;
    for (const OfferedPort& port : offered)
        if (port.exists && !port.device.isEmpty())
            result.push_back({port.name, port.device, port.itemIndex});
    return result;
}

TransmitterSearch::TransmitterSearch(LinkTiming timing) : timing_(timing) {}

QList<SearchFinding> TransmitterSearch::run(const QList<SearchCandidate>& ports)
{
    QList<SearchFinding> findings;
    for (int i = 0; i < ports.size(); ++i) {
        if (asking)
            asking(i, static_cast<int>(ports.size()), ports[i]);
        findings.push_back(probe(ports[i]));
        if (answered)
            answered(findings.back());
    }
    return findings;
}

SearchFinding TransmitterSearch::probe(const SearchCandidate& port)
{
    SearchFinding f;
    f.port = port;
    QuietUserInterface quiet;
    CommandProtocol link(quiet);
    LinkTiming once = timing_;
    once.attempts = 1;
    link.setTiming(once);
    link.session().setDevicePath(port.device);
    QString refusal;
    link.session().setRefusalHandler([&refusal](const QString& text) { refusal = text; });
    if (!link.session().holdPort()) {
        if (refusal == PortInUseMessage(port.device)) {
            f.outcome = SearchFinding::Outcome::InUse;
            f.text = QStringLiteral("Port %1 používá jiný program, přeskočen.").arg(port.name);
        } else {
            f.outcome = SearchFinding::Outcome::CannotOpen;
            f.text =
                QStringLiteral("Port %1 nelze použít (%2), přeskočen.").arg(port.name, refusal);
        }
        return f;
    }

    const LinkResult<Bytes> id = link.readEeprom(IdentificationStart, IdentificationLength);
    if (!id) {
        if (id.failure.error == LinkError::Communication) {
            f.outcome = SearchFinding::Outcome::NoReply;
            f.text = QStringLiteral("Na portu %1 převodník neodpovídá.").arg(port.name);
        } else {
            f.outcome = SearchFinding::Outcome::CannotOpen;
            f.text = QStringLiteral("Port %1 nelze otevřít, přeskočen.").arg(port.name);
        }
    } else if (id.value.size() < IdentificationLength ||
               id.value[TypeOffset] != eeprom::DeviceTypeFirst ||
               id.value[TypeOffset + 1] != eeprom::DeviceTypeSecond) {
        f.outcome = SearchFinding::Outcome::OtherDevice;
        f.text = QStringLiteral("Na portu %1 odpovídá zařízení, které není převodník VTR8.")
                     .arg(port.name);
    } else {
        f.outcome = SearchFinding::Outcome::Found;
        f.firmware = eeprom::ShownFirmwareNumber(id.value[0]);
        // The transmitter is there: its note is read as any read is, with repeats.
        link.setTiming(timing_);
        NoteBytes bytes{};
        f.noteRead = true;
        for (int at = 0; at < NoteLength && f.noteRead; at += eeprom::UserNoteReadBlock) {
            const LinkResult<Bytes> block =
                link.readEeprom(static_cast<std::uint16_t>(eeprom::UserNote + at),
                                static_cast<std::uint8_t>(eeprom::UserNoteReadBlock));
            f.noteRead = block.ok() &&
                         block.value.size() == static_cast<std::size_t>(eeprom::UserNoteReadBlock);
            if (f.noteRead)
                std::copy(block.value.begin(), block.value.end(),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (f.noteRead)
            f.note = decodeNote(bytes.data(), NoteLength);
        f.text = FoundText(f);
    }
    link.session().releasePort();
    link.closePort();
    return f;
}

QString TransmitterSearch::askingText(const SearchCandidate& port)
{
    return QStringLiteral("Hledám převodník na %1…").arg(port.name);
}

QString TransmitterSearch::summaryText(const QList<SearchFinding>& findings)
{
    qsizetype found = 0;
    for (const SearchFinding& f : findings)
        found += f.outcome == SearchFinding::Outcome::Found ? 1 : 0;
    if (found == 0)
        return QStringLiteral("Žádný převodník nebyl nalezen.");
    return QStringLiteral("Nalezeno převodníků: %1.").arg(found);
}

} // namespace vtr8
