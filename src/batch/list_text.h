#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

// The text of an instrument list as a spreadsheet saves it: UTF-8 with or without a byte-order
// mark, or Windows-1250 (what Czech Excel writes as "CSV"), fields separated by ';' or ','.
namespace vtr8 {

enum class ListEncoding { Utf8, Cp1250 };

struct ListText {
    QString text;
    ListEncoding encoding = ListEncoding::Utf8;
};

// Bytes that are valid UTF-8 are UTF-8 (a leading byte-order mark dropped); any others are
// Windows-1250, which has a character for nearly every byte.
ListText decodeListText(const QByteArray& bytes);

// One record of the list and the line it starts on (1-based), for naming it to the person.
struct ListRecord {
    int line = 0;
    QStringList fields;
};

struct ListRecords {
    QChar separator = QLatin1Char(';');
    std::vector<ListRecord> records;
    // Empty when every quoted field was closed; otherwise the line of the one that was not.
    int unclosedQuoteLine = 0;
};

// Splits the text into records. The separator is the one of ';' and ',' the first line holds
// more of outside quotes (';' when neither or both alike). A field in double quotes may hold the
// separator, line breaks and a doubled quote for a quote. Records whose fields are all blank
// are left out; blanks around unquoted fields are trimmed.
ListRecords splitListRecords(const QString& text);

} // namespace vtr8
