// vtr8ctl verify: what the transmitter (or a saved memory image) holds against what writing the
// configuration file would store now, computed by the write's own steps without sending a write.
#include "cli/cli_session.h"

#include "cli/image_transport.h"
#include "configuration/file_io.h"
#include "device/memory_image.h"
#include "model/transmitter_comparison.h"

#include <algorithm>
#include <memory>

namespace vtr8 {
namespace {

// The port again when the comparison with an image ends, however it ends.
struct TransportScope {
    CommandProtocol& link;
    std::unique_ptr<ImageTransport> image;
    ~TransportScope()
    {
        if (image)
            link.setTransport(nullptr);
    }
};

} // namespace

int CliSession::verify()
{
    TransportScope scope{link_, nullptr};
    if (!options_.imageFile.isEmpty()) {
        const FileRead file = readWholeFile(options_.imageFile);
        if (file.status == FileRead::Status::OpenFailed ||
            file.status == FileRead::Status::ReadFailed) {
            ui_.message(QStringLiteral("Chyba c. ") + QString::number(file.error));
            return ExitEndedEarly;
        }
        // Too large to be read at all is the same fault as the wrong size.
        if (file.status == FileRead::Status::TooLarge || file.data.size() != eeprom::MemorySize) {
            ui_.message(QStringLiteral("Soubor „%1“ není obraz paměti převodníku (%2 bajtů).")
                            .arg(options_.imageFile)
                            .arg(eeprom::MemorySize));
            return ExitEndedEarly;
        }
        sim::EepromImage bytes{};
        std::copy(file.data.begin(), file.data.end(), bytes.begin());
        scope.image = std::make_unique<ImageTransport>(bytes);
        link_.setTransport(scope.image.get());
    }

    if (!loadForWrite(QStringLiteral("Konfigurace nebyla ověřena.")))
        return ExitEndedEarly;
    const std::optional<std::vector<QString>> differences = DifferencesFromTransmitter(ctx_);
    if (!differences)
        return ExitEndedEarly;
    const std::vector<QString>& lines = *differences;
    for (const QString& line : lines)
        out_ << line << '\n';
    const QString source =
        options_.imageFile.isEmpty() ? QStringLiteral("Převodník") : QStringLiteral("Obraz paměti");
    if (lines.empty())
        out_ << source << QStringLiteral(" odpovídá souboru konfigurace.\n");
    else
        out_ << source
             << QStringLiteral(" se od souboru konfigurace liší (%1 rozdílů).\n").arg(lines.size());
    out_.flush();
    return lines.empty() ? ExitDone : ExitEndedEarly;
}

} // namespace vtr8
