#include "batch/comparator_columns.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "rules/comparator_rules.h"

#include <algorithm>

namespace vtr8 {

namespace {

enum Column { On, Off, OnDelay, OffDelay, Mode, ColumnCount };

QString columnName(int number, int column)
{
    static const char* const names[ColumnCount] = {"sepnutí", "rozepnutí", "zpoždění sepnutí",
                                                   "zpoždění rozepnutí", "režim"};
    return QStringLiteral("komparátor %1 ").arg(number) + QString::fromUtf8(names[column]);
}

std::optional<ComparatorSettings> takeOne(int n, QHash<QString, QString>& values,
                                          const Configuration* c, std::vector<RowProblem>& out)
{
    QString text[ColumnCount];
    bool any = false;
    for (int k = 0; k < ColumnCount; ++k) {
        text[k] = values.take(columnName(n, k));
        any = any || !text[k].isEmpty();
    }
    if (!any)
        return std::nullopt;
    const std::size_t before = out.size();
    const auto problem = [&](int column, const QString& message) {
        out.push_back({columnName(n, column), message});
    };
    const RuleField fields[] = {RuleField::ComparatorOnLimit, RuleField::ComparatorOffLimit,
                                RuleField::ComparatorOnDelay, RuleField::ComparatorOffDelay};
    Extended number[4] = {};
    for (int k = On; k <= OffDelay; ++k) {
        const std::optional<Extended> v = parseLocaleNumber(UpravaFormatu(text[k]));
        if (text[k].isEmpty() || !v)
            problem(k, RefusalText(MakeRefusal(text[k].isEmpty() ? Rule::Missing : Rule::NotANumber,
                                               fields[k], n)));
        else
            number[k] = *v;
    }
    if (out.size() != before)
        return std::nullopt;
    for (const int k : {OnDelay, OffDelay})
        if (const auto refusal = ComparatorDelayRefusal(n, fields[k], number[k]))
            problem(k, RefusalText(*refusal));
    if (out.size() == before) {
        const ComparatorNumbers numbers{number[On], number[Off], number[OnDelay], number[OffDelay]};
        const std::optional<MeasuringRange> range =
            c ? std::optional<MeasuringRange>({c->rangeStart.value, c->rangeEnd.value})
              : std::nullopt;
        // Outside the range only warns, in the window as here: the store goes on.
        for (const Refusal& r : CheckComparator(n, numbers, true, range))
            if (!IsWarning(r.rule))
                problem(int(std::find(std::begin(fields), std::end(fields), r.field) -
                            std::begin(fields)),
                        RefusalText(r));
    }
    if (text[Mode] != choice::Hysteresis && text[Mode] != choice::Window)
        problem(Mode, QStringLiteral("Režim komparátoru %1 je HYSTEREZE nebo OKNO.").arg(n));
    if (out.size() != before)
        return std::nullopt;
    ComparatorSettings s;
    s.enabled = true;
    s.window = text[Mode] == choice::Window;
    s.switchOnLimit = number[On];
    s.switchOffLimit = number[Off];
    s.switchOnDelay = static_cast<std::uint8_t>(roundHalfEven(number[OnDelay]));
    s.switchOffDelay = static_cast<std::uint8_t>(roundHalfEven(number[OffDelay]));
    return s;
}

} // namespace

QStringList comparatorColumns()
{
    QStringList columns;
    for (const int n : {1, 2})
        for (int k = 0; k < ColumnCount; ++k)
            columns << columnName(n, k);
    return columns;
}

std::array<std::optional<ComparatorSettings>, 2> takeComparators(QHash<QString, QString>& values,
                                                                 const Configuration* configuration,
                                                                 std::vector<RowProblem>& problems)
{
    return {takeOne(1, values, configuration, problems),
            takeOne(2, values, configuration, problems)};
}

} // namespace vtr8
