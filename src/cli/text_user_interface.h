#pragma once

#include "user_interface/user_interface.h"

#include <QString>

#include <cstdio>
#include <deque>

namespace vtr8 {

// The person behind vtr8ctl: messages go to stderr one per line, exactly as
// the window would show them; a Yes/No question is answered Yes by --yes,
// asked on the terminal when stdin is one, and answered No otherwise (a script
// must never be taken for a person who agreed). File dialogs are answered from
// what the command line named, in order; with nothing named they are cancelled.
class TextUserInterface : public UserInterface {
public:
    explicit TextUserInterface(bool assumeYes, std::FILE* err = stderr, std::FILE* in = stdin);

    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    void focus(const QString& control) override;

    std::deque<QString> openFileAnswers;
    std::deque<QString> saveFileAnswers;
    // Questions answered No (or left unanswered).
    int declined = 0;

private:
    bool decline();

    bool assumeYes_;
    std::FILE* err_;
    std::FILE* in_;
};

} // namespace vtr8
