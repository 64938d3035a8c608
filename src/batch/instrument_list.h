#pragma once

#include "batch/list_text.h"
#include "configuration/configuration.h"
#include "transfer/comparator_transfer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The plant's instrument list: one row per transmitter, its columns the keys of the
// configuration file's lines ("vstup", "dolní mez", ...) plus the transmitter's tag, an optional
// point file ("body"), optional check points ("kontrola") and optional comparator settings. A row
// means exactly what the same lines in a configuration file would.
namespace vtr8 {

namespace list_column {
inline const QString Tag = QStringLiteral("tag");
inline const QString Points = QStringLiteral("body");
inline const QString Check = QStringLiteral("kontrola");
} // namespace list_column

struct RowProblem {
    QString column; // empty when the row as a whole is meant
    QString message;
};

struct InstrumentRow {
    int line = 0; // where the row starts in the list, 1-based
    QString tag;
    QString pointsFile; // as written: relative to the list
    QString check;      // per cent of the range, "0,50,100"; empty for no check
    std::optional<Configuration> configuration;
    // The configuration file of the row (code page 1250, CR LF), as a save would write it.
    QByteArray configurationFile;
    // Comparators 1 and 2 switched on with these settings; nullopt: left as they are.
    std::array<std::optional<ComparatorSettings>, 2> comparators;
    std::vector<RowProblem> problems;

    bool valid() const { return problems.empty() && configuration.has_value(); }
};

struct InstrumentList {
    ListEncoding encoding = ListEncoding::Utf8;
    QChar separator = QLatin1Char(';');
    // Empty when the list could be read; otherwise why none of it can be used.
    QString error;
    std::vector<InstrumentRow> rows;

    const InstrumentRow* row(const QString& tag) const;
};

// Reads the list and checks every row by the configuration's rules. A row with problems stays
// in the list with them, so that it is named, never skipped silently.
InstrumentList parseInstrumentList(const QByteArray& bytes);

// A row's point file is named relative to the list: one that is not there is a problem of the row.
void checkPointFiles(InstrumentList& list, const QString& listFolder);

// "řádek 4, TT-101, sloupec „horní mez“: Horní hodnota rozsahu musí být ..."
QString rowProblemText(const InstrumentRow& row, const RowProblem& problem);

// The columns a list may have besides the tag, point file and check: every key of the
// configuration file without its ": ", in the file's order.
QStringList configurationColumns();

} // namespace vtr8
