#pragma once

#include "cli/text_user_interface.h"

#include <QStringList>

namespace vtr8 {

// The terminal's person, keeping every message shown, for the record of the transfer.
class RecordingUserInterface : public TextUserInterface {
public:
    using TextUserInterface::TextUserInterface;

    void message(const QString& text) override
    {
        shown << text;
        TextUserInterface::message(text);
    }

    QStringList shown;
};

} // namespace vtr8
