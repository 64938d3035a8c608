#include "pg_cluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <csignal>
#include <cstdlib>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vtr8::test {
namespace {

// Debian keeps the server programs out of PATH.
QString serverBinaries()
{
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& v : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath();
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

PgCluster* instance = nullptr;

void stopAtExit()
{
    delete instance;
    instance = nullptr;
}

} // namespace

PgCluster* PgCluster::shared(QString& why)
{
    static bool tried = false;
    static QString failure;
    if (!tried) {
        tried = true;
        auto* cluster = new PgCluster;
        if (cluster->init(failure)) {
            instance = cluster;
            std::atexit(stopAtExit);
        } else {
            delete cluster;
        }
    }
    why = failure;
    return instance;
}

int PgCluster::run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess p;
    QStringList command = {bin_ + QLatin1Char('/') + program};
    command += arguments;
    if (::geteuid() == 0)
        command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"),
                              QStringLiteral("nobody"), QStringLiteral("--")} +
                  command;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), password());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_->path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command.takeFirst(), command);
    if (!p.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool PgCluster::init(QString& why)
{
    bin_ = serverBinaries();
    if (bin_.isEmpty()) {
        why = QStringLiteral("PostgreSQL server programs (initdb, pg_ctl) are not installed");
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vtr8-pg-XXXXXX"));
    if (!dir_->isValid()) {
        why = QStringLiteral("no temporary folder");
        return false;
    }
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr || ::chown(QFile::encodeName(dir_->path()).constData(),
                                         nobody->pw_uid, nobody->pw_gid) != 0) {
            why = QStringLiteral("the folder cannot be handed to the user nobody");
            return false;
        }
    }
    data_ = dir_->filePath(QStringLiteral("data"));
    const QString pwfile = dir_->filePath(QStringLiteral("pw"));
    {
        QFile f(pwfile);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(password().toUtf8() + '\n');
    }
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        (void)::chown(QFile::encodeName(pwfile).constData(), nobody->pw_uid, nobody->pw_gid);
    }
    QString out;
    if (run(QStringLiteral("initdb"),
            {QStringLiteral("-D"), data_, QStringLiteral("-U"), QStringLiteral("vtr8"),
             QStringLiteral("--pwfile=") + pwfile, QStringLiteral("--auth-host=scram-sha-256"),
             QStringLiteral("--auth-local=trust"), QStringLiteral("--no-sync"),
             QStringLiteral("-E"), QStringLiteral("UTF8")},
            &out) != 0) {
        why = QStringLiteral("initdb failed: ") + out;
        return false;
    }
    port_ = freePort();
    if (!start()) {
        why = QStringLiteral("pg_ctl start failed");
        return false;
    }
    return true;
}

bool PgCluster::start()
{
    QString out;
    running_ =
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-D"), data_,
             QStringLiteral("-l"), dir_->filePath(QStringLiteral("log")), QStringLiteral("-o"),
             QStringLiteral("-p %1 -h 127.0.0.1 -k %2 -c max_connections=60")
                 .arg(port_)
                 .arg(dir_->path())},
            &out) == 0;
    return running_;
}

bool PgCluster::stop()
{
    if (!running_)
        return true;
    running_ = run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-m"),
                    QStringLiteral("fast"), QStringLiteral("-D"), data_}) != 0;
    return !running_;
}

bool PgCluster::freeze(bool frozen)
{
    QFile pidFile(data_ + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = static_cast<pid_t>(pidFile.readLine().trimmed().toLongLong());
    return pid > 0 && ::kill(pid, frozen ? SIGSTOP : SIGCONT) == 0;
}

QString PgCluster::query(const QString& database, const QString& sql)
{
    QString out;
    run(QStringLiteral("psql"),
        {QStringLiteral("-h"), dir_->path(), QStringLiteral("-p"), QString::number(port_),
         QStringLiteral("-U"), QStringLiteral("vtr8"), QStringLiteral("-d"), database,
         QStringLiteral("-At"), QStringLiteral("-c"), sql},
        &out);
    return out.trimmed();
}

QString PgCluster::url(const QString& database)
{
    if (!databases_.contains(database)) {
        query(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE \"%1\"").arg(database));
        databases_ << database;
    }
    return QStringLiteral("postgresql://vtr8@127.0.0.1:%1/%2").arg(port_).arg(database);
}

PgCluster::~PgCluster()
{
    freeze(false);
    stop();
}

} // namespace vtr8::test
