#include "link/port_mapping.h"
#include "link/port_selection.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vtr8 {
namespace {

class PortSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        for (int n = 1; n <= 8; ++n)
            qunsetenv(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)));
    }

    static void putStored(const QString& text)
    {
        QSettings s(QStringLiteral("ZN"), QStringLiteral("VTR8"));
        s.setValue(QStringLiteral("ComPort"), text);
        s.sync();
    }
    static QVariant stored()
    {
        QSettings s(QStringLiteral("ZN"), QStringLiteral("VTR8"));
        s.sync();
        return s.value(QStringLiteral("ComPort"));
    }

    QTemporaryDir dir;
};

TEST_F(PortSelectionTest, FirstRunSelectsCom1AndWritesNothing)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "The store is the registry on Windows, not a file in the test's folder; the "
                    "Wine end-to-end script reads it back with wine reg query";
#endif
    PortSelection selection;
    EXPECT_EQ(selection.itemIndex(), 0);
    EXPECT_FALSE(selection.confirm());
    const QString file = QSettings(QStringLiteral("ZN"), QStringLiteral("VTR8")).fileName();
    EXPECT_TRUE(file.startsWith(dir.path()));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(stored().isValid());
}

TEST_F(PortSelectionTest, StoredTextsAreRecognisedExactly)
{
    struct Case {
        const char* text;
        int index;
    };
    const Case cases[] = {{"Com1", 0}, {"Com4", 3}, {"Com8", 7},  {"COM3", 0}, {"com3", 0},
                          {"Com9", 0}, {"Com0", 0}, {"Com3 ", 0}, {"", 0},     {"Com", 0}};
    for (const Case& c : cases) {
        putStored(QString::fromLatin1(c.text));
        PortSelection selection;
        EXPECT_EQ(selection.itemIndex(), c.index) << c.text;
        EXPECT_EQ(selection.lastStoredIndex(), c.index) << c.text;
    }
}

TEST_F(PortSelectionTest, OkStoresAChangedChoiceOnlyOnce)
{
    PortSelection selection;
    selection.setItemIndex(3);
    EXPECT_TRUE(selection.confirm());
    EXPECT_EQ(stored().toString(), QStringLiteral("Com4"));
    EXPECT_EQ(selection.lastStoredIndex(), 3);

    // Something else changes the store; an OK without a change must not
    // write the old choice back.
    putStored(QStringLiteral("Com7"));
    EXPECT_FALSE(selection.confirm());
    EXPECT_EQ(stored().toString(), QStringLiteral("Com7"));

    PortSelection next;
    EXPECT_EQ(next.itemIndex(), 6);
}

TEST_F(PortSelectionTest, UnconfirmedChoiceIsLiveButNotStored)
{
    putStored(QStringLiteral("Com1"));
    PortSelection selection;
    selection.setItemIndex(1); // COM2 chosen, window closed without OK
    EXPECT_EQ(selection.itemIndex(), 1);
    EXPECT_EQ(stored().toString(), QStringLiteral("Com1"));
}

TEST_F(PortSelectionTest, IndicesOutsideTheEightItemsAreIgnored)
{
    PortSelection selection;
    selection.setItemIndex(5);
    selection.setItemIndex(8);
    selection.setItemIndex(-1);
    EXPECT_EQ(selection.itemIndex(), 5);
}

TEST_F(PortSelectionTest, ItemTextsAndStoredTexts)
{
    EXPECT_EQ(PortSelection::itemCount(), 8);
    EXPECT_EQ(PortSelection::itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(PortSelection::itemText(7), QStringLiteral("COM8"));
    EXPECT_EQ(PortSelection::storedText(7), QStringLiteral("Com8"));
}

#ifndef Q_OS_WIN
TEST_F(PortSelectionTest, ItemsMapToDevicesByEnvironmentThenSettingThenDefault)
{
    EXPECT_EQ(PortSelection::itemPath(0), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortSelection::itemPath(7), QStringLiteral("/dev/ttyS7"));

    {
        QSettings s(QStringLiteral("ZN"), QStringLiteral("VTR8"));
        s.setValue(QStringLiteral("Devices/Com3"), QStringLiteral("/dev/ttyUSB0"));
        s.sync();
    }
    EXPECT_EQ(PortSelection::itemPath(2), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(PortSelection::itemPath(3), QStringLiteral("/dev/ttyS3"));

    qputenv("VTR8_COM3", "/tmp/vtr8-sim-link");
    EXPECT_EQ(PortSelection::itemPath(2), QStringLiteral("/tmp/vtr8-sim-link"));
    EXPECT_EQ(ComPortSystemName(2), QStringLiteral("/tmp/vtr8-sim-link"));
    qunsetenv("VTR8_COM3");
    EXPECT_EQ(PortSelection::itemPath(2), QStringLiteral("/dev/ttyUSB0"));
}
#endif

} // namespace
} // namespace vtr8
