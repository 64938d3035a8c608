#include "app/application.h"
#include "app/main_window.h"
#include "app/window_history.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char usage[] =
    "usage: vtr8 [--history PATH | --no-history] [CONFIG.txt [POINTS.txt]]\n"
    "       vtr8 --help | --version\n"
    "  CONFIG.txt         open this configuration at the start\n"
    "  POINTS.txt         its point file, for a configuration linearized from a file\n"
    "  --history PATH     the history file of the transfers (or VTR8_HISTORY)\n"
    "  --no-history       record nothing\n";

// A program of the window subsystem started from a console has no standard output of its
// own: it writes into the console it was started from, or where it was redirected.
void print(std::FILE* stream, const char* text)
{
#ifdef _WIN32
    const DWORD which = stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    const HANDLE handle = GetStdHandle(which);
    if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS))
        std::freopen("CONOUT$", "w", stream);
#endif
    std::fputs(text, stream);
    std::fflush(stream);
}

// --help and --version answer before any window (or display) is made; nullopt: start.
std::optional<int> answerWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            break;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            print(stdout, usage);
            return 0;
        }
        if (std::strcmp(a, "--version") == 0 || std::strcmp(a, "-V") == 0) {
            print(stdout, "vtr8 " VTR8_VERSION "\n");
            return 0;
        }
    }
    return std::nullopt;
}

// The windows are laid out for DejaVu Sans; the Windows installer brings it beside the program.
// Where it cannot be had, the system's own interface font stays.
void chooseFont()
{
    const QDir fonts(QApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
    const QString family = QStringLiteral("DejaVu Sans");
    if (!QFontDatabase::families().contains(family))
        return;
    QFont font(family);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = answerWithoutWindow(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VTR8"));
    QApplication::setOrganizationName(QStringLiteral("ZN"));
    QApplication::setApplicationVersion(QStringLiteral(VTR8_VERSION));
    chooseFont();
    // Qt's own dialogs (file choice, standard buttons) speak Czech like the rest of
    // the program when the Qt translations are installed; without them they stay English.
    QTranslator qtCzech;
    if (qtCzech.load(QStringLiteral("qtbase_cs"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtCzech);

    // vtr8 [CONFIG.txt [POINTS]]: the file opens as "Přečíst" of "Konfigurace ze souboru"
    // would open it, once the window is up to carry its messages.
    QStringList files;
    for (const QString& a : QApplication::arguments().mid(1)) {
        if (a.startsWith(QLatin1String("--history=")))
            files << QStringLiteral("--history") << a.mid(10);
        else
            files << a;
    }
    const std::optional<QString> historyPath = vtr8::takeHistoryOption(files);
    files.removeAll(QStringLiteral("--"));
    if (!files.isEmpty() && files.first().startsWith(QLatin1String("--"))) {
        print(stderr, qPrintable(QStringLiteral("vtr8: unknown option: %1\n"
                                                "Try \"vtr8 --help\" for the usage.\n")
                                     .arg(files.first())));
        return 2;
    }

    int result = 0;
    {
        vtr8::Vtr8Application program;
        program.start();
        QObject::connect(program.form1(), &vtr8::TForm1::closed, &app, &QApplication::quit);
        program.show();
        if (historyPath)
            program.history().setPath(*historyPath);
        if (!files.isEmpty())
            QTimer::singleShot(
                0, &app, [&program, files] { program.openAtStart(files.at(0), files.value(1)); });
        result = app.exec();
        program.shutdown();
    }
    return result;
}
