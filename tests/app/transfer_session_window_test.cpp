#include "transfer/link_failure_report.h"
#include "window_fixture.h"

#include "app/port_window.h"
#include "app/table_window.h"
#include "link/command_protocol.h"
#include "model/main_window_model.h"
#include "support/simulated_transport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace vtr8::testing_support {
namespace {

using Frames = std::vector<std::vector<std::uint8_t>>;

// The main window against the in-process simulator, closed or clicked at chosen moments of a
// transfer (counted in requests the transmitter has taken).
class TransferSessionWindow : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        program->protocol().setTransport(&transport);
        program->protocol().setTiming(test::FastTiming());
        showMainWindow();
        MainWindowModel& m = program->model();
        for (const auto& [name, text] : {std::pair{"Vstup", "proud"},
                                         {"SnOdpor", "5"},
                                         {"Linearizace", "nelinearizováno"},
                                         {"Pocatek", "4"},
                                         {"Konec", "20"},
                                         {"Tlumeni", "1"},
                                         {"ChybProud", "podproud"}})
            m.userEdit(*m.control(u(name)), u(text));
        m.SnOdporExit();
        m.PocatekExit();
        m.KonecExit();
        m.TlumeniExit();
        m.ChybProudExit();
        ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    }
    void TearDown() override { program.reset(); }

    // Runs `action` when the transmitter has taken `requests` requests.
    void at(int requests, std::function<void()> action)
    {
        auto* timer = new QTimer(program->form1());
        timer->setInterval(1);
        QObject::connect(timer, &QTimer::timeout, [this, timer, requests, action] {
            if (static_cast<int>(transport.transmitter().requests().size()) < requests)
                return;
            timer->stop();
            action();
        });
        timer->start();
    }

    Frames frames()
    {
        Frames out;
        for (const auto& r : transport.transmitter().requests())
            out.push_back(r.frame);
        return out;
    }

    // Every input of the main window (fields, list boxes, check boxes, buttons), then the port
    // and table windows as wholes.
    std::vector<bool> transferButtonsEnabled()
    {
        std::vector<bool> out;
        for (const auto& named : program->model().controls())
            if (QWidget* w = program->form1()->widgetOf(*named.control);
                qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QAbstractButton*>(w))
                out.push_back(w->isEnabled());
        out.push_back(program->form1()->verifyWriteBox()->isEnabled());
        out.push_back(program->form2()->isEnabled());
        out.push_back(program->form4()->isEnabled());
        return out;
    }

    test::SimulatedTransport transport;
};

TEST_F(TransferSessionWindow, ClosingDuringAWriteIsRefusedAndTheWriteCompletesUnchanged)
{
    ui.confirmAnswers = {true};
    mainWidget<QPushButton>("Poslat")->click();
    const Frames calm = frames();
    ASSERT_GT(calm.size(), 20u) << ui.messages.join('|').toStdString();
    ASSERT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(program->form1()->statusText().startsWith(u("Konfigurace zapsána ")));

    // Identification reads (before the confirmation), just after "Stop", the front-end
    // blocks and their pause, mid-blocks, before "Continue".
    const int n = static_cast<int>(calm.size());
    for (const int moment : {1, 3, 10, 12, n / 2, n - 1}) {
        transport.transmitter().clearRequests();
        ui.messages.clear();
        ui.confirmAnswers = {true};
        at(moment, [this] { program->form1()->close(); });
        mainWidget<QPushButton>("Poslat")->click();
        EXPECT_EQ(frames(), calm) << moment;
        EXPECT_EQ(ui.messages, QStringList{Vtr8Application::WriteRunningMessage()}) << moment;
        EXPECT_TRUE(program->form1()->isVisible()) << moment;
        EXPECT_EQ(transport.transmitter().state(), sim::RunState::Running);
    }
}

TEST_F(TransferSessionWindow, NothingThePersonDoesDuringAWriteChangesWhatItSendsOrWhere)
{
    ui.confirmAnswers = {true};
    mainWidget<QPushButton>("Poslat")->click();
    const Frames calm = frames();
    ASSERT_GT(calm.size(), 20u) << ui.messages.join('|').toStdString();
    const auto calmImage = transport.transmitter().eeprom();
    const int port = transport.lastPortIndex;
    const std::vector<bool> before = transferButtonsEnabled();
    const std::vector<bool> allOff(before.size(), false);

    auto* shunt = mainWidget<QLineEdit>("SnOdpor");
    auto* damping = mainWidget<QLineEdit>("Tlumeni");
    shunt->setFocus(Qt::MouseFocusReason); // the person was in a field when the write began
    const int n = static_cast<int>(calm.size());
    for (const int moment : {2, 6, 12, n / 2, n - 2}) {
        transport.transmitter().eeprom() = sim::Transmitter().eeprom();
        transport.transmitter().clearRequests();
        ui.confirmAnswers = {true};
        std::vector<bool> during;
        at(moment, [&] {
            during = transferButtonsEnabled();
            QTest::keyClicks(shunt, QStringLiteral("50"));
            QTest::keyClicks(damping, QStringLiteral("50"));
            QTest::mouseClick(program->form2()->item(1), Qt::LeftButton);
            QTest::mouseClick(program->form2()->findChild<QPushButton*>("Button1"), Qt::LeftButton);
            QTest::mouseClick(mainWidget<QPushButton>("Button1"), Qt::LeftButton);
        });
        mainWidget<QPushButton>("Poslat")->click();
        EXPECT_EQ(during, allOff) << moment;
        EXPECT_TRUE(frames() == calm) << moment;
        EXPECT_TRUE(transport.transmitter().eeprom() == calmImage) << moment;
        EXPECT_EQ(transport.lastPortIndex, port) << moment;
        EXPECT_TRUE(ui.messages.isEmpty()) << moment << ui.messages.join('|').toStdString();
        EXPECT_EQ(shunt->text(), QStringLiteral("5"));
        EXPECT_TRUE(program->form2()->isHidden());
    }
    EXPECT_EQ(transferButtonsEnabled(), before);
}

TEST_F(TransferSessionWindow, ClosingDuringAReadEndsItAsAFailureAndThenCloses)
{
    bool closed = false;
    QObject::connect(program->form1(), &TForm1::closed, [&] { closed = true; });
    at(3, [this] { program->form1()->close(); });
    ui.confirmAnswers.push_back(true); // the typed fields are in no file: close anyway
    mainWidget<QPushButton>("Precist")->click();
    // The command in flight got its reply; nothing was sent after it.
    EXPECT_EQ(transport.transmitter().requests().size(), 3u);
    EXPECT_TRUE(program->form1()->statusText().isEmpty());
    QApplication::processEvents();
    EXPECT_TRUE(closed);
}

TEST_F(TransferSessionWindow, TransferButtonsAreDisabledWhileATransferRunsAndBackAfter)
{
    const std::vector<bool> before = transferButtonsEnabled();
    const std::vector<bool> allOff(before.size(), false);
    std::vector<bool> during;
    const auto sample = [&] { during = transferButtonsEnabled(); };

    // Success.
    at(2, sample);
    mainWidget<QPushButton>("Prec_Pozn")->click();
    EXPECT_EQ(during, allOff);
    EXPECT_EQ(transferButtonsEnabled(), before);
    EXPECT_TRUE(program->form1()->statusText().startsWith(u("Poznámka přečtena ")));

    // Failure: the transmitter stops answering.
    transport.transmitter().faults().add({sim::FaultKind::NoReply, -1, 1, 0});
    during.clear();
    at(1, sample);
    mainWidget<QPushButton>("Precist")->click();
    EXPECT_EQ(during, allOff);
    EXPECT_EQ(transferButtonsEnabled(), before);
    // The port as the person chose it, with the device it opens where that differs.
    const QString port =
        TForm2::portLabel(program->form2()->portInUse(), program->form2()->deviceInUse());
    EXPECT_TRUE(port.startsWith(u("COM"))) << port.toStdString();
    EXPECT_TRUE(ui.messages.contains(LinkFailureMessage({LinkError::NoReply, port})))
        << ui.messages.join(u(" | ")).toStdString();

    // Refusal: a transfer asked for while another owns the link.
    ASSERT_TRUE(program->protocol().session().begin());
    EXPECT_EQ(transferButtonsEnabled(), allOff);
    ui.messages.clear();
    program->actions().Uloz_PoznClick();
    EXPECT_EQ(ui.messages, QStringList{LinkFailureMessage(LinkError::Busy)});
    program->protocol().session().end();
    EXPECT_EQ(transferButtonsEnabled(), before);
}

} // namespace
} // namespace vtr8::testing_support
