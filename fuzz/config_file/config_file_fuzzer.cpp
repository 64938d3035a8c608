// Feeds arbitrary bytes to the configuration-file loader of the editor model,
// with a scripted person who cancels every dialog, then saves what was loaded
// and loads that again. Nothing may crash, hang or read out of bounds.
#include "main_window_model.h"
#include "number_format.h"
#include "point_set.h"
#include "scripted_user_interface.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the decimal separator the loader normalises to.
    vtr8::overrideLocaleDecimalSeparator((data[0] & 1) ? QLatin1Char(',') : QLatin1Char('.'));
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

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
