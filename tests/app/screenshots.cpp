// Writes pictures of the windows for the documentation:
//   vtr8_screenshots OUTPUT_FOLDER
// Runs on any Qt platform; with QT_QPA_PLATFORM=offscreen it needs no display.
#include "app/application.h"
#include "app/error_plot_window.h"
#include "app/history_window.h"
#include "app/information_window.h"
#include "app/main_window.h"
#include "app/measurement_window.h"
#include "app/port_window.h"
#include "app/table_window.h"
#include "app/window_history.h"
#include "link/port_listing.h"
#include "model/main_window_model.h"
#include "model/table_window_model.h"
#include "sim/eeprom.h"
#include "sim/sim_options.h"
#include "support/simulated_transport.h"
#ifdef Q_OS_UNIX
#include "support/sim_process.h"
#endif
#include "transfer/measurement_model.h"
#include "transfer/note_codec.h"
#include "user_interface/scripted_user_interface.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

class FixedListing : public vtr8::PortListing {
public:
    QList<vtr8::SystemPort> list;
    QList<vtr8::SystemPort> ports() const override { return list; }
};

bool save(QWidget* window, const QString& path)
{
    window->show();
    QApplication::processEvents();
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    QTemporaryDir scratch;
    const QString pointFile = scratch.filePath(QStringLiteral("body.txt"));
    {
        QFile file(pointFile);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("0 0\r\n10 8.5\r\n25 22.75\r\n50 48.2\r\n75 74.1\r\n100 100\r\n");
    }

    vtr8::ScriptedUserInterface ui;
    // Outlives the program, whose link closes it last.
    vtr8::test::SimulatedTransport transport;
    vtr8::Vtr8Application program(&ui);
    program.start();
    vtr8::MainWindowModel& m = program.model();

    // A thermocouple shows the most labels at once.
    m.userEdit(m.Vstup, QStringLiteral("termočlánek K"));
    m.userEdit(m.Linearizace, QStringLiteral("linearizováno"));
    m.setText(m.Pocatek, QStringLiteral("0"));
    m.PocatekExit();
    m.setText(m.Konec, QStringLiteral("600"));
    m.KonecExit();
    m.setText(m.ChybProud, QStringLiteral("nadproud"));
    m.ChybProudExit();
    m.setText(m.VzdStKon, QStringLiteral("vzdálený studený konec"));
    m.VzdStKonExit();
    m.setText(m.EMezsep1, QStringLiteral("450"));
    m.setText(m.EMezroz1, QStringLiteral("440"));
    m.setText(m.EditUzPozn, QStringLiteral("Pec č. 3 – žíhání, čidlo vpravo"));
    m.notifyChanged();

    bool ok = save(program.form1(), out.filePath(QStringLiteral("main-window.png")));

    // The error of the stored linearization of that thermocouple.
    program.ChybaLinearizaceClick();
    ok = program.errorWindow() &&
         save(program.errorWindow(), out.filePath(QStringLiteral("linearization-error.png"))) && ok;
    if (program.errorWindow())
        program.errorWindow()->hide();

    // A run of the measurement against the in-process simulator, the furnace settling.
    transport.transmitter().eeprom()[424] = 32; // °C
    program.protocol().setTransport(&transport);
    vtr8::MeasurementModel& measurement = program.measurementModel();
    int step = 0;
    auto settle = [&] {
        const double t = step++;
        transport.transmitter().options().input =
            450 - 30 * std::exp(-t / 15) * std::cos(t / 4) + 0.4 * std::sin(t * 1.7);
    };
    settle();
    QObject::connect(&measurement, &vtr8::MeasurementModel::readingTaken, settle);
    measurement.setIntervalMs(5);
    measurement.Start_MerClick();
    while (measurement.readingCount() < 80)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    measurement.Stop_merClick();
    ok = save(program.form3(), out.filePath(QStringLiteral("measurement-trend.png"))) && ok;
    program.form3()->hide();

    // The divider and shunt rows appear only for their inputs.
    m.userEdit(m.Vstup, QStringLiteral("rozdíl dvou proudů"));
    ok =
        save(program.form1(), out.filePath(QStringLiteral("main-window-current-difference.png"))) &&
        ok;

#ifdef Q_OS_UNIX
    // The port window on a machine with two USB adapters, a transmitter on each and one
    // more on COM1; then what "Najít převodník" found.
    vtr8::sim::EepromImage image = vtr8::sim::FactoryEeprom(vtr8::sim::SimOptions{});
    const vtr8::NoteEncoding note = vtr8::encodeNote(QStringLiteral("Pec č. 3 – žíhání"));
    std::copy(note.bytes.begin(), note.bytes.end(), image.begin() + 512);
    const QString load = scratch.filePath(QStringLiteral("noted.eeprom"));
    std::string error;
    vtr8::test::SimProcess noted(
        {QStringLiteral("--load"),
         QString::fromStdString(vtr8::sim::DumpEeprom(load.toStdString(), image, error)
                                    ? load.toStdString()
                                    : std::string())});
    vtr8::test::SimProcess plain;
    vtr8::test::SimProcess old({QStringLiteral("--firmware"), QStringLiteral("255")});
    if (!noted.start() || !plain.start() || !old.start())
        return 1;
    qputenv("VTR8_COM1", old.devicePath().toLocal8Bit());
    FixedListing listing;
    listing.list = {{QStringLiteral("ttyUSB0"), noted.devicePath(), QStringLiteral("USB Serial"),
                     QStringLiteral("ACME"), QStringLiteral("A1B2C3")},
                    {QStringLiteral("ttyUSB1"), plain.devicePath(), QStringLiteral("USB Serial"),
                     QStringLiteral("ACME"), QStringLiteral("D4E5F6")}};
    program.form2()->setPortListing(&listing);
    program.form2()->selection().setPortName(QStringLiteral("ttyUSB0"));
    program.form2()->FormCreate();
    ok = save(program.form2(), out.filePath(QStringLiteral("port-window.png"))) && ok;
    program.form2()->NajitClick();
    ok = save(program.form2(), out.filePath(QStringLiteral("port-search.png"))) && ok;
    program.form2()->hide();
    program.form2()->setPortListing(nullptr);
    qunsetenv("VTR8_COM1");
#else
    ok = save(program.form2(), out.filePath(QStringLiteral("port-window.png"))) && ok;
#endif
    ok = save(program.form5(), out.filePath(QStringLiteral("information-window.png"))) && ok;

    ui.openFileAnswers.push_back(pointFile);
    program.tableModel().vyber_souboru();
    ok = save(program.form4(), out.filePath(QStringLiteral("table-window.png"))) && ok;
    program.form4()->hide();

    // Two writes of one furnace and a read, in a history of their own, the two writes compared.
    program.history().setPath(scratch.filePath(QStringLiteral("history.sqlite")));
    m.userEdit(m.Vstup, QStringLiteral("termočlánek K"));
    m.userEdit(m.Linearizace, QStringLiteral("linearizováno"));
    m.setText(m.ChybProud, QStringLiteral("nadproud"));
    m.ChybProudExit();
    m.setText(m.VzdStKon, QStringLiteral("vzdálený studený konec"));
    m.VzdStKonExit();
    m.setText(m.Pocatek, QStringLiteral("0"));
    m.PocatekExit();
    m.setText(m.EditUzPozn, QStringLiteral("Pec č. 3 – žíhání"));
    ui.confirmAnswers = {true, true};
    program.actions().Uloz_PoznClick();
    for (const char* end : {"600", "650"}) {
        m.setText(m.Konec, QString::fromUtf8(end));
        m.KonecExit();
        ui.confirmAnswers = {true};
        program.actions().PoslatClick();
    }
    program.actions().PrecistClick();
    program.HistorieClick();
    if (vtr8::HistoryWindow* history = program.historyWindow()) {
        history->selectRows({1, 2});
        ok = save(history, out.filePath(QStringLiteral("history-window.png"))) && ok;
    } else {
        ok = false;
    }

    return ok ? 0 : 1;
}
