#include "batch/comparator_columns.h"

#include "configuration/number_format.h"
#include "device/choice_texts.h"
#include "device/device_float.h"

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
    const QString missing[] = {QStringLiteral("Není zadána mez sepnutí komparátoru %1"),
                               QStringLiteral("Není zadána mez rozepnutí komparátoru %1"),
                               QStringLiteral("Není zadán čas zpoždění sepnutí komparátoru %1"),
                               QStringLiteral("Není zadán čas zpoždění rozepnutí komparátoru %1")};
    const QString invalid[] = {QStringLiteral("špatně zadaná mez sepnutí komparátoru %1"),
                               QStringLiteral("špatně zadaná mez rozepnutí komparátoru %1"),
                               QStringLiteral("špatně zadaná mez zpoždění sepnutí"),
                               QStringLiteral("špatně zadaná mez zpoždění rozepnutí")};
    Extended number[4] = {};
    for (int k = On; k <= OffDelay; ++k) {
        if (text[k].isEmpty()) {
            problem(k, missing[k].arg(n));
            continue;
        }
        const std::optional<Extended> v = parseLocaleNumber(UpravaFormatu(text[k]));
        if (!v)
            problem(k, invalid[k].arg(n));
        else
            number[k] = *v;
    }
    if (out.size() != before)
        return std::nullopt;
    for (const int k : {On, Off}) {
        const QString which = k == On ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí");
        if (!FitsDeviceFloat(number[k]))
            problem(k, QStringLiteral("Mez %1 komparátoru %2 je mimo rozsah čísel převodníku.")
                           .arg(which)
                           .arg(n));
        else if (c && (number[k] < c->rangeStart.value || number[k] > c->rangeEnd.value))
            problem(k,
                    QStringLiteral("Mez %1 komparátoru %2 mimo měřicí rozsah").arg(which).arg(n));
    }
    if (number[On] == number[Off])
        problem(Off, QStringLiteral("Meze sepnutí a rozepnutí komparátoru nesmí být zcela shodné"));
    for (const int k : {OnDelay, OffDelay}) {
        const QString which =
            k == OnDelay ? QStringLiteral("sepnutí") : QStringLiteral("rozepnutí");
        if (number[k] < 0 || number[k] > 999)
            problem(k, QStringLiteral("Povolená mez pro zpoždění %1 je 0 až 999 s").arg(which));
        else if (roundHalfEven(number[k]) > 255)
            problem(k, QStringLiteral("Zpoždění %1 komparátoru %2 lze do převodníku uložit jen v "
                                      "rozsahu 0 až 255 s.")
                           .arg(which)
                           .arg(n));
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
