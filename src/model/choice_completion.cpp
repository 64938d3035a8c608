#include "model/choice_completion.h"

#include <algorithm>

namespace vtr8 {

namespace {

// One character without its accent and case: "Č" → "c", "í" → "i".
QChar folded(QChar c)
{
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
    return decomposed.isEmpty() ? c : decomposed.front().toCaseFolded();
}

bool beginsWith(const QString& item, const QString& typed)
{
    return commonPrefixLength(typed, item) == typed.size();
}

} // namespace

std::optional<QString> completeChoice(const QString& typed, const QStringList& items)
{
    if (typed.isEmpty())
        return std::nullopt;
    if (items.contains(typed))
        return typed;
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const QString& item) { return beginsWith(item, typed); });
    if (found == items.end())
        return std::nullopt;
    return *found;
}

qsizetype commonPrefixLength(const QString& typed, const QString& shown)
{
    const qsizetype n = std::min(typed.size(), shown.size());
    qsizetype i = 0;
    while (i < n && folded(typed[i]) == folded(shown[i]))
        ++i;
    return i;
}

} // namespace vtr8
