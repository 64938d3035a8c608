#include "model/measurement_input.h"
#include "support/transfer_bench.h"
#include "transfer/link_failure_report.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace vtr8::test {
namespace {

struct MeasurementBench : TransferBench {
    MeasurementBench() : measurement(link.protocol, editorInputChoice(model))
    {
        eeprom()[424] = 32;
        setInput(25.0);
    }
    void setInput(double value) { transmitter().options().input = value; }
    void chooseInput(const char* inputType, const char* linearization = nullptr)
    {
        model.userEdit(model.Vstup, QString::fromUtf8(inputType));
        if (linearization)
            model.setText(model.Linearizace, QString::fromUtf8(linearization));
    }
    // Runs the event loop for ms milliseconds (or until `until` returns true).
    void runFor(int ms, const std::function<bool()>& until = {})
    {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (clock.elapsed() >= ms || (until && until()))
                loop.quit();
        });
        tick.start(5);
        loop.exec();
    }

    MeasurementModel measurement;
};

TEST(Measurement, SampleValueForAResistanceThermometer)
{
    MeasurementBench bench;
    bench.chooseInput("odporový teploměr Pt100");
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("25.000"));
    EXPECT_EQ(bench.measurement.Z_jedn, QStringLiteral("°C"));
    EXPECT_EQ(bench.requests(), (std::vector<Request>{Command(1)}));
}

TEST(Measurement, VoltageShowsSixDecimals)
{
    MeasurementBench bench;
    bench.chooseInput("napětí");
    bench.eeprom()[424] = 58;
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("25.000000"));
    EXPECT_EQ(bench.measurement.Z_jedn, QStringLiteral("V"));
}

TEST(Measurement, ThermocoupleDecimalsFollowTheLinearization)
{
    MeasurementBench bench;
    bench.chooseInput("termočlánek K", "nelinearizováno");
    bench.setInput(0.0123456);
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("0.012346"));
    bench.model.setText(bench.model.Linearizace, QStringLiteral("linearizováno"));
    bench.setInput(412.3456);
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("412.346"));
}

TEST(Measurement, NonFiniteValuesShowTheClampedLimit)
{
    MeasurementBench bench;
    bench.chooseInput("odporový teploměr Pt100");
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double input;
        const char* shown;
    };
    const Case cases[] = {
        {inf, "1.0e30"},
        {std::numeric_limits<double>::quiet_NaN(), "1.0e30"},
        {-inf, "-1.0e30"},
        {-2.5e35, "-1.0e30"},
    };
    for (const Case& c : cases) {
        bench.setInput(c.input);
        bench.measurement.Button1Click();
        EXPECT_EQ(bench.measurement.ZoZmHodn, QString::fromUtf8(c.shown)) << c.input;
    }
}

TEST(Measurement, UnknownUnitCodeKeepsThePreviousUnit)
{
    MeasurementBench bench;
    bench.chooseInput("proud");
    bench.eeprom()[424] = 39;
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.Z_jedn, QStringLiteral("mA"));
    bench.eeprom()[424] = 33;
    bench.setInput(7.5);
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("7.500"));
    EXPECT_EQ(bench.measurement.Z_jedn, QStringLiteral("mA"));
    bench.eeprom()[424] = 251;
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.Z_jedn, QString());
}

TEST(Measurement, FailedReadingLeavesTheFieldsAsTheyWere)
{
    MeasurementBench bench;
    bench.chooseInput("odporový teploměr Pt100");
    bench.measurement.Button1Click();
    bench.noReply(2, 4);
    bench.setInput(99.0);
    bench.measurement.Button1Click();
    EXPECT_EQ(bench.measurement.ZoZmHodn, QStringLiteral("25.000"));
    EXPECT_EQ(bench.measurement.Z_jedn, QStringLiteral("°C"));
    EXPECT_EQ(bench.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
}

TEST(Measurement, OpeningTheWindowEmptiesValueAndUnit)
{
    MeasurementBench bench;
    bench.measurement.Button1Click();
    ASSERT_FALSE(bench.measurement.ZoZmHodn.isEmpty());
    bench.measurement.MereniClick();
    EXPECT_TRUE(bench.measurement.ZoZmHodn.isEmpty());
    EXPECT_TRUE(bench.measurement.Z_jedn.isEmpty());
}

TEST(Measurement, FailedFirstReadingEndsTheContinuousRunAtOnce)
{
    MeasurementBench bench;
    bench.noReply(1, 0);
    int stopped = 0;
    QObject::connect(&bench.measurement, &MeasurementModel::continuousStopped, [&] { ++stopped; });
    bench.measurement.Start_MerClick();
    EXPECT_FALSE(bench.measurement.continuousRunning());
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(bench.measurement.readingCount(), 0);
    bench.runFor(400);
    // Three attempts of one command, nothing after the failure.
    EXPECT_EQ(bench.requests().size(), 3u);
    EXPECT_EQ(bench.ui().messages,
              QStringList{LinkFailureMessage({LinkError::NoReply, QStringLiteral("COM1")})});
}

// CPU time of this process so far, user and system.
double processCpuMs()
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return ((static_cast<quint64>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
#else
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
#endif
}

TEST(Measurement, ContinuousReadingsAreAtLeastTheIntervalApartAndIdleBetween)
{
    MeasurementBench bench;
    std::vector<qint64> sent;
    QElapsedTimer clock;
    clock.start();
    bench.link.protocol.setFrameObserver([&](bool outgoing, const QByteArray&) {
        if (outgoing)
            sent.push_back(clock.elapsed());
    });
    const double before = processCpuMs();
    bench.measurement.Start_MerClick();
    EXPECT_EQ(bench.measurement.readingCount(), 1); // the first reading at once
    bench.runFor(3300);
    bench.measurement.Stop_merClick();
    const double after = processCpuMs();

    ASSERT_EQ(sent.size(), 3u);
#ifdef _WIN32
    const int early = 16; // a timer may fire up to one tick of the system clock (15.6 ms) early
    const double idleShare = 0.2; // under Wine its own threads count too
#else
    const int early = 0;
    const double idleShare = 0.1;
#endif
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_GE(sent[i] - sent[i - 1], MeasurementModel::IntervalMs - early);
        EXPECT_LT(sent[i] - sent[i - 1], MeasurementModel::IntervalMs + 150);
    }
    const double share = (after - before) / static_cast<double>(clock.elapsed());
    std::cout << "[ cpu ] continuous reading: " << share * 100 << " % of one core\n";
    EXPECT_LT(share, idleShare);
}

TEST(Measurement, StopEndsTheRunBeforeTheNextReading)
{
    MeasurementBench bench;
    bench.measurement.setIntervalMs(60);
    bench.measurement.Start_MerClick();
    bench.runFor(5000, [&] { return bench.measurement.readingCount() >= 2; });
    bench.measurement.Stop_merClick();
    const int count = bench.measurement.readingCount();
    EXPECT_FALSE(bench.measurement.continuousRunning());
    bench.runFor(300);
    EXPECT_EQ(bench.measurement.readingCount(), count);
}

TEST(Measurement, CloseStopsAndAsksTheWindowToClose)
{
    MeasurementBench bench;
    bench.measurement.setIntervalMs(60);
    int closeRequests = 0;
    QObject::connect(&bench.measurement, &MeasurementModel::closeRequested,
                     [&] { ++closeRequests; });
    bench.measurement.Start_MerClick();
    bench.measurement.ZAVRITClick();
    EXPECT_EQ(closeRequests, 1);
    bench.runFor(300);
    EXPECT_EQ(bench.measurement.readingCount(), 1);
}

TEST(Measurement, ManualReadingDuringARunRestartsThePace)
{
    MeasurementBench bench;
    std::vector<qint64> sent;
    QElapsedTimer clock;
    clock.start();
    bench.link.protocol.setFrameObserver([&](bool outgoing, const QByteArray&) {
        if (outgoing)
            sent.push_back(clock.elapsed());
    });
    bench.measurement.setIntervalMs(200);
    bench.measurement.Start_MerClick();
    bench.runFor(100);
    bench.measurement.Button1Click();
    bench.runFor(450);
    bench.measurement.Stop_merClick();
    ASSERT_GE(sent.size(), 3u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        if (i == 1)
            continue; // the manual reading itself comes when the person clicks
        EXPECT_GE(sent[i] - sent[i - 1], 200) << i;
    }
}

} // namespace
} // namespace vtr8::test
