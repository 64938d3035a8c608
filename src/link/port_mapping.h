#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vtr8 {

inline constexpr int ComPortCount = 8;

// "COM1" ... "COM8" for item 0..7 of the port window.
QString ComPortItemText(int index);

// What item 0..7 opens. On Windows the port of that name; elsewhere the
// environment variable VTR8_COM<n>, else the per-user setting Devices/Com<n>,
// else /dev/ttyS<n-1>. A mapped name is resolved by ResolvePortName; one that
// names no port gives an empty text, which no open accepts.
QString ComPortSystemName(int index);

// A port named by the person: a path (absolute, or relative to the current
// folder, containing a '/') becomes an absolute path; a bare name is taken only
// when it is one of the serial ports the system lists (`listed`: pairs of name
// and system location, as QSerialPortInfo gives them) and becomes that port's
// location. Any other bare name names nothing: Qt would open /dev/NAME, which
// may be a console (on Windows, where a name is all a port has, it is taken).
struct ListedPort {
    QString name;
    QString location;
};
std::optional<QString> ResolvePortName(const QString& text, const QList<ListedPort>& listed);
// The same against the ports QSerialPortInfo lists now.
std::optional<QString> ResolvePortName(const QString& text);

// Whether `path` is a terminal that is no serial line: the console, the
// controlling terminal, the virtual consoles, the pseudo-terminal multiplexer
// (their frames would go to a screen). A pseudo-terminal's far end, as a
// simulated transmitter offers, is a line. Known on Linux; elsewhere false.
bool IsTerminalNotSerialPort(const QString& path);

} // namespace vtr8
