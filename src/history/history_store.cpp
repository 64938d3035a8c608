#include "history/history_store.h"

#include "configuration/file_io.h"
#include "history/history_identity.h"
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
#include <QUuid>

#include <csignal>

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
        contains(operationText(r.operation), text) || contains(resultText(r.result), text) ||
        contains(r.operatorName, text) || contains(r.computer, text))
        return true;
    for (const QString& m : r.messages)
        if (contains(m, text))
            return true;
    return false;
}

const char* const selectColumns =
    "SELECT id, started, ended, program, port, operation, result, note, messages, firmware, "
    "type_bytes, unit, readings, operator, computer, uid";
const char* const detailColumns = ", configuration, memory_image, blocks";

// A null text would be bound as NULL.
QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// False with `error` set; a record the store has already (the same uid) is skipped and
// `added` stays false.
bool insert(QSqlDatabase& db, const HistoryRecord& r, QString& error, bool* added = nullptr)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
                  "INSERT INTO records (started, ended, program, port, operation, result, note, "
                  "messages, configuration, firmware, type_bytes, memory_image, blocks, readings, "
                  "unit, operator, computer, uid) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)") +
              HistoryDialect::skipKnown());
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
    q.addBindValue(notNull(r.operatorName));
    q.addBindValue(notNull(r.computer));
    q.addBindValue(r.uid);
    if (q.exec()) {
        if (added)
            *added = q.numRowsAffected() > 0;
        return true;
    }
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
    r.operatorName = q.value(13).toString();
    r.computer = q.value(14).toString();
    r.uid = q.value(15).toString();
    if (withDetails) {
        r.configuration = q.value(16).toByteArray();
        r.memoryImage = q.value(17).toByteArray();
        r.blocks = stringsFromText(q.value(18).toString());
    }
    return r;
}

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

HistoryStore::HistoryStore(QString location, Notify notify, QString spoolPath)
    : path_(std::move(location)), location_(parseHistoryLocation(path_)),
      notify_(std::move(notify)), spool_(std::move(spoolPath))
{
    dialect_.server = location_.server;
    static QAtomicInt counter;
    connection_ = QStringLiteral("vtr8-history-%1").arg(counter.fetchAndAddRelaxed(1));
    // The drivers' libraries are loaded now, before a transfer starts its threads: Wine's
    // loader faults when a library with thread-local storage comes in while the serial
    // port's threads run (a write recorded from vtr8ctl.exe ended in a page fault).
    if (enabled()) {
        const QString probe = connection_ + QStringLiteral("-driver");
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), probe);
        QSqlDatabase::removeDatabase(probe);
        if (location_.server) {
            QSqlDatabase::addDatabase(dialect_.driver(), probe);
            QSqlDatabase::removeDatabase(probe);
        }
#ifdef SIGXFSZ
        // A file-size limit below what the store needs makes a write fail as any other
        // instead of ending the program after its transfer.
        std::signal(SIGXFSZ, SIG_IGN);
#endif
    }
}

HistoryStore::~HistoryStore()
{
    close();
}

void HistoryStore::relocate(const QString& location)
{
    close();
    path_ = location;
    location_ = parseHistoryLocation(path_);
    dialect_.server = location_.server;
    failedAt_ = -1;
    told_ = false;
    toldWaiting_ = false;
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

bool HistoryStore::openOnce(QString& error, bool& damagedFile)
{
    damagedFile = false;
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect_.driver(), connection_);
    if (!db.isValid()) {
        error = QStringLiteral("chybí ovladač databáze %1").arg(dialect_.driver());
        return false;
    }
    if (location_.server) {
        db.setHostName(location_.host);
        db.setPort(location_.port);
        db.setUserName(location_.user);
        db.setDatabaseName(location_.database);
        // No password here: the client library takes it from PGPASSWORD or the
        // password file itself.
        // A network that goes away after the connection is noticed within seconds too (the
        // kernel gives up on unacknowledged data, keepalives on a silent line).
        QString options = QStringLiteral("connect_timeout=%1;tcp_user_timeout=10000;"
                                         "keepalives_idle=5;keepalives_interval=2;"
                                         "keepalives_count=3")
                              .arg(ConnectTimeoutS);
        if (!location_.options.isEmpty())
            options += QLatin1Char(';') + location_.options;
        db.setConnectOptions(options);
        if (!db.open()) {
            error = db.lastError().text().trimmed();
            failedAt_ = now();
            return false;
        }
        return migrateHistory(db, dialect_, SchemaVersion, error);
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    db.setDatabaseName(path_);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryStore::BusyTimeoutMs));
    if (!db.open()) {
        error = db.lastError().text();
        return false;
    }
    {
        // A damaged page behind an intact header shows only when it is read.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("PRAGMA quick_check"))) {
            error = probe.lastError().text();
            damagedFile = damaged(probe.lastError());
            return false;
        }
        if (probe.next() && probe.value(0).toString() != QLatin1String("ok")) {
            error = probe.value(0).toString();
            damagedFile = true;
            return false;
        }
    }
    // WAL lets the window read while a vtr8ctl writes; a file that cannot
    // change its journal keeps the one it has.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    return migrateHistory(db, dialect_, SchemaVersion, error);
}

bool HistoryStore::moveAside()
{
    close();
    const QString aside = path_ + QStringLiteral(".poskozeny-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::rename(path_, aside))
        return false;
    QFile::remove(path_ + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    if (notify_)
        notify_(QStringLiteral("Soubor historie „%1“ je poškozen. Byl přesunut na „%2“ a je "
                               "založen nový.")
                    .arg(path_, aside));
    return true;
}

bool HistoryStore::open()
{
    if (opened_)
        return true;
    if (!enabled())
        return false;
    QString& error = lastError_;
    error.clear();
    if (!location_.error.isEmpty())
        error = location_.error;
    else if (location_.server && failedAt_ >= 0 && now() - failedAt_ < RetryAfterMs)
        error = QStringLiteral("server byl před chvílí nedostupný");
    else if (!location_.server && isForeignLinkInSharedFolder(path_))
        error = QStringLiteral("je to symbolický odkaz jiného uživatele ve sdílené složce; "
                               "historie ho nenásleduje");
    if (!error.isEmpty()) {
        spoolPending(error);
        return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        close();
        bool damagedFile = false;
        if (openOnce(error, damagedFile)) {
            opened_ = true;
            failedAt_ = -1;
            const int delivered = spool_.deliver(location_.key(), [this](const HistoryRecord& r) {
                QString ignored;
                QSqlDatabase db = QSqlDatabase::database(connection_, false);
                return insert(db, r, ignored);
            });
            if (delivered > 0 && notify_)
                notify_(QStringLiteral("Do historie převodů „%1“ bylo doručeno %2 čekajících "
                                       "záznamů.")
                            .arg(path())
                            .arg(delivered));
            return true;
        }
        close();
        if (!damagedFile || attempt > 0 || !moveAside())
            break;
    }
    spoolPending(error);
    return false;
}

void HistoryStore::spoolPending(const QString& error)
{
    if (pending_.empty())
        return;
    QString spoolError;
    if (spool_.keep(location_.key(), pending_, spoolError)) {
        pending_.clear();
        tellOnce(QStringLiteral("Do historie převodů „%1“ nelze zapisovat (%2). Převody tím nejsou "
                                "dotčeny; záznam čeká v souboru „%3“ a bude doručen, až bude "
                                "historie dostupná (čekajících záznamů: %4).")
                     .arg(path(), error, spool_.path())
                     .arg(spool_.count(location_.key())));
        toldWaiting_ = true;
        return;
    }
    // The window writes a waiting record with its next one; a vtr8ctl run has no next one.
    tellOnce(QStringLiteral("Do historie převodů „%1“ nelze zapisovat (%2) a záznam nelze "
                            "odložit ani do souboru „%3“ (%4). Převody tím nejsou dotčeny; "
                            "záznam zůstává jen v paměti programu.")
                 .arg(path(), error, spool_.path(), spoolError));
}

void HistoryStore::add(HistoryRecord record)
{
    if (!enabled())
        return;
    if (record.uid.isEmpty())
        record.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (record.operatorName.isEmpty())
        record.operatorName = historyOperator();
    if (record.computer.isEmpty())
        record.computer = historyComputer();
    pending_.push_back(std::move(record));
    flush();
}

bool HistoryStore::flush()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        QString error;
        bool damagedFile = false;
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            while (!pending_.empty() && error.isEmpty()) {
                if (insert(db, pending_.front(), error))
                    pending_.pop_front();
            }
            if (!error.isEmpty() && !location_.server) {
                // The insert's own error number is gone; a damaged file says so on a check.
                // A file another program holds locked is not damaged: only SQLite's own
                // verdict moves a file aside.
                QSqlQuery check(db);
                damagedFile = check.exec(QStringLiteral("PRAGMA quick_check"))
                                  ? check.next() && check.value(0).toString() != QLatin1String("ok")
                                  : damaged(check.lastError());
            }
        }
        if (error.isEmpty())
            return true;
        close();
        // A server restarted since the connection was made: one fresh connection; a
        // damaged file: moved aside and a new one.
        const bool retry = location_.server || (damagedFile && moveAside());
        if (attempt > 0 || !retry) {
            if (location_.server)
                failedAt_ = now();
            spoolPending(error);
            return false;
        }
    }
    return false;
}

int HistoryStore::pendingCount()
{
    return static_cast<int>(pending_.size()) + spool_.count(location_.key());
}

int HistoryStore::deliverWaiting()
{
    if (!enabled())
        return 0;
    const int before = pendingCount();
    if (before == 0)
        return 0;
    // A server that failed a moment ago is tried again now: the window asks once a minute.
    failedAt_ = -1;
    close();
    flush();
    return before - pendingCount();
}

void HistoryStore::tellWaiting()
{
    if (toldWaiting_ || !enabled())
        return;
    const int waiting = pendingCount();
    if (waiting == 0)
        return;
    toldWaiting_ = true;
    if (notify_)
        notify_(QStringLiteral("Na doručení do historie převodů „%1“ čeká %2 záznamů; budou "
                               "doručeny, až bude historie dostupná.")
                    .arg(path())
                    .arg(waiting));
}

bool HistoryStore::import(const QString& file, ImportResult& result)
{
    result = {};
    const auto fail = [this, &file](const QString& why) {
        if (notify_)
            notify_(QStringLiteral("Historii „%1“ nelze sloučit (%2).").arg(file, why));
        return false;
    };
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("soubor neexistuje"));
    if (!open())
        return fail(QStringLiteral("historii „%1“ nelze otevřít: %2").arg(path(), lastError_));
    std::vector<HistoryRecord> incoming;
    {
        const QString name = connection_ + QStringLiteral("-import");
        {
            QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            source.setDatabaseName(file);
            source.setConnectOptions(
                QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
            QString error;
            int version = 0;
            QSqlQuery q(source);
            if (!source.open() || !q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
                error = source.isOpen() ? q.lastError().text() : source.lastError().text();
            } else if ((version = q.value(0).toInt()) < 1 || version > SchemaVersion) {
                error = QStringLiteral("není to historie převodů, kterou tento program zná");
            } else {
                QString sql = QStringLiteral(
                    "SELECT id, started, ended, program, port, operation, result, note, messages, "
                    "configuration");
                sql += version >= 2 ? QStringLiteral(", firmware, type_bytes, unit, readings, "
                                                     "memory_image, blocks")
                                    : QStringLiteral(", -1, NULL, '', '[]', NULL, '[]'");
                sql += version >= 3 ? QStringLiteral(", operator, computer, uid")
                                    : QStringLiteral(", '', '', NULL");
                sql += QStringLiteral(" FROM records ORDER BY id");
                if (!q.exec(sql))
                    error = q.lastError().text();
                LegacyUids legacy;
                while (error.isEmpty() && q.next()) {
                    HistoryRecord r;
                    r.started = timeFromText(q.value(1).toString());
                    r.ended = timeFromText(q.value(2).toString());
                    r.program = q.value(3).toString();
                    r.port = q.value(4).toString();
                    r.operation =
                        operationFromKey(q.value(5).toString()).value_or(HistoryOperation::Read);
                    r.result = resultFromKey(q.value(6).toString()).value_or(HistoryResult::Failed);
                    r.note = q.value(7).toString();
                    r.messages = stringsFromText(q.value(8).toString());
                    r.configuration = q.value(9).toByteArray();
                    r.firmware = q.value(10).toInt();
                    r.typeBytes = q.value(11).toByteArray();
                    r.unit = q.value(12).toString();
                    r.readings = readingsFromText(q.value(13).toString());
                    r.memoryImage = q.value(14).toByteArray();
                    r.blocks = stringsFromText(q.value(15).toString());
                    r.operatorName = q.value(16).toString();
                    r.computer = q.value(17).toString();
                    r.uid = q.value(18).toString();
                    if (r.uid.isEmpty())
                        r.uid = legacy.next(q.value(1).toString(), q.value(2).toString(), r.program,
                                            r.port, q.value(5).toString(), r.note);
                    incoming.push_back(std::move(r));
                }
            }
            source.close();
            if (!error.isEmpty()) {
                q = QSqlQuery();
                source = QSqlDatabase();
                QSqlDatabase::removeDatabase(name);
                return fail(error);
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QString error;
    db.transaction();
    for (const HistoryRecord& r : incoming) {
        bool added = false;
        if (!insert(db, r, error, &added))
            break;
        ++(added ? result.added : result.known);
    }
    if (!error.isEmpty() || !db.commit()) {
        db.rollback();
        result = {};
        return fail(error.isEmpty() ? db.lastError().text() : error);
    }
    return true;
}

bool HistoryStore::records(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                           bool withDetails)
{
    out.clear();
    // A connection the server dropped (it restarted since) gets one fresh connection.
    const bool connected = opened_;
    bool read = readRecords(filter, out, withDetails);
    if (!read)
        close(); // here, where no query holds the connection any more
    if (!read && location_.server && connected) {
        read = readRecords(filter, out, withDetails);
        if (!read)
            close();
    }
    if (!read && notify_)
        notify_(
            QStringLiteral("Historii převodů „%1“ nelze přečíst (%2).").arg(path(), lastError_));
    return read;
}

bool HistoryStore::readRecords(const HistoryFilter& filter, std::vector<HistoryRecord>& out,
                               bool withDetails)
{
    out.clear();
    if (!open())
        return false;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QString sql = QString::fromLatin1(selectColumns);
    if (withDetails)
        sql += QString::fromLatin1(detailColumns);
    sql += QStringLiteral(" FROM records");
    QStringList conditions;
    QStringList binds;
    if (filter.since) {
        conditions << QStringLiteral("started >= ?");
        binds << timeText(filter.since->startOfDay());
    }
    if (filter.until) {
        conditions << QStringLiteral("started < ?");
        binds << timeText(filter.until->addDays(1).startOfDay());
    }
    if (filter.operation) {
        conditions << QStringLiteral("operation = ?");
        binds << operationKey(*filter.operation);
    }
    if (filter.result) {
        conditions << QStringLiteral("result = ?");
        binds << resultKey(*filter.result);
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY started, id");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QString& b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        lastError_ = q.lastError().text();
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
    if (const QString saved = savedHistoryLocation(); !saved.isEmpty())
        return saved;
    // The window and vtr8ctl are two applications of one organisation: both keep
    // the one file of the organisation's VTR8 folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ZN/VTR8/history.sqlite");
}

} // namespace vtr8
