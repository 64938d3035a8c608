#include "link/port_listing.h"
#include "link/port_mapping.h"
#include "link/port_selection.h"
#include "link/port_session.h"
#include "user_interface/scripted_user_interface.h"

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

TEST_F(PortSelectionTest, StoredTextsAreTheEightExactlyOrAPortsName)
{
    struct Case {
        const char* text;
        int index;
        const char* name; // a port chosen by its name
    };
    // "COM3" in any case is a name of the eight, never stored as a name: it stays
    // unrecognised as it always was.
    const Case cases[] = {{"Com1", 0, ""},           {"Com4", 3, ""},       {"Com8", 7, ""},
                          {"COM3", 0, ""},           {"com3", 0, ""},       {"", 0, ""},
                          {"ttyUSB0", 0, "ttyUSB0"}, {"COM12", 0, "COM12"}, {"Com9", 0, "Com9"}};
    for (const Case& c : cases) {
        putStored(QString::fromLatin1(c.text));
        PortSelection selection;
        EXPECT_EQ(selection.itemIndex(), c.index) << c.text;
        EXPECT_EQ(selection.portName(), QString::fromLatin1(c.name)) << c.text;
        EXPECT_EQ(selection.lastStoredIndex(), c.index) << c.text;
        EXPECT_FALSE(selection.confirm()) << c.text;
    }
}

TEST_F(PortSelectionTest, ANamedPortIsStoredByItsNameAndAnItemForgetsIt)
{
    PortSelection selection;
    selection.setPortName(QStringLiteral("ttyUSB0"));
    EXPECT_EQ(selection.choiceText(), QStringLiteral("ttyUSB0"));
    EXPECT_TRUE(selection.confirm());
    EXPECT_EQ(stored().toString(), QStringLiteral("ttyUSB0"));
    EXPECT_FALSE(selection.confirm());
    EXPECT_EQ(PortSelection().portName(), QStringLiteral("ttyUSB0"));

    // A name of the eight chooses the item.
    selection.setPortName(QStringLiteral("com5"));
    EXPECT_EQ(selection.itemIndex(), 4);
    EXPECT_TRUE(selection.portName().isEmpty());
    EXPECT_TRUE(selection.confirm());
    EXPECT_EQ(stored().toString(), QStringLiteral("Com5"));

    selection.setPortName(QStringLiteral("COM12"));
    selection.setItemIndex(1);
    EXPECT_TRUE(selection.portName().isEmpty());
    EXPECT_EQ(selection.choiceStoredText(), QStringLiteral("Com2"));
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

TEST(ExtraPortsTest, NamedDevicesAreOfferedAndHalfEntriesLeftOut)
{
    const QList<SystemPort> ports =
        ExtraPorts(QStringLiteral("ttyUSB7=/tmp/usb; =/dev/x;noequals;COM12 = \\\\.\\COM12;a=;"));
    ASSERT_EQ(ports.size(), 2);
    EXPECT_EQ(ports[0].name, QStringLiteral("ttyUSB7"));
    EXPECT_EQ(ports[0].location, QStringLiteral("/tmp/usb"));
    EXPECT_EQ(ports[1].name, QStringLiteral("COM12"));
    EXPECT_EQ(ports[1].location, QStringLiteral("\\\\.\\COM12"));
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

class FixedListing : public PortListing {
public:
    QList<SystemPort> list;
    QList<SystemPort> ports() const override { return list; }
};

TEST_F(PortSelectionTest, OffersTheEightThenTheListedPortsAndMarksMissingDevices)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "The eight are COM1..COM8 there, not mapped to files";
#endif
    QTemporaryDir devices;
    const QString present = devices.filePath(QStringLiteral("adapter"));
    QFile(present).open(QIODevice::WriteOnly);
    qputenv("VTR8_COM1", present.toLocal8Bit());
    qputenv("VTR8_COM2", devices.filePath(QStringLiteral("gone")).toLocal8Bit());
    FixedListing listing;
    listing.list = {
        // The device of COM1: it lends COM1 its details and is not offered twice.
        {QStringLiteral("adapter"), present, QStringLiteral("USB Serial"), QStringLiteral("ACME"),
         QStringLiteral("A1")},
        {QStringLiteral("ttyACM0"), devices.path(), QStringLiteral("CDC"), {}, {}},
    };
    const QList<OfferedPort> offered = OfferedPorts(listing, QStringLiteral("ttyUSB9"));
    qunsetenv("VTR8_COM1");
    qunsetenv("VTR8_COM2");
    ASSERT_EQ(offered.size(), 10);
    EXPECT_EQ(offered[0].name, QStringLiteral("COM1"));
    EXPECT_TRUE(offered[0].exists);
    EXPECT_EQ(offered[0].details, QStringLiteral("USB Serial, ACME, č. A1"));
    EXPECT_FALSE(offered[1].exists);
    EXPECT_EQ(offered[8].name, QStringLiteral("ttyACM0"));
    EXPECT_EQ(offered[8].itemIndex, -1);
    EXPECT_EQ(offered[8].details, QStringLiteral("CDC"));
    // The stored adapter, unplugged: still offered, marked missing.
    EXPECT_EQ(offered[9].name, QStringLiteral("ttyUSB9"));
    EXPECT_FALSE(offered[9].exists);
    EXPECT_EQ(offered[8].device, devices.path());
    EXPECT_EQ(offered[9].device, QStringLiteral("/dev/ttyUSB9"));
}

TEST_F(PortSelectionTest, TheSessionTakesAnItemOrANamedPortsDevice)
{
    FixedListing listing;
    listing.list = {{QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"), {}, {}, {}}};
    ScriptedUserInterface ui;
    PortSession session(ui);
    session.setLocking(false);
    PortSelection selection;
    selection.setPortName(QStringLiteral("ttyUSB0"));
    selection.applyTo(session, listing);
#ifndef Q_OS_WIN
    EXPECT_EQ(session.devicePath(), QStringLiteral("/dev/ttyUSB0"));
#endif
    selection.setItemIndex(2);
    selection.applyTo(session, listing);
    EXPECT_EQ(session.portIndex(), 2);
    EXPECT_TRUE(session.devicePath().isEmpty());

    // Chosen while the port is held: both parts wait and come together.
    ASSERT_TRUE(session.begin());
    selection.setPortName(QStringLiteral("ttyUSB0"));
    selection.applyTo(session, listing);
    EXPECT_TRUE(session.devicePath().isEmpty());
    session.end();
    EXPECT_FALSE(session.devicePath().isEmpty());
}

} // namespace
} // namespace vtr8
