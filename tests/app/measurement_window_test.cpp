// The measurement window's widgets, offscreen, bound to the model and the
// in-process simulator.
#include "app/measurement_window.h"
#include "model/number_format.h"
#include "support/transfer_bench.h"
#include "transfer/measurement_model.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

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
          measurement(bench.link.protocol, bench.model), form(measurement)
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
    EXPECT_EQ(f.form.size(), QSize(626, 365));
    EXPECT_EQ(f.child<QLabel>("Label1")->text(), QStringLiteral("Hlavní měřená veličina "));
    EXPECT_EQ(f.child<QLabel>("Label2")->text(), QStringLiteral("Naměřená hodnota"));
    EXPECT_EQ(f.child<QLabel>("Label3")->text(), QStringLiteral("Stálé měření"));
    EXPECT_EQ(f.child<QPushButton>("Button1")->text(), QStringLiteral("Změřit"));
    EXPECT_EQ(f.child<QPushButton>("Start_Mer")->text(), QStringLiteral("Start měření"));
    EXPECT_EQ(f.child<QPushButton>("Stop_mer")->text(), QStringLiteral("Stop"));
    EXPECT_EQ(f.child<QPushButton>("ZAVRIT")->text(), QStringLiteral("Zavřít"));
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

} // namespace
} // namespace vtr8::test
