#pragma once

#include "user_interface/user_interface.h"

#include <QStringList>

#include <deque>

namespace vtr8 {

// For tests: records every message, question, dialog and focus move in order,
// and answers questions and file dialogs from queues. An unanswered question
// is answered No and an unanswered dialog is cancelled, and both are recorded,
// so a test sees exactly what the person would have been asked.
class ScriptedUserInterface : public UserInterface {
public:
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    void focus(const QString& control) override;

    // Queued answers, taken in order.
    std::deque<bool> confirmAnswers;
    std::deque<QString> openFileAnswers;
    std::deque<QString> saveFileAnswers;

    // Everything that happened, one entry per event, e.g. "message: Chyba komunikace",
    // "confirm: Opravdu ...", "open: <folder>", "save: <folder>", "focus: Pocatek".
    QStringList events;
    // Only the message texts, in order.
    QStringList messages;
    // Only the questions asked, in order.
    QStringList questions;
    // The last control that received the focus.
    QString focused;

    void clear();
};

} // namespace vtr8
