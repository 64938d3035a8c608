// Arbitrary arguments for vtr8ctl (NUL separates them). Parsing gives exactly
// one of help, an error text or options, and options that hold together.
#include "cli/cli_options.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool given(const QStringList& arguments, const char* option)
{
    return arguments.contains(QLatin1String(option));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray& part : bytes.split('\0'))
        arguments << QString::fromUtf8(part);
    const vtr8::CliParseResult parsed = vtr8::ParseCliArguments(arguments);

    check(int(parsed.help) + int(parsed.options.has_value()) + int(!parsed.error.isEmpty()) == 1);
    if (!parsed.options)
        return 0;
    const vtr8::CliOptions& o = *parsed.options;
    const QStringList commands{QStringLiteral("write"),      QStringLiteral("read"),
                               QStringLiteral("measure"),    QStringLiteral("note"),
                               QStringLiteral("comparator"), QStringLiteral("adjust"),
                               QStringLiteral("frame")};
    check(commands.contains(o.command));
    check(o.port.isEmpty() || !o.com);
    check(!o.com || (*o.com >= 1 && *o.com <= 8));
    check(!o.degree || (*o.degree >= 2 && *o.degree <= 8));
    check(o.count >= 1 && o.count <= 1000000);
    check(o.yes == (given(arguments, "--yes") || given(arguments, "-y")));
    check(!o.port.isEmpty() == given(arguments, "--port"));
    // The positional arguments are taken from the command line in order.
    qsizetype from = 0;
    for (const QString& a : o.arguments) {
        from = arguments.indexOf(a, from);
        check(from >= 0);
        ++from;
    }
    if (o.command == QLatin1String("write"))
        check(o.arguments.size() == 1);
    if (o.command == QLatin1String("note"))
        check(o.arguments.size() == (o.arguments[0] == QLatin1String("read") ? 1 : 2));
    return 0;
}
