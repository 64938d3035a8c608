#include "batch/list_text.h"

#include "configuration/cp1250.h"

#include <QStringDecoder>

#include <algorithm>

namespace vtr8 {

ListText decodeListText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return {text, ListEncoding::Utf8};
    }
    return {decodeCp1250(bytes), ListEncoding::Cp1250};
}

namespace {

QChar detectSeparator(const QString& text)
{
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
    }
    return commas > semicolons ? QLatin1Char(',') : QLatin1Char(';');
}

} // namespace

ListRecords splitListRecords(const QString& text)
{
    ListRecords out;
    out.separator = detectSeparator(text);
    int line = 1;
    ListRecord record{line, {}};
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field had quotes: keep its blanks
    int quoteLine = 0;
    const auto endField = [&] {
        record.fields << (wasQuoted ? field : field.trimmed());
        field.clear();
        wasQuoted = false;
    };
    const auto endRecord = [&] {
        endField();
        const bool blank = std::all_of(record.fields.cbegin(), record.fields.cend(),
                                       [](const QString& f) { return f.trimmed().isEmpty(); });
        if (!blank)
            out.records.push_back(record);
        record = ListRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                if (c != QLatin1Char('\r'))
                    field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            quoteLine = line;
            field.clear();
        } else if (c == out.separator) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (quoted)
        out.unclosedQuoteLine = quoteLine;
    endRecord();
    return out;
}

} // namespace vtr8
