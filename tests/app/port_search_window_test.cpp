// The port window with the system's ports and "Najít převodník", against vtr8-sim
// programs on ptys standing in for USB adapters.
#include "app/port_window.h"
#include "link/command_protocol.h"
#include "link/port_listing.h"
#include "support/sim_process.h"
#include "window_fixture.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace vtr8::testing_support {
namespace {

class FixedListing : public PortListing {
public:
    QList<SystemPort> list;
    QList<SystemPort> ports() const override { return list; }
};

class PortSearchWindow : public WindowTest {
protected:
    void SetUp() override
    {
        {
            QSettings settings(QStringLiteral("ZN"), QStringLiteral("VTR8"));
            settings.remove(QStringLiteral("ComPort"));
        }
        ASSERT_TRUE(simA.start());
        ASSERT_TRUE(simB.start());
        silentMaster = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(silentMaster >= 0 && grantpt(silentMaster) == 0 && unlockpt(silentMaster) == 0);
        // COM2 is the second simulator, COM3 a device that is not there, the rest
        // absent too so that no real port of the machine is asked.
        for (int n = 1; n <= 8; ++n)
            qputenv(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)),
                    QByteArray("/nonexistent/vtr8-port") + QByteArray::number(n));
        qputenv("VTR8_COM2", simB.devicePath().toLocal8Bit());
        listing.list = {{QStringLiteral("ttyUSB0"), simA.devicePath(), QStringLiteral("USB Serial"),
                         QStringLiteral("ACME"), QStringLiteral("A1B2")},
                        {QStringLiteral("ttyUSB1"),
                         QString::fromLocal8Bit(ptsname(silentMaster)),
                         QStringLiteral("USB Serial"),
                         {},
                         {}}};
        startProgram();
        form = program->form2();
        form->setPortListing(&listing);
        form->show();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        for (int n = 1; n <= 8; ++n)
            qunsetenv(qPrintable(QStringLiteral("VTR8_COM%1").arg(n)));
        if (silentMaster >= 0)
            close(silentMaster);
    }

    test::SimProcess simA;
    test::SimProcess simB{{QStringLiteral("--firmware"), QStringLiteral("255")}};
    int silentMaster = -1;
    FixedListing listing;
    TForm2* form = nullptr;
};

TEST_F(PortSearchWindow, AListedPortIsOfferedChosenStoredAndShownOnTheStatusLine)
{
    auto* missing = form->findChild<QLabel*>(QStringLiteral("SetComPath3"));
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->text().endsWith(u(" – neexistuje"))) << missing->text().toStdString();
    EXPECT_FALSE(form->findChild<QLabel*>(QStringLiteral("SetComPath2"))
                     ->text()
                     .endsWith(u(" – neexistuje")));

    QRadioButton* usb = form->listedItem(QStringLiteral("ttyUSB0"));
    ASSERT_NE(usb, nullptr);
    usb->click();
    form->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(QSettings(QStringLiteral("ZN"), QStringLiteral("VTR8")).value(u("ComPort")),
              QStringLiteral("ttyUSB0"));
    EXPECT_EQ(program->protocol().session().devicePath(), simA.devicePath());
    EXPECT_TRUE(program->form1()->portText().startsWith(u("Port ttyUSB0")));
    // The next command goes to the adapter.
    EXPECT_TRUE(program->protocol().readEeprom(262, 2).ok());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(PortSearchWindow, NajitPrevodnikOffersTheTransmittersThatAnsweredAndSelectsOne)
{
    // Not while the program itself holds a port (a continuous measurement).
    ASSERT_TRUE(program->protocol().session().holdPort());
    form->findChild<QPushButton*>(QStringLiteral("NajitPrevodnik"))->click();
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("StavHledani"))->text(),
              TForm2::LinkBusySearchText());
    EXPECT_EQ(form->foundList()->count(), 0);
    program->protocol().session().releasePort();

    // COM1, the stored choice, is not there: the window says so.
    EXPECT_EQ(form->choiceNote()->text(), TForm2::MissingChoiceText(QStringLiteral("COM1")));
    form->findChild<QPushButton*>(QStringLiteral("NajitPrevodnik"))->click();
    QListWidget* found = form->foundList();
    ASSERT_EQ(found->count(), 3);
    EXPECT_EQ(found->item(0)->text(), u("COM2: převodník VTR8, firmware 12, bez poznámky"));
    EXPECT_EQ(found->item(1)->text(), u("ttyUSB0: převodník VTR8, firmware 14, bez poznámky"));
    // A port that was asked and gave no transmitter is listed, not offered.
    EXPECT_EQ(found->item(2)->text(), u("Na portu ttyUSB1 převodník neodpovídá."));
    EXPECT_FALSE(found->item(2)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("StavHledani"))->text(),
              u("Nalezeno převodníků: 2."));
    EXPECT_TRUE(ui.messages.isEmpty());

    // The first transmitter found is the choice at once; highlighting another chooses it.
    EXPECT_EQ(found->currentRow(), 0);
    EXPECT_TRUE(form->item(1)->isChecked());
    EXPECT_TRUE(form->choiceNote()->text().isEmpty());
    found->setCurrentRow(1);
    EXPECT_TRUE(form->listedItem(QStringLiteral("ttyUSB0"))->isChecked());
    found->setCurrentRow(0);
    form->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    EXPECT_EQ(program->protocol().session().portIndex(), 1);
    EXPECT_TRUE(program->protocol().session().devicePath().isEmpty());
    EXPECT_TRUE(program->form1()->portText().startsWith(u("Port COM2")));

    // Opened again: the earlier results are gone. Enter on a result takes it and closes.
    form->show();
    EXPECT_EQ(found->count(), 0);
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("StavHledani"))->text().isEmpty());
    form->findChild<QPushButton*>(QStringLiteral("NajitPrevodnik"))->click();
    ASSERT_EQ(found->count(), 3);
    found->setCurrentRow(1);
    QTest::keyClick(found, Qt::Key_Return);
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(program->protocol().session().devicePath(), simA.devicePath());
}

} // namespace
} // namespace vtr8::testing_support
