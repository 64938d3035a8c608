#include "cli/cli_options.h"

#include "cli/batch_command.h"
#include "cli/history_options.h"
#include "device/choice_texts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace vtr8 {

const char* CliUsage()
{
    return "usage: vtr8ctl [--port NAME | --com N] [--yes] [--trace] COMMAND [ARGS]\n"
           "  --port takes a device path, a port the system lists (ttyUSB0, COM12) or COM1..COM8\n"
           "  find                                ask every port for a transmitter: one line\n"
           "                                      per transmitter found (port, device,\n"
           "                                      firmware, note, separated by tabs)\n"
           "  write CONFIG.txt [--points FILE] [--method polynomial|segments] [--degree N]\n"
           "        [--verify]                    read every written block back and compare\n"
           "  verify CONFIG.txt [--points FILE] [--method ...] [--degree N] [--image FILE]\n"
           "                                      compare the transmitter (or a saved memory\n"
           "                                      image) with what writing CONFIG would store;\n"
           "                                      exit 1 when they differ\n"
           "  backup FILE                         save the whole memory (FILE and FILE.txt)\n"
           "  read [--save CONFIG.txt] [--utf8]   print the configuration in the file format\n"
           "  measure [--count N] [--read]        one reading, or N readings at the 1.5 s pace\n"
           "                                      (--count 0: until Ctrl-C);\n"
           "                                      --read reads the configuration first so the\n"
           "                                      decimals follow its input type\n"
           "  measure --csv                       the readings as time,value,unit\n"
           "  linearization CONFIG.txt [--points FILE] [--method polynomial|segments]\n"
           "                [--degree N] [--firmware N] --csv | --plot FILE.svg|FILE.png\n"
           "                                      the error of what the transmitter will\n"
           "                                      compute, without a port\n"
           "  note read | note write [--] TEXT\n"
           "  comparator 1|2 read\n"
           "  comparator 1|2 write --on X --off Y --on-delay S --off-delay S\n"
           "                       --mode HYSTEREZE|OKNO --enable\n"
           "  comparator 1|2 write --disable      switch it off, keeping its values\n"
           "  adjust start|end                    zero/span with a reference\n"
           "  frame NAME [ADDRESS COUNT [HEXDATA]] print the request frame in hex\n"
           "  history [--note TEXT] [--since DATE] [--until DATE] [--csv]\n"
           "                                      the recorded transfers, oldest first\n"
           "  history show ID [--save CONFIG.txt] one record; --save writes its configuration\n"
           "  history export FILE.csv             every record as CSV (UTF-8 with a BOM; ';'\n"
           "                                      where the decimal separator is a comma)\n"
           "  history import OTHER.sqlite         merges another station's history; a\n"
           "                                      record already there is not doubled\n"
           "  --csv-separator ,|;|tab             the CSV's separator\n"
           "  check --at 0,50,100                 readings at reference inputs (per cent of\n"
           "                                      the range) against the calibrator\n"
           "  report FILE.pdf                     the commissioning report of the transmitter\n"
           "  batch LIST.csv --check | --status   the instrument list's bad rows, or each tag's\n"
           "                                      state from the history\n"
           "  batch LIST.csv --tag TAG | --next [--protocols DIR]\n"
           "                                      commission a row: write --verify, note, check\n"
           "                                      at its points, protocol DIR/TAG.pdf\n"
           "Every transfer is recorded in a history file: --history PATH (or VTR8_HISTORY)\n"
           "chooses it, --history postgresql://USER@HOST:PORT/DATABASE a server (the\n"
           "password from PGPASSWORD or the .pgpass file), --no-history keeps none.\n"
           "Arguments after -- are never options.\n"
           "Exit status: 0 done, 1 ended early, 2 usage error.\n";
}

namespace {

std::optional<int> parseInt(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

bool setInt(std::optional<int>& out, const QString& text, int low, int high)
{
    out = parseInt(text, low, high);
    return out.has_value();
}

bool setText(QString& out, const QString& text, bool emptyAllowed = true)
{
    out = text;
    return emptyAllowed || !text.isEmpty();
}

using O = CliOptions;
using K = CliOptionKind;

bool setFlag(bool& out)
{
    out = true;
    return true;
}

// clang-format off
constexpr CliOptionSpec optionTable[] = {
    {"--help", "-h", K::Help, nullptr, nullptr, nullptr, "print the usage and exit"},
    {"--version", "-V", K::Version, nullptr, nullptr, nullptr, "print the version and exit"},
    {"--yes", "-y", K::Flag, [](O& o, const QString&) { return setFlag(o.yes); }, nullptr, nullptr,
     "answer every question with yes"},
    {"--trace", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.trace); }, nullptr,
     nullptr, "log every frame on standard error"},
    {"--utf8", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.utf8); }, nullptr,
     nullptr, "read: print the configuration as UTF-8 even into a file or pipe"},
    {"--port", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.port, v, false); },
     "--port needs a device", "DEVICE",
     "the serial port: a device path, a port the system lists (ttyUSB0, COM12) or COM1..COM8"},
    {"--com", nullptr, K::Value, [](O& o, const QString& v) { return setInt(o.com, v, 1, 8); },
     "--com needs a number 1..8", "N", "item N (1...8) of the window program's port choice"},
    {"--points", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.pointsFile, v); },
     "--points needs a file", "FILE", "the point file of a configuration linearized from a file"},
    {"--method", nullptr, K::Value,
     [](O& o, const QString& v) {
         o.method = v;
         return v == QLatin1String("polynomial") || v == QLatin1String("segments");
     },
     "--method needs polynomial or segments", "polynomial|segments",
     "how the points are approximated"},
    {"--degree", nullptr, K::Value, [](O& o, const QString& v) { return setInt(o.degree, v, 2, 8); },
     "--degree needs a number 2..8", "N", "the polynomial's degree, 2..8"},
    {"--verify", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.verify); }, nullptr,
     nullptr, "write: read every written block back and compare"},
    {"--image", nullptr, K::Value,
     [](O& o, const QString& v) { return setText(o.imageFile, v, false); }, "--image needs a file",
     "FILE", "verify: compare a saved memory image instead of the transmitter"},
    {"--save", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.saveFile, v); },
     "--save needs a file", "FILE", "read, history show: save the configuration into FILE"},
    {"--count", nullptr, K::Value,
     [](O& o, const QString& v) {
         const std::optional<int> n = parseInt(v, 0, 1000000);
         o.count = n.value_or(o.count);
         return n.has_value();
     },
     "--count needs a number 0..1000000", "N", "measure: N readings 1.5 s apart, 0 until interrupted"},
    {"--csv", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.csv); }, nullptr,
     nullptr, "measure, linearization, history: records as CSV"},
    {"--plot", nullptr, K::Value,
     [](O& o, const QString& v) { return setText(o.plotFile, v, false); }, "--plot needs a file",
     "FILE", "linearization: draw the error into FILE.svg or FILE.png"},
    {"--firmware", nullptr, K::Value,
     [](O& o, const QString& v) { return setInt(o.firmware, v, 0, 255); },
     "--firmware needs a number 0..255", "N", "linearization: the firmware that will compute it"},
    {"--read", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.readFirst); }, nullptr,
     nullptr, "measure: read the configuration first so the decimals follow its input"},
    {"--on", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.on, v); },
     "--on needs a value", "X", "comparator write: the switching-on limit"},
    {"--off", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.off, v); },
     "--off needs a value", "Y", "comparator write: the switching-off limit"},
    {"--on-delay", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.onDelay, v); },
     "--on-delay needs a value", "S", "comparator write: the delay before switching on, seconds"},
    {"--off-delay", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.offDelay, v); },
     "--off-delay needs a value", "S", "comparator write: the delay before switching off, seconds"},
    {"--mode", nullptr, K::Value,
     [](O& o, const QString& v) {
         o.mode = v;
         return v == choice::Hysteresis || v == choice::Window;
     },
     "--mode needs HYSTEREZE or OKNO", "HYSTEREZE|OKNO", "comparator write: the mode"},
    {"--enable", nullptr, K::Flag, [](O& o, const QString&) { o.enable = true; return true; },
     nullptr, nullptr, "comparator write: switch the comparator on"},
    {"--disable", nullptr, K::Flag, [](O& o, const QString&) { o.enable = false; return true; },
     nullptr, nullptr, "comparator write: switch it off, keeping its values"},
    {"--history", nullptr, K::Value,
     [](O& o, const QString& v) { return setText(o.historyFile, v, false); },
     "--history needs a file", "PATH",
     "the history file of the transfers, or a server: postgresql://USER@HOST:PORT/DATABASE"},
    {"--no-history", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.noHistory); },
     nullptr, nullptr, "record nothing"},
    {"--note", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.noteFilter, v); },
     "--note needs a text", "TEXT", "history: only the records whose note contains TEXT"},
    {"--since", nullptr, K::Value, [](O& o, const QString& v) { return SetHistoryDate(o.since, v); },
     "--since needs a date YYYY-MM-DD", "DATE", "history: records from DATE (YYYY-MM-DD) on"},
    {"--until", nullptr, K::Value, [](O& o, const QString& v) { return SetHistoryDate(o.until, v); },
     "--until needs a date YYYY-MM-DD", "DATE", "history: records up to DATE (YYYY-MM-DD)"},
    {"--csv-separator", nullptr, K::Value,
     [](O& o, const QString& v) { return SetCsvSeparator(o.csvSeparator, v); },
     "--csv-separator needs one of , ; or tab", ",|;|tab",
     "the separator of the CSV written (else ';' where the decimal separator is a comma)"},
    {"--at", nullptr, K::Value, [](O& o, const QString& v) { return SetCheckPoints(o, v); },
     "--at needs per cent values -10..110 such as 0,50,100", "LIST",
     "check: the reference inputs in per cent of the range, such as 0,50,100"},
    {"--check", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.batchCheck); },
     nullptr, nullptr, "batch: list the instrument list's bad rows"},
    {"--status", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.batchStatus); },
     nullptr, nullptr, "batch: each tag's state from the history"},
    {"--next", nullptr, K::Flag, [](O& o, const QString&) { return setFlag(o.batchNext); },
     nullptr, nullptr, "batch: commission the next row not yet done"},
    {"--tag", nullptr, K::Value, [](O& o, const QString& v) { return setText(o.batchTag, v, false); },
     "--tag needs a tag", "TAG", "batch: commission the row of TAG"},
    {"--protocols", nullptr, K::Value,
     [](O& o, const QString& v) { return setText(o.protocolsDir, v, false); },
     "--protocols needs a folder", "DIR", "batch: write the protocols into DIR/TAG.pdf"},
};

constexpr CliCommandSpec commandTable[] = {
    {"find", "", "ask every port for a transmitter: one line per transmitter found (port, "
     "device, firmware, note, separated by tabs)", nullptr, false},
    {"write", "CONFIG.txt [--points FILE] [--method polynomial|segments] [--degree N] [--verify]",
     "write the configuration into the transmitter", nullptr, true},
    {"verify", "CONFIG.txt [--points FILE] [--method ...] [--degree N] [--image FILE]",
     "compare the transmitter (or a saved memory image) with what writing CONFIG would store; "
     "exit 1 when they differ", nullptr, true},
    {"backup", "FILE", "save the whole memory into FILE and a readable FILE.txt", nullptr, true},
    {"read", "[--save CONFIG.txt] [--utf8]", "print the configuration in the file format",
     nullptr, false},
    {"measure", "[--count N] [--read] [--csv]", "one reading, or N readings 1.5 s apart",
     nullptr, false},
    {"linearization", "CONFIG.txt [--points FILE] [--method ...] [--degree N] [--firmware N] "
     "--csv | --plot FILE", "the error of what the transmitter will compute, without a port",
     nullptr, true},
    {"note", "read | write [--] TEXT", "the user note", "read write", false},
    {"comparator", "1|2 read | 1|2 write --on X --off Y --on-delay S --off-delay S "
     "--mode HYSTEREZE|OKNO --enable | 1|2 write --disable", "the relay comparators", "1 2 read write",
     false},
    {"adjust", "start|end", "zero and span with a reference", "start end", false},
    {"frame", "NAME [ADDRESS COUNT [HEXDATA]]", "print the request frame in hex", nullptr, false},
    {"history", "[--note TEXT] [--since DATE] [--until DATE] [--csv] | show ID [--save CONFIG.txt] "
     "| export FILE.csv | import OTHER.sqlite", "the recorded transfers, oldest first; one record; "
     "every record as CSV; another station's history merged in", "show export import", false},
    {"check", "--at 0,50,100", "readings at reference inputs against the calibrator", nullptr,
     false},
    {"report", "FILE.pdf", "the commissioning report of the transmitter", nullptr, true},
    {"batch", "LIST.csv --check | --status | --tag TAG | --next [--protocols DIR]",
     "the instrument list: its bad rows, each tag's state, or commission a row (write --verify, "
     "note, check at its points, protocol DIR/TAG.pdf)", nullptr, true},
};
// clang-format on

constexpr auto commandNames = [] {
    std::array<const char*, std::size(commandTable)> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = commandTable[i].name;
    return names;
}();

const CliOptionSpec* findOption(const QString& argument)
{
    for (const CliOptionSpec& spec : optionTable)
        if (argument == QLatin1String(spec.name) ||
            (spec.shortName && argument == QLatin1String(spec.shortName)))
            return &spec;
    return nullptr;
}

} // namespace

std::span<const CliOptionSpec> CliOptionTable()
{
    return optionTable;
}

std::span<const char* const> CliCommandNames()
{
    return commandNames;
}

std::span<const CliCommandSpec> CliCommandTable()
{
    return commandTable;
}

const char* CliUsageHint()
{
    return "Try \"vtr8ctl --help\" for the usage.\n";
}

CliParseResult ParseCliArguments(const QStringList& arguments)
{
    CliParseResult result;
    CliOptions o;
    auto fail = [&](const QString& text) {
        result.error = text;
        return result;
    };

    bool optionsEnded = false;
    bool commandSeen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        QString a = arguments.at(i);
        // --name=value: the value is the rest of the argument, even when empty.
        std::optional<QString> inlineValue;
        if (const qsizetype equals = a.indexOf(QLatin1Char('='));
            !optionsEnded && a.startsWith(QLatin1String("--")) && equals > 2) {
            inlineValue = a.mid(equals + 1);
            a.truncate(equals);
        }
        const CliOptionSpec* spec = optionsEnded ? nullptr : findOption(a);
        if (spec) {
            if (inlineValue && spec->kind != CliOptionKind::Value)
                return fail(a + QStringLiteral(" takes no value"));
            if (spec->kind == CliOptionKind::Help) {
                result.help = true;
                return result;
            }
            if (spec->kind == CliOptionKind::Version) {
                result.version = true;
                return result;
            }
            QString value;
            if (inlineValue) {
                value = *inlineValue;
            } else if (spec->kind == CliOptionKind::Value) {
                if (i + 1 >= arguments.size())
                    return fail(QString::fromUtf8(spec->error));
                value = arguments.at(++i);
            }
            if (!spec->apply(o, value))
                return fail(QString::fromUtf8(spec->error));
        } else if (!optionsEnded && a == QLatin1String("--")) {
            // Everything after it is an argument, so a note may start with "--".
            optionsEnded = true;
        } else if (!optionsEnded && a.startsWith(QLatin1String("--"))) {
            return fail(QStringLiteral("unknown option: ") + a);
        } else if (!commandSeen) {
            // An empty first word is a command too (an unknown one), not nothing.
            o.command = a;
            commandSeen = true;
        } else {
            o.arguments << a;
        }
    }

    if (!commandSeen)
        return fail(QStringLiteral("no command given"));
    if (!o.port.isEmpty() && o.com)
        return fail(QStringLiteral("--port and --com exclude each other"));

    const QString& c = o.command;
    if (std::none_of(commandNames.begin(), commandNames.end(),
                     [&c](const char* name) { return c == QLatin1String(name); }))
        return fail(QStringLiteral("unknown command: ") + c);
    const auto argc = o.arguments.size();
    if (c == QLatin1String("write")) {
        if (argc != 1)
            return fail(QStringLiteral("write needs one configuration file"));
    } else if (c == QLatin1String("verify")) {
        if (argc != 1)
            return fail(QStringLiteral("verify needs one configuration file"));
    } else if (c == QLatin1String("backup")) {
        if (argc != 1)
            return fail(QStringLiteral("backup needs one file"));
    } else if (c == QLatin1String("read") || c == QLatin1String("measure") ||
               c == QLatin1String("find")) {
        if (argc != 0)
            return fail(c + QStringLiteral(" takes no arguments"));
        if (c == QLatin1String("find") && (!o.port.isEmpty() || o.com))
            return fail(QStringLiteral("find asks every port: no --port or --com"));
    } else if (c == QLatin1String("linearization")) {
        if (argc != 1)
            return fail(QStringLiteral("linearization needs one configuration file"));
        if (o.csv == !o.plotFile.isEmpty())
            return fail(QStringLiteral("linearization needs --csv or --plot FILE"));
        const QString suffix = o.plotFile.section(QLatin1Char('.'), -1).toLower();
        if (!o.plotFile.isEmpty() && suffix != QLatin1String("svg") &&
            suffix != QLatin1String("png"))
            return fail(QStringLiteral("--plot needs a .svg or .png file"));
    } else if (c == QLatin1String("note")) {
        if (argc == 1 && o.arguments[0] == QLatin1String("read")) {
        } else if (argc == 2 && o.arguments[0] == QLatin1String("write")) {
        } else {
            return fail(QStringLiteral("note read | note write TEXT"));
        }
    } else if (c == QLatin1String("comparator")) {
        if (argc != 2 ||
            (o.arguments[0] != QLatin1String("1") && o.arguments[0] != QLatin1String("2")) ||
            (o.arguments[1] != QLatin1String("read") && o.arguments[1] != QLatin1String("write")))
            return fail(QStringLiteral("comparator 1|2 read|write"));
        const bool values = !o.on.isEmpty() || !o.off.isEmpty() || !o.onDelay.isEmpty() ||
                            !o.offDelay.isEmpty() || !o.mode.isEmpty();
        // Switching a comparator off keeps its limits, delays and mode as they are, so values
        // given with it would not be stored.
        if (o.arguments[1] == QLatin1String("write") && o.enable == false && values)
            return fail(QStringLiteral("comparator write --disable takes no other values"));
        if (o.arguments[1] == QLatin1String("write") && o.enable != false &&
            (o.on.isEmpty() || o.off.isEmpty() || o.onDelay.isEmpty() || o.offDelay.isEmpty() ||
             o.mode.isEmpty() || !o.enable))
            return fail(QStringLiteral("comparator write needs --on --off --on-delay --off-delay "
                                       "--mode and --enable, or --disable alone"));
    } else if (c == QLatin1String("adjust")) {
        if (argc != 1 ||
            (o.arguments[0] != QLatin1String("start") && o.arguments[0] != QLatin1String("end")))
            return fail(QStringLiteral("adjust start|end"));
    } else if (IsHistoryCommand(c)) {
        if (const QString error = HistoryCommandError(o); !error.isEmpty())
            return fail(error);
    } else if (c == QLatin1String("batch")) {
        if (const QString error = BatchCommandError(o); !error.isEmpty())
            return fail(error);
    } else if (c == QLatin1String("frame")) {
        if (argc != 1 && argc != 3 && argc != 4)
            return fail(QStringLiteral("frame NAME [ADDRESS COUNT [HEXDATA]]"));
    } else {
        return fail(QStringLiteral("unknown command: ") + c);
    }

    result.options = std::move(o);
    return result;
}

} // namespace vtr8
