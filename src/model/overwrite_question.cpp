#include "model/overwrite_question.h"

#include "user_interface/user_interface.h"

#include <QFileInfo>

namespace vtr8 {

bool ConfirmOverwrite(UserInterface& ui, const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return true;
    return ui.confirmDiscard(
        QStringLiteral("Soubor „%1“ již existuje. Přepsat jej?").arg(file.fileName()));
}

} // namespace vtr8
