#pragma once

#include <QChar>
#include <QString>

namespace vtr8 {

// One CSV cell (RFC 4180) that no spreadsheet takes for a formula: a text beginning with
// =, +, -, @, tab or CR gets a leading apostrophe and quotes; a cell holding the separator,
// a quote or a line break is quoted with its quotes doubled. A plain number ("-12.5",
// "1e-30") stays as it is, so that spreadsheets still read it as a number.
QString csvCell(const QString& text, QChar separator = QLatin1Char(','));

// The separator a spreadsheet of the person's locale expects: ';' where the decimal
// separator is a comma, ',' elsewhere.
QChar localeCsvSeparator();

} // namespace vtr8
