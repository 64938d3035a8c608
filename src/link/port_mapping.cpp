#include "link/port_mapping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace vtr8 {

QString ComPortItemText(int index)
{
    return QStringLiteral("COM%1").arg(index + 1);
}

QString ComPortSystemName(int index)
{
#ifdef Q_OS_WIN
    return ComPortItemText(index);
#else
    const int n = index + 1;
    QString mapped = qEnvironmentVariable(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)));
    if (mapped.isEmpty()) {
        const QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
        mapped = settings.value(QStringLiteral("Devices/Com%1").arg(n)).toString();
    }
    if (mapped.isEmpty())
        return QStringLiteral("/dev/ttyS%1").arg(index);
    return ResolvePortName(mapped).value_or(QString());
#endif
}

std::optional<QString> ResolvePortName(const QString& text, const QList<ListedPort>& listed)
{
    if (text.isEmpty())
        return std::nullopt;
    if (text.contains(QLatin1Char('/')) || QDir::isAbsolutePath(text))
        return QDir::cleanPath(QFileInfo(text).absoluteFilePath());
    for (const ListedPort& port : listed)
        if (port.name == text)
            return port.location.isEmpty() ? port.name : port.location;
#ifdef Q_OS_WIN
    // Windows opens a port by its name and has no console among them.
    return text;
#else
    return std::nullopt;
#endif
}

std::optional<QString> ResolvePortName(const QString& text)
{
    QList<ListedPort> listed;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        listed.push_back({info.portName(), info.systemLocation()});
    return ResolvePortName(text, listed);
}

bool IsTerminalNotSerialPort(const QString& path)
{
#ifdef Q_OS_LINUX
    // Device numbers of the kernel's terminals: major 5 is /dev/tty, /dev/console
    // and /dev/ptmx; major 4 below minor 64 the virtual consoles (64 on: ttyS).
    constexpr unsigned TtyAuxMajor = 5;
    constexpr unsigned ConsoleMajor = 4;
    constexpr unsigned FirstSerialMinor = 64;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned devMajor = major(st.st_rdev);
    return devMajor == TtyAuxMajor ||
           (devMajor == ConsoleMajor && minor(st.st_rdev) < FirstSerialMinor);
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace vtr8
