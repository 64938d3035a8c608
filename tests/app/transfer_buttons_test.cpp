#include "app/port_window.h"
#include "window_fixture.h"

#include "app/measurement_window.h"
#include "link/command_protocol.h"
#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "support/simulated_transport.h"
#include "transfer/write_configuration.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace vtr8::testing_support {
namespace {

// The main window's transfer buttons against a simulated transmitter behind
// the link's transport seam.
class TransferButtons : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        program->protocol().setTransport(&transport);
        program->protocol().setTiming(test::SteadyTiming());
        showMainWindow();
    }
    void TearDown() override
    {
        program.reset(); // before the transport it uses
    }

    void putNote(const QByteArray& bytes)
    {
        auto& eeprom = transport.transmitter().eeprom();
        std::fill(eeprom.begin() + 512, eeprom.begin() + 572, std::uint8_t{' '});
        std::copy(bytes.begin(), bytes.end(), eeprom.begin() + 512);
    }

    QByteArray storedNote(int length)
    {
        const auto& eeprom = transport.transmitter().eeprom();
        return QByteArray(reinterpret_cast<const char*>(eeprom.data() + 512), length);
    }

    test::SimulatedTransport transport;
};

TEST_F(TransferButtons, NoteButtonsReadAndWriteTheTransmittersNote)
{
    putNote(QByteArray("Kotel 2 \xE8. 5")); // "č" in the transmitter's code page
    mainWidget<QPushButton>("Prec_Pozn")->click();
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(mainWidget<QLineEdit>("EditUzPozn")->text(), u("Kotel 2 č. 5"));
    EXPECT_EQ(mainWidget<QProgressBar>("Prenos")->value(), 100);
    EXPECT_TRUE(mainWidget<QPushButton>("Prec_Pozn")->isEnabled());

    auto* note = mainWidget<QLineEdit>("EditUzPozn");
    note->setFocus(Qt::MouseFocusReason);
    note->selectAll();
    QTest::keyClicks(note, QStringLiteral("Pec 3"));
    note->insert(QStringLiteral("\x1b[2J")); // as a paste arrives: refused whole
    EXPECT_EQ(note->text(), QStringLiteral("Pec 3"));
    mainWidget<QPushButton>("Uloz_Pozn")->click();
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(storedNote(8), QByteArray("Pec 3   "));
}

TEST_F(TransferButtons, ReadButtonReadsTheTransmitter)
{
    mainWidget<QPushButton>("Precist")->click();
    EXPECT_FALSE(transport.writes.isEmpty());
    EXPECT_FALSE(ui.messages.contains(QStringLiteral("Chyba komunikace")));
    EXPECT_TRUE(mainWidget<QPushButton>("Precist")->isEnabled());
}

TEST_F(TransferButtons, WriteButtonStopsAtAnIncompleteConfigurationBeforeSending)
{
    mainWidget<QPushButton>("Poslat")->click();
    EXPECT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(transport.writes.isEmpty());
    EXPECT_TRUE(mainWidget<QPushButton>("Poslat")->isEnabled());
}

TEST_F(TransferButtons, ComparatorStoreAsksBeforeWriting)
{
    program->model().PovolKompar1.checked = true;
    program->model().RangeEnd = 10; // the limits are checked against the range
    for (const char* name : {"EMezsep1", "EMezroz1", "EZpoSep1", "EZpoRoz1"}) {
        auto* field = mainWidget<QLineEdit>(name);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("1"));
    }
    program->model().setText(program->model().EMezroz1, QStringLiteral("2"));
    transport.transmitter().eeprom()[1084] = 1; // relay outputs fitted
    mainWidget<QPushButton>("Ulozkomp1")->click();
    ASSERT_FALSE(ui.questions.isEmpty()) << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(ui.questions.first(), u("Opravdu se má zapsat konfigurace Relé 1 ?"));
}

TEST_F(TransferButtons, VerifiedWriteReadsBackAndReportsACorruptedBlock)
{
    auto* verify = mainWidget<QCheckBox>("OveritZapis");
    ASSERT_NE(verify, nullptr);
    EXPECT_FALSE(verify->isChecked()); // off until the person chooses it
    verify->click();
    EXPECT_TRUE(program->transferContext().readBackWrites);
    EXPECT_TRUE(
        QSettings(QStringLiteral("ZN"), QStringLiteral("VTR8")).value("VerifyWrite").toBool());

    transport.transmitter().faults().add(*sim::ParseFaultRule("store=355"));
    MainWindowModel& m = program->model();
    for (const auto& [field, text] : {std::pair{&m.Vstup, "napětí"},
                                      {&m.Linearizace, "nelinearizováno"},
                                      {&m.Pocatek, "0"},
                                      {&m.Konec, "10"},
                                      {&m.Tlumeni, "1"},
                                      {&m.ChybProud, "vyřazen"},
                                      {&m.DelPomer, "20"}})
        m.userEdit(*field, u(text));
    m.PocatekExit();
    m.KonecExit();
    program->form1()->refresh();
    ui.confirmAnswers = {true};
    mainWidget<QPushButton>("Poslat")->click();

    // After the last write only reads: the read-back ends the write before "Reset".
    const auto commands = transport.transmitter().requests();
    const auto lastWrite = std::find_if(commands.rbegin(), commands.rend(),
                                        [](const auto& r) { return r.command == 114; });
    ASSERT_NE(lastWrite, commands.rend());
    EXPECT_EQ(std::prev(lastWrite)->command, 113);
    EXPECT_EQ(commands.back().command, 113);
    ASSERT_FALSE(ui.messages.isEmpty());
    ASSERT_GE(ui.messages.size(), 3);
    EXPECT_EQ(ui.messages.last(), IncompleteWriteMessage());
    EXPECT_TRUE(
        ui.messages[ui.messages.size() - 3].contains(u("horní mez: v převodníku 20, zapsáno 10")))
        << ui.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(mainWidget<QPushButton>("Poslat")->isEnabled());
    verify->click(); // the store of the other tests stays as they expect it
}

TEST_F(TransferButtons, MeasurementButtonOpensTheMeasurementWindowModally)
{
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = program->form3()->isVisible() && program->form3()->isModal();
        static_cast<QDialog*>(program->form3())->reject();
    });
    mainWidget<QPushButton>("Mereni")->click();
    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(program->form3()->isHidden());
}

TEST_F(TransferButtons, AWriteNamesItsTransmitterAndItsEndStaysInTheStatusLine)
{
    ASSERT_TRUE(program->openAtStart(QStringLiteral(VTR8_EXAMPLES_DIR "/pt100-linearized.txt")));
    program->model().userEdit(program->model().EditUzPozn, u("TT-101"));
    QCheckBox* verify = program->form1()->verifyWriteBox();
    const bool verifyBefore = verify->isChecked();
    verify->setChecked(true);
    ui.confirmAnswers = {true};
    mainWidget<QPushButton>("Poslat")->click();
    ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u(" | ")).toStdString();
    ASSERT_EQ(ui.questions.size(), 1);
    // The fixed question first, then the port, the firmware just read and the note.
    EXPECT_EQ(ui.questions[0],
              u("Opravdu se má zapsat konfigurace ?") +
                  Vtr8Application::WriteTargetText(program->form2()->portInUse(), 14, u("TT-101")));
    EXPECT_EQ(program->model().Label14.caption, u("14"));
    EXPECT_TRUE(program->form1()->statusText().startsWith(u("Konfigurace zapsána a ověřena ")))
        << program->form1()->statusText().toStdString();

    // The transmitter stops answering part-way: the failure stays, the bar goes back to 0.
    transport.transmitter().faults().add({sim::FaultKind::NoReply, -1, 12, 0});
    ui.confirmAnswers = {true};
    mainWidget<QPushButton>("Poslat")->click();
    ASSERT_FALSE(ui.messages.isEmpty());
    EXPECT_TRUE(program->form1()->statusText().startsWith(ui.messages.constLast()))
        << program->form1()->statusText().toStdString();
    EXPECT_EQ(mainWidget<QProgressBar>("Prenos")->value(), 0);
    verify->setChecked(verifyBefore);
}

} // namespace
} // namespace vtr8::testing_support
