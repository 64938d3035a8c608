#include "app/port_window.h"
#include "app/qt_user_interface.h"
#include "model/measurement_input.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

TEST(QtUserInterfaceFilters, PairedFilterBecomesQtFilter)
{
    EXPECT_EQ(QtUserInterface::qtFilter(QStringLiteral("*.txt|*.txt|*.*|*.*")),
              QStringLiteral("*.txt (*.txt);;*.* (*)"));
    EXPECT_EQ(QtUserInterface::qtFilter(QStringLiteral("Texty|*.txt;*.dat")),
              QStringLiteral("Texty (*.txt *.dat)"));
    EXPECT_TRUE(QtUserInterface::qtFilter(QString()).isEmpty());
    // A description that names its patterns keeps them once.
    EXPECT_EQ(QtUserInterface::qtFilter(QString::fromUtf8("Záznam CSV (*.csv)|*.csv")),
              QString::fromUtf8("Záznam CSV (*.csv)"));
}

TEST(QtUserInterfaceFilters, DialogFolderIsOneThatExistsAndNoneIsMade)
{
    QTemporaryDir dir;
    const QString brand = dir.filePath(QStringLiteral("velkor_vtr8/konfigurace"));
    const QString last = dir.filePath(QStringLiteral("posledni"));
    const QString documents = dir.filePath(QStringLiteral("Dokumenty"));
    const QString gone = dir.filePath(QStringLiteral("smazana"));
    ASSERT_TRUE(QDir().mkpath(last) && QDir().mkpath(documents));
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    // The brand's folder the installer never made: the documents, and nothing is made.
    EXPECT_EQ(QtUserInterface::dialogFolder(brand, {}, documents), native(documents));
    EXPECT_FALSE(QFileInfo::exists(brand));
    EXPECT_EQ(QtUserInterface::dialogFolder(brand, gone, documents), native(documents));
    // The folder used last wins while it is there; the brand's folder once it exists.
    EXPECT_EQ(QtUserInterface::dialogFolder(brand, last, documents), native(last));
    ASSERT_TRUE(QDir().mkpath(brand));
    EXPECT_EQ(QtUserInterface::dialogFolder(brand, gone, documents), native(brand));
}

TEST(QtUserInterfaceFilters, SaveDialogTakesTheFirstPatternsSuffix)
{
    EXPECT_EQ(QtUserInterface::defaultSuffix(QStringLiteral("*.txt|*.txt|*.*|*.*")),
              QStringLiteral("txt"));
    EXPECT_TRUE(QtUserInterface::defaultSuffix(QStringLiteral("*.*|*.*")).isEmpty());
    EXPECT_TRUE(QtUserInterface::defaultSuffix(QString()).isEmpty());
}

TEST(CheckPoints, TheLocalesSeparatorDecidesHowPointsAreRead)
{
    using Points = std::optional<QList<double>>;
    const struct {
        const char* text;
        char separator;
        Points points;
    } cases[] = {
        {"12,5; 50 100", ',', QList<double>{12.5, 50, 100}},
        {"0;50;100", ',', QList<double>{0, 50, 100}},
        {"0,50,100", '.', QList<double>{0, 50, 100}},
        {"12.5 50", '.', QList<double>{12.5, 50}},
        {"12,5", '.', QList<double>{12, 5}},
        {"120", ',', std::nullopt},
        {"a;1", ',', std::nullopt},
        {" ; ", ',', std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseCheckPointsText(QString::fromUtf8(c.text), QLatin1Char(c.separator)),
                  c.points)
            << c.text << " " << c.separator;
}

TEST(PortLabel, NamesThePortAsChosenAndItsDeviceWhereItDiffers)
{
    const struct {
        const char* name;
        const char* device;
        const char* label;
    } cases[] = {
        {"COM3", "COM3", "COM3"},
        {"COM3", "/dev/ttyS2", "COM3 (/dev/ttyS2)"},
        {"ttyUSB0", "/dev/ttyUSB0", "ttyUSB0"},
        {"COM12", "\\\\.\\COM12", "COM12"},
        {"COM1", "", "COM1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TForm2::portLabel(QString::fromUtf8(c.name), QString::fromUtf8(c.device)),
                  QString::fromUtf8(c.label));
}

} // namespace
} // namespace vtr8
