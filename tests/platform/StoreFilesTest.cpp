// Creating, opening, checking and repairing data files.
#include "platform/store/DataFile.h"
#include "platform/store/FileDefinitionText.h"
#include "platform/store/SqliteEngine.h"
#include "platform/store/Store.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <random>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace fundora::platform;
using namespace fundora::test;

namespace {

class StoreFilesTest : public ProgramTest {
protected:
    QString filePath() const { return path(QStringLiteral("SAMPLE.TPS")); }

    // Creates the file with three records and closes it.
    void createWithRecords()
    {
        Store store(dir());
        DataFile file(store, sampleDef());
        ASSERT_TRUE(file.create().ok());
        ASSERT_TRUE(file.open().ok());
        for (const char* name : {"Carol", "alice", "Bob"}) {
            Record r = sample(1, QString::fromLatin1(name), "1.00", 0, QString::fromLatin1(name).left(3));
            ASSERT_TRUE(file.add(r).ok());
        }
        ASSERT_TRUE(file.close().ok());
    }

    // Runs SQL directly on the file, as another tool would.
    void sql(const char* statement)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(filePath()).constData(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, statement, nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }
};

TEST_F(StoreFilesTest, MissingFileReportsCode2AndCreateMakesAPrivateRollbackJournalFile)
{
    Store store(dir());
    DataFile file(store, sampleDef());
    EXPECT_EQ(file.open().code, ErrorCode::NoSuchFile);
    EXPECT_FALSE(QFile::exists(filePath())) << "opening never creates";
    ASSERT_TRUE(file.create().ok());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_TRUE(file.open().ok());
    EXPECT_EQ(file.open().code, ErrorCode::AlreadyOpen);
    Record r = sample(1, QStringLiteral("x"));
    ASSERT_TRUE(file.add(r).ok());
    ASSERT_TRUE(file.close().ok());

    const QByteArray header = readAll(filePath()).left(20);
    EXPECT_TRUE(header.startsWith("SQLite format 3"));
    EXPECT_EQ(header[18], 1) << "rollback journal, never WAL";
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), (QStringList{SqliteEngine::LinkFileName, QStringLiteral("SAMPLE.TPS")}))
        << "nothing is left beside a closed file but the store's link file";
}

TEST_F(StoreFilesTest, AFileReplacedWhileOpenIsReportedPlainly)
{
    createWithRecords();
    Store store(dir());
    DataFile file(store, sampleDef());
    ASSERT_TRUE(file.open().ok());
    Record r;
    file.set(SkCode);
    ASSERT_TRUE(file.next(r).ok());
    // A restore puts another file in its place.
    ASSERT_TRUE(QFile::copy(filePath(), path(QStringLiteral("copy"))));
    ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("copy"))).constData(), QFile::encodeName(filePath()).constData()), 0);
    r.values[SfName] = QStringLiteral("changed");
    const FileError e = file.put(r);
    EXPECT_EQ(e.code, ErrorCode::OperatingSystem);
    EXPECT_TRUE(e.osText.contains(QStringLiteral("replaced or removed by another program"))) << e.osText;
    EXPECT_TRUE(e.osText.contains(QStringLiteral("start it again"))) << e.osText;
}

TEST_F(StoreFilesTest, CreateFailsWithTheOperatingSystemsReason)
{
    // The program directory is a file: no one, root included, can create anything in it.
    writeAll(path(QStringLiteral("notadir")), "x");
    Store store(path(QStringLiteral("notadir")));
    DataFile file(store, sampleDef());
    const FileError e = file.create();
    EXPECT_EQ(e.code, ErrorCode::OperatingSystem);
    EXPECT_EQ(e.osCode, ENOTDIR);
    EXPECT_TRUE(e.osText.startsWith(QStringLiteral("Not a directory"))) << e.osText.toStdString();
}

TEST_F(StoreFilesTest, AFileThatIsNotADatabaseIsReportedAndNotTouched)
{
    const QByteArray junk("this is a letter, not a data file\n");
    writeAll(filePath(), junk);
    Store store(dir());
    DataFile file(store, sampleDef());
    EXPECT_EQ(file.open().code, ErrorCode::LayoutDiffers);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(readAll(filePath()), junk);
}

TEST_F(StoreFilesTest, AnotherProgramsDatabaseOrAnotherLayoutIsLayoutDiffers)
{
    sql("CREATE TABLE other(x); INSERT INTO other VALUES (1);");
    const QByteArray before = readAll(filePath());
    {
        Store store(dir());
        DataFile file(store, sampleDef());
        EXPECT_EQ(file.open().code, ErrorCode::LayoutDiffers);
    }
    EXPECT_EQ(readAll(filePath()), before);

    QFile::remove(filePath());
    FileDef older = sampleDef();
    older.fields.pop_back(); // a layout without the memo
    {
        Store store(dir());
        DataFile file(store, older);
        ASSERT_TRUE(file.create().ok());
    }
    Store store(dir());
    DataFile file(store, sampleDef());
    const FileError e = file.open();
    EXPECT_EQ(e.code, ErrorCode::LayoutDiffers);
}

TEST_F(StoreFilesTest, AMissingKeyMustBeRebuiltAndTheRebuildKeepsEveryRecord)
{
    createWithRecords();
    sql("DROP INDEX SAM_NameKey;");
    Store store(dir());
    DataFile file(store, sampleDef());
    EXPECT_EQ(file.open().code, ErrorCode::KeysMustBeRebuilt);
    EXPECT_FALSE(file.isOpen());
    ASSERT_TRUE(file.rebuildKeys().ok());
    ASSERT_TRUE(file.open().ok());
    file.set(SkName);
    QStringList names;
    Record r;
    while (file.next(r).ok())
        names << r.text(SfName);
    EXPECT_EQ(names, (QStringList{QStringLiteral("alice"), QStringLiteral("Bob"), QStringLiteral("Carol")}));
    struct stat st {};
    ::stat(QFile::encodeName(filePath()).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(StoreFilesTest, DamagedKeyPagesAreFoundAtOpenAndRebuiltFromTheRecords)
{
    // Enough records that the key has pages of its own apart from the records.
    {
        Store store(dir());
        DataFile file(store, sampleDef());
        ASSERT_TRUE(file.create().ok());
        ASSERT_TRUE(file.open().ok());
        ASSERT_TRUE(store.begin().ok());
        for (int i = 0; i < 3000; ++i) {
            Record r = sample(i % 7, QStringLiteral("Name %1").arg(i), "2.50", i, QStringLiteral("C%1").arg(i));
            ASSERT_TRUE(file.add(r).ok());
        }
        ASSERT_TRUE(store.commit().ok());
    }
    // Overwrite the root page of the name key with garbage.
    int root = 0, pageSize = 0;
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(filePath()).constData(), &db);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name='SAM_NameKey'", -1, &st, nullptr);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        root = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &st, nullptr);
        sqlite3_step(st);
        pageSize = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    {
        QFile f(filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(static_cast<qint64>(root - 1) * pageSize);
        f.write(QByteArray(pageSize, '\xA5'));
    }
    Store store(dir());
    DataFile file(store, sampleDef());
    EXPECT_EQ(file.open().code, ErrorCode::KeysMustBeRebuilt);
    ASSERT_TRUE(file.rebuildKeys().ok());
    ASSERT_TRUE(file.open().ok());
    std::int64_t n = 0;
    ASSERT_TRUE(file.count(n).ok());
    EXPECT_EQ(n, 3000);
    Record r;
    file.set(SkName);
    ASSERT_TRUE(file.next(r).ok());
    EXPECT_EQ(r.text(SfName), QStringLiteral("Name 0"));
    EXPECT_FALSE(QFile::exists(filePath() + QStringLiteral(".rebuild")));
}

TEST_F(StoreFilesTest, RecoverOptionIsAcceptedAndUnknownOptionsAreRefused)
{
    Store store(dir());
    DataFile file(store, sampleDef());
    EXPECT_TRUE(file.sendOption(QStringLiteral("Recover=10")).ok());
    EXPECT_TRUE(file.sendOption(QStringLiteral("QUICKSCAN=on")).ok());
    EXPECT_FALSE(file.sendOption(QStringLiteral("Recover=soon")).ok());
    EXPECT_FALSE(file.sendOption(QStringLiteral("TURBO=on")).ok());
}

TEST_F(StoreFilesTest, OperationsOnAClosedFileAreRefused)
{
    Store store(dir());
    DataFile file(store, sampleDef());
    Record r = sample(1, QStringLiteral("x"));
    EXPECT_EQ(file.add(r).code, ErrorCode::FileNotOpen);
    file.set(SkName);
    EXPECT_EQ(file.next(r).code, ErrorCode::FileNotOpen);
}

// A layout kept as text (a server register keeps its files' layouts so) comes
// back whole; text from elsewhere is checked before anything is built from it.
TEST_F(StoreFilesTest, ALayoutKeptAsTextComesBackWholeAndBrokenTextIsRefusedWithItsReason)
{
    FileDef def = sampleDef();
    def.summaryIndexes = {{SfOwner, SfAmount}};
    def.fixedFieldKeys = {{SkOwnerName, 1, SfDay}};
    def.keptTotals = FileDef::KeptTotals{{SfOwner}, SfAmount};
    const QByteArray text = definitionText(def);
    const std::optional<FileDef> back = definitionFromText(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(definitionText(*back), text);
    {
        // A file made from the layout read back is a file of the original layout.
        Store store(dir());
        ASSERT_TRUE(store.create(*back).ok());
        ASSERT_TRUE(store.open(def).ok());
    }

    QString why;
    QByteArray quoted = text;
    quoted.replace("SAM:Name\"", "SAM:Na\\\"me\"");
    EXPECT_FALSE(definitionFromText(quoted, &why).has_value());
    EXPECT_TRUE(why.contains(QStringLiteral("is not a name"))) << qPrintable(why);
    QByteArray outside = text;
    outside.replace("\"sumField\":2", "\"sumField\":60");
    EXPECT_FALSE(definitionFromText(outside, &why).has_value());
    EXPECT_TRUE(why.contains(QStringLiteral("field's index"))) << qPrintable(why);

    // Mutated anywhere: refused with a reason, or a layout whose every index points inside it.
    std::mt19937 random(2026);
    for (int round = 0; round < 3000; ++round) {
        QByteArray mutated = text;
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            mutated[static_cast<qsizetype>(random() % static_cast<unsigned>(mutated.size()))] = static_cast<char>(random() % 128);
        why.clear();
        const std::optional<FileDef> read = definitionFromText(mutated, &why);
        if (!read) {
            EXPECT_FALSE(why.isEmpty());
            continue;
        }
        for (const KeyDef& key : read->keys)
            for (const KeyPart& part : key.parts)
                ASSERT_LT(static_cast<std::size_t>(part.field), read->fields.size());
        if (read->keptTotals) {
            ASSERT_LT(static_cast<std::size_t>(read->keptTotals->sumField), read->fields.size());
        }
        for (const FileDef::FixedFieldKey& fixed : read->fixedFieldKeys)
            ASSERT_LT(static_cast<std::size_t>(fixed.key), read->keys.size());
    }
}

} // namespace
