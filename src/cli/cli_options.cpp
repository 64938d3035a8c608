#include "cli/cli_options.h"

#include "cli/history_options.h"
#include "device/choice_texts.h"

namespace vtr8 {

const char* CliUsage()
{
    return "usage: vtr8ctl [--port DEVICE | --com N] [--yes] [--trace] [--history PATH | "
           "--no-history]\n"
           "               COMMAND [ARGS]\n"
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
           "  note read | note write TEXT\n"
           "  comparator 1|2 read\n"
           "  comparator 1|2 write --on X --off Y --on-delay S --off-delay S\n"
           "                       --mode HYSTEREZE|OKNO --enable|--disable\n"
           "  adjust start|end                    zero/span with a reference\n"
           "  frame NAME [ADDRESS COUNT [HEXDATA]] print the request frame in hex\n"
           "  history [--note TEXT] [--since DATE] [--until DATE] [--csv]\n"
           "                                      the recorded transfers, oldest first\n"
           "  history show ID [--save CONFIG.txt] one record; --save writes its configuration\n"
           "  history export FILE.csv             every record as CSV\n"
           "  check --at 0,50,100                 readings at reference inputs (per cent of\n"
           "                                      the range) against the calibrator\n"
           "  report FILE.pdf                     the commissioning report of the transmitter\n"
           "Every transfer is recorded in a history file: --history PATH (or VTR8_HISTORY)\n"
           "chooses it, --no-history keeps none.\n"
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

} // namespace

CliParseResult ParseCliArguments(const QStringList& arguments)
{
    CliParseResult result;
    CliOptions o;
    auto fail = [&](const QString& text) {
        result.error = text;
        return result;
    };

    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        auto value = [&](QString& out) {
            if (i + 1 >= arguments.size())
                return false;
            out = arguments.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            result.help = true;
            return result;
        } else if (a == QLatin1String("--yes") || a == QLatin1String("-y")) {
            o.yes = true;
        } else if (a == QLatin1String("--trace")) {
            o.trace = true;
        } else if (a == QLatin1String("--utf8")) {
            o.utf8 = true;
        } else if (a == QLatin1String("--port")) {
            if (!value(o.port) || o.port.isEmpty())
                return fail(QStringLiteral("--port needs a device"));
        } else if (a == QLatin1String("--com")) {
            if (!value(v))
                return fail(QStringLiteral("--com needs a number 1..8"));
            o.com = parseInt(v, 1, 8);
            if (!o.com)
                return fail(QStringLiteral("--com needs a number 1..8"));
        } else if (a == QLatin1String("--points")) {
            if (!value(o.pointsFile))
                return fail(QStringLiteral("--points needs a file"));
        } else if (a == QLatin1String("--method")) {
            if (!value(o.method) ||
                (o.method != QLatin1String("polynomial") && o.method != QLatin1String("segments")))
                return fail(QStringLiteral("--method needs polynomial or segments"));
        } else if (a == QLatin1String("--degree")) {
            if (!value(v) || !(o.degree = parseInt(v, 2, 8)))
                return fail(QStringLiteral("--degree needs a number 2..8"));
        } else if (a == QLatin1String("--verify")) {
            o.verify = true;
        } else if (a == QLatin1String("--image")) {
            if (!value(o.imageFile) || o.imageFile.isEmpty())
                return fail(QStringLiteral("--image needs a file"));
        } else if (a == QLatin1String("--save")) {
            if (!value(o.saveFile))
                return fail(QStringLiteral("--save needs a file"));
        } else if (a == QLatin1String("--count")) {
            std::optional<int> n;
            if (!value(v) || !(n = parseInt(v, 0, 1000000)))
                return fail(QStringLiteral("--count needs a number 0..1000000"));
            o.count = *n;
        } else if (a == QLatin1String("--csv")) {
            o.csv = true;
        } else if (a == QLatin1String("--plot")) {
            if (!value(o.plotFile) || o.plotFile.isEmpty())
                return fail(QStringLiteral("--plot needs a file"));
        } else if (a == QLatin1String("--firmware")) {
            if (!value(v) || !(o.firmware = parseInt(v, 0, 255)))
                return fail(QStringLiteral("--firmware needs a number 0..255"));
        } else if (a == QLatin1String("--read")) {
            o.readFirst = true;
        } else if (a == QLatin1String("--on")) {
            if (!value(o.on))
                return fail(QStringLiteral("--on needs a value"));
        } else if (a == QLatin1String("--off")) {
            if (!value(o.off))
                return fail(QStringLiteral("--off needs a value"));
        } else if (a == QLatin1String("--on-delay")) {
            if (!value(o.onDelay))
                return fail(QStringLiteral("--on-delay needs a value"));
        } else if (a == QLatin1String("--off-delay")) {
            if (!value(o.offDelay))
                return fail(QStringLiteral("--off-delay needs a value"));
        } else if (a == QLatin1String("--mode")) {
            if (!value(o.mode) || (o.mode != choice::Hysteresis && o.mode != choice::Window))
                return fail(QStringLiteral("--mode needs HYSTEREZE or OKNO"));
        } else if (a == QLatin1String("--enable")) {
            o.enable = true;
        } else if (a == QLatin1String("--disable")) {
            o.enable = false;
        } else if (const OptionMatch m = ParseHistoryOption(arguments, i, o, v);
                   m != OptionMatch::No) {
            if (m == OptionMatch::Error)
                return fail(v);
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            return fail(QStringLiteral("unknown option: ") + a);
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.arguments << a;
        }
    }

    if (o.command.isEmpty())
        return fail(QStringLiteral("no command given"));
    if (!o.port.isEmpty() && o.com)
        return fail(QStringLiteral("--port and --com exclude each other"));

    const QString& c = o.command;
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
    } else if (c == QLatin1String("read") || c == QLatin1String("measure")) {
        if (argc != 0)
            return fail(c + QStringLiteral(" takes no arguments"));
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
        if (o.arguments[1] == QLatin1String("write") &&
            (o.on.isEmpty() || o.off.isEmpty() || o.onDelay.isEmpty() || o.offDelay.isEmpty() ||
             o.mode.isEmpty() || !o.enable))
            return fail(QStringLiteral("comparator write needs --on --off --on-delay --off-delay "
                                       "--mode and --enable or --disable"));
    } else if (c == QLatin1String("adjust")) {
        if (argc != 1 ||
            (o.arguments[0] != QLatin1String("start") && o.arguments[0] != QLatin1String("end")))
            return fail(QStringLiteral("adjust start|end"));
    } else if (IsHistoryCommand(c)) {
        if (const QString error = HistoryCommandError(o); !error.isEmpty())
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
