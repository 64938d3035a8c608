#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vtr8::test {

// Runs the vtr8-sim executable on a pty for a test. start() waits until the
// simulator has printed the slave device path.
class SimProcess {
public:
    explicit SimProcess(QStringList arguments = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool start(int timeoutMs = 5000);
    // Ends the simulator with SIGTERM (it dumps its EEPROM if asked to) and
    // waits for it; true when it exited normally.
    bool stop(int timeoutMs = 5000);
    bool running() const;

    // The pty slave the program opens.
    QString devicePath() const { return devicePath_; }
    // Everything the simulator wrote to stderr so far (its --trace log).
    QString errorOutput();
    int exitCode() const { return process_.exitCode(); }

    // The path of the built executable.
    static QString executable();

private:
    QStringList arguments_;
    QProcess process_;
    QString devicePath_;
    QByteArray stderr_;
};

} // namespace vtr8::test
