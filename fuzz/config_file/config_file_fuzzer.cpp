// Feeds arbitrary bytes to the configuration-file loader of the editor model,
// with a scripted person who cancels every dialog, then checks that what was
// loaded survives the file: load, save, load, save gives the same file twice.
#include "configuration/number_format.h"
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "user_interface/scripted_user_interface.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// A fresh model, as the window has it at start, that loads `bytes` and saves
// them as the save button would.
std::optional<QByteArray> loadAndSave(const QByteArray& bytes)
{
    vtr8::ScriptedUserInterface ui;
    vtr8::LinearizationPoints points;
    vtr8::MainWindowModel model(ui, points);
    // "ze souboru" asks for a point file: the dialog is cancelled.
    model.setPointFileChooser(
        [&] { return !ui.chooseOpenFile(QString(), QString(), QString()).isEmpty(); });
    static_cast<void>(model.loadConfigurationData(bytes)); // a refused value stays, as typed
    // What the save button writes: nothing while a required field is empty.
    model.ConfigIncomplete = false;
    model.Testvyplneni();
    if (model.ConfigIncomplete)
        return std::nullopt;
    return model.configurationFileBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is the file, so the seeds are plain configuration files and
    // get past the header test. The parity of the length picks the decimal
    // separator the loader normalises to: one byte more or less switches it.
    vtr8::overrideLocaleDecimalSeparator((size & 1) ? QLatin1Char(',') : QLatin1Char('.'));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Arbitrary input is normalised by its first load and save; from then on the
    // file the program writes must load back to exactly itself.
    const std::optional<QByteArray> first = loadAndSave(bytes);
    if (!first)
        return 0;
    const std::optional<QByteArray> second = loadAndSave(*first);
    if (!second || *second != *first) {
        std::fprintf(stderr, "saved:\n%s\nloaded and saved again:\n%s\n", first->constData(),
                     second ? second->constData() : "(nothing)");
        std::abort();
    }
    return 0;
}
