#pragma once

#include <QString>

class QSqlDatabase;

namespace vtr8 {

// Brings the file to `target` one version at a time (PRAGMA user_version), in
// one transaction, so a second program opening the file meanwhile sees either
// the old schema or the new one. False with `error` set otherwise; a file of a
// newer version than this program knows is left alone.
[[nodiscard]] bool migrateHistory(QSqlDatabase& db, int target, QString& error);

} // namespace vtr8
