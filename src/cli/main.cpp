#include "cli/batch_command.h"
#include "cli/cli_history.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/find_command.h"
#include "cli/frame_command.h"
#include "cli/history_command.h"
#include "cli/interrupt_signals.h"
#include "cli/recording_user_interface.h"
#include "cli/standard_output.h"
#include "cli/terminal.h"
#include "cli/text_user_interface.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>

namespace {

// The offscreen drawing finds fonts only in the folder it is told (else none, and every letter
// becomes a box): the fonts installed beside the program, or else those of Windows.
void pointDrawingAtFonts()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        return;
    wchar_t program[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, program, DWORD(std::size(program)));
    QString folder = QString::fromWCharArray(program, int(length));
    folder = folder.left(folder.lastIndexOf(QLatin1Char('\\'))) + QStringLiteral("\\fonts");
    if (GetFileAttributesW(reinterpret_cast<const wchar_t*>(
            (folder + QStringLiteral("\\DejaVuSans.ttf")).utf16())) == INVALID_FILE_ATTRIBUTES)
        folder = qEnvironmentVariable("WINDIR", QStringLiteral("C:\\Windows")) +
                 QStringLiteral("\\Fonts");
    qputenv("QT_QPA_FONTDIR", folder.toUtf8());
}

} // namespace
#endif

int main(int argc, char** argv)
{
    // Drawing a picture needs fonts, hence a GUI application; without a display it draws
    // offscreen. Every other command stays a plain console program.
    bool drawing = false;
    for (int i = 1; i < argc; ++i)
        drawing = drawing || std::strcmp(argv[i], "--plot") == 0 ||
                  std::strcmp(argv[i], "report") == 0 || std::strcmp(argv[i], "--protocols") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef _WIN32
    if (drawing)
        pointDrawingAtFonts();
#endif
    vtr8::prepareStandardStreams();
    const std::unique_ptr<QCoreApplication> app =
        drawing ? std::make_unique<QGuiApplication>(argc, argv)
                : std::make_unique<QCoreApplication>(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    // Every result goes through the checked device: output that was not written
    // is a failure, not a success.
    vtr8::StandardOutput device;
    QTextStream out(&device);

    const vtr8::CliParseResult parsed = vtr8::ParseCliArguments(arguments);
    if (parsed.help) {
        out << vtr8::CliUsage();
        return vtr8::finishStandardOutput(out, device, vtr8::ExitDone);
    }
    if (parsed.version) {
        out << "vtr8ctl " VTR8_VERSION "\n";
        return vtr8::finishStandardOutput(out, device, vtr8::ExitDone);
    }
    if (!parsed.options) {
        // The reason and where to look, not the whole usage over it.
        vtr8::writeText(stderr, "vtr8ctl: " + parsed.error.toUtf8() + '\n' + vtr8::CliUsageHint());
        return vtr8::ExitUsage;
    }
    const vtr8::CliOptions& options = *parsed.options;

    if (options.command == QLatin1String("frame")) {
        QString error;
        const auto frame = vtr8::FrameForArguments(options.arguments, error);
        if (!frame) {
            vtr8::writeText(stderr, "vtr8ctl: " + error.toUtf8() + '\n');
            return vtr8::ExitUsage;
        }
        out << vtr8::HexBytes(*frame) << '\n';
        return vtr8::finishStandardOutput(out, device, vtr8::ExitDone);
    }

    vtr8::RecordingUserInterface ui(options.yes);
    if (options.command == QLatin1String("history"))
        return vtr8::finishStandardOutput(out, device, vtr8::RunHistoryCommand(options, ui, out));
    if (options.command == QLatin1String("batch"))
        return vtr8::finishStandardOutput(out, device, vtr8::RunBatchCommand(options, ui, out));
    if (options.command == QLatin1String("find"))
        return vtr8::finishStandardOutput(out, device, vtr8::RunFindCommand(out, ui));
    vtr8::CliRecorder recorder(options, ui);
    vtr8::CliSession session(options, ui, out);
    const vtr8::InterruptSignals interruptions([&session] { session.interrupt(); });
    recorder.start(session);
    const int status = session.run();
    recorder.finish(session, status, ui.shown);
    return vtr8::finishStandardOutput(out, device, status);
}
