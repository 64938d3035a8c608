#include "model/transmitter_comparison.h"

#include "device/input_type_table.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "transfer/block_comparison.h"
#include "transfer/memory_fetch.h"
#include "transfer/write_preparation.h"

namespace vtr8 {

std::optional<std::vector<QString>> DifferencesFromTransmitter(EditorTransferContext& ctx)
{
    MainWindowModel& m = ctx.model;
    const std::optional<Configuration> configuration = m.configurationForTransfer();
    if (!configuration)
        return std::nullopt;
    const std::optional<PreparedWrite> prepared = ComputeWrite(ctx, *configuration);
    if (!prepared)
        return std::nullopt;
    const std::optional<std::vector<EepromBlock>> planned = PlanConfigurationBlocks(ctx, *prepared);
    if (!planned)
        return std::nullopt;
    const std::vector<EepromBlock> blocks = FinalBlocks(*planned);
    MemoryImage held;
    if (!FetchMemory(ctx.link, ctx.ui, ReadsCovering(blocks), held))
        return std::nullopt;
    // Floats are named with the decimals the fields show, so equal values read alike.
    ComparisonRules rules;
    rules.decimals = {{FileKey::Start, ShownDecimals(m.Pocatek.text)},
                      {FileKey::End, ShownDecimals(m.Konec.text)},
                      {FileKey::Damping, ShownDecimals(m.Tlumeni.text)},
                      {FileKey::Parasitic, 3},
                      {FileKey::Shunt, ShownDecimals(m.SnOdpor.text)}};
    const InputTypeRow& row = inputTypeRow(configuration->input);
    for (const auto& [key, field] : {std::pair{FileKey::Connection, InputField::Connection},
                                     std::pair{FileKey::Parasitic, InputField::Parasitic},
                                     std::pair{FileKey::Shunt, InputField::Shunt}}) {
        if (!row.has(field))
            rules.notInFile.insert(key);
    }
    return Differences(blocks, held, rules);
}

} // namespace vtr8
