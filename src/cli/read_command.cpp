// vtr8ctl read: the configuration in the file format, saved on request; a "ze souboru" one
// together with its point file.
#include "cli/cli_session.h"

#include "cli/point_file_recovery.h"
#include "configuration/file_io.h"
#include "device/choice_texts.h"
#include "model/editor_read.h"
#include "model/point_file.h"
#include "transfer/block_comparison.h"
#include "transfer/memory_fetch.h"
#include "transfer/write_preparation.h"

#include <string_view>

namespace vtr8 {
namespace {

// At most this many candidates are tried: each is a whole write computed against the port.
constexpr int MaxTriedCandidates = 12;

} // namespace

std::optional<QByteArray> CliSession::recoverPointFile(const QString& pointPath)
{
    MemoryImage held;
    if (!FetchMemory(link_, ui_, PointFileRecoveryReads(), held))
        return std::nullopt;
    const std::vector<QByteArray> candidates = PointFileCandidates(held);
    if (candidates.empty()) {
        ui_.message(QStringLiteral("Převodník má body souboru uloženy polynomem; soubor bodů z "
                                   "něj nelze obnovit. Konfigurace nebyla uložena."));
        return std::nullopt;
    }
    // As a load of the saved pair leaves the window: the file chosen, its unit the one read.
    model_.OpenDialog1FileName = pointPath;
    model_.PointFileChosen = true;
    const QString unit = model_.Label8.caption.isEmpty() ? choice::NoUnit : model_.Label8.caption;
    model_.VolenaJednotka.text = unit;
    model_.VolenaJednotka.itemIndex = int(model_.VolenaJednotka.items.indexOf(unit));
    model_.VolenaJednotkaChange();
    const ComparisonRules rules;
    int tried = 0;
    for (const QByteArray& text : candidates) {
        if (++tried > MaxTriedCandidates)
            break;
        const PointFileReading reading =
            parsePointText(std::string_view(text.constData(), std::size_t(text.size())));
        if (reading.outcome != PointFileReading::Outcome::Ok ||
            !applyPointFile(reading, points_, ui_))
            continue;
        points_.Method = PointFitMethod::StraightLines;
        // The write's own steps tell whether these points store what the transmitter holds.
        const std::optional<Configuration> configuration = model_.configurationForTransfer();
        if (!configuration)
            continue;
        const std::optional<PreparedWrite> prepared = ComputeWrite(ctx_, *configuration);
        if (!prepared)
            continue;
        const std::optional<std::vector<EepromBlock>> planned =
            PlanConfigurationBlocks(ctx_, *prepared);
        if (!planned)
            continue;
        const std::vector<EepromBlock> blocks = FinalBlocks(*planned);
        for (const ReadRun& run : ReadsCovering(blocks))
            if (!held.holds(run.address, run.count) && !FetchMemory(link_, ui_, {run}, held))
                return std::nullopt;
        if (Differences(blocks, held, rules).empty())
            return text;
    }
    ui_.message(QStringLiteral("Body souboru nelze z převodníku obnovit tak, aby je zápis uložil "
                               "stejně. Konfigurace nebyla uložena."));
    return std::nullopt;
}

int CliSession::read()
{
    if (!PrecistClick(ctx_))
        return ExitEndedEarly;
    // A blank unit: the read has said so, and what it shows is no configuration to print.
    if (!ctx_.state.ValidConfiguration)
        return ExitEndedEarly;
    if (!model_.configurationFileBytes())
        return ExitEndedEarly;
    printConfiguration();
    if (options_.saveFile.isEmpty())
        return ExitDone;
    if (model_.Linearizace.text != choice::FromFile)
        return model_.saveConfiguration(options_.saveFile) ? ExitDone : ExitEndedEarly;

    // The configuration names no point file: it goes beside it, and both are saved or neither.
    const QString pointPath = PointFileNameFor(options_.saveFile);
    const std::optional<QByteArray> points = recoverPointFile(pointPath);
    if (!points)
        return ExitEndedEarly;
    model_.ConfigIncomplete = false;
    model_.Testvyplneni();
    if (model_.ConfigIncomplete)
        return ExitEndedEarly;
    const std::optional<QByteArray> configuration = model_.configurationFileBytes();
    if (!configuration)
        return ExitEndedEarly;
    QString failed;
    if (const int error =
            saveFilesTogether({{options_.saveFile, *configuration}, {pointPath, *points}}, &failed);
        error != 0) {
        ui_.message(QStringLiteral("Konfigurace nebyla uložena: soubor „%1“, chyba c. %2.")
                        .arg(failed)
                        .arg(error));
        return ExitEndedEarly;
    }
    ui_.message(QStringLiteral("Body linearizace jsou uloženy v souboru „%1“.").arg(pointPath));
    return ExitDone;
}

} // namespace vtr8
