#include "cli/cli_manual.h"
#include "cli/cli_options.h"
#include "cli/frame_command.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

using vtr8::FrameForArguments;
using vtr8::HexBytes;
using vtr8::ParseCliArguments;

namespace {

using Words = std::vector<const char*>;

QStringList args(const Words& list)
{
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

} // namespace

TEST(CliOptions, GlobalOptionsAndCommandArgumentsAnywhere)
{
    const auto r =
        ParseCliArguments(args(Words{"--port", "/dev/pts/7", "--yes", "write", "a.txt", "--points",
                                     "p.txt", "--method", "segments", "--degree", "5", "--trace"}));
    ASSERT_TRUE(r.options) << r.error.toStdString();
    EXPECT_EQ(r.options->port, "/dev/pts/7");
    EXPECT_TRUE(r.options->yes);
    EXPECT_TRUE(r.options->trace);
    EXPECT_EQ(r.options->command, "write");
    EXPECT_EQ(r.options->arguments, QStringList{"a.txt"});
    EXPECT_EQ(r.options->pointsFile, "p.txt");
    EXPECT_EQ(r.options->method, "segments");
    EXPECT_EQ(r.options->degree, 5);
}

TEST(CliOptions, UsageErrorsAreRefused)
{
    const std::vector<Words> bad = {
        {},
        {"--yes"},
        {"fly"},
        {"write"},
        {"write", "a.txt", "b.txt"},
        {"read", "extra"},
        {"--com", "9", "read"},
        {"--com", "0", "read"},
        {"--com", "x", "read"},
        {"--port", "/dev/x", "--com", "2", "read"},
        {"--port"},
        {"measure", "--count", "-1"},
        {"note"},
        {"note", "write"},
        {"note", "erase"},
        {"comparator", "3", "read"},
        {"comparator", "1", "write", "--on", "1"},
        {"comparator", "1", "write", "--on", "1", "--off", "2", "--on-delay", "0", "--off-delay",
         "0", "--mode", "OKNO"},
        {"comparator", "1", "write", "--on", "1", "--off", "2", "--on-delay", "0", "--off-delay",
         "0", "--mode", "ZIGZAG", "--enable"},
        {"adjust", "middle"},
        {"write", "a.txt", "--method", "spline"},
        {"write", "a.txt", "--degree", "9"},
        {"frame", "ReadEEPROM", "512"},
        {"read", "--bogus"},
        {"verify"},
        {"verify", "a.txt", "--image"},
        {"backup"},
        {"backup", "a.bin", "b.bin"},
        {"comparator", "1", "write", "--disable", "--on", "1"},
        {"note", "write", "--", "a", "b"},
        {"", "read"}, // an empty word is an unknown command, not nothing
        {"find", "COM3"},
        {"--com", "2", "find"}, // find asks every port
    };
    for (const auto& list : bad) {
        const auto r = ParseCliArguments(args(list));
        EXPECT_FALSE(r.options) << args(list).join(' ').toStdString();
        EXPECT_FALSE(r.error.isEmpty()) << args(list).join(' ').toStdString();
    }
}

TEST(CliOptions, ComparatorWriteCarriesEveryField)
{
    const auto r = ParseCliArguments(
        args(Words{"comparator", "2", "write", "--on", "12.5", "--off", "10", "--on-delay", "3",
                   "--off-delay", "4", "--mode", "OKNO", "--enable"}));
    ASSERT_TRUE(r.options) << r.error.toStdString();
    EXPECT_EQ(r.options->arguments, (QStringList{"2", "write"}));
    EXPECT_EQ(r.options->on, "12.5");
    EXPECT_EQ(r.options->off, "10");
    EXPECT_EQ(r.options->onDelay, "3");
    EXPECT_EQ(r.options->offDelay, "4");
    EXPECT_EQ(r.options->mode, "OKNO");
    EXPECT_EQ(r.options->enable, true);

    // Switching off keeps the values the transmitter has: it takes none.
    const auto off = ParseCliArguments(args(Words{"comparator", "1", "write", "--disable"}));
    ASSERT_TRUE(off.options) << off.error.toStdString();
    EXPECT_EQ(off.options->enable, false);
}

// After "--" nothing is an option: a note may start with dashes, and an option before it counts.
TEST(CliOptions, DoubleDashEndsTheOptions)
{
    const auto r = ParseCliArguments(args(Words{"-y", "note", "write", "--", "--help"}));
    ASSERT_TRUE(r.options) << r.error.toStdString();
    EXPECT_TRUE(r.options->yes);
    EXPECT_EQ(r.options->arguments, (QStringList{"write", "--help"}));
    const auto dashes = ParseCliArguments(args(Words{"note", "--", "write", "--"}));
    ASSERT_TRUE(dashes.options) << dashes.error.toStdString();
    EXPECT_EQ(dashes.options->arguments, (QStringList{"write", "--"}));
}

TEST(CliOptions, ValueAfterEqualsSignAndVersion)
{
    const auto r = ParseCliArguments(
        args(Words{"--port=/dev/x=1", "--count=0", "--save=", "measure", "--history=h.db"}));
    ASSERT_TRUE(r.options) << r.error.toStdString();
    EXPECT_EQ(r.options->port, "/dev/x=1");
    EXPECT_EQ(r.options->count, 0);
    EXPECT_EQ(r.options->historyFile, "h.db");
    for (const Words& bad :
         {Words{"--yes=1", "read"}, Words{"--port=", "read"}, Words{"--com=9", "read"},
          Words{"--bogus=1", "read"}, Words{"--=x", "read"}})
        EXPECT_FALSE(ParseCliArguments(args(bad)).options) << bad.front();
    for (const char* version : {"--version", "-V"}) {
        const auto v = ParseCliArguments(args(Words{"read", version, "--bogus"}));
        EXPECT_TRUE(v.version && !v.options && v.error.isEmpty()) << version;
    }
    // After "--" it is a note like any other.
    const auto note = ParseCliArguments(args(Words{"note", "write", "--", "--port=x"}));
    ASSERT_TRUE(note.options);
    EXPECT_EQ(note.options->arguments.last(), "--port=x");
}

// The manual page and the completion are written from the tables, so nothing the parser
// knows can be missing from them.
TEST(CliManual, NamesEveryOptionAndCommandOfTheTables)
{
    const QString page = vtr8::Vtr8ctlManualPage(QStringLiteral("1.0"));
    const QStringList completion =
        vtr8::Vtr8ctlBashCompletion().split(QRegularExpression(QStringLiteral("[\\s\"|()]+")));
    auto roff = [](const char* name) { return QString::fromUtf8(name).replace('-', "\\-"); };
    for (const vtr8::CliOptionSpec& option : vtr8::CliOptionTable()) {
        EXPECT_TRUE(page.contains("\\fB" + roff(option.name) + "\\fR")) << option.name;
        EXPECT_TRUE(completion.contains(option.name)) << option.name;
        if (option.shortName)
            EXPECT_TRUE(page.contains("\\fB" + roff(option.shortName) + "\\fR"));
    }
    for (const char* command : vtr8::CliCommandNames()) {
        EXPECT_TRUE(page.contains(QStringLiteral(".TP\n\\fB") + roff(command))) << command;
        EXPECT_TRUE(completion.contains(command)) << command;
    }
    for (const QString& manual : {page, vtr8::Vtr8ManualPage(QStringLiteral("1.0"))})
        for (const char* needed :
             {".SH ENVIRONMENT", "VTR8_HISTORY", "VTR8_COM", "VTR8_EXTRA_PORTS", ".SH FILES",
              "history.sqlite", "VTR8.conf", ".lock"})
            EXPECT_TRUE(manual.contains(QLatin1String(needed))) << needed;
}

TEST(CliFrame, GoldenFrames)
{
    QString error;
    auto f = FrameForArguments(args(Words{"ReadPV"}), error);
    ASSERT_TRUE(f);
    EXPECT_EQ(HexBytes(*f), "FF FF FF FF FF FF 82 3A BD EF B1 34 01 00 6E");

    f = FrameForArguments(args(Words{"ReadEEPROM", "512", "15"}), error);
    ASSERT_TRUE(f);
    EXPECT_EQ(HexBytes(*f), "FF FF FF FF FF FF 82 3A BD EF B1 34 71 03 02 00 0F 10");

    // Hex address and data fill the transfer buffer from its first position.
    f = FrameForArguments(args(Words{"WriteEEPROM", "0x1A4", "2", "01 02"}), error);
    ASSERT_TRUE(f);
    EXPECT_EQ(HexBytes(*f), "FF FF FF FF FF FF 82 3A BD EF B1 34 72 05 01 A4 02 01 02 BC");
}

TEST(CliFrame, BadArgumentsAreRefusedWithAReason)
{
    const std::vector<Words> bad = {
        {"Bogus"},
        {"readpv"}, // names are case-sensitive
        {"ReadEEPROM", "70000", "1"},
        {"ReadEEPROM", "1", "256"},
        {"WriteEEPROM", "0", "26"},
        {"WriteEEPROM", "0", "2", "0G"},
        {"WriteEEPROM", "0", "2", "012"},
    };
    for (const auto& list : bad) {
        QString error;
        EXPECT_FALSE(FrameForArguments(args(list), error)) << args(list).join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}
