// vtr8-manual OUTPUT_FOLDER VERSION: writes vtr8.1, vtr8ctl.1 and vtr8ctl.bash (build time only).
#include "cli/cli_manual.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vtr8-manual OUTPUT_FOLDER VERSION\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString version = QString::fromLocal8Bit(argv[2]);
    const struct {
        const char* name;
        QString text;
    } files[] = {{"vtr8.1", vtr8::Vtr8ManualPage(version)},
                 {"vtr8ctl.1", vtr8::Vtr8ctlManualPage(version)},
                 {"vtr8ctl.bash", vtr8::Vtr8ctlBashCompletion()}};
    for (const auto& file : files) {
        QFile out(folder.filePath(QString::fromUtf8(file.name)));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(file.text.toUtf8()) < 0 || !out.flush()) {
            std::fprintf(stderr, "vtr8-manual: cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
    }
    return 0;
}
