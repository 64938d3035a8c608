// vtr8ctl verify: what the transmitter (or a saved memory image) holds against what writing the
// configuration file would store now, computed by the write's own steps without sending a write.
#include "cli/cli_session.h"

#include "cli/image_transport.h"
#include "model/file_io.h"
#include "transfer/block_comparison.h"
#include "transfer/memory_fetch.h"
#include "transfer/write_preparation.h"

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
    const std::optional<Configuration> configuration = model_.configurationForTransfer();
    if (!configuration)
        return ExitEndedEarly;
    const std::optional<PreparedWrite> prepared = ComputeWrite(ctx_, *configuration);
    if (!prepared)
        return ExitEndedEarly;
    const std::optional<std::vector<EepromBlock>> planned =
        PlanConfigurationBlocks(ctx_, *prepared);
    if (!planned)
        return ExitEndedEarly;
    const std::vector<EepromBlock> blocks = FinalBlocks(*planned);
    MemoryImage held;
    if (!FetchMemory(link_, ui_, ReadsCovering(blocks), held))
        return ExitEndedEarly;

    ComparisonRules rules;
    rules.decimals = {{FileKey::Start, ShownDecimals(model_.Pocatek.text)},
                      {FileKey::End, ShownDecimals(model_.Konec.text)},
                      {FileKey::Damping, ShownDecimals(model_.Tlumeni.text)},
                      {FileKey::Parasitic, 3},
                      {FileKey::Shunt, ShownDecimals(model_.SnOdpor.text)}};
    const std::vector<QString> lines = Differences(blocks, held, rules);
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
