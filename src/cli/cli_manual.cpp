#include "cli/cli_manual.h"

#include "cli/cli_options.h"

#include <QStringList>

namespace vtr8 {

namespace {

// Text as roff shows it: a backslash and a hyphen-minus printed as themselves.
QString roff(const char* text)
{
    QString out = QString::fromUtf8(text);
    out.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    out.replace(QLatin1Char('-'), QLatin1String("\\-"));
    return out;
}

QString header(const char* title, const QString& version)
{
    return QStringLiteral(".TH %1 1 \"\" \"vtr8 %2\" \"User Commands\"\n")
        .arg(QLatin1String(title), version);
}

// What both programs share: where they look and what they keep.
QString environmentAndFiles()
{
    return QStringLiteral(
        ".SH ENVIRONMENT\n"
        ".TP\n.B VTR8_HISTORY\n"
        "the history file, instead of the default below (\\-\\-history comes first).\n"
        ".TP\n.BI VTR8_COM n\n"
        "the device that item \\fIn\\fR (1...8) of the port choice and \\-\\-com \\fIn\\fR "
        "open, e.g.\\& VTR8_COM1=/dev/ttyUSB0; without it the setting \\fBDevices/Com\\fIn\\fR "
        "in the settings file, else /dev/ttyS\\fIn\\-1\\fR.\n"
        ".TP\n.B VTR8_EXTRA_PORTS\n"
        "more ports to list beside those the system reports, as NAME=DEVICE pairs separated "
        "by semicolons, e.g.\\& \\(dqlab=/dev/pts/3;bench=/tmp/link\\(dq; a port made by a "
        "simulator or a network adapter the system does not list.\n"
        ".TP\n.B XDG_RUNTIME_DIR\n"
        "the folder of the lock files.\n"
        ".SH FILES\n"
        ".TP\n.I ~/.local/share/ZN/VTR8/history.sqlite\n"
        "the history of the transfers (SQLite), shared by vtr8 and vtr8ctl.\n"
        ".TP\n.I ~/.config/ZN/VTR8.conf\n"
        "the settings: the port choice, the port paths, the recent files.\n"
        ".TP\n.I $XDG_RUNTIME_DIR/vtr8\\-port*.lock\n"
        "one lock file per open port, so that two programs never share a port; without "
        "XDG_RUNTIME_DIR in the private folder /tmp/vtr8\\-\\fIUID\\fR. The window slots "
        "(vtr8\\-window\\-*.lock) lie beside them.\n");
}

} // namespace

QString Vtr8ctlManualPage(const QString& version)
{
    QString page = header("VTR8CTL", version);
    page += QStringLiteral(
        ".SH NAME\n"
        "vtr8ctl \\- configure VTR8 measuring transmitters from the command line\n"
        ".SH SYNOPSIS\n"
        ".B vtr8ctl\n"
        ".RI [ OPTION ...]\n"
        ".I COMMAND\n"
        ".RI [ ARGUMENT ...]\n"
        ".SH DESCRIPTION\n"
        ".B vtr8ctl\n"
        "does what the window program\n"
        ".BR vtr8 (1)\n"
        "does, from a shell: it writes a configuration file into a transmitter, reads it back,\n"
        "measures, compares and saves the transmitter's memory, and handles the relay "
        "comparators\n"
        "and the user note. Messages are Czech and go to standard error, one per line.\n"
        "An option's value follows it as the next argument or after \\(dq=\\(dq "
        "(\\-\\-port=/dev/ttyUSB0);\n"
        "arguments after \\-\\- are never options.\n"
        ".SH OPTIONS\n");
    for (const CliOptionSpec& option : CliOptionTable()) {
        page += QStringLiteral(".TP\n\\fB") + roff(option.name) + QStringLiteral("\\fR");
        if (option.shortName)
            page += QStringLiteral(", \\fB") + roff(option.shortName) + QStringLiteral("\\fR");
        if (option.valueName)
            page += QStringLiteral(" \\fI") + roff(option.valueName) + QStringLiteral("\\fR");
        page += QLatin1Char('\n') + roff(option.help) + QStringLiteral(".\n");
    }
    page += QStringLiteral(".SH COMMANDS\n");
    for (const CliCommandSpec& command : CliCommandTable()) {
        page += QStringLiteral(".TP\n\\fB") + roff(command.name) + QStringLiteral("\\fR\n");
        if (*command.synopsis)
            page += roff(command.name) + QLatin1Char(' ') + roff(command.synopsis) +
                    QStringLiteral("\n.br\n");
        page += roff(command.help) + QStringLiteral(".\n");
    }
    page += environmentAndFiles();
    page += QStringLiteral(
        ".SH EXIT STATUS\n"
        "0 when the operation completed, 1 when it ended early (communication error, refusal,\n"
        "failed check, a No, an interruption), 2 for a usage error.\n"
        ".SH SIGNALS\n"
        "The first SIGINT, SIGTERM, SIGHUP or SIGPIPE lets the command in flight end and sends\n"
        "nothing more (exit 1); a second SIGINT, SIGTERM or SIGHUP ends at once.\n"
        ".SH EXAMPLES\n"
        ".nf\n"
        "vtr8ctl \\-\\-port /dev/ttyUSB0 \\-\\-yes write \\-\\-verify pt100.txt\n"
        "vtr8ctl \\-\\-port=/dev/ttyUSB0 read > back.txt\n"
        "vtr8ctl \\-\\-com 1 measure \\-\\-count 10\n"
        "vtr8ctl history \\-\\-note TT\\-101 \\-\\-since 2026\\-01\\-01\n"
        ".fi\n"
        ".SH SEE ALSO\n"
        ".BR vtr8 (1)\n");
    return page;
}

QString Vtr8ManualPage(const QString& version)
{
    QString page = header("VTR8", version);
    page += QStringLiteral(
        ".SH NAME\n"
        "vtr8 \\- configure VTR8 measuring transmitters (window program)\n"
        ".SH SYNOPSIS\n"
        ".B vtr8\n"
        ".RB [ \\-\\-history\n"
        ".IR PATH \" | \" \\fB\\-\\-no\\-history\\fR]\n"
        ".RI [ CONFIG.txt \" [\" POINTS.txt ]]\n"
        ".br\n"
        ".B vtr8\n"
        ".BR \\-\\-help \" | \" \\-\\-version\n"
        ".SH DESCRIPTION\n"
        ".B vtr8\n"
        "edits one transmitter configuration in a Czech window, checks every value against the\n"
        "limits of the chosen input, computes the linearization and writes it into the "
        "transmitter\n"
        "over a serial port. It reads configurations back, measures the live value, handles the "
        "relay\n"
        "comparators and the user note, and saves and loads configuration files "
        "(Windows\\-1250, CR LF).\n"
        ".PP\n"
        "Given CONFIG.txt, the window opens with that configuration loaded; POINTS.txt answers "
        "the\n"
        "question for a configuration linearized from a point file.\n"
        ".SH OPTIONS\n"
        ".TP\n.BR \\-\\-help \", \" \\-h\n"
        "print the usage and exit, without a window.\n"
        ".TP\n.BR \\-\\-version \", \" \\-V\n"
        "print the version and exit.\n"
        ".TP\n.BI \\-\\-history \" PATH\"\n"
        "the history file of the transfers.\n"
        ".TP\n.B \\-\\-no\\-history\n"
        "record nothing.\n"
        ".SH PORTS\n"
        "The port window offers COM1 ... COM8 and every other port the system lists.\n"
        "The choice is stored as\n"
        ".B ComPort\n"
        "in the settings file.\n");
    page += environmentAndFiles();
    page += QStringLiteral(".SH SEE ALSO\n.BR vtr8ctl (1)\n");
    return page;
}

QString Vtr8ctlBashCompletion()
{
    QStringList options;
    QStringList valueCases;
    QStringList fileOptions;
    for (const CliOptionSpec& option : CliOptionTable()) {
        options << QString::fromUtf8(option.name);
        if (option.shortName)
            options << QString::fromUtf8(option.shortName);
        if (!option.valueName)
            continue;
        const QString value = QString::fromUtf8(option.valueName);
        const QString name = QString::fromUtf8(option.name);
        if (value.contains(QLatin1Char('|')))
            valueCases << QStringLiteral(
                              "        %1) COMPREPLY=($(compgen -W \"%2\" -- \"$cur\")); "
                              "return ;;\n")
                              .arg(name, value.split(QLatin1Char('|')).join(QLatin1Char(' ')));
        else if (value == QLatin1String("DEVICE"))
            valueCases << QStringLiteral(
                              "        %1) COMPREPLY=($(compgen -f -- \"$cur\") $(compgen -W "
                              "\"$(ls /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* 2>/dev/null)\" -- "
                              "\"$cur\")); return ;;\n")
                              .arg(name);
        else if (value == QLatin1String("FILE") || value == QLatin1String("PATH"))
            fileOptions << name;
        else
            valueCases << QStringLiteral("        %1) return ;;\n").arg(name);
    }
    QStringList commands;
    QStringList fileCommands;
    QStringList wordCases;
    for (const CliCommandSpec& command : CliCommandTable()) {
        const QString name = QString::fromUtf8(command.name);
        commands << name;
        if (command.fileArgument)
            fileCommands << name;
        if (command.words)
            wordCases << QStringLiteral("        %1) COMPREPLY=($(compgen -W \"%2\" -- \"$cur\")); "
                                        "return ;;\n")
                             .arg(name, QString::fromUtf8(command.words));
    }
    QStringList valueOptions; // the options whose value is the next word
    for (const CliOptionSpec& option : CliOptionTable())
        if (option.kind == CliOptionKind::Value)
            valueOptions << QString::fromUtf8(option.name);

    return QStringLiteral("# bash completion for vtr8ctl, written by the build from its option "
                          "table\n"
                          "_vtr8ctl()\n"
                          "{\n"
                          "    local cur prev words cword\n"
                          "    _init_completion -s || return\n"
                          "    case $prev in\n") +
           valueCases.join(QString()) +
           QStringLiteral("        %1) _filedir; return ;;\n")
               .arg(fileOptions.join(QLatin1Char('|'))) +
           QStringLiteral("    esac\n"
                          "    $split && return\n"
                          "    local i command=\n"
                          "    for ((i = 1; i < cword; i++)); do\n"
                          "        case ${words[i]} in\n"
                          "            %1) ((i++)) ;;\n"
                          "            -*) ;;\n"
                          "            *) command=${words[i]}; break ;;\n"
                          "        esac\n"
                          "    done\n"
                          "    if [[ $cur == -* ]]; then\n"
                          "        COMPREPLY=($(compgen -W \"%2\" -- \"$cur\"))\n"
                          "        return\n"
                          "    fi\n"
                          "    if [[ -z $command ]]; then\n"
                          "        COMPREPLY=($(compgen -W \"%3\" -- \"$cur\"))\n"
                          "        return\n"
                          "    fi\n"
                          "    case $command in\n")
               .arg(valueOptions.join(QLatin1Char('|')), options.join(QLatin1Char(' ')),
                    commands.join(QLatin1Char(' '))) +
           wordCases.join(QString()) +
           QStringLiteral("        %1) _filedir; return ;;\n"
                          "    esac\n"
                          "}\n"
                          "complete -F _vtr8ctl vtr8ctl\n")
               .arg(fileCommands.join(QLatin1Char('|')));
}

} // namespace vtr8
