#include "cli/terminal.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vtr8 {

bool isTerminal(std::FILE* stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

#ifdef Q_OS_WIN
namespace {
UINT savedConsoleOutputPage = 0;
void restoreConsoleOutputPage()
{
    SetConsoleOutputCP(savedConsoleOutputPage);
}
} // namespace
#endif

void prepareStandardStreams()
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (savedConsoleOutputPage == 0 && (isTerminal(stdout) || isTerminal(stderr))) {
        savedConsoleOutputPage = GetConsoleOutputCP();
        if (savedConsoleOutputPage != 0 && SetConsoleOutputCP(CP_UTF8))
            std::atexit(restoreConsoleOutputPage);
    }
#endif
}

} // namespace vtr8
