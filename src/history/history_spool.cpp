#include "history/history_spool.h"

#include "configuration/file_io.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace vtr8 {
namespace {

QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray fromBase64(const QJsonValue& v)
{
    return QByteArray::fromBase64(v.toString().toLatin1());
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

QString recordToJson(const HistoryRecord& r)
{
    QJsonArray readings;
    for (const CheckReading& c : r.readings)
        readings.append(QJsonArray{c.reference, c.value, c.deviation, c.spanPercent});
    const QJsonObject o{{QStringLiteral("uid"), r.uid},
                        {QStringLiteral("started"), r.started.toUTC().toString(Qt::ISODateWithMs)},
                        {QStringLiteral("ended"), r.ended.toUTC().toString(Qt::ISODateWithMs)},
                        {QStringLiteral("program"), r.program},
                        {QStringLiteral("operator"), r.operatorName},
                        {QStringLiteral("computer"), r.computer},
                        {QStringLiteral("port"), r.port},
                        {QStringLiteral("firmware"), r.firmware},
                        {QStringLiteral("typeBytes"), base64(r.typeBytes)},
                        {QStringLiteral("note"), r.note},
                        {QStringLiteral("operation"), operationKey(r.operation)},
                        {QStringLiteral("result"), resultKey(r.result)},
                        {QStringLiteral("messages"), QJsonArray::fromStringList(r.messages)},
                        {QStringLiteral("configuration"), base64(r.configuration)},
                        {QStringLiteral("configurationNull"), r.configuration.isNull()},
                        {QStringLiteral("memoryImage"), base64(r.memoryImage)},
                        {QStringLiteral("blocks"), QJsonArray::fromStringList(r.blocks)},
                        {QStringLiteral("unit"), r.unit},
                        {QStringLiteral("readings"), readings}};
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

HistoryRecord recordFromJson(const QString& text)
{
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    const auto s = [&o](const char* name) { return o.value(QLatin1String(name)).toString(); };
    const auto strings = [&o](const char* name) {
        QStringList out;
        for (const QJsonValue& v : o.value(QLatin1String(name)).toArray())
            out << v.toString();
        return out;
    };
    HistoryRecord r;
    r.uid = s("uid");
    r.started = QDateTime::fromString(s("started"), Qt::ISODateWithMs).toLocalTime();
    r.ended = QDateTime::fromString(s("ended"), Qt::ISODateWithMs).toLocalTime();
    r.program = s("program");
    r.operatorName = s("operator");
    r.computer = s("computer");
    r.port = s("port");
    r.firmware = o.value(QLatin1String("firmware")).toInt(-1);
    r.typeBytes = fromBase64(o.value(QLatin1String("typeBytes")));
    r.note = s("note");
    r.operation = operationFromKey(s("operation")).value_or(HistoryOperation::Read);
    r.result = resultFromKey(s("result")).value_or(HistoryResult::Failed);
    r.messages = strings("messages");
    if (!o.value(QLatin1String("configurationNull")).toBool())
        r.configuration = fromBase64(o.value(QLatin1String("configuration")));
    r.memoryImage = fromBase64(o.value(QLatin1String("memoryImage")));
    r.blocks = strings("blocks");
    r.unit = s("unit");
    for (const QJsonValue& v : o.value(QLatin1String("readings")).toArray()) {
        const QJsonArray a = v.toArray();
        r.readings.push_back(
            {a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble()});
    }
    return r;
}

HistorySpool::HistorySpool(QString path) : path_(std::move(path))
{
    static QAtomicInt counter;
    connection_ = QStringLiteral("vtr8-spool-%1").arg(counter.fetchAndAddRelaxed(1));
}

HistorySpool::~HistorySpool()
{
    close();
}

void HistorySpool::close()
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

bool HistorySpool::open(QString& error)
{
    if (opened_)
        return true;
    if (path_.isEmpty()) {
        error = QStringLiteral("není kam");
        return false;
    }
    if (isForeignLinkInSharedFolder(path_)) {
        error = QStringLiteral("cizí symbolický odkaz ve sdílené složce");
        return false;
    }
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        error = db.lastError().text();
        close();
        return false;
    }
    if (!exec(db,
              QStringLiteral("CREATE TABLE IF NOT EXISTS waiting (seq INTEGER PRIMARY KEY "
                             "AUTOINCREMENT, destination TEXT NOT NULL, uid TEXT NOT NULL, "
                             "record TEXT NOT NULL)"),
              error)) {
        db = QSqlDatabase();
        close();
        return false;
    }
    opened_ = true;
    return true;
}

bool HistorySpool::keep(const QString& destination, const std::deque<HistoryRecord>& records,
                        QString& error)
{
    if (!open(error))
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), error))
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO waiting (destination, uid, record) VALUES (?, ?, ?)"));
    for (const HistoryRecord& r : records) {
        q.addBindValue(destination);
        q.addBindValue(r.uid);
        q.addBindValue(recordToJson(r));
        if (!q.exec()) {
            error = q.lastError().text();
            QString ignored;
            exec(db, QStringLiteral("ROLLBACK"), ignored);
            return false;
        }
    }
    if (exec(db, QStringLiteral("COMMIT"), error))
        return true;
    QString ignored;
    exec(db, QStringLiteral("ROLLBACK"), ignored);
    return false;
}

int HistorySpool::count(const QString& destination)
{
    // No file yet: nothing waits, and nothing is created for asking.
    if (!opened_ && !QFileInfo::exists(path_))
        return 0;
    QString error;
    if (!open(error))
        return 0;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT count(*) FROM waiting WHERE destination = ?"));
    q.addBindValue(destination);
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

int HistorySpool::deliver(const QString& destination,
                          const std::function<bool(const HistoryRecord&)>& deliverOne)
{
    if (!opened_ && !QFileInfo::exists(path_))
        return 0;
    QString error;
    if (!open(error))
        return 0;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // The write lock first: a second program delivering from this file waits, then
    // finds the records gone.
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), error))
        return 0;
    std::vector<std::pair<qint64, QString>> waiting;
    {
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("SELECT seq, record FROM waiting WHERE destination = ? ORDER BY seq"));
        q.addBindValue(destination);
        if (q.exec())
            while (q.next())
                waiting.emplace_back(q.value(0).toLongLong(), q.value(1).toString());
    }
    int delivered = 0;
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM waiting WHERE seq = ?"));
    for (const auto& [seq, text] : waiting) {
        if (!deliverOne(recordFromJson(text)))
            break;
        remove.addBindValue(seq);
        if (!remove.exec())
            break;
        ++delivered;
    }
    if (!exec(db, QStringLiteral("COMMIT"), error)) {
        QString ignored;
        exec(db, QStringLiteral("ROLLBACK"), ignored);
        return 0;
    }
    return delivered;
}

QString defaultSpoolPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ZN/VTR8/history-spool.sqlite");
}

} // namespace vtr8
