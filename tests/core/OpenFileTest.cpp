#include "core/OpenFile.h"
#include "platform/store/SqliteEngine.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/Station.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fundora;
using namespace fundora::core;
namespace Button = platform::Button;

namespace {

class OpenFileTest : public test::CoreTest {
protected:
    QString accountsPath() const { return path(QStringLiteral("ACCOUNTS.TPS")); }
    void addAccounts(int n)
    {
        for (int i = 1; i <= n; ++i) {
            files->accounts.clear();
            files->accounts.record.sysId = i;
            files->accounts.record.creditCardVendor = QStringLiteral("Vendor %1").arg(i);
            ASSERT_TRUE(files->accounts.add().ok());
        }
    }
};

TEST_F(OpenFileTest, FirstStartCreatesEveryFileSilently)
{
    for (FileId id : allFiles())
        ASSERT_TRUE(openFile(*files, id));
    EXPECT_TRUE(messages().shown().empty());
    QStringList names = QDir(dir()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, (QStringList{"ACCOUNTS.TPS", "KEPT.TPS", "MEMOCARD.TPS", "NOTES.TPS", "TRANSACT.TPS"})) << "a feature's file too";
}

TEST_F(OpenFileTest, OpenCountsOpenOnceAndCloseOnTheLastRelease)
{
    ASSERT_TRUE(acquireFile(*files, FileId::Transactions));
    ASSERT_TRUE(acquireFile(*files, FileId::Transactions));
    EXPECT_EQ(files->openCount(FileId::Transactions), 2);
    releaseFile(*files, FileId::Transactions);
    EXPECT_TRUE(files->transactions.file().isOpen());
    releaseFile(*files, FileId::Transactions);
    EXPECT_FALSE(files->transactions.file().isOpen());
    releaseFile(*files, FileId::Transactions);
    EXPECT_EQ(files->openCount(FileId::Transactions), 0) << "an extra release does not go below zero";
    {
        FileUse use(*files, FileId::Notes);
        EXPECT_TRUE(use.ok());
        EXPECT_TRUE(files->notes.file().isOpen());
    }
    EXPECT_FALSE(files->notes.file().isOpen());
}

TEST_F(OpenFileTest, AFileAlreadyOpenCountsAsOpened)
{
    ASSERT_TRUE(openFile(*files, FileId::Accounts));
    EXPECT_TRUE(openFile(*files, FileId::Accounts));
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(OpenFileTest, DamagedKeysAskOnceAndYesRebuildsKeepingEveryRecord)
{
    ASSERT_TRUE(openFile(*files, FileId::Accounts));
    addAccounts(5);
    releaseFile(*files, FileId::Accounts);
    files->accounts.file().close();
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(accountsPath()).constData(), &db);
        sqlite3_exec(db, "DROP INDEX ACC_CreditCardVendorKey", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    messages().answer(Button::Yes);
    ASSERT_TRUE(openFile(*files, FileId::Accounts));
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Invalid Key"));
    EXPECT_EQ(messages().shown()[0].text, accountsPath() + QStringLiteral(" key file is invalid.  Do you want to rebuild the key?"));
    files->accounts.set(AccCreditCardVendorKey);
    int n = 0;
    while (files->accounts.next().ok())
        ++n;
    EXPECT_EQ(n, 5);
}

TEST_F(OpenFileTest, DamagedKeysAndNoEndsTheProgramWithInvalidKey)
{
    ASSERT_TRUE(openFile(*files, FileId::Accounts));
    files->accounts.file().close();
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(accountsPath()).constData(), &db);
        sqlite3_exec(db, "DROP INDEX ACC_SysIDKey", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    messages().answer(Button::No);
    messages().answer(Button::Ok);
    EXPECT_FALSE(openFile(*files, FileId::Accounts));
    EXPECT_TRUE(platform::Runtime::halted());
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("Invalid Key!"));
    EXPECT_FALSE(files->accounts.file().isOpen());
}

TEST_F(OpenFileTest, AnotherLayoutEndsWithInvalidFileAndLeavesTheFileAsItWas)
{
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(accountsPath()).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE Accounts(x); INSERT INTO Accounts VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const QByteArray before = test::readAll(accountsPath());
    messages().answer(Button::Ok);
    messages().answer(Button::Ok);
    EXPECT_FALSE(openFile(*files, FileId::Accounts));
    ASSERT_GE(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Invalid File"));
    EXPECT_TRUE(messages().shown()[0].text.startsWith(QStringLiteral("Error: (Invalid Record Declaration")));
    EXPECT_TRUE(messages().shown()[0].text.endsWith(QStringLiteral(") accessing ") + accountsPath() +
                                                    QStringLiteral(".  Press OK to end this application.")));
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("Invalid File!"));
    EXPECT_EQ(test::readAll(accountsPath()), before);
}

TEST_F(OpenFileTest, AFileThatIsNotADatabaseEndsWithInvalidFileAndIsNotOverwritten)
{
    const QByteArray text("Dear Sir, this is my budget.\n");
    test::writeAll(accountsPath(), text);
    EXPECT_FALSE(openFile(*files, FileId::Accounts));
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("Invalid File!"));
    EXPECT_EQ(test::readAll(accountsPath()), text);
}

TEST_F(OpenFileTest, CreationFailureShowsWarning4WithTheSystemsReason)
{
    // A program directory that is a file: creation fails for root as for anyone.
    test::writeAll(path(QStringLiteral("plainfile")), "x");
    DataFiles broken(path(QStringLiteral("plainfile")));
    EXPECT_FALSE(openFile(broken, FileId::Accounts));
    ASSERT_GE(messages().shown().size(), 1u);
    const platform::Message& m = messages().shown()[0];
    EXPECT_EQ(m.title, QStringLiteral("File Creation Error"));
    EXPECT_EQ(m.text, QStringLiteral("Error: (Not a directory (20)) creating ") + path(QStringLiteral("plainfile/ACCOUNTS.TPS")) +
                          QStringLiteral(".  Press OK to end this application."));
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("File Creation Error!"));
}

TEST_F(OpenFileTest, AFileInTheWayThatCannotBeOpenedEndsWithDiskError)
{
    QDir().mkpath(accountsPath()); // a directory where the file should be
    messages().answer(Button::Ok);
    EXPECT_FALSE(openFile(*files, FileId::Accounts));
    ASSERT_GE(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("File Access Error"));
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("Disk Error"));
}

} // namespace

namespace {

// Whether some process waits for a lock on the file with inode `inode` (/proc/locks: "-> FLOCK ...").
bool someoneWaitsOn(ino_t inode)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle = ':' + QByteArray::number(static_cast<qulonglong>(inode)) + ' ';
    for (const QByteArray& line : locks.readAll().split('\n'))
        if (line.contains("->") && line.contains(needle))
            return true;
    return false;
}

TEST(FileCreationRaceTest, ACreatorWhoseTemporaryWasRemovedBeforeItsLockBeginsAgain)
{
    QTemporaryDir dir;
    const QByteArray temporary = QFile::encodeName(dir.filePath(QStringLiteral("ACCOUNTS.TPS") + platform::SqliteEngine::CreatingSuffix));
    // Another process's creation under way: it holds the temporary.
    const int fd = ::open(temporary.constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    struct stat st {};
    ASSERT_EQ(::fstat(fd, &st), 0);
    // A second station starts on the directory and waits for that lock.
    const std::unique_ptr<QProcess> station = test::Station::start({QStringLiteral("create"), dir.path()});
    bool waiting = false;
    for (int i = 0; i < 1000 && !waiting; ++i) {
        waiting = someoneWaitsOn(st.st_ino);
        if (!waiting)
            station->waitForFinished(10); // bounded wait for the named point, not a guess at its timing
    }
    ASSERT_TRUE(waiting) << "the station never reached the creation lock";
    // The temporary is removed (as an open that took it for a crashed creation's does) and the lock let go.
    ASSERT_EQ(::unlink(temporary.constData()), 0);
    ::close(fd);
    ASSERT_TRUE(station->waitForFinished(30000));
    EXPECT_EQ(station->exitCode(), 0) << station->readAllStandardError().constData();
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("ACCOUNTS.TPS"))).isFile()) << "made on the name as it now is";
    EXPECT_FALSE(QFileInfo::exists(QString::fromLocal8Bit(temporary)));
}

} // namespace
