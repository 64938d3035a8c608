// The measurement window's widgets, offscreen, bound to the model and the
// in-process simulator.
#include "app/measurement_window.h"
#include "configuration/number_format.h"
#include "model/measurement_input.h"
#include "support/transfer_bench.h"
#include "user_interface/scripted_user_interface.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <QFile>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <cmath>
#include <gtest/gtest.h>

namespace vtr8::test {
namespace {

void EnsureWidgets()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "form3-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

struct Form3Bench {
    Form3Bench()
        : bench((EnsureWidgets(), sim::SimOptions{})),
          measurement(bench.link.protocol, editorInputChoice(bench.model)), form(measurement)
    {
        bench.eeprom()[424] = 32;
        bench.transmitter().options().input = 25.0;
        bench.model.userEdit(bench.model.Vstup, QStringLiteral("odporový teploměr Pt100"));
    }
    template <typename T> T* child(const char* name)
    {
        return form.findChild<T*>(QString::fromLatin1(name));
    }

    TransferBench bench;
    MeasurementModel measurement;
    TForm3 form;
};

TEST(MeasurementWindow, CaptionSizeAndTexts)
{
    Form3Bench f;
    EXPECT_EQ(f.form.windowTitle(), QStringLiteral("Měření"));
    EXPECT_EQ(f.form.size(), QSize(626, 665));
    EXPECT_EQ(f.child<QLabel>("Label1")->text(), QStringLiteral("Hlavní měřená veličina "));
    EXPECT_EQ(f.child<QLabel>("Label2")->text(), QStringLiteral("Naměřená hodnota"));
    EXPECT_EQ(f.child<QLabel>("Label3")->text(), QStringLiteral("Stálé měření"));
    EXPECT_EQ(f.child<QPushButton>("Button1")->text(), QStringLiteral("Z&měřit"));
    EXPECT_EQ(f.child<QPushButton>("Start_Mer")->text(), QStringLiteral("&Start měření"));
    EXPECT_EQ(f.child<QPushButton>("Stop_mer")->text(), QStringLiteral("S&top"));
    EXPECT_EQ(f.child<QPushButton>("ZAVRIT")->text(), QStringLiteral("&Zavřít"));
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->focusPolicy() & Qt::TabFocus, 0);
}

TEST(MeasurementWindow, MeasureButtonShowsValueAndUnit)
{
    Form3Bench f;
    f.child<QPushButton>("Button1")->click();
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->text(), QStringLiteral("25.000"));
    EXPECT_EQ(f.child<QLabel>("Z_jedn")->text(), QStringLiteral("°C"));
    // The window shows the person's separator, like every field.
    overrideLocaleDecimalSeparator(QLatin1Char(','));
    f.child<QPushButton>("Button1")->click();
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->text(), QStringLiteral("25,000"));
    overrideLocaleDecimalSeparator(std::nullopt);
}

TEST(MeasurementWindow, OpeningEmptiesTheFieldsAndCloseEndsTheRun)
{
    Form3Bench f;
    f.child<QPushButton>("Button1")->click();
    f.measurement.setIntervalMs(50);
    bool emptiedOnOpen = false;
    QTimer::singleShot(0, [&] {
        emptiedOnOpen = f.child<QLineEdit>("ZoZmHodn")->text().isEmpty();
        f.child<QPushButton>("Start_Mer")->click();
        QTimer::singleShot(200, [&] { f.child<QPushButton>("ZAVRIT")->click(); });
    });
    f.form.MereniClick(); // modal until "Zavřít"
    EXPECT_TRUE(emptiedOnOpen);
    EXPECT_FALSE(f.form.isVisible());
    EXPECT_FALSE(f.measurement.continuousRunning());
    EXPECT_GE(f.measurement.readingCount(), 3);
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->text(), QStringLiteral("25.000"));
}

TEST(MeasurementWindow, ClosingByTheFrameStopsTheRun)
{
    Form3Bench f;
    f.measurement.setIntervalMs(50);
    QTimer::singleShot(0, [&] {
        f.child<QPushButton>("Start_Mer")->click();
        EXPECT_FALSE(f.child<QPushButton>("Start_Mer")->isEnabled());
        QTimer::singleShot(100, [&] { f.form.close(); });
    });
    f.form.MereniClick();
    EXPECT_FALSE(f.measurement.continuousRunning());
    EXPECT_TRUE(f.child<QPushButton>("Start_Mer")->isEnabled());
}

// A continuous run against the simulator: every reading is on the trend and in the record,
// and the record does not replace an existing file without asking.
TEST(MeasurementWindow, TrendAndRecordHoldEveryReadingOfTheRun)
{
    Form3Bench f;
    ScriptedUserInterface ui;
    f.form.setUserInterface(&ui);
    f.measurement.setIntervalMs(20);
    EXPECT_FALSE(f.child<QPushButton>("Stop_mer")->isEnabled()); // nothing to stop yet
    const auto* timeAxis = f.form.trend()->attachedAxes().value(0);
    ASSERT_NE(timeAxis, nullptr);
    EXPECT_FALSE(timeAxis->labelsVisible()); // no "00:00:00" on an empty trend
    f.child<QPushButton>("Start_Mer")->click();
    EXPECT_TRUE(f.child<QPushButton>("Stop_mer")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.measurement.readingCount() >= 5; }, 20000));
    f.child<QPushButton>("Stop_mer")->click();
    const int n = f.measurement.readingCount();
    ASSERT_EQ(f.form.trend()->count(), n);
    for (const QPointF& p : f.form.trend()->points())
        EXPECT_NEAR(p.y(), 25.0, 0.001);
    EXPECT_LE(f.form.valueAxis()->min(), 25.0);
    EXPECT_GE(f.form.valueAxis()->max(), 25.0);
    EXPECT_TRUE(timeAxis->labelsVisible());
    // Ticks fall on round values: the axis ends are whole multiples of the tick step.
    const double step = (f.form.valueAxis()->max() - f.form.valueAxis()->min()) /
                        (f.form.valueAxis()->tickCount() - 1);
    EXPECT_NEAR(std::remainder(f.form.valueAxis()->min(), step), 0.0, 1e-9);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep\n");
    old.close();
    // A new run does not silently discard the unsaved record.
    ui.confirmAnswers = {false};
    f.child<QPushButton>("Start_Mer")->click();
    EXPECT_EQ(ui.questions, QStringList{TForm3::DiscardRecordQuestion()});
    EXPECT_FALSE(f.measurement.continuousRunning());

    // "Ne" to replacing the file brings the dialog back.
    ui.questions.clear();
    ui.saveFileAnswers = {path, path};
    ui.confirmAnswers = {false, true};
    f.child<QPushButton>("UlozZaznam")->click();
    EXPECT_EQ(ui.questions.size(), 2);
    EXPECT_TRUE(ui.saveFileAnswers.empty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), n + 1);
    EXPECT_EQ(lines[0], QByteArray("time,value,unit"));
    EXPECT_TRUE(lines[1].endsWith(",25.000,°C")) << lines[1].toStdString();
}

TEST(MeasurementWindow, ALostLinkMarksTheValueStaleAndTheClampShowsAsWritten)
{
    Form3Bench f;
    f.child<QPushButton>("Button1")->click();
    f.bench.transmitter().faults().add({sim::FaultKind::NoReply});
    f.child<QPushButton>("Button1")->click();
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->text(), QStringLiteral("25.000"));
    EXPECT_EQ(f.child<QLabel>("Neaktualni")->text(), TForm3::StaleValueText());
    f.bench.transmitter().faults().clear();
    f.bench.transmitter().options().input = 1e31; // beyond the clamp
    f.child<QPushButton>("Button1")->click();
    EXPECT_EQ(f.child<QLineEdit>("ZoZmHodn")->text(), QStringLiteral("1.0e30"));
    EXPECT_TRUE(f.child<QLabel>("Neaktualni")->text().isEmpty());
}

TEST(MeasurementWindow, MeasureDuringARunDoesNotShortenItsPace)
{
    Form3Bench f;
    f.measurement.setIntervalMs(2000);
    f.child<QPushButton>("Start_Mer")->click(); // the first reading at once
    ASSERT_EQ(f.measurement.readingCount(), 1);
    EXPECT_FALSE(f.child<QPushButton>("Button1")->isEnabled());
    f.measurement.Button1Click();
    EXPECT_EQ(f.measurement.readingCount(), 1);
    f.measurement.Stop_merClick();
    f.child<QPushButton>("Button1")->click();
    EXPECT_EQ(f.measurement.readingCount(), 2);
}

} // namespace
} // namespace vtr8::test
