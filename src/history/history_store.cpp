#include "history/history_store.h"

#include "history/history_schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace vtr8 {
namespace {

// SQLite's own numbers for a file that is no database and for a damaged one.
bool damaged(const QSqlError& e)
{
    const QString code = e.nativeErrorCode();
    return code == QLatin1String("26") || code == QLatin1String("11");
}

QString timeText(const QDateTime& t)
{
    // UTC with milliseconds: the texts sort as the times do.
    return t.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime timeFromText(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toLocalTime();
}

QString jsonText(const QJsonArray& array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QJsonArray jsonArray(const QString& text)
{
    return QJsonDocument::fromJson(text.toUtf8()).array();
}

QString readingsText(const std::vector<CheckReading>& readings)
{
    QJsonArray array;
    for (const CheckReading& r : readings)
        array.append(QJsonObject{{QStringLiteral("reference"), r.reference},
                                 {QStringLiteral("value"), r.value},
                                 {QStringLiteral("deviation"), r.deviation},
                                 {QStringLiteral("span"), r.spanPercent}});
    return jsonText(array);
}

std::vector<CheckReading> readingsFromText(const QString& text)
{
    std::vector<CheckReading> out;
    for (const QJsonValue& v : jsonArray(text)) {
        const QJsonObject o = v.toObject();
        out.push_back({o.value(QLatin1String("reference")).toDouble(),
                       o.value(QLatin1String("value")).toDouble(),
                       o.value(QLatin1String("deviation")).toDouble(),
                       o.value(QLatin1String("span")).toDouble()});
    }
    return out;
}

QStringList stringsFromText(const QString& text)
{
    QStringList out;
    for (const QJsonValue& v : jsonArray(text))
        out << v.toString();
    return out;
}

bool contains(const QString& haystack, const QString& needle)
{
    return haystack.contains(needle, Qt::CaseInsensitive);
}

bool matchesText(const HistoryRecord& r, const QString& text)
{
    if (text.isEmpty())
        return true;
    if (contains(r.note, text) || contains(r.port, text) || contains(r.program, text) ||
        contains(operationText(r.operation), text) || contains(resultText(r.result), text))
        return true;
    for (const QString& m : r.messages)
        if (contains(m, text))
            return true;
    return false;
}

const char* const selectColumns =
    "SELECT id, started, ended, program, port, operation, result, note, messages, firmware, "
    "type_bytes, unit, readings";
const char* const detailColumns = ", configuration, memory_image, blocks";

// A null text would be bound as NULL.
QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

bool insert(QSqlDatabase& db, const HistoryRecord& r, QString& error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO records (started, ended, program, port, operation, result, note, "
        "messages, configuration, firmware, type_bytes, memory_image, blocks, readings, unit) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(timeText(r.started));
    q.addBindValue(timeText(r.ended));
    q.addBindValue(notNull(r.program));
    q.addBindValue(notNull(r.port));
    q.addBindValue(operationKey(r.operation));
    q.addBindValue(resultKey(r.result));
    q.addBindValue(notNull(r.note));
    q.addBindValue(jsonText(QJsonArray::fromStringList(r.messages)));
    q.addBindValue(r.configuration);
    q.addBindValue(r.firmware);
    q.addBindValue(r.typeBytes);
    q.addBindValue(r.memoryImage);
    q.addBindValue(jsonText(QJsonArray::fromStringList(r.blocks)));
    q.addBindValue(readingsText(r.readings));
    q.addBindValue(notNull(r.unit));
    if (q.exec())
        return true;
    error = q.lastError().text();
    return false;
}

HistoryRecord fromQuery(const QSqlQuery& q, bool withDetails)
{
    HistoryRecord r;
    r.id = q.value(0).toLongLong();
    r.started = timeFromText(q.value(1).toString());
    r.ended = timeFromText(q.value(2).toString());
    r.program = q.value(3).toString();
    r.port = q.value(4).toString();
    r.operation = operationFromKey(q.value(5).toString()).value_or(HistoryOperation::Read);
    r.result = resultFromKey(q.value(6).toString()).value_or(HistoryResult::Failed);
    r.note = q.value(7).toString();
    r.messages = stringsFromText(q.value(8).toString());
    r.firmware = q.value(9).toInt();
    r.typeBytes = q.value(10).toByteArray();
    r.unit = q.value(11).toString();
    r.readings = readingsFromText(q.value(12).toString());
    if (withDetails) {
        r.configuration = q.value(13).toByteArray();
        r.memoryImage = q.value(14).toByteArray();
        r.blocks = stringsFromText(q.value(15).toString());
    }
    return r;
}

} // namespace

HistoryStore::HistoryStore(QString path, Notify notify)
    : path_(std::move(path)), notify_(std::move(notify))
{
    static QAtomicInt counter;
    connection_ = QStringLiteral("vtr8-history-%1").arg(counter.fetchAndAddRelaxed(1));
    // The driver's library is loaded now, before a transfer starts its threads: Wine's
    // loader faults when a library with thread-local storage comes in while the serial
    // port's threads run (a write recorded from vtr8ctl.exe ended in a page fault).
    if (enabled()) {
        const QString probe = connection_ + QStringLiteral("-driver");
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), probe);
        QSqlDatabase::removeDatabase(probe);
    }
}

HistoryStore::~HistoryStore()
{
    close();
}

void HistoryStore::close()
{
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    opened_ = false;
}

void HistoryStore::tellOnce(const QString& text)
{
    if (told_)
        return;
    told_ = true;
    if (notify_)
        notify_(text);
}

namespace {

enum class Opening { Ok, NoDriver, Damaged, Failed };

// Opens and brings the schema up to date; the connection is left for the caller to close.
Opening openConnection(const QString& connection, const QString& path, QString& error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        return Opening::NoDriver;
    QDir().mkpath(QFileInfo(path).absolutePath());
    db.setDatabaseName(path);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryStore::BusyTimeoutMs));
    if (!db.open()) {
        error = db.lastError().text();
        return Opening::Failed;
    }
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("PRAGMA user_version"))) {
            error = probe.lastError().text();
            return damaged(probe.lastError()) ? Opening::Damaged : Opening::Failed;
        }
    }
    // WAL lets the window read while a vtr8ctl writes; a file that cannot
    // change its journal keeps the one it has.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    return migrateHistory(db, HistoryStore::SchemaVersion, error) ? Opening::Ok : Opening::Failed;
}

} // namespace

bool HistoryStore::open()
{
    if (opened_)
        return true;
    if (!enabled())
        return false;
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        close();
        const Opening result = openConnection(connection_, path_, error);
        if (result == Opening::Ok) {
            opened_ = true;
            return true;
        }
        close();
        if (result == Opening::NoDriver) {
            tellOnce(QStringLiteral("Historii převodů nelze vést: chybí ovladač databáze SQLite "
                                    "(QSQLITE). Převody tím nejsou dotčeny."));
            return false;
        }
        if (result != Opening::Damaged || attempt > 0)
            break;
        const QString aside =
            path_ + QStringLiteral(".poskozeny-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(path_, aside))
            break;
        QFile::remove(path_ + QStringLiteral("-wal"));
        QFile::remove(path_ + QStringLiteral("-shm"));
        if (notify_)
            notify_(QStringLiteral("Soubor historie „%1“ je poškozen. Byl přesunut na „%2“ a je "
                                   "založen nový.")
                        .arg(path_, aside));
    }
    tellUnwritable(error);
    return false;
}

void HistoryStore::tellUnwritable(const QString& error)
{
    // The window writes a waiting record with its next one; a vtr8ctl run has no next one.
    tellOnce(QStringLiteral("Do historie převodů „%1“ nelze zapisovat (%2). Převody tím nejsou "
                            "dotčeny; záznam zůstává jen v paměti programu.")
                 .arg(path_, error));
}

void HistoryStore::add(HistoryRecord record)
{
    if (!enabled())
        return;
    pending_.push_back(std::move(record));
    flush();
}

bool HistoryStore::flush()
{
    if (!open())
        return false;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        while (!pending_.empty() && error.isEmpty()) {
            if (insert(db, pending_.front(), error))
                pending_.pop_front();
        }
    }
    if (error.isEmpty())
        return true;
    close();
    tellUnwritable(error);
    return false;
}

bool HistoryStore::records(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                           bool withDetails)
{
    out.clear();
    if (!open())
        return false;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QString sql = QString::fromLatin1(selectColumns);
    if (withDetails)
        sql += QString::fromLatin1(detailColumns);
    sql += QStringLiteral(" FROM records WHERE 1");
    QStringList binds;
    if (filter.since) {
        sql += QStringLiteral(" AND started >= ?");
        binds << timeText(filter.since->startOfDay());
    }
    if (filter.until) {
        sql += QStringLiteral(" AND started < ?");
        binds << timeText(filter.until->addDays(1).startOfDay());
    }
    if (filter.operation) {
        sql += QStringLiteral(" AND operation = ?");
        binds << operationKey(*filter.operation);
    }
    if (filter.result) {
        sql += QStringLiteral(" AND result = ?");
        binds << resultKey(*filter.result);
    }
    sql += QStringLiteral(" ORDER BY started, id");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QString& b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        if (notify_)
            notify_(QStringLiteral("Historii převodů „%1“ nelze přečíst (%2).")
                        .arg(path_, q.lastError().text()));
        return false;
    }
    while (q.next()) {
        HistoryRecord r = fromQuery(q, withDetails);
        if (!filter.note.isEmpty() && !contains(r.note, filter.note))
            continue;
        if (!matchesText(r, filter.text))
            continue;
        out.push_back(std::move(r));
    }
    return true;
}

std::optional<HistoryRecord> HistoryStore::record(qint64 id)
{
    if (!open())
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    q.prepare(QString::fromLatin1(selectColumns) + QString::fromLatin1(detailColumns) +
              QStringLiteral(" FROM records WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return fromQuery(q, true);
}

QString historyPath(const QString& option, bool disabled)
{
    if (disabled)
        return {};
    if (!option.isEmpty())
        return option;
    const QString env = qEnvironmentVariable("VTR8_HISTORY");
    if (!env.isEmpty())
        return env;
    // The window and vtr8ctl are two applications of one organisation: both keep
    // the one file of the organisation's VTR8 folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ZN/VTR8/history.sqlite");
}

} // namespace vtr8
