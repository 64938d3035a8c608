#pragma once

#include <QString>

namespace vtr8 {

// The one way the program talks to the person in front of it. Message boxes,
// Yes/No questions, file dialogs and focus moves all pass through here, so the
// same editor model and transfer sequences serve the window, the command-line
// tool and the tests.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal box with an OK button.
    virtual void message(const QString& text) = 0;
    // A Yes/No question; true means Yes.
    virtual bool confirm(const QString& text) = 0;
    // A Yes/No question whose Yes throws something away (edits, a record, a file): No is
    // the answer a plain Enter gives.
    virtual bool confirmDiscard(const QString& text) { return confirm(text); }
    // File dialogs; an empty result means the person cancelled.
    virtual QString chooseOpenFile(const QString& title, const QString& folder,
                                   const QString& filter) = 0;
    virtual QString chooseSaveFile(const QString& title, const QString& folder,
                                   const QString& filter) = 0;
    // Moves the keyboard focus to the control of that name.
    virtual void focus(const QString& control) = 0;
};

} // namespace vtr8
