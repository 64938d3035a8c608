#include "batch/instrument_list.h"

#include "batch/comparator_columns.h"
#include "batch/row_rules.h"
#include "configuration/configuration_file.h"
#include "configuration/cp1250.h"
#include "configuration/number_format.h"
#include "device/input_type.h"
#include "device/input_type_table.h"
#include "transfer/note_transfer.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace vtr8 {

namespace {

const QString KeyEnd = QStringLiteral(": ");
const QString InputColumn = QStringLiteral("vstup");
const QString StartColumn = QStringLiteral("dolní mez");
const QString EndColumn = QStringLiteral("horní mez");
const QString DampingColumn = QStringLiteral("tlumení");

// The keys of the lines a configuration of this input type has, in the file's order: the file
// writer is the one place that knows them.
QStringList keysOf(InputType input)
{
    Configuration c;
    c.input = input;
    QStringList keys;
    const QStringList lines =
        decodeCp1250(writeConfigurationFile(c).bytes).split(QStringLiteral("\r\n"));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const qsizetype end = lines[i].indexOf(KeyEnd);
        if (end > 0)
            keys << lines[i].left(end);
    }
    return keys;
}

// The configuration file the row's values make. The damping column holds seconds with or
// without the file's "s".
QByteArray fileOf(InputType input, const QHash<QString, QString>& values)
{
    QString text = QStringLiteral("Konfigurační data pro VTR8:\r\n\r\n");
    for (const QString& key : keysOf(input)) {
        QString value = key == InputColumn ? inputTypeText(input) : values.value(key);
        if (key == DampingColumn) {
            if (value.endsWith(QLatin1Char('s')))
                value.chop(1);
            value = value.trimmed() + QLatin1Char('s');
        }
        text += key + KeyEnd + value + QStringLiteral("\r\n");
    }
    const Cp1250Encoding encoded = encodeCp1250(text);
    return encoded.ok() ? encoded.bytes : QByteArray();
}

// The message of the rule that refuses `value` in `column` where the file parser does.
QString refusalOf(InputType input, const QString& column, const QString& value)
{
    using F = RuleField;
    for (const F field : {F::Start, F::End, F::Damping, F::ErrorCurrent, F::ColdJunction, F::Shunt,
                          F::Divider, F::Parasitic, F::TotalValue})
        if (ruleFieldColumn(field, input) == column)
            return RefusalText(MakeRefusal(field == F::ErrorCurrent || field == F::ColdJunction
                                               ? Rule::NotAChoice
                                               : Rule::NotANumber,
                                           field));
    if (column == ruleFieldColumn(F::Linearization, input))
        return QStringLiteral("Způsob linearizace „%1“ neexistuje.").arg(value);
    return QStringLiteral("Způsob připojení čidla „%1“ neexistuje.").arg(value);
}

// Which columns the parser refuses: each value alone among neutral ones.
std::vector<RowProblem> parserRefusals(InputType input, const QHash<QString, QString>& values)
{
    std::vector<RowProblem> problems;
    QHash<QString, QString> neutral;
    neutral.insert(StartColumn, QStringLiteral("0"));
    neutral.insert(EndColumn, QStringLiteral("0"));
    for (const QString& key : keysOf(input)) {
        QHash<QString, QString> probe = neutral;
        probe.insert(key, values.value(key));
        const QByteArray file = fileOf(input, probe);
        if (file.isEmpty() || !parseConfigurationFile(file))
            problems.push_back({key, refusalOf(input, key, values.value(key))});
    }
    if (problems.empty())
        problems.push_back({{}, ConfigurationDataErrorText()});
    return problems;
}

// A fresh editor that loads the same lines holds, for the fields the lines leave out, the unit
// of the input, its only connection, a divider ratio of 1 (or the input's preset) and no
// parasitic resistance; a row
// writes exactly what that editor would.
void takeEditorDefaults(Configuration& c)
{
    const InputTypeRow& row = inputTypeRow(c.input);
    if (c.linearization != Linearization::FromFile)
        c.unitCode = row.unitCode;
    if (!row.has(InputField::Divider)) {
        const QString preset =
            row.dividerPreset ? QString::fromUtf16(row.dividerPreset) : QStringLiteral("1");
        c.dividerRatio = {parseNumber(preset, QLatin1Char('.')).value_or(1), preset};
    } else if (c.dividerRatio.text.isEmpty()) {
        c.dividerRatio.value = 1;
    }
    // An input with one connection has it fixed in the editor, with no line of its own.
    for (const ConnectionCode only :
         {ConnectionCode::TwoWire, ConnectionCode::ThreeWire, ConnectionCode::FourWire})
        if (c.connection == ConnectionCode::None && row.connections == connectionBit(only))
            c.connection = only;
    if (c.parasiticResistance.text.isEmpty())
        c.parasiticResistance = {0, QStringLiteral("0")};
}

void checkConfiguration(InstrumentRow& row, const QHash<QString, QString>& values)
{
    const QString inputText = values.value(InputColumn);
    if (inputText.isEmpty()) {
        row.problems.push_back({InputColumn, QStringLiteral("Není zadán vstup.")});
        return;
    }
    const std::optional<InputType> input = inputTypeFromText(inputText);
    if (!input) {
        row.problems.push_back(
            {InputColumn, QStringLiteral("Vstup „%1“ neexistuje.").arg(inputText)});
        return;
    }
    const QStringList keys = keysOf(*input);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (!it.value().isEmpty() && !keys.contains(it.key()) && it.key() != InputColumn)
            row.problems.push_back(
                {it.key(),
                 QStringLiteral("Vstup „%1“ tuto hodnotu nemá.").arg(inputTypeText(*input))});
    // The range limits are checked for emptiness first: the file parser refuses an empty one as
    // no number, while the rule is that it is missing.
    bool limitsGiven = true;
    for (const auto& [column, message] :
         {std::pair{StartColumn, QStringLiteral("Není zadána dolní mez rozsahu")},
          std::pair{EndColumn, QStringLiteral("Není zadána horní mez rozsahu")}}) {
        if (values.value(column).isEmpty()) {
            row.problems.push_back({column, message});
            limitsGiven = false;
        }
    }
    if (!limitsGiven)
        return;
    const QByteArray file = fileOf(*input, values);
    row.configuration = file.isEmpty() ? std::nullopt : parseConfigurationFile(file);
    if (!row.configuration) {
        for (RowProblem& p : parserRefusals(*input, values))
            row.problems.push_back(std::move(p));
        return;
    }
    takeEditorDefaults(*row.configuration);
    // Saved again, the file holds the numbers as the parser took them (rounded range limits).
    const ConfigurationFileBytes saved = writeConfigurationFile(*row.configuration);
    row.configurationFile = saved.error.isEmpty() ? saved.bytes : file;
    for (RowProblem& p : rowRuleProblems(*row.configuration, !row.pointsFile.isEmpty()))
        row.problems.push_back(std::move(p));
}

QString canonicalColumn(const QString& header, const QStringList& known)
{
    for (const QString& name : known)
        if (header.compare(name, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

} // namespace

QStringList configurationColumns()
{
    QStringList columns;
    for (const QString& item : vstupListItems())
        for (const QString& key : keysOf(*inputTypeFromText(item)))
            if (!columns.contains(key))
                columns << key;
    for (const InputType extra : {InputType::ResistorDifference, InputType::PotentiometerRelative,
                                  InputType::VoltageDifference, InputType::CurrentDifference})
        for (const QString& key : keysOf(extra))
            if (!columns.contains(key))
                columns << key;
    return columns;
}

const InstrumentRow* InstrumentList::row(const QString& tag) const
{
    for (const InstrumentRow& r : rows)
        if (r.tag == tag)
            return &r;
    return nullptr;
}

void checkPointFiles(InstrumentList& list, const QString& listFolder)
{
    for (InstrumentRow& row : list.rows)
        if (!row.pointsFile.isEmpty() &&
            !QFileInfo(QDir(listFolder).filePath(row.pointsFile)).isFile())
            row.problems.push_back(
                {list_column::Points,
                 QStringLiteral("Soubor bodů „%1“ nelze otevřít.").arg(row.pointsFile)});
}

QString rowProblemText(const InstrumentRow& row, const RowProblem& problem)
{
    QString text = QStringLiteral("řádek %1").arg(row.line);
    if (!row.tag.isEmpty())
        text += QStringLiteral(", ") + row.tag;
    if (!problem.column.isEmpty())
        text += QStringLiteral(", sloupec „%1“").arg(problem.column);
    return text + QStringLiteral(": ") + problem.message;
}

InstrumentList parseInstrumentList(const QByteArray& bytes)
{
    InstrumentList list;
    const ListText decoded = decodeListText(bytes);
    list.encoding = decoded.encoding;
    const ListRecords records = splitListRecords(decoded.text);
    list.separator = records.separator;
    if (records.unclosedQuoteLine > 0) {
        list.error = QStringLiteral("Uvozovky otevřené na řádku %1 se neuzavírají.")
                         .arg(records.unclosedQuoteLine);
        return list;
    }
    if (records.records.empty()) {
        list.error = QStringLiteral("Seznam je prázdný.");
        return list;
    }
    QStringList known = configurationColumns();
    known << list_column::Tag << list_column::Points << list_column::Check << comparatorColumns();
    const QStringList& header = records.records.front().fields;
    QStringList columns; // canonical name per field, empty for an ignored one
    for (const QString& field : header) {
        // A spreadsheet saves the empty cells after the last heading too.
        if (field.startsWith(QLatin1Char('#')) || field.isEmpty()) {
            columns << QString();
            continue;
        }
        const QString name = canonicalColumn(field, known);
        if (name.isEmpty()) {
            list.error = QStringLiteral("Sloupec „%1“ seznam nezná (sloupec, který se má "
                                        "přeskočit, začíná znakem #).")
                             .arg(field);
            return list;
        }
        if (columns.contains(name)) {
            list.error = QStringLiteral("Sloupec „%1“ je v záhlaví dvakrát.").arg(name);
            return list;
        }
        columns << name;
    }
    for (const QString& required : {list_column::Tag, InputColumn})
        if (!columns.contains(required)) {
            list.error = QStringLiteral("Seznam nemá sloupec „%1“.").arg(required);
            return list;
        }

    QHash<QString, int> lineOfTag;
    for (std::size_t i = 1; i < records.records.size(); ++i) {
        const ListRecord& record = records.records[i];
        InstrumentRow row;
        row.line = record.line;
        QHash<QString, QString> values;
        for (qsizetype f = 0; f < record.fields.size(); ++f) {
            if (f >= columns.size()) {
                if (!record.fields[f].trimmed().isEmpty())
                    row.problems.push_back({{}, QStringLiteral("Řádek má víc polí než záhlaví.")});
                break;
            }
            if (!columns[f].isEmpty())
                values.insert(columns[f], record.fields[f]);
            else if (header[f].isEmpty() && !record.fields[f].isEmpty())
                row.problems.push_back({{},
                                        QStringLiteral("Hodnota „%1“ je ve sloupci bez záhlaví.")
                                            .arg(record.fields[f])});
        }
        row.tag = values.take(list_column::Tag);
        row.pointsFile = values.take(list_column::Points);
        row.check = values.take(list_column::Check);
        if (row.tag.isEmpty()) {
            row.problems.push_back({list_column::Tag, QStringLiteral("Není zadán tag.")});
        } else if (lineOfTag.contains(row.tag)) {
            row.problems.push_back(
                {list_column::Tag,
                 QStringLiteral("Tag už má řádek %1.").arg(lineOfTag.value(row.tag))});
        } else {
            lineOfTag.insert(row.tag, row.line);
            if (const QString refusal = noteRefusal(row.tag); !refusal.isEmpty())
                row.problems.push_back({list_column::Tag, refusal});
            // The note reads back without its trailing blanks, and then it is another tag.
            else if (row.tag.back().isSpace())
                row.problems.push_back(
                    {list_column::Tag, QStringLiteral("Tag nesmí končit mezerou, převodník ji "
                                                      "v poznámce nevrátí.")});
        }
        if (!row.check.isEmpty() && !checkPercents(row.check))
            row.problems.push_back(
                {list_column::Check,
                 QStringLiteral(
                     "Kontrola potřebuje procenta rozsahu -10 až 110, např. 0,50,100.")});
        QHash<QString, QString> comparatorValues;
        for (const QString& column : comparatorColumns())
            comparatorValues.insert(column, values.take(column));
        checkConfiguration(row, values);
        row.comparators = takeComparators(
            comparatorValues, row.configuration ? &*row.configuration : nullptr, row.problems);
        list.rows.push_back(std::move(row));
    }
    return list;
}

} // namespace vtr8
