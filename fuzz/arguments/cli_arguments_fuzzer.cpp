// Arbitrary arguments for vtr8ctl, NUL between them. An argument of one byte from 0x80 up stands
// for a name from the parser's own tables (an option, a command or "--"), so mutations reach
// every option without a dictionary that could fall behind. Parsing gives exactly one of help,
// an error text or options, and the options agree with an independent walk over the arguments.
#include "cli/cli_options.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

using vtr8::CliOptionKind;
using vtr8::CliOptionSpec;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QStringList decodeArguments(const std::uint8_t* data, std::size_t size)
{
    const auto options = vtr8::CliOptionTable();
    const auto commands = vtr8::CliCommandNames();
    const std::size_t names = options.size() + commands.size() + 1;
    QStringList arguments;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& part : bytes.split('\0')) {
        const auto first = part.isEmpty() ? 0u : static_cast<unsigned char>(part[0]);
        if (part.size() != 1 || first < 0x80) {
            arguments << QString::fromUtf8(part);
            continue;
        }
        const std::size_t pick = (first - 0x80u) % names;
        if (pick < options.size())
            arguments << QString::fromUtf8(options[pick].name);
        else if (pick < options.size() + commands.size())
            arguments << QString::fromUtf8(commands[pick - options.size()]);
        else
            arguments << QStringLiteral("--");
    }
    return arguments;
}

// What the command line holds, read independently of the parser: positional arguments, the
// last value of each option, and whether help or a malformed option comes first.
struct Walk {
    bool help = false;
    bool malformed = false;
    QStringList positional;
    std::map<QString, QString> values; // by the option's long name; "" for a flag
};

Walk walk(const QStringList& arguments)
{
    Walk w;
    bool ended = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString a = arguments[i];
        if (ended) {
            w.positional << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            ended = true;
            continue;
        }
        std::optional<QString> inlineValue;
        if (a.startsWith(QLatin1String("--")) && a.indexOf(QLatin1Char('=')) > 2) {
            inlineValue = a.section(QLatin1Char('='), 1);
            a = a.section(QLatin1Char('='), 0, 0);
        }
        const CliOptionSpec* spec = nullptr;
        for (const CliOptionSpec& s : vtr8::CliOptionTable())
            if (a == QLatin1String(s.name) || (s.shortName && a == QLatin1String(s.shortName)))
                spec = &s;
        if (spec && inlineValue && spec->kind != CliOptionKind::Value) {
            w.malformed = true;
            return w;
        }
        if (spec && (spec->kind == CliOptionKind::Help || spec->kind == CliOptionKind::Version)) {
            w.help = true;
            return w;
        }
        if (spec && inlineValue) {
            w.values[QString::fromUtf8(spec->name)] = *inlineValue;
        } else if (spec && spec->kind == CliOptionKind::Value) {
            if (i + 1 >= arguments.size()) {
                w.malformed = true;
                return w;
            }
            w.values[QString::fromUtf8(spec->name)] = arguments[++i];
        } else if (spec) {
            w.values[QString::fromUtf8(spec->name)] = QString();
        } else if (a.startsWith(QLatin1String("--"))) {
            w.malformed = true;
            return w;
        } else {
            w.positional << a;
        }
    }
    return w;
}

std::optional<QString> valueOf(const Walk& w, const char* name)
{
    const auto it = w.values.find(QString::fromUtf8(name));
    if (it == w.values.end())
        return std::nullopt;
    return it->second;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList arguments = decodeArguments(data, size);
    const vtr8::CliParseResult parsed = vtr8::ParseCliArguments(arguments);
    check(int(parsed.help || parsed.version) + int(parsed.options.has_value()) +
              int(!parsed.error.isEmpty()) ==
          1);

    const Walk w = walk(arguments);
    // Help wins where it comes before any fault; a malformed option is never options.
    if (parsed.help || parsed.version)
        check(w.help);
    if (w.malformed)
        check(!parsed.options);
    if (!parsed.options)
        return 0;
    const vtr8::CliOptions& o = *parsed.options;
    check(!w.help && !w.malformed);

    bool known = false;
    for (const char* command : vtr8::CliCommandNames())
        known = known || o.command == QLatin1String(command);
    check(known);
    check(!w.positional.isEmpty() && w.positional.front() == o.command);
    check(o.arguments == w.positional.mid(1));

    check(o.yes == (valueOf(w, "--yes").has_value()));
    check(o.trace == valueOf(w, "--trace").has_value());
    check(o.port == valueOf(w, "--port").value_or(QString()));
    check(o.pointsFile == valueOf(w, "--points").value_or(QString()));
    check(o.imageFile == valueOf(w, "--image").value_or(QString()));
    check(o.on == valueOf(w, "--on").value_or(QString()));
    check(o.port.isEmpty() || !o.com);
    check(!o.com || (*o.com >= 1 && *o.com <= 8));
    check(!o.degree || (*o.degree >= 2 && *o.degree <= 8));
    check(o.count == (valueOf(w, "--count") ? valueOf(w, "--count")->toInt() : 1));
    check(o.count >= 0 && o.count <= 1000000);

    // The commands' own shapes.
    const auto argc = o.arguments.size();
    if (o.command == QLatin1String("write") || o.command == QLatin1String("verify") ||
        o.command == QLatin1String("backup") || o.command == QLatin1String("linearization"))
        check(argc == 1);
    if (o.command == QLatin1String("read") || o.command == QLatin1String("measure"))
        check(argc == 0);
    if (o.command == QLatin1String("note"))
        check(argc == (o.arguments[0] == QLatin1String("read") ? 1 : 2));
    if (o.command == QLatin1String("comparator") && o.arguments[1] == QLatin1String("write"))
        check(o.enable.has_value() && (*o.enable != o.on.isEmpty()));
    return 0;
}
