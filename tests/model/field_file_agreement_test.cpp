#include "model_fixture.h"

#include "rules/range_limits.h"

#include <QLocale>

#include <random>
#include <vector>

namespace vtr8::test {
namespace {

namespace c = choice;

std::vector<InputType> everyInputType()
{
    std::vector<InputType> types;
    for (int code = 0; code < 256; ++code)
        if (const auto type = inputTypeFromCode(std::uint8_t(code)))
            types.push_back(*type);
    return types;
}

// A text a person might type: an ordinary number near the range, one far beyond the
// transmitter's float, or no number at all.
QString randomText(std::mt19937& random, Extended low, Extended high)
{
    QString text;
    switch (std::uniform_int_distribution<int>(0, 5)(random)) {
    case 0:
    case 1:
    case 2: {
        const Extended span = high - low;
        const double value = double(
            std::uniform_real_distribution<long double>(low - span / 4, high + span / 4)(random));
        text = QString::number(value, 'f', std::uniform_int_distribution<int>(0, 7)(random));
        break;
    }
    case 3:
    case 4:
        text = QStringLiteral("%1e%2")
                   .arg(std::uniform_int_distribution<int>(-9, 9)(random))
                   .arg(std::uniform_int_distribution<int>(-12, 40)(random));
        break;
    default: {
        static const char* const junk[] = {"abc", "1.2.3", "--1", "1e", "0x10", "inf", "nan"};
        text = QString::fromLatin1(junk[std::uniform_int_distribution<int>(0, 6)(random)]);
    }
    }
    text.replace(QLatin1Char('.'), localeDecimalSeparator());
    return text;
}

class FieldFileAgreement : public ModelTest {
protected:
    // A complete configuration of `type` that the save accepts.
    void fillIn(InputType type)
    {
        choose(QString()); // every field afresh
        ui.clear();
        choose(type);
        if (model.PripCidl.visible)
            model.userEdit(model.PripCidl, c::ThreeWire);
        if (model.VzdStKon.visible)
            model.userEdit(model.VzdStKon, c::InternalColdJunction);
        if (model.SnOdpor.visible)
            leave(model.SnOdpor, QStringLiteral("50"));
        if (model.Linearizace.text.isEmpty())
            model.userEdit(model.Linearizace, c::NotLinearized);
        if (model.CelkovyOdpor.visible)
            leave(model.CelkovyOdpor, QStringLiteral("1"));
        const auto limits = rangeLimits(type, model.DividerRatio, model.ShuntResistance);
        leave(model.Pocatek, formatGeneral(limits ? limits->low : 0, 10));
        leave(model.Konec, formatGeneral(limits ? limits->high : 10, 10));
        leave(model.Tlumeni, QStringLiteral("1"));
        model.userEdit(model.ChybProud, c::Overcurrent);
        ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    }

    bool leave(Control& field, const QString& text)
    {
        model.userEdit(field, text);
        return model.commitField(field);
    }

    std::vector<Control*> numberFields()
    {
        std::vector<Control*> fields{&model.Pocatek, &model.Konec, &model.Tlumeni};
        for (Control* c : {&model.SnOdpor, &model.DelPomer, &model.korekcePV, &model.CelkovyOdpor})
            if (c->visible)
                fields.push_back(c);
        return fields;
    }
};

TEST_F(FieldFileAgreement, AValueTheFieldAcceptsSavesAndLoadsBackIdentically)
{
    std::mt19937 random(20261208);
    int accepted = 0, refused = 0;
    for (const InputType type : everyInputType()) {
        SCOPED_TRACE(inputTypeText(type).toStdString());
        fillIn(type);
        const auto limits = rangeLimits(type, model.DividerRatio, model.ShuntResistance);
        for (int round = 0; round < 60; ++round) {
            const std::vector<Control*> fields = numberFields();
            Control& field = *fields[random() % fields.size()];
            const QString typed =
                randomText(random, limits ? limits->low : -10, limits ? limits->high : 10);
            SCOPED_TRACE((model.controlName(field) + QStringLiteral(": ") + typed).toStdString());
            ui.clear();
            if (!leave(field, typed)) {
                ++refused;
                fillIn(type);
                continue;
            }
            ++accepted;
            model.ConfigIncomplete = false;
            model.Testvyplneni();
            ASSERT_FALSE(model.ConfigIncomplete);
            const auto saved = model.configurationFileBytes();
            ASSERT_TRUE(saved);

            ScriptedUserInterface loadUi;
            LinearizationPoints loadPoints;
            MainWindowModel loaded(loadUi, loadPoints);
            EXPECT_TRUE(loaded.loadConfigurationData(*saved));
            EXPECT_TRUE(loadUi.messages.isEmpty()) << loadUi.messages.join('|').toStdString();
            EXPECT_EQ(loaded.Vstup.text, model.Vstup.text);
            EXPECT_EQ(loaded.RangeStart, model.RangeStart);
            EXPECT_EQ(loaded.RangeEnd, model.RangeEnd);
            EXPECT_EQ(loaded.DampingTime, model.DampingTime);
            // The numeric copies of the fields this input type shows.
            const std::pair<const Control*, std::pair<Extended, Extended>> copies[] = {
                {&model.SnOdpor, {loaded.ShuntResistance, model.ShuntResistance}},
                {&model.DelPomer, {loaded.DividerRatio, model.DividerRatio}},
                {&model.korekcePV, {loaded.ParasiticResistance, model.ParasiticResistance}},
                {&model.CelkovyOdpor, {loaded.TotalValue, model.TotalValue}},
            };
            for (const auto& [field, values] : copies) {
                if (field->visible) {
                    EXPECT_EQ(values.first, values.second)
                        << model.controlName(*field).toStdString();
                }
            }
            EXPECT_EQ(QString::fromLatin1(loaded.configurationFileBytes().value_or("")),
                      QString::fromLatin1(*saved));
            if (::testing::Test::HasFailure())
                return;
        }
    }
    // Both sides of the property were exercised.
    EXPECT_GT(accepted, 200);
    EXPECT_GT(refused, 200);
}

TEST_F(FieldFileAgreement, ValuesBeyondTheTransmittersFloatAreRefusedAtTheField)
{
    struct Case {
        InputType type;
        Control* field;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {InputType::Special0to10V, &model.Konec, "1e39",
         "Horní mez je mimo rozsah čísel převodníku."},
        {InputType::Special0to10V, &model.Konec, "3e38",
         "Horní mez je mimo rozsah čísel převodníku."},
        {InputType::Special4to20mA, &model.Pocatek, "-1e300",
         "Dolní mez je mimo rozsah čísel převodníku."},
        {InputType::Voltage, &model.DelPomer, "1e39",
         "Zeslabení přídavným děličem napětí je mimo rozsah čísel převodníku."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        fillIn(k.type);
        const Extended before = model.RangeEnd;
        ui.clear();
        EXPECT_FALSE(leave(*k.field, QString::fromLatin1(k.typed)));
        EXPECT_EQ(ui.messages, QStringList{QString::fromUtf8(k.message)});
        EXPECT_EQ(ui.focused, model.controlName(*k.field));
        EXPECT_EQ(model.RangeEnd, before);
    }
}

} // namespace
} // namespace vtr8::test
