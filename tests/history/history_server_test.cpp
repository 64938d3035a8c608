// The history on a PostgreSQL server the test starts itself: several programs at once,
// a server that stops or freezes during a run, the spool delivered once.
#include "history/history_store.h"
#include "pg_cluster.h"
#include "support/core_application.h"
#include "support/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace vtr8 {
namespace {

using test::PgCluster;
using test::SimProcess;

struct Told {
    QStringList messages;
    HistoryStore::Notify notify()
    {
        return [this](const QString& m) { messages << m; };
    }
};

HistoryRecord sample(const QString& note)
{
    HistoryRecord r;
    r.started = QDateTime::currentDateTime();
    r.ended = r.started.addMSecs(1500);
    r.program = QStringLiteral("vtr8");
    r.port = QStringLiteral("COM3");
    r.note = note;
    r.operation = HistoryOperation::Note;
    return r;
}

class HistoryServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureCoreApplication();
        QString why;
        cluster = PgCluster::shared(why);
        if (!cluster)
            GTEST_SKIP() << why.toStdString();
        qputenv("PGPASSWORD", PgCluster::password().toUtf8());
        ASSERT_TRUE(dir.isValid());
        spool = dir.filePath(QStringLiteral("spool.sqlite"));
    }
    // Notes of every record on the server, oldest first.
    QStringList notes(const QString& url)
    {
        HistoryStore reader(url, told.notify(), spool);
        std::vector<HistoryRecord> all;
        EXPECT_TRUE(reader.records({}, all));
        QStringList out;
        for (const HistoryRecord& r : all)
            out << r.note;
        return out;
    }
    // vtr8ctl with its own data folder (and so its own spool) and the password in the
    // environment, as a technician's shell would have it.
    void startCtl(QProcess& p, const QString& url, const QStringList& arguments,
                  const QString& dataHome = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.isEmpty() ? dir.path() : dataHome);
        env.insert(QStringLiteral("PGPASSWORD"), PgCluster::password());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VTR8CTL_EXECUTABLE),
                (url.isEmpty() ? QStringList() : QStringList{QStringLiteral("--history"), url}) +
                    arguments);
        p.closeWriteChannel();
    }
    int ctl(const QString& url, const QStringList& arguments, QString* err = nullptr,
            const QString& dataHome = {}) const
    {
        QProcess p;
        startCtl(p, url, arguments, dataHome);
        p.waitForFinished(120000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    static QStringList noteWrite(const SimProcess& sim, const QString& note)
    {
        return {QStringLiteral("--port"), sim.devicePath(),        QStringLiteral("--yes"),
                QStringLiteral("note"),   QStringLiteral("write"), note};
    }

    PgCluster* cluster = nullptr;
    QTemporaryDir dir;
    QString spool;
    Told told;
};

TEST_F(HistoryServer, RecordComesBackWholeWithWhoAndWhere)
{
    const QString url = cluster->url(QStringLiteral("whole"));
    HistoryRecord r = sample(QStringLiteral("Kotel 3 – výstup"));
    r.operation = HistoryOperation::WriteVerify;
    r.firmware = 14;
    r.typeBytes = QByteArray("\x0d\xf9", 2);
    r.messages = {QStringLiteral("řádek, s \"uvozovkami\"\n2")};
    r.configuration = QByteArray("Konfigura\xe8n\xed data\r\n\0x", 20);
    r.memoryImage = QByteArray(2048, '\xff');
    r.readings = {{0, 0.12, 0.12, 0.06}};
    {
        HistoryStore store(url, told.notify(), spool);
        EXPECT_TRUE(store.onServer());
        store.add(r);
        EXPECT_EQ(store.pendingCount(), 0);
    }
    HistoryStore store(url, told.notify(), spool);
    std::vector<HistoryRecord> all;
    ASSERT_TRUE(store.records({}, all));
    ASSERT_EQ(all.size(), 1u);
    const std::optional<HistoryRecord> back = store.record(all[0].id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->started, r.started);
    EXPECT_EQ(back->note, r.note);
    EXPECT_EQ(back->messages, r.messages);
    EXPECT_EQ(back->configuration, r.configuration);
    EXPECT_EQ(back->memoryImage, r.memoryImage);
    EXPECT_EQ(back->typeBytes, r.typeBytes);
    EXPECT_DOUBLE_EQ(back->readings.at(0).spanPercent, 0.06);
    EXPECT_FALSE(back->operatorName.isEmpty());
    EXPECT_FALSE(back->computer.isEmpty());
    EXPECT_EQ(back->uid.size(), 36);
    EXPECT_EQ(cluster->query(QStringLiteral("whole"), QStringLiteral("SELECT version FROM "
                                                                     "schema_version")),
              QString::number(HistoryStore::SchemaVersion));
    EXPECT_TRUE(told.messages.isEmpty()) << told.messages.join('\n').toStdString();

    // Without the password the server refuses; the record waits in the spool.
    qunsetenv("PGPASSWORD");
    HistoryStore refused(url, told.notify(), spool);
    refused.add(sample(QStringLiteral("bez hesla")));
    EXPECT_EQ(refused.pendingCount(), 1);
    ASSERT_EQ(told.messages.size(), 1);
    EXPECT_TRUE(told.messages[0].contains(QStringLiteral("čekajících záznamů: 1")))
        << told.messages[0].toStdString();
}

// A window's store stays open while the server restarts: its next record and its next
// listing take a fresh connection instead of waiting in the spool.
TEST_F(HistoryServer, RestartedServerIsReconnected)
{
    const QString url = cluster->url(QStringLiteral("restart"));
    HistoryStore window(url, told.notify(), spool);
    window.add(sample(QStringLiteral("před")));
    ASSERT_TRUE(cluster->stop());
    ASSERT_TRUE(cluster->start());
    window.add(sample(QStringLiteral("po")));
    EXPECT_EQ(window.pendingCount(), 0);
    ASSERT_TRUE(cluster->stop());
    ASSERT_TRUE(cluster->start());
    std::vector<HistoryRecord> all;
    ASSERT_TRUE(window.records({}, all));
    EXPECT_EQ(all.size(), 2u);
    EXPECT_TRUE(told.messages.isEmpty()) << told.messages.join('\n').toStdString();
}

constexpr int recordsPerProcess = 150;

int writeRecords(const QString& url, int writer, const QString& spool)
{
    HistoryStore store(url, {}, spool);
    for (int i = 0; i < recordsPerProcess; ++i)
        store.add(sample(QStringLiteral("w%1-%2").arg(writer).arg(i, 3, 10, QLatin1Char('0'))));
    return store.pendingCount();
}

// Run by ThreeWritersAtOnce as a program of its own; does nothing otherwise.
TEST(HistoryServerWriterProcess, WritesItsRecords)
{
    const QStringList job = qEnvironmentVariable("VTR8_TEST_SERVER_WRITER").split(QLatin1Char('|'));
    if (job.size() != 3)
        GTEST_SKIP() << "only as a writer process";
    test::EnsureCoreApplication();
    EXPECT_EQ(writeRecords(job[0], job[1].toInt(), job[2]), 0);
}

TEST_F(HistoryServer, ThreeWritersAtOnce)
{
    const QString url = cluster->url(QStringLiteral("speed"));
    // The schema first, so that the writers measure records, not the migration.
    EXPECT_TRUE(notes(url).isEmpty());
    std::vector<std::unique_ptr<QProcess>> writers;
    QElapsedTimer clock;
    clock.start();
    for (int w = 0; w < 3; ++w) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VTR8_TEST_SERVER_WRITER"),
                   QStringLiteral("%1|%2|%3").arg(url).arg(w).arg(spool));
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=HistoryServerWriterProcess.*")});
        ASSERT_TRUE(p->waitForStarted());
        writers.push_back(std::move(p));
    }
    for (auto& p : writers) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardOutput().constData();
    }
    const double seconds = clock.elapsed() / 1000.0;
    const QStringList all = notes(url);
    ASSERT_EQ(all.size(), 3 * recordsPerProcess);
    for (int w = 0; w < 3; ++w) {
        const QStringList mine = all.filter(QRegularExpression(QStringLiteral("^w%1-").arg(w)));
        QStringList sorted = mine;
        sorted.sort();
        EXPECT_EQ(mine, sorted) << "writer " << w;
    }
    std::printf("three writers: %d records in %.2f s, %.0f records/s (with program starts)\n",
                3 * recordsPerProcess, seconds, 3 * recordsPerProcess / seconds);
    RecordProperty("records_per_second", static_cast<int>(3 * recordsPerProcess / seconds));
}

// Three vtr8ctl writing notes into three transmitters and a window's store, all at once.
TEST_F(HistoryServer, ThreeVtr8ctlAndAWindowOnOneServer)
{
    constexpr int perWriter = 8;
    const QString url = cluster->url(QStringLiteral("team"));
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (int i = 0; i < 3; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        ASSERT_TRUE(sims.back()->start());
    }
    std::atomic<int> failed{0};
    const auto writer = [&](int w) {
        for (int i = 0; i < perWriter; ++i)
            if (ctl(url, noteWrite(*sims[w], QStringLiteral("c%1-%2").arg(w).arg(i))) != 0)
                ++failed;
    };
    std::vector<std::thread> threads;
    for (int w = 0; w < 3; ++w)
        threads.emplace_back(writer, w);
    {
        HistoryStore window(url, told.notify(), spool);
        for (int i = 0; i < perWriter; ++i) {
            window.add(sample(QStringLiteral("okno-%1").arg(i)));
            QThread::msleep(150);
        }
        EXPECT_EQ(window.pendingCount(), 0);
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(told.messages.isEmpty()) << told.messages.join('\n').toStdString();

    const QStringList all = notes(url);
    ASSERT_EQ(all.size(), 4 * perWriter);
    for (const QString prefix : {"c0-", "c1-", "c2-", "okno-"}) {
        QStringList expected;
        for (int i = 0; i < perWriter; ++i)
            expected << prefix + QString::number(i);
        EXPECT_EQ(all.filter(QRegularExpression(QLatin1Char('^') + prefix)), expected);
    }
    // Each vtr8ctl record names who and where.
    HistoryStore reader(url, told.notify(), spool);
    std::vector<HistoryRecord> records;
    ASSERT_TRUE(reader.records({}, records));
    for (const HistoryRecord& r : records) {
        EXPECT_FALSE(r.computer.isEmpty());
        EXPECT_FALSE(r.operatorName.isEmpty());
    }
}

// The server stops in the middle of a run: the transfers complete, their records wait in
// the spool and arrive once when it is back, though two programs deliver at the same time.
TEST_F(HistoryServer, StoppedServerLosesAndDoublesNothing)
{
    const QString url = cluster->url(QStringLiteral("outage"));
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    ASSERT_EQ(ctl(url, noteWrite(sim, QStringLiteral("pred"))), 0);
    ASSERT_TRUE(cluster->stop());
    for (int i = 0; i < 3; ++i) {
        QString err;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ctl(url, noteWrite(sim, QStringLiteral("behem-%1").arg(i)), &err), 0);
        EXPECT_LT(clock.elapsed(), 20000);
        EXPECT_EQ(err.count(QStringLiteral("čekajících záznamů: %1").arg(i + 1)), 1)
            << err.toStdString();
    }
    ASSERT_TRUE(cluster->start());

    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> deliverers;
    for (int i = 0; i < 2; ++i) {
        deliverers.push_back(std::make_unique<QProcess>());
        startCtl(*deliverers.back(), url, {QStringLiteral("history")});
    }
    QStringList told;
    for (auto& p : deliverers) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0);
        told << QString::fromUtf8(p->readAllStandardError());
    }
    std::printf("spool of 3 records delivered by two programs at once in %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(told.join(QString()).count(QStringLiteral("doručeno 3 čekajících")), 1)
        << told.join('\n').toStdString();
    EXPECT_EQ(notes(url), (QStringList{"pred", "behem-0", "behem-1", "behem-2"}));
}

// A server that takes the connection and answers nothing costs a transfer the connect
// time-out and no more; the record arrives later.
TEST_F(HistoryServer, FrozenServerCostsAtMostTheConnectTimeout)
{
    const QString url = cluster->url(QStringLiteral("frozen"));
    EXPECT_TRUE(notes(url).isEmpty());
    SimProcess sim;
    ASSERT_TRUE(sim.start());
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(ctl(QString(), QStringList{QStringLiteral("--no-history")} +
                                 noteWrite(sim, QStringLiteral("bez historie"))),
              0);
    const qint64 plain = clock.restart();
    ASSERT_TRUE(cluster->freeze(true));
    QString err;
    const int status = ctl(url, noteWrite(sim, QStringLiteral("zamrzly")), &err);
    const qint64 frozen = clock.elapsed();
    ASSERT_TRUE(cluster->freeze(false));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(err.contains(QStringLiteral("čekajících záznamů: 1"))) << err.toStdString();
    const qint64 lost = frozen - plain;
    std::printf("a frozen server costs a transfer %lld ms (%lld ms against %lld ms)\n",
                static_cast<long long>(lost), static_cast<long long>(frozen),
                static_cast<long long>(plain));
    EXPECT_LE(lost, HistoryStore::ConnectTimeoutS * 1000 + 800);

    // The next program delivers it.
    EXPECT_EQ(ctl(url, {QStringLiteral("history")}), 0);
    EXPECT_EQ(notes(url), QStringList{QStringLiteral("zamrzly")});
}

} // namespace
} // namespace vtr8
