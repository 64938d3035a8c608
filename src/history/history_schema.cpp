#include "history/history_schema.h"

#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace vtr8 {
namespace {

// Version 1 kept what a transfer showed; version 2 adds what it found in the
// transmitter (identity, memory, blocks) and the readings of a check; version 3
// who did it on which computer, and an identity that stays with the record when
// it is delivered late or merged into another store.
const char* const stepTo1[] = {
    "CREATE TABLE records ("
    " id {ID},"
    " started TEXT NOT NULL, ended TEXT NOT NULL,"
    " program TEXT NOT NULL, port TEXT NOT NULL,"
    " operation TEXT NOT NULL, result TEXT NOT NULL,"
    " note TEXT NOT NULL, messages TEXT NOT NULL,"
    " configuration {BLOB})",
    "CREATE INDEX records_started ON records(started)",
};

const char* const stepTo2[] = {
    "ALTER TABLE records ADD COLUMN firmware INTEGER NOT NULL DEFAULT -1",
    "ALTER TABLE records ADD COLUMN type_bytes {BLOB}",
    "ALTER TABLE records ADD COLUMN memory_image {BLOB}",
    "ALTER TABLE records ADD COLUMN blocks TEXT NOT NULL DEFAULT '[]'",
    "ALTER TABLE records ADD COLUMN readings TEXT NOT NULL DEFAULT '[]'",
    "ALTER TABLE records ADD COLUMN unit TEXT NOT NULL DEFAULT ''",
};

const char* const stepTo3[] = {
    "ALTER TABLE records ADD COLUMN operator TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE records ADD COLUMN computer TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE records ADD COLUMN uid TEXT",
};

const char* const stepTo3Index[] = {
    "CREATE UNIQUE INDEX records_uid ON records(uid)",
};

template <std::size_t N>
bool run(QSqlDatabase& db, const HistoryDialect& dialect, const char* const (&statements)[N],
         QString& error)
{
    for (const char* statement : statements) {
        QSqlQuery q(db);
        if (!q.exec(dialect.sql(statement))) {
            error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool exec(QSqlDatabase& db, const QString& statement, QString& error)
{
    QSqlQuery q(db);
    if (q.exec(statement))
        return true;
    error = q.lastError().text();
    return false;
}

// The server keeps the version in a table of its own; a missing table is version 0.
bool readVersion(QSqlDatabase& db, const HistoryDialect& dialect, int& version, QString& error)
{
    QSqlQuery q(db);
    if (!dialect.server) {
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            error = q.lastError().text();
            return false;
        }
        version = q.value(0).toInt();
        return true;
    }
    if (!q.exec(QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL")) || !q.next()) {
        error = q.lastError().text();
        return false;
    }
    version = 0;
    if (!q.value(0).toBool())
        return true;
    if (!q.exec(QStringLiteral("SELECT max(version) FROM schema_version"))) {
        error = q.lastError().text();
        return false;
    }
    if (q.next())
        version = q.value(0).toInt();
    return true;
}

bool writeVersion(QSqlDatabase& db, const HistoryDialect& dialect, int version, QString& error)
{
    if (!dialect.server)
        return exec(db, QStringLiteral("PRAGMA user_version = %1").arg(version), error);
    return exec(db, QStringLiteral("DELETE FROM schema_version"), error) &&
           exec(db, QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(version),
                error);
}

// Takes the store for the migration: the file's write lock, or on the server a lock
// that every program migrating the same database waits for until the commit.
bool begin(QSqlDatabase& db, const HistoryDialect& dialect, QString& error)
{
    if (!dialect.server)
        return exec(db, QStringLiteral("BEGIN IMMEDIATE"), error);
    return exec(db, QStringLiteral("BEGIN"), error) &&
           exec(db, QStringLiteral("SELECT pg_advisory_xact_lock(85087001)"), error) &&
           exec(db,
                QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER "
                               "NOT NULL)"),
                error);
}

// Records written before version 3 get the identity their content gives.
bool giveLegacyUids(QSqlDatabase& db, QString& error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT id, started, ended, program, port, operation, note FROM "
                               "records WHERE uid IS NULL ORDER BY id"))) {
        error = q.lastError().text();
        return false;
    }
    std::vector<std::pair<qint64, QString>> uids;
    LegacyUids legacy;
    while (q.next())
        uids.emplace_back(q.value(0).toLongLong(),
                          legacy.next(q.value(1).toString(), q.value(2).toString(),
                                      q.value(3).toString(), q.value(4).toString(),
                                      q.value(5).toString(), q.value(6).toString()));
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE records SET uid = ? WHERE id = ?"));
    for (const auto& [id, uid] : uids) {
        update.addBindValue(uid);
        update.addBindValue(id);
        if (!update.exec()) {
            error = update.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

QString HistoryDialect::driver() const
{
    return server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
}

QString HistoryDialect::sql(const char* statement) const
{
    QString text = QString::fromLatin1(statement);
    text.replace(QStringLiteral("{ID}"), server ? QStringLiteral("BIGSERIAL PRIMARY KEY")
                                                : QStringLiteral("INTEGER PRIMARY KEY "
                                                                 "AUTOINCREMENT"));
    text.replace(QStringLiteral("{BLOB}"),
                 server ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"));
    return text;
}

QString LegacyUids::next(const QString& started, const QString& ended, const QString& program,
                         const QString& port, const QString& operation, const QString& note)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& part : {started, ended, program, port, operation, note}) {
        hash.addData(part.toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    }
    const QString uid = QStringLiteral("v2-") + QString::fromLatin1(hash.result().toHex().left(32));
    const int seen = seen_[uid]++;
    return seen == 0 ? uid : uid + QLatin1Char('-') + QString::number(seen);
}

bool migrateHistory(QSqlDatabase& db, const HistoryDialect& dialect, int target, QString& error)
{
    int version = 0;
    if (!readVersion(db, dialect, version, error))
        return false;
    if (version == target)
        return true;
    // The lock comes first, so two programs cannot both start the same step; the
    // second one finds the new version below.
    if (!begin(db, dialect, error))
        return false;
    bool ok = readVersion(db, dialect, version, error);
    if (ok && version > target) {
        error = QStringLiteral("historie má verzi %1, tento program zná jen verzi %2")
                    .arg(version)
                    .arg(target);
        ok = false;
    }
    if (ok && version < 1 && target >= 1)
        ok = run(db, dialect, stepTo1, error);
    if (ok && version < 2 && target >= 2)
        ok = run(db, dialect, stepTo2, error);
    if (ok && version < 3 && target >= 3)
        ok = run(db, dialect, stepTo3, error) && giveLegacyUids(db, error) &&
             run(db, dialect, stepTo3Index, error);
    if (ok && version < target)
        ok = writeVersion(db, dialect, target, error);
    if (ok)
        ok = exec(db, QStringLiteral("COMMIT"), error);
    if (!ok) {
        QString ignored;
        exec(db, QStringLiteral("ROLLBACK"), ignored);
    }
    return ok;
}

} // namespace vtr8
