#include "cli/linearization_command.h"

#include "charts/error_plot.h"
#include "cli/cli_session.h"
#include "cli/terminal.h"
#include "cli/text_user_interface.h"
#include "device/memory_map.h"
#include "model/linearization_error.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"

#include <QIODevice>

#include <cstdio>

namespace vtr8 {
namespace {

// The firmware number as the main window shows it; 12 (bytes 0 and 255) knows only polynomials.
bool isOldFirmware(int number)
{
    return number == eeprom::OldFirmwareNumber ||
           (number >= 0 && number <= 255 &&
            eeprom::IsOldFirmware(static_cast<std::uint8_t>(number)));
}

} // namespace

int RunLinearizationCommand(const CliOptions& options, TextUserInterface& ui, QTextStream& out,
                            MainWindowModel& model, TableWindowModel& table)
{
    if (!options.pointsFile.isEmpty())
        ui.openFileAnswers.push_back(options.pointsFile);
    if (options.method == QLatin1String("segments"))
        table.Zpus_linClick(static_cast<int>(PointFitMethod::StraightLines));
    else if (options.method == QLatin1String("polynomial"))
        table.Zpus_linClick(static_cast<int>(PointFitMethod::Polynomial));

    if (!model.loadConfiguration(options.arguments[0]).accepted)
        return ExitEndedEarly;
    if (table.shown) {
        const bool degreeStands =
            !options.degree || table.stup_pChange(QString::number(*options.degree));
        if (!table.OKClick() || !degreeStands || table.shown)
            return ExitEndedEarly;
    }

    QString why;
    const auto request = LinearizationErrorRequestFor(
        model, table.points(), isOldFirmware(options.firmware.value_or(13)), why);
    if (!request) {
        ui.message(why);
        return ExitEndedEarly;
    }
    const LinearizationErrorReport report = ComputeLinearizationError(*request);
    if (!report.ok) {
        ui.message(report.message);
        return ExitEndedEarly;
    }

    QString summary;
    for (const ErrorCurve& c : report.curves)
        summary += c.name + (c.chosen ? QStringLiteral(" (zvolená): ") : QStringLiteral(": ")) +
                   LargestErrorText(c, report.unit, report.inputUnit) + QLatin1Char('\n');
    if (options.csv) {
        out.flush();
        const QByteArray csv = LinearizationErrorCsv(report.curves.front());
        out.device()->write(csv);
        writeText(stderr, summary.toUtf8());
        return ExitDone;
    }
    const QString error = SavePlot(ErrorPlot(report), options.plotFile);
    if (!error.isEmpty()) {
        ui.message(error);
        return ExitEndedEarly;
    }
    out << summary;
    return ExitDone;
}

} // namespace vtr8
