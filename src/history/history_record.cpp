#include "history/history_record.h"

#include "configuration/cp1250.h"

namespace vtr8 {
namespace {

struct OperationName {
    HistoryOperation operation;
    const char* key;
    const char* text;
};

const OperationName operationNames[] = {
    {HistoryOperation::Write, "write", "zápis"},
    {HistoryOperation::WriteVerify, "write-verify", "zápis s ověřením"},
    {HistoryOperation::Read, "read", "čtení"},
    {HistoryOperation::Verify, "verify", "ověření"},
    {HistoryOperation::Backup, "backup", "záloha paměti"},
    {HistoryOperation::Note, "note", "poznámka"},
    {HistoryOperation::Comparator, "comparator", "komparátor"},
    {HistoryOperation::ZeroSpan, "zero-span", "nastavení nuly a rozsahu"},
    {HistoryOperation::Check, "check", "kontrola měřením"},
};

struct ResultName {
    HistoryResult result;
    const char* key;
    const char* text;
};

const ResultName resultNames[] = {
    {HistoryResult::Completed, "completed", "dokončeno"},
    {HistoryResult::Failed, "failed", "selhalo"},
    {HistoryResult::Interrupted, "interrupted", "přerušeno"},
};

} // namespace

QString operationKey(HistoryOperation operation)
{
    for (const auto& n : operationNames)
        if (n.operation == operation)
            return QString::fromLatin1(n.key);
    return {};
}

std::optional<HistoryOperation> operationFromKey(const QString& key)
{
    for (const auto& n : operationNames)
        if (key == QLatin1String(n.key))
            return n.operation;
    return std::nullopt;
}

QString operationText(HistoryOperation operation)
{
    for (const auto& n : operationNames)
        if (n.operation == operation)
            return QString::fromUtf8(n.text);
    return {};
}

QString resultKey(HistoryResult result)
{
    for (const auto& n : resultNames)
        if (n.result == result)
            return QString::fromLatin1(n.key);
    return {};
}

std::optional<HistoryResult> resultFromKey(const QString& key)
{
    for (const auto& n : resultNames)
        if (key == QLatin1String(n.key))
            return n.result;
    return std::nullopt;
}

QString resultText(HistoryResult result)
{
    for (const auto& n : resultNames)
        if (n.result == result)
            return QString::fromUtf8(n.text);
    return {};
}

QString configurationText(const QByteArray& configuration)
{
    QString text = decodeCp1250(configuration);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace vtr8
