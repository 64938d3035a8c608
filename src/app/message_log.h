#pragma once

#include "user_interface/user_interface.h"

#include <QStringList>

namespace vtr8 {

// Passes everything on to the person's interface and keeps the messages
// shown, so that the record of a transfer holds what the person was told.
class MessageLog : public UserInterface {
public:
    explicit MessageLog(UserInterface& inner) : inner_(inner) {}

    void message(const QString& text) override
    {
        shown << text;
        inner_.message(text);
    }
    bool confirm(const QString& text) override { return inner_.confirm(text); }
    bool confirmDiscard(const QString& text) override { return inner_.confirmDiscard(text); }
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override
    {
        return inner_.chooseOpenFile(title, folder, filter);
    }
    QString chooseSaveFile(const QString& title, const QString& folder,
                           const QString& filter) override
    {
        return inner_.chooseSaveFile(title, folder, filter);
    }
    void focus(const QString& control) override { inner_.focus(control); }

    QStringList shown;

private:
    UserInterface& inner_;
};

} // namespace vtr8
