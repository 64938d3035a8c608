#pragma once

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "linearization/point_set.h"
#include "model/main_window_model.h"
#include "user_interface/scripted_user_interface.h"

#include <gtest/gtest.h>

#include <QString>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace vtr8::test {

// A fresh main window with a scripted person in front of it.
class ModelTest : public ::testing::Test {
protected:
    ScriptedUserInterface ui;
    LinearizationPoints points;
    MainWindowModel model{ui, points};

    // Chooses an input type as the person would, by picking its text.
    void choose(const QString& inputText) { model.userEdit(model.Vstup, inputText); }
    void choose(InputType type) { choose(inputTypeText(type)); }

    // Types a text into a field and leaves it through its exit handler.
    // Every check says whether the value stands exactly when it stayed silent or only warned
    // (a comparator limit outside the measuring range).
    bool typeAndLeave(Control& field, const QString& text, MainWindowModel::ExitCheck exit)
    {
        model.userEdit(field, text);
        const qsizetype before = ui.messages.size();
        const bool stands = (model.*exit)();
        bool onlyWarned = true;
        for (qsizetype i = before; i < ui.messages.size(); ++i)
            onlyWarned =
                onlyWarned && ui.messages[i].endsWith(QStringLiteral("mimo měřicí rozsah"));
        EXPECT_EQ(stands, onlyWarned) << ui.messages.join('|').toStdString();
        return stands;
    }

    // A number as the person types it in the current locale.
    static QString local(const char* number)
    {
        QString text = QString::fromLatin1(number);
        text.replace(QLatin1Char('.'), localeDecimalSeparator());
        return text;
    }
};

} // namespace vtr8::test
