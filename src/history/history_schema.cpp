#include "history/history_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace vtr8 {
namespace {

// Version 1 kept what a transfer showed; version 2 adds what it found in the
// transmitter (identity, memory, blocks) and the readings of a check.
const char* const stepTo1[] = {
    "CREATE TABLE records ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " started TEXT NOT NULL, ended TEXT NOT NULL,"
    " program TEXT NOT NULL, port TEXT NOT NULL,"
    " operation TEXT NOT NULL, result TEXT NOT NULL,"
    " note TEXT NOT NULL, messages TEXT NOT NULL,"
    " configuration BLOB)",
    "CREATE INDEX records_started ON records(started)",
};

const char* const stepTo2[] = {
    "ALTER TABLE records ADD COLUMN firmware INTEGER NOT NULL DEFAULT -1",
    "ALTER TABLE records ADD COLUMN type_bytes BLOB",
    "ALTER TABLE records ADD COLUMN memory_image BLOB",
    "ALTER TABLE records ADD COLUMN blocks TEXT NOT NULL DEFAULT '[]'",
    "ALTER TABLE records ADD COLUMN readings TEXT NOT NULL DEFAULT '[]'",
    "ALTER TABLE records ADD COLUMN unit TEXT NOT NULL DEFAULT ''",
};

template <std::size_t N>
bool run(QSqlDatabase& db, const char* const (&statements)[N], QString& error)
{
    for (const char* statement : statements) {
        QSqlQuery q(db);
        if (!q.exec(QString::fromLatin1(statement))) {
            error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool userVersion(QSqlDatabase& db, int& version, QString& error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        error = q.lastError().text();
        return false;
    }
    version = q.value(0).toInt();
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

} // namespace

bool migrateHistory(QSqlDatabase& db, int target, QString& error)
{
    int version = 0;
    if (!userVersion(db, version, error))
        return false;
    if (version == target)
        return true;
    // IMMEDIATE takes the write lock first, so two programs cannot both start
    // the same step; the second one finds the new version below.
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), error))
        return false;
    bool ok = userVersion(db, version, error);
    if (ok && version > target) {
        error = QStringLiteral("soubor má verzi %1, tento program zná jen verzi %2")
                    .arg(version)
                    .arg(target);
        ok = false;
    }
    if (ok && version < 1 && target >= 1)
        ok = run(db, stepTo1, error);
    if (ok && version < 2 && target >= 2)
        ok = run(db, stepTo2, error);
    if (ok && version < target)
        ok = exec(db, QStringLiteral("PRAGMA user_version = %1").arg(target), error);
    if (ok)
        ok = exec(db, QStringLiteral("COMMIT"), error);
    if (!ok) {
        QString ignored;
        exec(db, QStringLiteral("ROLLBACK"), ignored);
    }
    return ok;
}

} // namespace vtr8
