// Feeds arbitrary bytes to the configuration-file loader of the editor model,
// with a scripted person who cancels every dialog, then saves what was loaded
// and loads that again. Nothing may crash, hang or read out of bounds.
#include "model/main_window_model.h"
#include "model/number_format.h"
#include "linearization/point_set.h"
#include "user_interface/scripted_user_interface.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is the file, so the seeds are plain configuration files and
    // get past the header test. The parity of the length picks the decimal
    // separator the loader normalises to: one byte more or less switches it.
    vtr8::overrideLocaleDecimalSeparator((size & 1) ? QLatin1Char(',') : QLatin1Char('.'));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    vtr8::ScriptedUserInterface ui;
    vtr8::LinearizationPoints points;
    vtr8::MainWindowModel model(ui, points);
    // "ze souboru" asks for a point file: the dialog is cancelled.
    model.setPointFileChooser([&] { ui.chooseOpenFile(QString(), QString(), QString()); });
    model.loadConfigurationData(bytes);

    if (const auto saved = model.configurationFileBytes()) {
        vtr8::ScriptedUserInterface otherUi;
        vtr8::MainWindowModel other(otherUi, points);
        other.loadConfigurationData(*saved);
    }
    return 0;
}
