#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

namespace vtr8 {

// What the command line asked for. Parsing never touches a port or a file.
struct CliOptions {
    QString port;           // --port DEVICE
    std::optional<int> com; // --com N (1..8)
    bool yes = false;       // --yes
    bool trace = false;     // --trace
    bool utf8 = false;      // --utf8: print configurations as UTF-8 even into a pipe

    QString command;       // write, read, verify, backup, measure, note, comparator, adjust,
                           // frame, linearization
    QStringList arguments; // the command's own positional arguments

    // write
    QString pointsFile;        // --points FILE
    QString method;            // --method polynomial|segments
    std::optional<int> degree; // --degree N
    bool verify = false;       // write --verify: read every written block back
    // verify
    QString imageFile; // --image FILE: a saved memory image instead of the port
    // read
    QString saveFile; // --save FILE
    // measure
    int count = 1;          // --count N; 0 = until interrupted
    bool readFirst = false; // --read: read the configuration first (decimals follow it)
    bool csv = false;       // --csv: records (measure, linearization)
    // linearization
    QString plotFile;            // --plot FILE.svg|FILE.png
    std::optional<int> firmware; // --firmware N
    // comparator write
    QString on, off, onDelay, offDelay, mode;
    std::optional<bool> enable; // --enable / --disable
    // the record of every transfer (cli/history_options.cpp)
    QString historyFile;    // --history PATH
    bool noHistory = false; // --no-history
    QString noteFilter;     // history --note TEXT
    QString since, until;   // history --since/--until YYYY-MM-DD
    QChar csvSeparator;     // history --csv-separator C; null: ',' on standard output,
                            // the locale's in a file
    QList<double> checkAt;  // check --at 0,50,100: per cent of the range
    // batch LIST.csv --check | --status | --next | --tag TAG [--protocols DIR]
    bool batchCheck = false, batchStatus = false, batchNext = false;
    QString batchTag, protocolsDir;
};

struct CliParseResult {
    std::optional<CliOptions> options;
    QString error; // usage error text when options is empty
    bool help = false;
    bool version = false; // --version / -V
};

// "--" ends the options: every argument after it is positional. A value is the next argument
// or follows "=" in the same one (--port=/dev/ttyUSB0).
CliParseResult ParseCliArguments(const QStringList& arguments);

enum class CliOptionKind { Flag, Value, Help, Version };

// One option the parser knows: its names, whether it takes the next argument, and how it is
// stored (false: the value is refused with `error`, also the text when the value is missing).
struct CliOptionSpec {
    const char* name;
    const char* shortName; // or nullptr
    CliOptionKind kind;
    bool (*apply)(CliOptions& options, const QString& value);
    const char* error;
    const char* valueName; // the value as the usage shows it (FILE, N, polynomial|segments)
    const char* help;      // one line for the manual page
};

// One command: its arguments as the usage shows them, one line for the manual page, and the
// words that may follow it (note read|write) for the shell's completion.
struct CliCommandSpec {
    const char* name;
    const char* synopsis;
    const char* help;
    const char* words; // space-separated, or nullptr
    bool fileArgument; // its argument is a file name
};

// The parser's own tables, for whatever must know every option and command.
std::span<const CliOptionSpec> CliOptionTable();
std::span<const char* const> CliCommandNames();
std::span<const CliCommandSpec> CliCommandTable();

const char* CliUsage();
// What a usage error prints under its one-line reason.
const char* CliUsageHint();

} // namespace vtr8
