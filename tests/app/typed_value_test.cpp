#include "window_fixture.h"

#include "model/editor_transfer_context.h"
#include "model/main_window_model.h"
#include "support/simulated_transport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <utility>
#include <vector>

namespace vtr8::testing_support {
namespace {

using Fields = std::vector<std::pair<const char*, const char*>>;

// A value typed into a field and the button pressed at once, by its mnemonic or by a click
// that leaves no time for the exit check the focus change schedules: what is written or saved
// is what the field shows.
class TypedValue : public WindowTest {
protected:
    void SetUp() override
    {
        startProgram();
        program->protocol().setTransport(&transport);
        program->protocol().setTiming(test::SteadyTiming());
        showMainWindow();
    }
    void TearDown() override { program.reset(); }

    void enter(const Fields& fields)
    {
        MainWindowModel& m = program->model();
        for (const auto& [name, text] : fields) {
            Control& c = *m.control(u(name));
            m.userEdit(c, u(text));
            EXPECT_TRUE(m.commitField(c)) << name << ui.messages.join('|').toStdString();
        }
    }

    void type(const char* field, const QString& text)
    {
        auto* edit = mainWidget<QLineEdit>(field);
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Presses `button` by its Alt mnemonic (the click is animated, so it comes later) or by
    // a mouse click, and returns once it has run.
    void press(const char* button, char mnemonic, bool byKey)
    {
        auto* b = mainWidget<QPushButton>(button);
        if (!byKey) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
        bool clicked = false;
        const auto connection = QObject::connect(b, &QPushButton::clicked, [&] { clicked = true; });
        QTest::keyClick(program->form1(), Qt::Key(mnemonic), Qt::AltModifier);
        for (int i = 0; i < 200 && !clicked; ++i)
            QTest::qWait(5);
        QObject::disconnect(connection);
        EXPECT_TRUE(clicked) << button;
    }

    sim::EepromImage write()
    {
        transport.transmitter().eeprom() = sim::Transmitter().eeprom();
        ui.confirmAnswers = {true};
        program->actions().PoslatClick();
        return transport.transmitter().eeprom();
    }

    test::SimulatedTransport transport;
};

struct Row {
    Fields configuration;
    const char* field;
    const char* typed;
};

const std::vector<Row>& rows()
{
    static const Fields current = {
        {"Vstup", "proud"}, {"SnOdpor", "5"}, {"Linearizace", "nelinearizováno"}, {"Pocatek", "4"},
        {"Konec", "20"},    {"Tlumeni", "1"}, {"ChybProud", "podproud"}};
    static const Fields voltage = {{"Vstup", "napětí"},     {"Linearizace", "nelinearizováno"},
                                   {"DelPomer", "20"},      {"Pocatek", "0"},
                                   {"Konec", "10"},         {"Tlumeni", "1"},
                                   {"ChybProud", "vyřazen"}};
    static const Fields pt100 = {{"Vstup", "odporový teploměr Pt100"},
                                 {"PripCidl", "dvouvodičově"},
                                 {"Linearizace", "linearizováno"},
                                 {"Pocatek", "0"},
                                 {"Konec", "100"},
                                 {"Tlumeni", "1"},
                                 {"ChybProud", "nadproud"}};
    static const std::vector<Row> all = {
        {current, "Pocatek", "6.25"}, {current, "Konec", "18.75"},   {current, "Tlumeni", "2.5"},
        {current, "SnOdpor", "4.5"},  {voltage, "DelPomer", "12.5"}, {pt100, "korekcePV", "1.25"},
    };
    return all;
}

TEST_F(TypedValue, WriteAndVerifiedWriteSendTheTypedValueWhateverPressesTheButton)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.field);
        MainWindowModel& m = program->model();
        enter(row.configuration);
        const sim::EepromImage before = write();
        enter({{row.field, row.typed}});
        const sim::EepromImage typed = write();
        ASSERT_FALSE(typed == before); // the field reaches the transmitter at all
        ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

        // The read-back after the write once, with the click.
        for (const auto& [byKey, verified] :
             {std::pair{true, false}, {false, false}, {false, true}}) {
            {
                SCOPED_TRACE(byKey ? "Alt+U" : "click");
                program->transferContext().readBackWrites = verified;
                enter(row.configuration);
                transport.transmitter().eeprom() = sim::Transmitter().eeprom();
                ui.confirmAnswers = {true};
                type(row.field, u(row.typed));
                press("Poslat", 'U', byKey);
                EXPECT_TRUE(transport.transmitter().eeprom() == typed) << verified;
                EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
                EXPECT_TRUE(program->form1()->statusText().startsWith(u("Konfigurace zapsána")));
            }
        }
        program->transferContext().readBackWrites = false;
        m.userEdit(m.Vstup, QString());
    }
}

TEST_F(TypedValue, ARefusedTextStopsTheWriteAndTheSaveWithItsMessage)
{
    QTemporaryDir dir;
    int round = 0;
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.field);
        enter(row.configuration);
        for (const bool byKey : {true, false}) {
            for (const auto& [button, mnemonic] : {std::pair{"Poslat", 'U'}, {"Ulosoub", 'L'}}) {
                SCOPED_TRACE(byKey ? "key" : "click");
                SCOPED_TRACE(button);
                transport.transmitter().clearRequests();
                ui.clear();
                ui.confirmAnswers = {true, true};
                const QString path = dir.filePath(QStringLiteral("refused%1.txt").arg(++round));
                ui.saveFileAnswers = {path};
                type(row.field, QStringLiteral("abc"));
                // The refused text stays in the field; the next round starts afresh.
                const auto restart = qScopeGuard([&] {
                    program->model().userEdit(program->model().Vstup, QString());
                    enter(row.configuration);
                    QApplication::processEvents(); // the exit of the field the reset disabled
                });
                press(button, mnemonic, byKey);
                EXPECT_EQ(ui.messages.size(), 1) << ui.events.join('|').toStdString();
                EXPECT_TRUE(transport.transmitter().requests().empty());
                EXPECT_TRUE(ui.questions.isEmpty());
                EXPECT_FALSE(QFile::exists(path));
            }
        }
    }
}

TEST_F(TypedValue, SaveTakesTheTypedValueThroughItsCheck)
{
    QTemporaryDir dir;
    MainWindowModel& m = program->model();
    int saved = 0;
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.field);
        for (const bool byKey : {true, false}) {
            enter(row.configuration);
            const QString path = dir.filePath(QStringLiteral("saved%1.txt").arg(++saved));
            ui.saveFileAnswers = {path};
            type(row.field, u(row.typed));
            press("Ulosoub", 'L', byKey);
            EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

            m.userEdit(m.Vstup, QString());
            ASSERT_TRUE(m.loadConfiguration(path)) << ui.messages.join('|').toStdString();
            QString loaded = m.control(u(row.field))->text;
            EXPECT_EQ(loaded.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(),
                      QString::fromLatin1(row.typed).toDouble())
                << loaded.toStdString();
        }
    }
}

} // namespace
} // namespace vtr8::testing_support
