#include "history/record_text.h"

#include "history/configuration_compare.h"
#include "transfer/note_codec.h"

namespace vtr8 {

QString recordTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString describeRecord(const HistoryRecord& r)
{
    QString out;
    out += QStringLiteral("záznam: %1\n").arg(r.id);
    out += QStringLiteral("začátek: ") + recordTime(r.started) + QLatin1Char('\n');
    out += QStringLiteral("konec: ") + recordTime(r.ended) + QLatin1Char('\n');
    out += QStringLiteral("program: ") + r.program + QLatin1Char('\n');
    out +=
        QStringLiteral("obsluha: ") + visibleControlCharacters(r.operatorName) + QLatin1Char('\n');
    out += QStringLiteral("počítač: ") + visibleControlCharacters(r.computer) + QLatin1Char('\n');
    out += QStringLiteral("port: ") + visibleControlCharacters(r.port) + QLatin1Char('\n');
    out += QStringLiteral("operace: ") + operationText(r.operation) + QLatin1Char('\n');
    out += QStringLiteral("výsledek: ") + resultText(r.result) + QLatin1Char('\n');
    // A note is the transmitter's text: no byte of it may move a terminal's cursor.
    out += QStringLiteral("poznámka: ") + visibleControlCharacters(r.note) + QLatin1Char('\n');
    if (r.firmware >= 0)
        out += QStringLiteral("firmware: %1\n").arg(r.firmware);
    if (!r.typeBytes.isEmpty())
        out += QStringLiteral("typ: ") + QString::fromLatin1(r.typeBytes.toHex(' ')) +
               QLatin1Char('\n');
    out += QStringLiteral("zprávy:\n");
    for (const QString& m : r.messages) {
        QStringList lines;
        for (const QString& line : m.split(QLatin1Char('\n')))
            lines << visibleControlCharacters(line);
        out += QStringLiteral("  ") + lines.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    }
    if (!r.readings.empty()) {
        out += QStringLiteral("kontrola (vstup, údaj, odchylka, % rozpětí):\n");
        for (const CheckReading& c : r.readings)
            out += QStringLiteral("  %1  %2  %3 %4  %5 %\n")
                       .arg(c.reference, 0, 'f', 3)
                       .arg(c.value, 0, 'f', 3)
                       .arg(c.deviation, 0, 'f', 3)
                       .arg(r.unit)
                       .arg(c.spanPercent, 0, 'f', 3);
    }
    if (!r.blocks.isEmpty()) {
        out += QStringLiteral("zapsané bloky (adresa: bajty):\n");
        for (const QString& b : r.blocks)
            out += QStringLiteral("  ") + b + QLatin1Char('\n');
    }
    if (!r.configuration.isEmpty())
        out += QStringLiteral("konfigurace:\n") + configurationText(r.configuration);
    return out;
}

QString recordWho(const HistoryRecord& r)
{
    if (r.operatorName.isEmpty() && r.computer.isEmpty())
        return QStringLiteral("-");
    return visibleControlCharacters(r.operatorName) + QLatin1Char('@') +
           visibleControlCharacters(r.computer);
}

QString compareRecords(const HistoryRecord& before, const HistoryRecord& after)
{
    if (before.note != after.note)
        return QStringLiteral("Porovnat lze jen záznamy jednoho převodníku (se stejnou "
                              "poznámkou).");
    if (before.configuration.isEmpty() || after.configuration.isEmpty())
        return QStringLiteral("Porovnat lze jen záznamy s konfigurací.");
    QString out = QStringLiteral("Záznam %1 (%2) → záznam %3 (%4):\n")
                      .arg(before.id)
                      .arg(recordTime(before.started))
                      .arg(after.id)
                      .arg(recordTime(after.started));
    const std::vector<FieldChange> changes =
        compareConfigurations(before.configuration, after.configuration);
    if (changes.empty())
        out += QStringLiteral("Konfigurace se neliší.\n");
    for (const FieldChange& c : changes)
        out += c.text() + QLatin1Char('\n');
    return out;
}

} // namespace vtr8
