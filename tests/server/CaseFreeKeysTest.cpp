// A key without case orders and finds records the same in a register on the
// server as in one in a directory: the same table made by the store's schema
// on both engines, the same records, the same reads.
#include "platform/server/ServerConnection.h"
#include "platform/server/ServerStatement.h"
#include "platform/store/Statement.h"
#include "platform/store/StoreSchema.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>

#include <sqlite3.h>

using namespace fundora;
using platform::ServerConnection;

static_assert(SQLITE_ROW == platform::ServerStatement::RowReady && SQLITE_DONE == platform::ServerStatement::Done);
using platform::schema::Dialect;

class CaseFreeKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_schema = QStringLiteral("keys_%1").arg(QCoreApplication::applicationPid());
        ASSERT_TRUE(m_server.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema)).ok());
        ASSERT_TRUE(m_server.exec(QStringLiteral("CREATE SCHEMA %1").arg(m_schema)).ok());
        ASSERT_EQ(sqlite3_open(":memory:", &m_file), SQLITE_OK);
        QStringList fileSql{platform::schema::createTable(m_def, QStringLiteral("main"))};
        fileSql << platform::schema::createIndexes(m_def, QStringLiteral("main"));
        for (const QString& sql : fileSql)
            ASSERT_EQ(platform::Statement(m_file, sql).step(), SQLITE_DONE) << sql;
        QStringList serverSql{platform::schema::createTable(m_def, m_schema, Dialect::Postgres)};
        serverSql << platform::schema::createIndexes(m_def, m_schema, Dialect::Postgres);
        for (const QString& sql : serverSql)
            ASSERT_TRUE(m_server.exec(sql).ok()) << sql;
    }
    void TearDown() override
    {
        m_server.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        sqlite3_close(m_file);
    }

    // Runs one statement of the store's SQL on one engine: the seq of every row it gives.
    std::vector<QString> run(Dialect dialect, const QString& sql, const std::vector<platform::SqlValue>& values)
    {
        auto rowsOf = [&](auto&& statement) {
            statement.bindAll(values);
            std::vector<QString> seqs;
            int result = 0;
            while ((result = statement.step()) == platform::ServerStatement::RowReady)
                seqs.push_back(statement.text(0));
            EXPECT_EQ(result, platform::ServerStatement::Done) << sql;
            return seqs;
        };
        const QString table = platform::schema::qualifiedTable(m_def, dialect == Dialect::Sqlite ? QStringLiteral("main") : m_schema);
        if (dialect == Dialect::Sqlite)
            return rowsOf(platform::Statement(m_file, sql.arg(table)));
        return rowsOf(platform::ServerStatement(m_server, sql.arg(table)));
    }

    void add(std::int64_t owner, const QString& name, std::int64_t day)
    {
        const QString seq = QString::number(++m_added);
        for (Dialect dialect : {Dialect::Sqlite, Dialect::Postgres})
            run(dialect, QStringLiteral("INSERT INTO %1 (\"seq\", \"Owner\", \"Name\", \"Day\", \"Code\") VALUES (?, ?, ?, ?, ?)"),
                {m_added, owner, name, day, QStringLiteral("#") + seq});
    }

    // The seq of every record of `key` in its order, from the first not below
    // `from` (the key's first component; empty: from the start), on one engine.
    std::vector<QString> read(int key, Dialect dialect, const std::optional<QString>& from = {})
    {
        const QStringList order = platform::schema::orderColumns(m_def, key, dialect);
        const platform::KeyPart& first = m_def.keys.at(static_cast<std::size_t>(key)).parts.front();
        const QString where = from ? QStringLiteral(" WHERE %1 >= %2")
                                         .arg(order.front(), platform::schema::orderValue(m_def, first, QStringLiteral("?"), dialect))
                                   : QString();
        std::vector<platform::SqlValue> values;
        if (from)
            values.emplace_back(*from);
        return run(dialect,
                   QStringLiteral("SELECT \"seq\" FROM %1") + where + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")),
                   values);
    }

    platform::FileDef m_def = test::sampleDef();
    ServerConnection m_server{QStringLiteral(FUNDORA_TEST_SERVER)};
    sqlite3* m_file = nullptr;
    QString m_schema;
    int m_added = 0;
};

TEST_F(CaseFreeKeysTest, EveryKeyOrdersAndSeeksTheSameOnBothEngines)
{
    // Letters in every case, what sorts between the cases in ASCII ("_" and
    // "[" lie between "Z" and "a"), digits, blanks, accents and letters that
    // fold outside ASCII, and texts equal but for case (then the order of entry).
    const QStringList names{QStringLiteral("apple"),
                            QStringLiteral("Apple"),
                            QStringLiteral("APPLE"),
                            QStringLiteral("banana"),
                            QStringLiteral("_under"),
                            QStringLiteral("[square"),
                            QStringLiteral("Zebra"),
                            QStringLiteral("zebra"),
                            QStringLiteral("a_b"),
                            QStringLiteral("a-b"),
                            QStringLiteral("10"),
                            QStringLiteral("9"),
                            QStringLiteral(""),
                            QStringLiteral(" space"),
                            QStringLiteral("\u00c4rger"),
                            QStringLiteral("\u00e4rger"),
                            QStringLiteral("\u00e9clair"),
                            QStringLiteral("Eclair"),
                            QStringLiteral("\u00df"),
                            QStringLiteral("SS"),
                            QStringLiteral("\u0130stanbul"),
                            QStringLiteral("istanbul"),
                            QStringLiteral("\U0001F642 smile"),
                            QStringLiteral("a\u0301"),
                            QStringLiteral("\u00e1")};
    for (int i = 0; i < names.size(); ++i)
        add(i % 3, names[i], 20000 + (i * 7) % 11);
    for (int key = 0; key < static_cast<int>(m_def.keys.size()); ++key) {
        SCOPED_TRACE(m_def.keys[static_cast<std::size_t>(key)].name.toStdString());
        const std::vector<QString> inFile = read(key, Dialect::Sqlite);
        ASSERT_EQ(inFile.size(), static_cast<std::size_t>(names.size()));
        EXPECT_EQ(read(key, Dialect::Postgres), inFile);
    }
    // A seek by a name in another case starts at the same record on both.
    const int nameKey = m_def.keyIndex(QStringLiteral("SAM:NameKey"));
    for (const QString& from :
         {QStringLiteral("APPLE"), QStringLiteral("b"), QStringLiteral("ZEBRA"), QStringLiteral("\u00c4"), QStringLiteral("ss")}) {
        SCOPED_TRACE(from.toStdString());
        EXPECT_EQ(read(nameKey, Dialect::Postgres, from), read(nameKey, Dialect::Sqlite, from));
    }
}
