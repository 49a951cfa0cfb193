// The connection to a register's server and the stations' presence there,
// against the real PostgreSQL server that ctest starts for these tests
// (scripts/test-server.sh, the fixture "server" in tests/CMakeLists.txt).
#include "platform/server/ServerConnection.h"
#include "platform/server/ServerEngine.h"
#include "platform/server/ServerStatement.h"
#include "platform/server/ServerTables.h"
#include "platform/server/StationPresence.h"
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <thread>

using namespace fundora;
namespace ErrorCode = platform::ErrorCode;
using platform::ServerConnection;
using platform::ServerRows;
using platform::StationPresence;

class ServerConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each test works in a schema of its own, removed at the end.
        m_schema = QStringLiteral("t_%1").arg(QCoreApplication::applicationPid());
        ServerConnection admin(uri());
        ASSERT_TRUE(admin.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema)).ok());
        ASSERT_TRUE(admin.exec(QStringLiteral("CREATE SCHEMA %1").arg(m_schema)).ok());
    }
    void TearDown() override { ServerConnection(uri()).exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema)); }
    // The server is started by ctest before these tests (the fixture "server").
    static QString uri() { return QStringLiteral(FUNDORA_TEST_SERVER); }
    static void restartServer()
    {
        const int rc = QProcess::execute(QStringLiteral("bash"), {QStringLiteral(FUNDORA_TEST_SERVER_SCRIPT), QStringLiteral("restart"),
                                                                  QStringLiteral(FUNDORA_TEST_SERVER_DIR)});
        ASSERT_EQ(rc, 0);
    }
    QString table() const { return m_schema + QStringLiteral(".notes"); }
    // A session that ends lets its locks go as its server process exits, a
    // moment later: the count is read again until it is `expected` (at most 5 s).
    static int othersOnceSettled(StationPresence& presence, ServerConnection& on, int expected)
    {
        int count = -1;
        for (int tries = 0; tries < 500; ++tries) {
            if (!presence.others(count).ok() || count == expected)
                break;
            on.exec(QStringLiteral("SELECT pg_sleep(0.01)"));
        }
        return count;
    }
    QString m_schema;
};

TEST_F(ServerConnectionTest, HostileWordsAreStoredAsTheyAreAndNeverBecomeSql)
{
    ServerConnection c(uri());
    ASSERT_TRUE(c.exec(QStringLiteral("CREATE TABLE %1 (id serial PRIMARY KEY, body text NOT NULL)").arg(table())).ok());
    const QStringList words{QStringLiteral("'); DROP TABLE %1; --").arg(table()), QStringLiteral("O'Brien \\\\ \"quoted\" $1 $$"),
                            QStringLiteral("Caf\u00e9 \u202Eexe.GNP"), QStringLiteral("%_ LIKE *"), QString(2000, u'x')};
    for (const QString& w : words)
        ASSERT_TRUE(c.exec(QStringLiteral("INSERT INTO %1 (body) VALUES ($1)").arg(table()), {w}).ok()) << w;
    ServerRows rows;
    ASSERT_TRUE(c.exec(QStringLiteral("SELECT body FROM %1 ORDER BY id").arg(table()), {}, &rows).ok());
    ASSERT_EQ(rows.rows.size(), static_cast<std::size_t>(words.size()));
    for (int i = 0; i < words.size(); ++i)
        EXPECT_EQ(rows.value(static_cast<std::size_t>(i), 0), words[i]);
    // A text the server cannot hold (a NUL would cut it short) is the store's "does not fit", and nothing is written.
    const platform::FileError nul = c.exec(QStringLiteral("INSERT INTO %1 (body) VALUES ($1)").arg(table()), {QStringLiteral("a\u0000b")});
    EXPECT_EQ(nul.code, ErrorCode::InvalidValue) << nul.text;
    const platform::FileError twice = c.exec(QStringLiteral("INSERT INTO %1 (id, body) VALUES (1, 'again')").arg(table()));
    EXPECT_EQ(twice.code, ErrorCode::DuplicateKey) << twice.text;
    ASSERT_TRUE(c.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table()), {}, &rows).ok());
    EXPECT_EQ(rows.value(0, 0), QString::number(words.size()));
    // The store's statements write ? for each value; a ? in quoted text or a quoted name stays as it is.
    platform::ServerStatement st(c, QStringLiteral("SELECT '?''?' || ? AS \"why?\", ? + 1"));
    st.bindAll({words.front(), std::int64_t{41}});
    ASSERT_EQ(st.step(), platform::StoreStatement::Row) << st.error().text;
    EXPECT_EQ(st.text(0), QStringLiteral("?'?") + words.front());
    EXPECT_EQ(st.integer(1), 42);
    EXPECT_EQ(st.step(), platform::StoreStatement::Done);
}

TEST_F(ServerConnectionTest, StationsAreSeenFromAnyConnectionAndARestoreWaitsUntilTheyLeave)
{
    ServerConnection first(uri()), second(uri()), utility(uri()), late(uri()), elsewhere(uri());
    StationPresence firstHere(first, m_schema), secondHere(second, m_schema), restore(utility, m_schema), lateHere(late, m_schema);
    ASSERT_TRUE(firstHere.announce().ok());
    ASSERT_TRUE(secondHere.announce().ok());
    // A station of another register in the same database is not one of this register's.
    StationPresence otherRegister(elsewhere, m_schema + QStringLiteral("_other"));
    ASSERT_TRUE(otherRegister.announce().ok());
    int count = -1;
    ASSERT_TRUE(restore.others(count).ok());
    EXPECT_EQ(count, 2);
    bool alone = true;
    ASSERT_TRUE(restore.holdAlone(alone).ok());
    EXPECT_FALSE(alone);

    // One station ends; the other's connection is cut by the server (a
    // computer switched off): both are gone without saying so.
    first.disconnect();
    ServerRows pid;
    ASSERT_TRUE(second.exec(QStringLiteral("SELECT pg_backend_pid()"), {}, &pid).ok());
    ASSERT_TRUE(utility.exec(QStringLiteral("SELECT pg_terminate_backend($1::int)"), {pid.value(0, 0)}).ok());
    EXPECT_EQ(othersOnceSettled(restore, utility, 0), 0);
    ASSERT_TRUE(restore.holdAlone(alone).ok());
    EXPECT_TRUE(alone);

    // While the restore holds the register, a station starting is told so.
    const platform::FileError refused = lateHere.announce();
    EXPECT_EQ(refused.code, ErrorCode::FileLocked);
    EXPECT_TRUE(refused.text.endsWith(QStringLiteral("a restore of the register is running"))) << refused.text;
    ASSERT_TRUE(restore.release().ok());
    EXPECT_TRUE(lateHere.announce().ok());
    ASSERT_TRUE(restore.others(count).ok());
    EXPECT_EQ(count, 1);
}

TEST_F(ServerConnectionTest, AStoreOnTheServerIsAStationThatARestoreWaitsForAndThatCannotStartDuringOne)
{
    auto storeHere = [&] { return std::make_unique<platform::Store>(std::make_unique<platform::ServerEngine>(uri(), m_schema)); };
    ServerConnection utility(uri());
    StationPresence restore(utility, m_schema);
    {
        const auto station = storeHere();
        platform::DataFile file(*station, test::sampleDef());
        ASSERT_TRUE(file.create().ok());
        ASSERT_TRUE(file.open().ok());
        int count = -1;
        ASSERT_TRUE(restore.others(count).ok());
        EXPECT_EQ(count, 1) << "an open register on the server is a station there";
        bool alone = true;
        ASSERT_TRUE(restore.holdAlone(alone).ok());
        EXPECT_FALSE(alone);
    }
    EXPECT_EQ(othersOnceSettled(restore, utility, 0), 0) << "a station that closes leaves";
    bool alone = false;
    ASSERT_TRUE(restore.holdAlone(alone).ok());
    ASSERT_TRUE(alone);
    const auto late = storeHere();
    platform::DataFile file(*late, test::sampleDef());
    const platform::FileError refused = file.open();
    EXPECT_EQ(refused.code, ErrorCode::FileLocked);
    EXPECT_TRUE(refused.text.endsWith(QStringLiteral("a restore of the register is running"))) << refused.text;
    ASSERT_TRUE(restore.release().ok());
    EXPECT_TRUE(file.open().ok());
}

TEST_F(ServerConnectionTest, ARoleThatMayOnlyConnectAndOwnsItsSchemaKeepsAWholeRegister)
{
    // The rights the README asks for: CONNECT on the database (every role's by default) and a schema of its own.
    const QString role = QStringLiteral("limited_%1").arg(QCoreApplication::applicationPid());
    QString adminUri = uri();
    adminUri.replace(QStringLiteral("user=fundora_test"), QStringLiteral("user=postgres"));
    ServerConnection admin(adminUri);
    admin.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
    admin.exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    ASSERT_TRUE(admin.exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role)).ok());
    ASSERT_TRUE(admin.exec(QStringLiteral("CREATE SCHEMA %1 AUTHORIZATION %2").arg(m_schema, role)).ok());
    auto dropRole = qScopeGuard([&] {
        admin.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        admin.exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    });
    QString roleUri = uri();
    roleUri.replace(QStringLiteral("user=fundora_test"), QStringLiteral("user=") + role);
    {
        platform::Store store(std::make_unique<platform::ServerEngine>(roleUri, m_schema));
        platform::FileDef def = test::sampleDef();
        def.keptTotals = platform::FileDef::KeptTotals{{}, test::SfAmount};
        platform::DataFile file(store, def);
        ASSERT_TRUE(file.create().ok()) << store.lastError().text;
        ASSERT_TRUE(file.open().ok()) << store.lastError().text;
        platform::Record r = test::sample(1, QStringLiteral("kept"), "12.50");
        ASSERT_TRUE(store.begin().ok());
        ASSERT_TRUE(file.add(r).ok()) << store.lastError().text;
        r.values[test::SfName] = QStringLiteral("changed");
        ASSERT_TRUE(file.put(r).ok()) << store.lastError().text;
        ASSERT_TRUE(store.commit().ok());
        std::int64_t sum = 0;
        ASSERT_TRUE(file.sum(test::SfAmount, sum).ok());
        EXPECT_EQ(sum, 1250);
        EXPECT_TRUE(store.keepsTotals(def));
        ServerConnection elsewhere(roleUri);
        EXPECT_FALSE(elsewhere.exec(QStringLiteral("CREATE SCHEMA %1_more").arg(m_schema)).ok()) << "and no right beyond them";
    }
}

TEST_F(ServerConnectionTest, ARestartedServerFailsTheWorkInProgressWholeAndTheNextActionConnectsAgain)
{
    ServerConnection c(uri());
    ASSERT_TRUE(c.exec(QStringLiteral("CREATE TABLE %1 (id serial PRIMARY KEY, body text NOT NULL)").arg(table())).ok());
    ASSERT_TRUE(c.exec(QStringLiteral("BEGIN")).ok());
    ASSERT_TRUE(c.exec(QStringLiteral("INSERT INTO %1 (body) VALUES ('half')").arg(table())).ok());
    restartServer();
    const platform::FileError lost = c.exec(QStringLiteral("INSERT INTO %1 (body) VALUES ('after')").arg(table()));
    EXPECT_EQ(lost.code, ErrorCode::StoreFailure);
    EXPECT_TRUE(lost.text.contains(QStringLiteral("the connection to the server of the register"))) << lost.text;
    EXPECT_FALSE(c.isConnected());
    // The rest of the transaction never runs outside it on a new connection.
    const platform::FileError refused = c.exec(QStringLiteral("INSERT INTO %1 (body) VALUES ('outside')").arg(table()));
    EXPECT_TRUE(refused.text.contains(QStringLiteral("in the middle of a transaction; nothing of it was written"))) << refused.text;
    EXPECT_FALSE(c.exec(QStringLiteral("COMMIT")).ok());
    ASSERT_TRUE(c.exec(QStringLiteral("ROLLBACK")).ok());
    ServerRows rows;
    ASSERT_TRUE(c.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table()), {}, &rows).ok());
    EXPECT_EQ(rows.value(0, 0), QStringLiteral("0"));
}

TEST_F(ServerConnectionTest, AStoreWorkingThroughARestartReportsTheCutActionAndGoesOnWithNothingLost)
{
    platform::Store store(std::make_unique<platform::ServerEngine>(uri(), m_schema));
    platform::DataFile file(store, test::sampleDef());
    ASSERT_TRUE(file.create().ok());
    ASSERT_TRUE(file.open().ok());
    platform::Record kept = test::sample(1, QStringLiteral("kept"), "1.00");
    ASSERT_TRUE(file.add(kept).ok());
    // Cut in the middle of a transaction: its writes fail, the rollback ends it, nothing of it stays.
    ASSERT_TRUE(store.begin().ok());
    platform::Record cut = test::sample(1, QStringLiteral("cut"), "2.00");
    ASSERT_TRUE(file.add(cut).ok());
    restartServer();
    platform::Record after = test::sample(1, QStringLiteral("after the cut"), "3.00");
    const platform::FileError failed = file.add(after);
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.text.contains(QStringLiteral("was lost"))) << failed.text;
    EXPECT_FALSE(store.commit().ok()) << "the cut transaction never commits";
    store.rollback();
    EXPECT_FALSE(store.inTransaction());
    // The next action connects again, the station is present again, and the register is as before the cut.
    platform::Record next = test::sample(1, QStringLiteral("next"), "4.00");
    ASSERT_TRUE(store.begin().ok()) << store.lastError().text;
    ASSERT_TRUE(file.add(next).ok());
    ASSERT_TRUE(store.commit().ok());
    std::int64_t count = 0, sum = 0;
    ASSERT_TRUE(file.count(count).ok());
    ASSERT_TRUE(file.sum(test::SfAmount, sum).ok());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sum, 500);
    ServerConnection utility(uri());
    StationPresence restore(utility, m_schema);
    EXPECT_EQ(othersOnceSettled(restore, utility, 1), 1);
}

TEST_F(ServerConnectionTest, AServerThatCannotBeReachedIsAClearErrorThatNeverShowsThePassword)
{
    QTemporaryDir nowhere;
    ServerConnection c(QStringLiteral("postgresql://fundora_test:s3cret@/fundora_test?host=%1&port=5").arg(nowhere.path()));
    const platform::FileError e = c.exec(QStringLiteral("SELECT 1"));
    EXPECT_EQ(e.code, ErrorCode::StoreFailure);
    EXPECT_TRUE(e.text.contains(QStringLiteral("the server of the register (postgresql://fundora_test:***@/fundora_test?host="))) << e.text;
    EXPECT_FALSE(e.text.contains(QStringLiteral("s3cret")));
    EXPECT_EQ(platform::withoutPassword(QStringLiteral("host=db user=me password='a b' sslmode=require")),
              QStringLiteral("host=db user=me password=*** sslmode=require"));
    EXPECT_EQ(platform::withoutPassword(QStringLiteral("postgresql://me@db/reg?password=x&sslmode=require")),
              QStringLiteral("postgresql://me@db/reg?password=***&sslmode=require"));
}

TEST_F(ServerConnectionTest, AMissingFileIsMadeOnceAndAFileOfAnotherLayoutIsRefusedAsItIs)
{
    const platform::FileDef def = test::sampleDef();
    auto columns = [&](ServerConnection& on) {
        ServerRows rows;
        on.exec(QStringLiteral("SELECT string_agg(column_name || ' ' || data_type, ', ' ORDER BY ordinal_position) FROM "
                               "information_schema.columns WHERE table_schema = $1 AND table_name = $2"),
                {m_schema, def.label}, &rows);
        return rows.value(0, 0);
    };
    // Another station is making the file: this one waits for it, then finds it made.
    ServerConnection other(uri()), station(uri());
    ASSERT_TRUE(other.exec(QStringLiteral("BEGIN")).ok());
    ASSERT_TRUE(other
                    .exec(QStringLiteral("SELECT pg_advisory_xact_lock($1::int, hashtext($2))"),
                          platform::RegisterLocks::keys(platform::RegisterLocks::TableCreation, m_schema))
                    .ok());
    platform::FileError opened = platform::FileError::of(ErrorCode::StoreFailure);
    std::thread starting([&] { opened = platform::openServerTable(station, def, m_schema); });
    auto finish = qScopeGuard([&] {
        other.exec(QStringLiteral("ROLLBACK")); // lets the waiting station go, whatever happened here
        starting.join();
    });
    ServerRows waiting;
    for (int tries = 0; tries < 500 && waiting.value(0, 0) != u"1"; ++tries)
        other.exec(QStringLiteral("SELECT (SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND NOT granted AND classid = "
                                  "$1::int AND objid = hashtext($2)::oid), pg_sleep(0.01)"),
                   platform::RegisterLocks::keys(platform::RegisterLocks::TableCreation, m_schema), &waiting);
    ASSERT_EQ(waiting.value(0, 0), QStringLiteral("1")) << "the starting station never waited for the one making the file";
    QStringList making{platform::schema::createTable(def, m_schema, platform::schema::Dialect::Postgres)};
    making << platform::schema::createIndexes(def, m_schema, platform::schema::Dialect::Postgres)
           << QStringLiteral("COMMENT ON TABLE %1 IS 'fundora layout 1'").arg(platform::schema::qualifiedTable(def, m_schema));
    for (const QString& sql : making)
        ASSERT_TRUE(other.exec(sql).ok()) << sql;
    ASSERT_TRUE(other.exec(QStringLiteral("COMMIT")).ok());
    finish.dismiss();
    starting.join();
    EXPECT_TRUE(opened.ok()) << opened.text;
    const QString made = columns(other);
    EXPECT_TRUE(made.startsWith(QStringLiteral("id bigint, seq bigint, rowversion bigint, Owner bigint, Name text"))) << made;

    // Another layout version, a column added by hand, a table of something else: 47, and nothing changed.
    platform::FileDef newer = def;
    newer.layoutVersion = 2;
    EXPECT_EQ(platform::openServerTable(station, newer, m_schema).code, ErrorCode::LayoutDiffers);
    ASSERT_TRUE(
        other.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN \"Extra\" text").arg(platform::schema::qualifiedTable(def, m_schema))).ok());
    const QString altered = columns(other);
    EXPECT_EQ(platform::openServerTable(station, def, m_schema).code, ErrorCode::LayoutDiffers);
    EXPECT_EQ(columns(other), altered);
    ASSERT_TRUE(other.exec(QStringLiteral("DROP TABLE %1").arg(platform::schema::qualifiedTable(def, m_schema))).ok());
    ASSERT_TRUE(
        other.exec(QStringLiteral("CREATE TABLE %1 (\"id\" int, \"Note\" text)").arg(platform::schema::qualifiedTable(def, m_schema)))
            .ok());
    EXPECT_EQ(platform::openServerTable(station, def, m_schema).code, ErrorCode::LayoutDiffers);
    EXPECT_EQ(columns(other), QStringLiteral("id integer, Note text"));
}

TEST_F(ServerConnectionTest, KeptTotalsFollowEveryWriteAndAreMadeAgainFromTheRecords)
{
    for (const bool grouped : {true, false}) {
        SCOPED_TRACE(grouped ? "grouped by owner and name" : "the whole file");
        platform::FileDef def = test::sampleDef();
        def.keptTotals =
            platform::FileDef::KeptTotals{grouped ? std::vector<int>{test::SfOwner, test::SfName} : std::vector<int>{}, test::SfAmount};
        ServerConnection c(uri());
        const QString table = platform::schema::qualifiedTable(def, m_schema);
        const QString totals = platform::schema::qualifiedKeptTotals(def, m_schema);
        c.exec(QStringLiteral("DROP TABLE IF EXISTS %1, %2 CASCADE").arg(table, totals));
        ASSERT_TRUE(platform::openServerTable(c, def, m_schema).ok()) << "made with its kept totals";
        // The totals worked out again from the records, against the kept ones (a group whose count fell to 0 may stay, at 0).
        const QString fresh = grouped
                                  ? QStringLiteral("SELECT \"Owner\", \"Name\", count(*), sum(\"Amount\") FROM %1 GROUP BY 1, 2").arg(table)
                                  : QStringLiteral("SELECT 0, count(*), sum(\"Amount\") FROM %1 HAVING count(*) <> 0").arg(table);
        const QString kept = QStringLiteral("SELECT %1, \"Count\", \"Sum\" FROM %2 WHERE \"Count\" <> 0 OR \"Sum\" <> 0")
                                 .arg(grouped ? QStringLiteral("\"Owner\", \"Name\"") : QStringLiteral("\"Whole\""), totals);
        auto same = [&] {
            ServerRows differing;
            const platform::FileError e = c.exec(
                QStringLiteral("SELECT count(*) FROM ((%1 EXCEPT %2) UNION ALL (%2 EXCEPT %1)) AS d").arg(fresh, kept), {}, &differing);
            return e.ok() && differing.value(0, 0) == u"0";
        };
        // Writes of every kind, as any program on the server makes them: a record's group and amount changed, moved, deleted.
        QRandomGenerator random(11);
        const QStringList names{QStringLiteral("apple"), QStringLiteral("Apple"), QStringLiteral("\u00e4rger"), QStringLiteral("")};
        for (int step = 0; step < 300; ++step) {
            const QString owner = QString::number(random.bounded(3)), name = names[random.bounded(4)];
            const QString amount = QString::number(static_cast<qint64>(random.bounded(200001)) - 100000);
            const QString someRow =
                QStringLiteral("(SELECT \"id\" FROM %1 ORDER BY \"id\" OFFSET %2 LIMIT 1)").arg(table).arg(random.bounded(8));
            QString sql;
            switch (random.bounded(4)) {
            case 0:
                sql = QStringLiteral("UPDATE %1 SET \"Owner\" = $1::bigint, \"Name\" = $2, \"Amount\" = $3::bigint WHERE \"id\" = %2")
                          .arg(table, someRow);
                break;
            case 1:
                sql = QStringLiteral("DELETE FROM %1 WHERE \"id\" = %2 AND $1::text || $2 || $3 IS NOT NULL").arg(table, someRow);
                break;
            default:
                sql = QStringLiteral(
                          "INSERT INTO %1 (\"seq\", \"Owner\", \"Name\", \"Amount\", \"Code\") VALUES (0, $1::bigint, $2, $3::bigint, "
                          "'#' || gen_random_uuid())")
                          .arg(table);
            }
            const platform::FileError written = c.exec(sql, {owner, name, amount});
            ASSERT_TRUE(written.ok()) << sql << "\n" << written.text;
            ASSERT_TRUE(same()) << "after step " << step << ": " << sql;
        }
        ASSERT_TRUE(c.exec(QStringLiteral("DELETE FROM %1").arg(totals)).ok());
        ASSERT_TRUE(c.exec(platform::schema::fillKeptTotals(def, m_schema)).ok());
        EXPECT_TRUE(same()) << "made again from the records";
    }
}
