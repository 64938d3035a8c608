#include "user_interface/scripted_user_interface.h"

namespace vtr8 {

void ScriptedUserInterface::message(const QString& text)
{
    events << QStringLiteral("message: ") + text;
    messages << text;
}

bool ScriptedUserInterface::confirm(const QString& text)
{
    events << QStringLiteral("confirm: ") + text;
    questions << text;
    if (confirmAnswers.empty())
        return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

QString ScriptedUserInterface::chooseOpenFile(const QString&, const QString& folder, const QString&)
{
    events << QStringLiteral("open: ") + folder;
    if (openFileAnswers.empty())
        return {};
    QString answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

QString ScriptedUserInterface::chooseSaveFile(const QString&, const QString& folder, const QString&)
{
    events << QStringLiteral("save: ") + folder;
    if (saveFileAnswers.empty())
        return {};
    QString answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return answer;
}

void ScriptedUserInterface::focus(const QString& control)
{
    events << QStringLiteral("focus: ") + control;
    focused = control;
}

void ScriptedUserInterface::clear()
{
    events.clear();
    messages.clear();
    questions.clear();
    focused.clear();
}

} // namespace vtr8
