// A register on a server backed up and restored by the utility's command
// line: the same sets as a directory's, round trips record for record, the
// stations' presence, and a restore stopped in the middle of its load.
#include "core/MemoCard.h"
#include "platform/server/ServerConnection.h"
#include "platform/server/StationPresence.h"
#include "platform/store/StoreSchema.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/RegisterRecords.h"
#include "tests/support/ServerLocks.h"
#include "tests/support/Station.h"

#include <QProcess>

using namespace fundora;

namespace {

class ServerBackupTest : public test::BackupTest {
protected:
    void SetUp() override
    {
        test::BackupTest::SetUp();
        if (!onServer())
            GTEST_SKIP() << "runs in the server pass";
        // The user's own directory, where the utility works for a register on a server.
        QDir().mkpath(userDirectory());
        qputenv("FUNDORA_DIR", QFile::encodeName(userDirectory()));
    }
    void TearDown() override
    {
        qunsetenv("FUNDORA_DIR");
        test::BackupTest::TearDown();
    }
    QString userDirectory() const { return path(QStringLiteral("own")); }

    struct Outcome {
        int exitCode = -1;
        QString out, err;
    };
    static Outcome wait(QProcess& p)
    {
        Outcome r;
        if (!p.waitForFinished(120000))
            p.kill();
        p.waitForFinished();
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    static void start(QProcess& p, const QStringList& arguments) { p.start(QStringLiteral(FUNDORA_VAULTINE), arguments); }
    Outcome vaultine(const QStringList& arguments)
    {
        QProcess p;
        start(p, arguments);
        return wait(p);
    }
    QStringList onTheServer(const QStringList& arguments) const { return registerOptions() + arguments; }
    QStringList inDirectory(const QString& directory, const QStringList& arguments) const
    {
        return QStringList{QStringLiteral("--dir"), directory} + arguments;
    }

    // A register of `where` with accounts, charges, and memo cards of long texts with line breaks,
    // tabs, backslashes, quotes and accents (what a copy through the server must escape).
    static void fill(const platform::RegisterPlace& where, int accounts, int charges)
    {
        bookInto(where, 1, accounts, charges, [](core::DataFiles& files, int account) {
            files.memoCards.clear();
            files.memoCards.record.type = QStringLiteral("ACC");
            files.memoCards.record.firstId = account;
            files.memoCards.record.topic = QStringLiteral("Topic \"%1\"\tÄ").arg(account);
            files.memoCards.record.cardMemo =
                QStringLiteral("first line\r\nsecond line\n\\N not a null\t").repeated(90).left(core::MemoCardTextLimit);
            ASSERT_TRUE(files.memoCards.add().ok());
        });
    }

    void stopTheLoadInTheMiddle(const std::function<Outcome(QProcess& utility)>& stop);

    // Accounts whose balance differs from the sum of their transactions, as "SysID: balance / sum".
    static QStringList unbalanced(const platform::RegisterPlace& where)
    {
        core::DataFiles files(where);
        EXPECT_TRUE(core::acquireFile(files, core::FileId::Accounts));
        EXPECT_TRUE(core::acquireFile(files, core::FileId::Transactions));
        const auto table = [&](const platform::FileDef& def) { return platform::schema::qualifiedTable(def, files.store.schemaOf(def)); };
        platform::StoreStatement* read = files.store.cached(
            QStringLiteral("SELECT a.\"SysID\", a.\"AccountBalance\", (SELECT COALESCE(SUM(t.\"TransactionAmount\"), 0) FROM %1 t WHERE "
                           "t.\"SysID\" = a.\"SysID\") FROM %2 a")
                .arg(table(files.transactions.def()), table(files.accounts.def())));
        QStringList out;
        if (!read)
            return {files.store.lastError().text};
        while (read->step() == platform::StoreStatement::Row)
            if (read->integer(1) != read->integer(2))
                out << QStringLiteral("%1: %2 / %3").arg(read->integer(0)).arg(read->integer(1)).arg(read->integer(2));
        read->reset();
        return out;
    }
};

TEST_F(ServerBackupTest, ARegisterGoesFromDirectoryToServerAndBackRecordForRecordThroughSets)
{
    const QString first = path(QStringLiteral("first")), second = path(QStringLiteral("second")), back = path(QStringLiteral("back"));
    fill(platform::RegisterPlace::inDirectory(program), 6, 40);
    const QStringList original = test::registerRecords(platform::RegisterPlace::inDirectory(program));
    ASSERT_GT(original.size(), 250);
    ASSERT_EQ(vaultine(inDirectory(program, {QStringLiteral("--backup"), QStringLiteral("--to"), first})).exitCode, 0);

    // Into the server register (its tables made by a first start, with a record of their own that the restore replaces).
    fill(place(), 1, 1);
    const Outcome restored = vaultine(onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), first}));
    ASSERT_EQ(restored.exitCode, 0) << qPrintable(restored.err);
    EXPECT_TRUE(restored.out.contains(QStringLiteral("into the register on"))) << qPrintable(restored.out);
    EXPECT_EQ(test::registerRecords(place()), original);

    // Out of it into a set (its first: a restore never raises the number of the next backup), and into a new directory.
    const Outcome backedUp = vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), second}));
    ASSERT_EQ(backedUp.exitCode, 0) << qPrintable(backedUp.err);
    EXPECT_TRUE(backedUp.out.contains(QStringLiteral("as set 1 "))) << qPrintable(backedUp.out);
    QDir().mkpath(back);
    QFile::copy(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")), QDir(back).filePath(QStringLiteral("PKLAUNCH.PIF")));
    const Outcome home = vaultine(inDirectory(back, {QStringLiteral("--restore"), QStringLiteral("--from"), second}));
    ASSERT_EQ(home.exitCode, 0) << qPrintable(home.err);
    EXPECT_EQ(test::registerRecords(platform::RegisterPlace::inDirectory(back)), original);

    // The next backup of the server register is set 2: the number lives with the register.
    const Outcome third = vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), path(QStringLiteral("third"))}));
    EXPECT_TRUE(third.out.contains(QStringLiteral("as set 2 "))) << qPrintable(third.out) << qPrintable(third.err);
}

TEST_F(ServerBackupTest, ARestoreIsRefusedWhileAStationWorksAndRunsWhenItHasGone)
{
    fill(place(), 2, 3);
    const QStringList before = test::registerRecords(place());
    ASSERT_EQ(vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), target})).exitCode, 0);
    {
        core::DataFiles station(place());
        ASSERT_TRUE(core::acquireFile(station, core::FileId::Accounts));
        const Outcome refused = vaultine(onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), target}));
        EXPECT_EQ(refused.exitCode, 3);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("at 1 station(s)"))) << qPrintable(refused.err);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("Nothing was restored."))) << qPrintable(refused.err);
    }
    const Outcome restored = vaultine(onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), target}));
    EXPECT_EQ(restored.exitCode, 0) << qPrintable(restored.err);
    EXPECT_EQ(test::registerRecords(place()), before);
}

// A restore stopped by `stop` in the middle of its load, the accounts
// replaced and the transactions not yet: the register is all old afterwards,
// and the next restore runs whole. `stop` returns the utility's outcome.
void ServerBackupTest::stopTheLoadInTheMiddle(const std::function<Outcome(QProcess& utility)>& stop)
{
    fill(place(), 3, 20);
    ASSERT_EQ(vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), target})).exitCode, 0);
    fill(place(), 0, 0);
    {
        core::DataFiles files(place());
        ASSERT_TRUE(core::acquireFile(files, core::FileId::Accounts));
        files.accounts.clear();
        files.accounts.record.sysId = 99;
        files.accounts.record.creditCardVendor = QStringLiteral("Added after the backup");
        ASSERT_TRUE(files.accounts.add().ok());
    }
    const QStringList before = test::registerRecords(place());

    // The test holds the transactions' table, so the load waits there having replaced the accounts already.
    core::DataFiles files(place());
    const QString transactions = platform::schema::qualifiedTable(files.transactions.def(), place().serverSchema);
    platform::ServerConnection holder(place().serverUri);
    ASSERT_TRUE(holder.exec(QStringLiteral("BEGIN; LOCK TABLE %1 IN ACCESS SHARE MODE").arg(transactions)).ok());
    QProcess utility;
    start(utility, onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), target}));
    ASSERT_TRUE(utility.waitForStarted());
    platform::ServerConnection watcher(place().serverUri);
    ASSERT_TRUE(test::blockedOn(watcher, transactions, utility)) << "the load reached the transactions";
    ASSERT_TRUE(test::heldExclusively(watcher, platform::schema::qualifiedTable(files.accounts.def(), place().serverSchema)))
        << "the accounts were replaced already, uncommitted";
    const Outcome stopped = stop(utility);
    holder.exec(QStringLiteral("ROLLBACK"));
    EXPECT_NE(stopped.exitCode, 0);
    EXPECT_EQ(test::registerRecords(place()), before) << "the server undid the load";

    const Outcome again = vaultine(onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), target}));
    EXPECT_EQ(again.exitCode, 0) << qPrintable(again.err);
    EXPECT_NE(test::registerRecords(place()), before);
    // Nothing is left in the user's directory of the stopped run's work, nor of this one's.
    EXPECT_EQ(QDir(userDirectory()).entryList({QStringLiteral(".vaultine-*")}, QDir::AllEntries | QDir::Hidden), QStringList());
}

TEST_F(ServerBackupTest, ARestoreKilledInTheMiddleOfItsLoadLeavesTheRegisterAllOld)
{
    stopTheLoadInTheMiddle([](QProcess& utility) {
        utility.kill();
        return wait(utility);
    });
}

TEST_F(ServerBackupTest, ARestoreMeetingAServerRestartSaysSoAndLeavesTheRegisterAllOld)
{
    stopTheLoadInTheMiddle([](QProcess& utility) {
        EXPECT_EQ(QProcess::execute(QStringLiteral("bash"), {QStringLiteral(FUNDORA_TEST_SERVER_SCRIPT), QStringLiteral("restart"),
                                                             QStringLiteral(FUNDORA_TEST_SERVER_DIR)}),
                  0);
        const Outcome told = wait(utility);
        EXPECT_EQ(told.exitCode, 1);
        EXPECT_TRUE(told.err.contains(QStringLiteral("Nothing was restored; the register is as it was."))) << qPrintable(told.err);
        return told;
    });
}

TEST_F(ServerBackupTest, ABackupTakenWhileTwoStationsBookRestoresToBalancedAccounts)
{
    fill(place(), 2, 0);
    std::vector<std::unique_ptr<QProcess>> stations;
    for (unsigned seed : {21u, 22u})
        stations.push_back(test::Station::start(
            {QStringLiteral("book"), registerArgument(), QString::number(seed - 20), QStringLiteral("3"), QString::number(seed)}));
    // Taken while they book: a station announces itself before its first write.
    platform::ServerConnection watcher(place().serverUri);
    int present = 0;
    for (int look = 0; look < 2000 && present < 2; ++look) {
        platform::StationPresence presence(watcher, place().serverSchema);
        ASSERT_TRUE(presence.others(present).ok());
        stations.front()->waitForFinished(5);
    }
    ASSERT_EQ(present, 2) << "both stations work";
    const Outcome backedUp = vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), target}));
    ASSERT_EQ(backedUp.exitCode, 0) << qPrintable(backedUp.err);
    for (auto& station : stations) {
        ASSERT_TRUE(station->waitForFinished(60000));
        EXPECT_EQ(station->exitCode(), 0);
    }
    EXPECT_EQ(unbalanced(place()), QStringList());

    const QString restored = path(QStringLiteral("restored"));
    QDir().mkpath(restored);
    QFile::copy(QDir(program).filePath(QStringLiteral("PKLAUNCH.PIF")), QDir(restored).filePath(QStringLiteral("PKLAUNCH.PIF")));
    const Outcome home = vaultine(inDirectory(restored, {QStringLiteral("--restore"), QStringLiteral("--from"), target}));
    ASSERT_EQ(home.exitCode, 0) << qPrintable(home.err);
    EXPECT_EQ(unbalanced(platform::RegisterPlace::inDirectory(restored)), QStringList());
}

TEST_F(ServerBackupTest, AStationCutOffBeforeARestoreCannotWriteItsOldRecordOverTheRestoredOne)
{
    fill(place(), 2, 1);
    ASSERT_EQ(vaultine(onTheServer({QStringLiteral("--backup"), QStringLiteral("--to"), target})).exitCode, 0);
    core::DataFiles station(place());
    ASSERT_TRUE(core::acquireFile(station, core::FileId::Accounts));
    station.accounts.clear();
    station.accounts.record.sysId = 1;
    ASSERT_TRUE(station.accounts.get(core::AccSysIDKey).ok());
    // The server cuts the station off (its computer slept, its network went): it is no longer present.
    platform::ServerConnection admin(place().serverUri);
    const QStringList keys = platform::RegisterLocks::keys(platform::RegisterLocks::Stations, place().serverSchema);
    // pg_terminate_backend with a timeout returns once the session has ended (true), so the station is gone then.
    platform::ServerRows ended;
    ASSERT_TRUE(admin
                    .exec(QStringLiteral("SELECT bool_and(pg_terminate_backend(pid, 30000)) FROM pg_locks WHERE locktype = 'advisory' AND "
                                         "classid = $1::int AND objid = hashtext($2)::oid AND objsubid = 2"),
                          keys, &ended)
                    .ok());
    ASSERT_EQ(ended.value(0, 0), QStringLiteral("t"));
    int present = 1;
    ASSERT_TRUE(platform::StationPresence(admin, place().serverSchema).others(present).ok());
    ASSERT_EQ(present, 0);
    const Outcome restored = vaultine(onTheServer({QStringLiteral("--restore"), QStringLiteral("--from"), target}));
    ASSERT_EQ(restored.exitCode, 0) << qPrintable(restored.err);
    const QStringList afterRestore = test::registerRecords(place());

    // Its next write of the record it read before the restore is refused, and says why.
    station.accounts.record.creditCardVendor = QStringLiteral("From before the restore");
    platform::FileError e = station.accounts.put();
    if (!e.ok() && e.code != platform::ErrorCode::ChangedElsewhere)
        e = station.accounts.put(); // the first meets the lost connection; the next connects again
    EXPECT_EQ(e.code, platform::ErrorCode::ChangedElsewhere) << qPrintable(e.text);
    EXPECT_EQ(test::registerRecords(place()), afterRestore);
}

} // namespace
