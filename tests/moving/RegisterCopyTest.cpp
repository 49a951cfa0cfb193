// A register moved from a directory onto a server and back with
// fundora --copy-to, as a user runs it: the real program, its output and
// its exit status.
#include "app/FeatureProcedures.h"
#include "platform/server/ServerConnection.h"
#include "tests/support/RegisterRecords.h"
#include "tests/support/ServerLocks.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QProcess>

using namespace fundora;

namespace {

class RegisterCopyTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        test::ProgramTest::SetUp();
        if (!onServer())
            GTEST_SKIP() << "runs in the server pass";
        app::declareFeatureFiles(); // statements and import records are copied and compared too
        // The user's own directory (the programs' settings, the utility's work) is the test's.
        QDir().mkpath(path(QStringLiteral("own")));
        qputenv("FUNDORA_DIR", QFile::encodeName(path(QStringLiteral("own"))));
        sample = path(QStringLiteral("sample"));
        ASSERT_EQ(fundora({QStringLiteral("--sample"), sample}).exitCode, 0);
    }

    struct Outcome {
        int exitCode = -1;
        QString out, err;
    };
    static Outcome finish(QProcess& p)
    {
        if (!p.waitForFinished(120000))
            p.kill();
        p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    static Outcome fundora(const QStringList& arguments)
    {
        QProcess p;
        p.start(QStringLiteral(FUNDORA_BIN), arguments);
        return finish(p);
    }
    QStringList toServer() const { return {QStringLiteral("--dir"), sample, QStringLiteral("--copy-to"), place().serverUri}; }
    QStringList toDirectory(const QString& directory) const
    {
        return {QStringLiteral("--server"), place().serverUri, QStringLiteral("--copy-to"), directory};
    }

    void TearDown() override
    {
        qunsetenv("FUNDORA_DIR");
        test::ProgramTest::TearDown();
    }

    QString sample;
};

TEST_F(RegisterCopyTest, ARegisterMovesOntoAServerAndBackRecordForRecordAndSaysWhatItChecked)
{
    const QStringList original = test::registerRecords(platform::RegisterPlace::inDirectory(sample));
    ASSERT_GT(original.filter(QStringLiteral("StatementLines|")).size(), 10);
    ASSERT_GT(original.filter(QStringLiteral("ImportedLines|")).size(), 0);
    const Outcome up = fundora(toServer());
    ASSERT_EQ(up.exitCode, 0) << qPrintable(up.err);
    EXPECT_TRUE(up.out.contains(
        QStringLiteral("STMLINES.TPS: %1 records, the same in both").arg(original.filter(QStringLiteral("StatementLines|")).size())))
        << qPrintable(up.out);
    EXPECT_EQ(test::registerRecords(place()), original);

    const QString back = path(QStringLiteral("back"));
    QDir().mkpath(back);
    const Outcome down = fundora(toDirectory(back));
    ASSERT_EQ(down.exitCode, 0) << qPrintable(down.err);
    EXPECT_TRUE(down.out.contains(QStringLiteral("found each the same"))) << qPrintable(down.out);
    EXPECT_EQ(test::registerRecords(platform::RegisterPlace::inDirectory(back)), original);
    EXPECT_EQ(QDir(back).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), QStringList()) << "no work directory is left";

    // A station on the moved register goes on numbering after the copied records.
    core::DataFiles files(place());
    ASSERT_TRUE(core::acquireFile(files, core::FileId::Transactions));
    files.transactions.clear();
    files.transactions.record.sysId = 1;
    ASSERT_TRUE(files.transactions.add().ok()) << qPrintable(files.store.lastError().text);
}

TEST_F(RegisterCopyTest, ACopyIntoARegisterThatHoldsRecordsIsRefusedAndChangesNothing)
{
    ASSERT_EQ(fundora(toServer()).exitCode, 0);
    core::DataFiles files(place());
    ASSERT_TRUE(core::acquireFile(files, core::FileId::Accounts));
    files.accounts.clear();
    files.accounts.record.sysId = 77;
    ASSERT_TRUE(files.accounts.add().ok());
    const QStringList onServer = test::registerRecords(place());
    const Outcome again = fundora(toServer());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("already holds records (in Accounts"))) << qPrintable(again.err);
    EXPECT_EQ(test::registerRecords(place()), onServer);

    const QString used = path(QStringLiteral("used"));
    QDir().mkpath(used);
    QFile::copy(QDir(sample).filePath(QStringLiteral("NOTES.TPS")), QDir(used).filePath(QStringLiteral("notes.tps")));
    const Outcome down = fundora(toDirectory(used));
    EXPECT_EQ(down.exitCode, 1);
    EXPECT_TRUE(down.err.contains(QStringLiteral("already holds data files (notes.tps)"))) << qPrintable(down.err);
    EXPECT_EQ(QDir(used).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("notes.tps")});
}

TEST_F(RegisterCopyTest, ACopyKilledInTheMiddleLeavesTheServerRegisterEmpty)
{
    // The tables are there, empty, as a first start makes them; the test holds the transactions'
    // table, so the copy waits there with the accounts copied, uncommitted; there it is killed.
    core::DataFiles files(place());
    for (core::FileId id : core::allFiles())
        ASSERT_TRUE(core::acquireFile(files, id));
    files.closeAll();
    const QString transactions = platform::schema::qualifiedTable(files.transactions.def(), place().serverSchema);
    platform::ServerConnection admin(place().serverUri);
    ASSERT_TRUE(admin.exec(QStringLiteral("BEGIN; LOCK TABLE %1 IN ACCESS SHARE MODE").arg(transactions)).ok());
    QProcess copy;
    copy.start(QStringLiteral(FUNDORA_BIN), toServer());
    ASSERT_TRUE(copy.waitForStarted());
    platform::ServerConnection watcher(place().serverUri);
    ASSERT_TRUE(test::blockedOn(watcher, transactions, copy)) << "the copy reached the transactions";
    ASSERT_TRUE(test::heldExclusively(watcher, platform::schema::qualifiedTable(files.accounts.def(), place().serverSchema)))
        << "the accounts were copied already, uncommitted";
    copy.kill();
    copy.waitForFinished();
    admin.exec(QStringLiteral("ROLLBACK"));
    const QStringList left = test::registerRecords(place());
    EXPECT_TRUE(left.isEmpty()) << qPrintable(left.first());
    EXPECT_EQ(fundora(toServer()).exitCode, 0) << "the copy runs again whole";
    EXPECT_EQ(test::registerRecords(place()), test::registerRecords(platform::RegisterPlace::inDirectory(sample)));
}

// The sample register (statements, import records, memo cards with line
// breaks) through backup sets: directory, set, server, set, another server
// register and a directory again, each whole.
TEST_F(RegisterCopyTest, ARegisterGoesThroughSetsBetweenDirectoriesAndServersWhole)
{
    const QStringList original = test::registerRecords(platform::RegisterPlace::inDirectory(sample));
    auto vaultine = [](const QStringList& arguments, const QString& schemaName = {}) {
        QProcess p;
        if (!schemaName.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("FUNDORA_SERVER_SCHEMA"), schemaName);
            p.setProcessEnvironment(environment);
        }
        p.start(QStringLiteral(FUNDORA_VAULTINE), arguments);
        return finish(p);
    };
    const QString first = path(QStringLiteral("first")), second = path(QStringLiteral("second"));
    ASSERT_EQ(vaultine({QStringLiteral("--dir"), sample, QStringLiteral("--backup"), QStringLiteral("--to"), first}).exitCode, 0);
    {
        core::DataFiles files(place()); // the server register's tables, as its first start makes them
        for (core::FileId id : core::allFiles())
            ASSERT_TRUE(core::acquireFile(files, id));
    }
    const QStringList server{QStringLiteral("--server"), place().serverUri};
    Outcome r = vaultine(server + QStringList{QStringLiteral("--restore"), QStringLiteral("--from"), first});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(test::registerRecords(place()), original);

    // Out of the server into a set, and into another register on the server (its tables made as a first start makes them).
    r = vaultine(server + QStringList{QStringLiteral("--backup"), QStringLiteral("--to"), second});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const platform::RegisterPlace other = platform::RegisterPlace::onServer(place().serverUri, place().serverSchema + QStringLiteral("_b"));
    {
        core::DataFiles files(other);
        for (core::FileId id : core::allFiles())
            ASSERT_TRUE(core::acquireFile(files, id));
    }
    r = vaultine(server + QStringList{QStringLiteral("--restore"), QStringLiteral("--from"), second}, other.serverSchema);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(test::registerRecords(other), original);
    platform::ServerConnection(place().serverUri).exec(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(other.serverSchema));

    const QString back = path(QStringLiteral("back"));
    QDir().mkpath(back);
    r = vaultine({QStringLiteral("--dir"), back, QStringLiteral("--restore"), QStringLiteral("--from"), second});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(test::registerRecords(platform::RegisterPlace::inDirectory(back)), original);
}

} // namespace
