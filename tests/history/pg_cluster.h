#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace vtr8::test {

// A private PostgreSQL server for the tests: initdb into a temporary folder (as the user
// "nobody" when the tests run as root, which the server refuses to be), pg_ctl start on a
// free port of 127.0.0.1, password authentication over TCP. One per test program, started
// on first use and stopped when the program ends.
class PgCluster {
public:
    // The shared cluster, or nullptr with `why` set when PostgreSQL is not installed or
    // cannot start.
    static PgCluster* shared(QString& why);

    // postgresql://vtr8@127.0.0.1:PORT/DATABASE; the database is created on first use.
    QString url(const QString& database);
    int port() const { return port_; }
    // The password the tests put into PGPASSWORD; never in a URL.
    static QString password() { return QStringLiteral("heslo-jen-pro-testy"); }

    bool stop();
    bool start();
    // SIGSTOP / SIGCONT to the server: it accepts connections and answers nothing.
    bool freeze(bool frozen);
    // Runs SQL as the superuser; the first line of the output.
    QString query(const QString& database, const QString& sql);

    ~PgCluster();

private:
    PgCluster() = default;
    bool init(QString& why);
    int run(const QString& program, const QStringList& arguments, QString* output = nullptr);

    QString bin_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString data_;
    int port_ = 0;
    bool running_ = false;
    QStringList databases_;
};

} // namespace vtr8::test
