#include "history/configuration_compare.h"

#include "history/history_record.h"

#include <algorithm>

namespace vtr8 {

QString FieldChange::text() const
{
    return field + QStringLiteral(": ") + before + QStringLiteral(" → ") + after;
}

std::vector<std::pair<QString, QString>> configurationFields(const QByteArray& configuration)
{
    std::vector<std::pair<QString, QString>> fields;
    const QStringList lines = configurationText(configuration).split(QLatin1Char('\n'));
    // The first line names the file's kind, not a field.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(QStringLiteral(": "));
        if (colon <= 0)
            continue;
        fields.emplace_back(lines[i].left(colon), lines[i].mid(colon + 2).trimmed());
    }
    return fields;
}

std::vector<FieldChange> compareConfigurations(const QByteArray& before, const QByteArray& after)
{
    const auto a = configurationFields(before);
    const auto b = configurationFields(after);
    const QString none = QStringLiteral("—");
    auto find = [](const auto& fields, const QString& name) {
        return std::find_if(fields.begin(), fields.end(),
                            [&name](const auto& f) { return f.first == name; });
    };
    std::vector<FieldChange> changes;
    for (const auto& [name, value] : a) {
        const auto other = find(b, name);
        const QString next = other == b.end() ? none : other->second;
        if (next != value)
            changes.push_back({name, value, next});
    }
    for (const auto& [name, value] : b)
        if (find(a, name) == a.end())
            changes.push_back({name, none, value});
    return changes;
}

} // namespace vtr8
