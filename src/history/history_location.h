#pragma once

#include <QString>

namespace vtr8 {

// Where the records live: an SQLite file, or a PostgreSQL server named by a URL
// postgresql://USER@HOST:PORT/DATABASE. A text that begins with "postgresql:" (or
// "postgres:") is always a server, never a file name; anything else is a file.
struct HistoryLocation {
    bool server = false;
    QString file; // the SQLite file
    QString host;
    int port = 5432;
    QString user;
    QString database;
    // Further libpq options from the URL's query (sslmode=require, ...).
    QString options;
    // Why the URL cannot be used; empty when it can.
    QString error;

    // For messages and the settings: the URL as given, never a password.
    QString display() const;
    // The spool's key: the same server, user and database give the same text.
    QString key() const;
};

bool isServerLocation(const QString& text);
HistoryLocation parseHistoryLocation(const QString& text);

} // namespace vtr8
