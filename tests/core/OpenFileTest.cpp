#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

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
    for (FileId id : AllFiles)
        ASSERT_TRUE(openFile(*files, id));
    EXPECT_TRUE(messages().shown().empty());
    QStringList names = QDir(dir()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, (QStringList{"ACCOUNTS.TPS", "IMPORTED.TPS", "IMPSET.TPS", "MEMOCARD.TPS", "NOTES.TPS", "STATEMNT.TPS", "STMLINES.TPS",
                                  "TRANSACT.TPS"}));
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
