#include "cli/terminal.h"

#include <QString>
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

bool isConsole(std::FILE* stream)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
#else
    Q_UNUSED(stream);
    return false;
#endif
}

void writeText(std::FILE* stream, const QByteArray& utf8)
{
#ifdef Q_OS_WIN
    if (isConsole(stream)) {
        const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
        std::fflush(stream);
        const QString text = QString::fromUtf8(utf8);
        const auto* data = reinterpret_cast<const wchar_t*>(text.utf16());
        DWORD left = static_cast<DWORD>(text.size());
        while (left > 0) {
            DWORD written = 0;
            if (!WriteConsoleW(console, data, left, &written, nullptr) || written == 0)
                break;
            data += written;
            left -= written;
        }
        return;
    }
#endif
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stream);
    std::fflush(stream);
}

} // namespace vtr8
