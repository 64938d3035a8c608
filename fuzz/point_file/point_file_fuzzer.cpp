// Arbitrary bytes as a point file: the reader, the point set it fills and the
// table window that shows it must neither crash nor store anything unusable.
#include "model/main_window_model.h"
#include "model/point_file.h"
#include "linearization/point_set.h"
#include "user_interface/scripted_user_interface.h"
#include "model/table_window_model.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkPointSet(const vtr8::LinearizationPoints& set)
{
    check(set.PointCount >= 0 && set.PointCount <= vtr8::LinearizationPoints::MaxPoints);
    if (!set.PointFileOk)
        return;
    check(set.PointCount >= 2);
    for (const vtr8::Extended v :
         {set.LineSlope, set.LineOffset, set.InverseSlope, set.InverseOffset})
        check(std::isfinite(v));
}

struct Scratch {
    Scratch()
    {
        static int argc = 1;
        static char name[] = "point_file_fuzzer";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
        path = dir.filePath(QStringLiteral("body.txt"));
    }
    QCoreApplication* app;
    QTemporaryDir dir;
    QString path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Scratch scratch;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The reader alone.
    const vtr8::PointFileReading reading = vtr8::parsePointText(text);
    check(reading.points.size() <= 101);
    if (reading.outcome == vtr8::PointFileReading::Outcome::Ok)
        check(reading.points.size() >= 2 && reading.points.size() <= 100);

    // The whole road: dialog, file, point set, grid, degree box, OK.
    {
        QFile file(scratch.path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(text.data(), static_cast<qint64>(size)) == static_cast<qint64>(size));
    }
    vtr8::ScriptedUserInterface ui;
    vtr8::LinearizationPoints points;
    vtr8::MainWindowModel model(ui, points);
    vtr8::TableWindowModel table(model);
    ui.openFileAnswers.push_back(scratch.path);
    table.vyber_souboru();
    checkPointSet(points);
    check(ui.messages.size() <= 1);
    check(table.shown == points.PointFileOk);
    for (int row = 1; row <= points.PointCount; ++row)
        check(!table.cell(0, row).isEmpty() && !table.cell(1, row).isEmpty());

    if (table.shown) {
        table.Zpus_linClick(size > 0 ? data[0] & 1 : 0);
        if (size > 1)
            table.stup_pChange(QString::fromLatin1(text.substr(size - 2).data(), 2));
        table.OKClick();
        checkPointSet(points);
    }
    return 0;
}
