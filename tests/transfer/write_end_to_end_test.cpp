#include "linearization/characteristic.h"
#include "linearization/workspace.h"
#include "link/command_protocol.h"
#include "model/editor_read.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "process_value_reader.h"
#include "support/core_application.h"
#include "support/sim_process.h"
#include "transfer/write_configuration.h"
#include "user_interface/scripted_user_interface.h"
#include "write_fixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

namespace vtr8::test {
namespace {

struct Sensor {
    const char* name;
    std::initializer_list<std::pair<const char*, const char*>> fields;
    double start;
    double end;
    double tolerance;
};

const Sensor pt100{"Pt100 -50..150",
                   {{"Vstup", "odporový teploměr Pt100"},
                    {"PripCidl", "čtyřvodičově"},
                    {"Linearizace", "linearizováno"},
                    {"Pocatek", "-50"},
                    {"Konec", "150"},
                    {"Tlumeni", "1"},
                    {"ChybProud", "nadproud"}},
                   -50,
                   150,
                   0.02};

const Sensor typeK{"K 0..1000",
                   {{"Vstup", "termočlánek K"},
                    {"VzdStKon", "interní studený konec"},
                    {"Linearizace", "linearizováno"},
                    {"Pocatek", "0"},
                    {"Konec", "1000"},
                    {"Tlumeni", "1"},
                    {"ChybProud", "podproud"}},
                   0,
                   1000,
                   0.2};

// Writes the sensor in process, then sweeps the simulated temperature over the range.
double worstSweepError(const Sensor& sensor, std::uint8_t firmware)
{
    sim::SimOptions options;
    options.firmware = firmware;
    WriteFixture f(options);
    f.fill(sensor.fields);
    f.ui().confirmAnswers = {true};
    if (!WriteEditorConfiguration(f.ctx, f.model, WriteTiming{1})) {
        ADD_FAILURE() << "write failed: " << f.ui().messages.join('|').toStdString();
        return 1e9;
    }
    double worst = 0;
    for (int i = 0; i <= 200; ++i) {
        const double t = sensor.start + (sensor.end - sensor.start) * i / 200;
        f.link.transmitter().options().input = t;
        const auto pv = ReadProcessValue(f.link.protocol);
        if (!pv) {
            ADD_FAILURE() << "ReadPV failed at " << t;
            return 1e9;
        }
        worst = std::max(worst, std::fabs(*pv - t));
    }
    return worst;
}

TEST(WriteEndToEnd, LinearizedSensorsGiveBackTheTemperatureAcrossTheRange)
{
    EnsureCoreApplication();
    struct Case {
        const Sensor* sensor;
        std::uint8_t firmware;
        double tolerance;
    };
    // The old firmware's single polynomial of degree 4 cannot follow type K over 1000 °C as
    // closely as 20 cubic pieces do; its bound is that method's own.
    for (const Case c : {Case{&pt100, 14, pt100.tolerance}, Case{&pt100, 255, pt100.tolerance},
                         Case{&typeK, 14, typeK.tolerance}, Case{&typeK, 255, 1.5}}) {
        const double worst = worstSweepError(*c.sensor, c.firmware);
        std::cout << "[ sweep ] " << c.sensor->name << " firmware " << int(c.firmware)
                  << ": worst error " << worst << " degC\n";
        EXPECT_LT(worst, c.tolerance) << c.sensor->name << " firmware " << int(c.firmware);
    }
}

// The program's side of one session with vtr8-sim over its pty.
struct PtySession {
    explicit PtySession(const QString& device)
        : workspace(points,
                    [this](const std::string& t) { ui.message(QString::fromStdString(t)); }),
          protocol(ui), model(ui, points), ctx(model, protocol, ui, points, workspace)
    {
        protocol.session().setDevicePath(device);
    }
    ~PtySession() { protocol.closePort(); }

    ScriptedUserInterface ui;
    LinearizationPoints points;
    LinearizationWorkspace workspace;
    CommandProtocol protocol;
    MainWindowModel model;
    EditorTransferContext ctx;
};

void fillModel(MainWindowModel& model, const Sensor& sensor)
{
    for (const auto& [name, value] : sensor.fields) {
        Control* control = model.control(QString::fromUtf8(name));
        ASSERT_NE(control, nullptr) << name;
        model.userEdit(*control, QString::fromUtf8(value));
    }
    model.PocatekExit();
    model.KonecExit();
    model.TlumeniExit();
}

void writeReadBackAndMeasure(const Sensor& sensor, std::initializer_list<double> temperatures)
{
    EnsureCoreApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString image = dir.filePath(QStringLiteral("eeprom.bin"));

    {
        SimProcess sim({QStringLiteral("--dump"), image});
        ASSERT_TRUE(sim.start());
        PtySession writer(sim.devicePath());
        fillModel(writer.model, sensor);
        writer.ui.confirmAnswers = {true};
        ASSERT_TRUE(WriteEditorConfiguration(writer.ctx, writer.model))
            << writer.ui.messages.join('|').toStdString();

        PtySession reader(sim.devicePath());
        writer.protocol.closePort();
        ASSERT_TRUE(PrecistClick(reader.ctx)) << reader.ui.messages.join('|').toStdString();
        for (const char* name : {"Vstup", "PripCidl", "VzdStKon", "Linearizace", "ChybProud"}) {
            const QString field = QString::fromUtf8(name);
            EXPECT_EQ(reader.model.control(field)->text, writer.model.control(field)->text) << name;
        }
        EXPECT_NEAR(static_cast<double>(reader.model.RangeStart), sensor.start, 1e-3);
        EXPECT_NEAR(static_cast<double>(reader.model.RangeEnd), sensor.end, 1e-3);
        EXPECT_NEAR(static_cast<double>(reader.model.DampingTime), 1.0, 1e-6);
        reader.protocol.closePort();
        ASSERT_TRUE(sim.stop());
    }

    double worst = 0;
    for (double t : temperatures) {
        SimProcess sim(
            {QStringLiteral("--load"), image, QStringLiteral("--input"), QString::number(t)});
        ASSERT_TRUE(sim.start());
        PtySession meter(sim.devicePath());
        const auto pv = ReadProcessValue(meter.protocol);
        ASSERT_TRUE(pv.has_value()) << t;
        worst = std::max(worst, std::fabs(*pv - t));
        EXPECT_NEAR(*pv, t, sensor.tolerance) << sensor.name << " at " << t;
        meter.protocol.closePort();
        sim.stop();
    }
    std::cout << "[ pty ] " << sensor.name << ": worst error " << worst << " degC\n";
}

TEST(WriteEndToEnd, Pt100OverThePty)
{
    writeReadBackAndMeasure(pt100, {0, 25, 100, 150});
}

TEST(WriteEndToEnd, ThermocoupleKOverThePty)
{
    writeReadBackAndMeasure(typeK, {0, 25, 100, 500, 1000});
}

} // namespace
} // namespace vtr8::test
