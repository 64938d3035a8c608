// The transfers once more, through QSerialPort over a pty against the vtr8-sim
// executable, with EEPROM images prepared here and checked in its dump.
#include "model/comparators.h"
#include "model/editor_read.h"
#include "model/measurement_input.h"
#include "model/user_note.h"
#include "model/zero_span.h"
#include "support/sim_process.h"
#include "support/transfer_bench.h"

#include "linearization/characteristic.h"
#include "linearization/spline.h"
#include "link/command_protocol.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace vtr8::test {
namespace {

class PtyBench {
public:
    explicit PtyBench(const sim::EepromImage& image, QStringList arguments = {},
                      int replyTimeoutMs = 1000)
        : workspace(points), model(ui, points), protocol(ui),
          ctx(model, protocol, ui, points, workspace)
    {
        EnsureApplication();
        const QString load = dir.filePath(QStringLiteral("in.eeprom"));
        QFile file(load);
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(image.data()), image.size());
        file.close();
        arguments << QStringLiteral("--load") << load << QStringLiteral("--dump")
                  << dir.filePath(QStringLiteral("out.eeprom"));
        sim = std::make_unique<SimProcess>(arguments);
        started = sim->start();
        protocol.session().setDevicePath(sim->devicePath());
        LinkTiming timing;
        timing.settleMs = 0;
        timing.sendPauseMs = 0;
        timing.replyTimeoutMs = replyTimeoutMs;
        timing.pollMs = 5;
        protocol.setTiming(timing);
    }
    ~PtyBench() { protocol.closePort(); }

    // Stops the simulator and returns the EEPROM it held at the end.
    sim::EepromImage finalEeprom()
    {
        protocol.closePort();
        sim::EepromImage image{};
        if (!sim->stop())
            return image;
        QFile file(dir.filePath(QStringLiteral("out.eeprom")));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (bytes.size() == static_cast<qsizetype>(image.size()))
                std::copy(bytes.begin(), bytes.end(), image.begin());
        }
        return image;
    }

    QTemporaryDir dir;
    ScriptedUserInterface ui;
    LinearizationPoints points;
    LinearizationWorkspace workspace;
    MainWindowModel model;
    CommandProtocol protocol;
    EditorTransferContext ctx;
    std::unique_ptr<SimProcess> sim;
    bool started = false;
};

sim::EepromImage factory()
{
    return sim::FactoryEeprom(sim::SimOptions{});
}

TEST(TransferOverPty, ReadConfigurationOfAThermocouple)
{
    sim::EepromImage image = factory();
    image[262] = 255;
    image[400] = 11;
    image[401] = 2;
    image[402] = 35;
    image[424] = 32;
    image[425] = image[426] = 1;
    image[427] = 1;
    PutFloat(image, 340, 1000.0004f);
    PutFloat(image, 344, 0.0f);
    PutFloat(image, 363, 1.5f);
    PutFloat(image, 28, 1.0f);
    const QByteArray note = QByteArray("Pec \xE8. 2") + QByteArray(52, ' ');
    std::copy(note.begin(), note.end(), image.begin() + 512);

    PtyBench bench(image);
    ASSERT_TRUE(bench.started);
    ASSERT_TRUE(PrecistClick(bench.ctx));
    MainWindowModel& m = bench.model;
    EXPECT_TRUE(bench.ui.messages.isEmpty()) << bench.ui.messages.join('|').toStdString();
    EXPECT_EQ(m.Label14.caption, QStringLiteral("12"));
    EXPECT_EQ(m.Vstup.text, QStringLiteral("termočlánek K"));
    EXPECT_EQ(m.VzdStKon.text, QStringLiteral("blízký studený konec"));
    EXPECT_EQ(m.ChybProud.text, QStringLiteral("podproud"));
    EXPECT_EQ(m.Linearizace.text, QStringLiteral("linearizováno"));
    EXPECT_EQ(m.Pocatek.text, QStringLiteral("0"));
    EXPECT_EQ(m.Konec.text, QStringLiteral("1000"));
    EXPECT_EQ(m.Tlumeni.text, Localised("1.5"));
    EXPECT_EQ(m.EditUzPozn.text, QStringLiteral("Pec č. 2"));
    EXPECT_EQ(m.Prenos.position, 100);
}

TEST(TransferOverPty, NotLinearizedPt100ReadsBackAsTemperatures)
{
    sim::EepromImage image = factory();
    image[400] = 1;
    image[401] = 1; // a configuration always has its error current
    image[403] = 3;
    image[424] = 32;
    image[425] = 16;
    image[426] = 9;
    image[427] = 0;
    PutFloat(image, 340, 138.5f);
    PutFloat(image, 344, 100.0f);
    PtyBench bench(image);
    ASSERT_TRUE(bench.started);
    ASSERT_TRUE(PrecistClick(bench.ctx));
    EXPECT_NEAR(static_cast<double>(bench.model.RangeEnd), 100.0, 0.002);
    EXPECT_EQ(bench.model.PripCidl.text, QStringLiteral("třívodičově"));
}

TEST(TransferOverPty, FailurePartWayEndsTheReadWithOneMessage)
{
    PtyBench bench(factory(), {QStringLiteral("--fault"), QStringLiteral("no-reply@3-5")}, 300);
    ASSERT_TRUE(bench.started);
    EXPECT_FALSE(PrecistClick(bench.ctx));
    // The factory image holds no configuration, which the read says before the failure.
    EXPECT_EQ(bench.ui.messages,
              (QStringList{QString::fromUtf8("Převodník neobsahuje platnou konfiguraci."),
                           QStringLiteral("Chyba komunikace")}));
    EXPECT_TRUE(bench.model.Precist.enabled);
}

TEST(TransferOverPty, UserNoteWriteAndRead)
{
    PtyBench bench(factory());
    ASSERT_TRUE(bench.started);
    bench.model.setText(bench.model.EditUzPozn, QStringLiteral("  čidlo u kotle"));
    Uloz_PoznClick(bench.ctx);
    bench.model.setText(bench.model.EditUzPozn, QString());
    Prec_PoznClick(bench.ctx);
    EXPECT_EQ(bench.model.EditUzPozn.text, QStringLiteral("  čidlo u kotle"));
    EXPECT_TRUE(bench.ui.messages.isEmpty());
    const sim::EepromImage image = bench.finalEeprom();
    const QByteArray stored(reinterpret_cast<const char*>(image.data() + 512), 60);
    EXPECT_EQ(stored, QByteArray("  \xE8idlo u kotle") + QByteArray(45, ' '));
}

TEST(TransferOverPty, ComparatorStoreAndRead)
{
    sim::EepromImage image = factory();
    image[1080] = 0x85;
    PtyBench bench(image);
    ASSERT_TRUE(bench.started);
    MainWindowModel& m = bench.model;
    m.setText(m.EMezsep1, Localised("12.3"));
    m.setText(m.EMezroz1, Localised("10"));
    m.setText(m.EZpoSep1, Localised("2.5"));
    m.setText(m.EZpoRoz1, Localised("3.5"));
    m.PovolKompar1.checked = true;
    m.setText(m.RezimRele1, QStringLiteral("OKNO"));
    bench.ui.confirmAnswers = {true};
    ASSERT_TRUE(Ulozkomp1Click(bench.ctx));
    ASSERT_TRUE(Preckomp1Click(bench.ctx));
    EXPECT_EQ(m.EMezsep1.text, Localised("12.30000019"));
    EXPECT_EQ(m.EZpoSep1.text, QStringLiteral("2"));
    EXPECT_EQ(m.EZpoRoz1.text, QStringLiteral("4"));
    const sim::EepromImage after = bench.finalEeprom();
    EXPECT_EQ(after[1080], 0x87);
    EXPECT_EQ(after[1072], 2);
    EXPECT_EQ(after[1073], 4);
}

TEST(TransferOverPty, ZeroAndSpanRefusalAndAcceptance)
{
    sim::EepromImage image = factory();
    PutFloat(image, 340, 20.0f);
    PutFloat(image, 344, 4.0f);
    {
        PtyBench refused(image, {QStringLiteral("--nast-code"), QStringLiteral("9")});
        ASSERT_TRUE(refused.started);
        refused.model.setText(refused.model.Pocatek, QStringLiteral("7"));
        refused.ui.confirmAnswers = {true};
        EXPECT_FALSE(S_DolmezClick(refused.ctx));
        EXPECT_EQ(refused.ui.messages,
                  QStringList{QStringLiteral("Procesní hodnota je příliž velká.")});
        EXPECT_EQ(refused.model.Pocatek.text, QStringLiteral("7"));
    }
    PtyBench accepted(image);
    ASSERT_TRUE(accepted.started);
    accepted.ui.confirmAnswers = {true};
    EXPECT_TRUE(S_HormezClick(accepted.ctx));
    EXPECT_EQ(accepted.model.Pocatek.text, QStringLiteral("4"));
    EXPECT_EQ(accepted.model.Konec.text, QStringLiteral("20"));
}

TEST(TransferOverPty, MeasurementOfALinearizedPt100)
{
    // A segment table as a linearized Pt100 -50..150 °C write stores it.
    sim::EepromImage image = factory();
    image[400] = 1;
    image[424] = 32;
    image[425] = image[426] = 9;
    image[427] = 2;
    image[606] = 2;
    LinearizationPoints points;
    LinearizationWorkspace ws(points);
    ws.CharacteristicIndex = Characteristic::Pt100;
    ws.RangeStart = -50;
    ws.RangeEnd = 150;
    SplineApproximation(ws);
    ASSERT_EQ(ws.Spline.IntervalCount, 20);
    for (int k = 0; k < 20; ++k) {
        PutFloat(image, 608 + 20 * k, static_cast<float>(ws.Spline.u[k]));
        PutFloat(image, 612 + 20 * k, static_cast<float>(ws.Spline.d[k]));
        PutFloat(image, 616 + 20 * k, static_cast<float>(ws.Spline.c[k]));
        PutFloat(image, 620 + 20 * k, static_cast<float>(ws.Spline.b[k]));
        PutFloat(image, 624 + 20 * k, static_cast<float>(ws.Spline.a[k]));
    }
    PtyBench bench(image, {QStringLiteral("--input"), QStringLiteral("37.25")});
    ASSERT_TRUE(bench.started);
    bench.model.userEdit(bench.model.Vstup, QStringLiteral("odporový teploměr Pt100"));
    MeasurementModel measurement(bench.protocol, editorInputChoice(bench.model));
    measurement.Button1Click();
    EXPECT_EQ(measurement.ZoZmHodn, QStringLiteral("37.250"));
    EXPECT_EQ(measurement.Z_jedn, QStringLiteral("°C"));

    // A short continuous run at the real pace: two readings in 1.7 s.
    measurement.Start_MerClick();
    QEventLoop loop;
    QTimer::singleShot(1700, &loop, &QEventLoop::quit);
    loop.exec();
    measurement.Stop_merClick();
    EXPECT_EQ(measurement.readingCount(), 3);
    EXPECT_TRUE(bench.ui.messages.isEmpty());
}

} // namespace
} // namespace vtr8::test
