#pragma once

#include <QHash>
#include <QString>

class QDateTime;
class QSqlDatabase;

namespace vtr8 {

// What differs between the embedded SQLite file and a PostgreSQL server: column
// types, where the schema's version is kept (PRAGMA user_version there, a table of
// its own here) and how a migration keeps a second program out.
struct HistoryDialect {
    bool server = false;

    QString driver() const;
    // A statement with {ID} and {BLOB} in the dialect's own types.
    QString sql(const char* statement) const;
    // The insert's tail that skips a record already there (the same uid).
    static QString skipKnown() { return QStringLiteral(" ON CONFLICT (uid) DO NOTHING"); }
};

// Brings the store to `target` one version at a time, in one transaction, so a second
// program opening it meanwhile sees either the old schema or the new one. False with
// `error` set otherwise; a store of a newer version than this program knows is left alone.
[[nodiscard]] bool migrateHistory(QSqlDatabase& db, const HistoryDialect& dialect, int target,
                                  QString& error);

// The identities of records written before records had one, read in the order of their
// ids: the same file read twice gives the same texts, and two equal records two texts.
class LegacyUids {
public:
    QString next(const QString& started, const QString& ended, const QString& program,
                 const QString& port, const QString& operation, const QString& note);

private:
    QHash<QString, int> seen_;
};

} // namespace vtr8
