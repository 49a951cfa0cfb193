// A process killed at any file-system step of a commit over several files
// leaves all of it or none of it: an account delete that was cut short leaves
// the account with all its transactions or neither, and a data file whose
// creation was cut short is made again, without a message, at the next start.
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/Station.h"

#include <QDir>

using namespace fundora;
using namespace fundora::core;
using test::Station;

namespace {

class CrashSafetyTest : public test::CoreTest {
protected:
    static constexpr int Doomed = 120; // transactions of the account deleted
    static constexpr int Kept = 5;     // of another account, which must never change

    void addAccountWith(std::int32_t sysId, int transactions)
    {
        FileUse a(*files, FileId::Accounts);
        FileUse t(*files, FileId::Transactions);
        ASSERT_TRUE(a.ok() && t.ok());
        FileTransaction tx(files->store);
        files->accounts.clear();
        files->accounts.record.sysId = sysId;
        ASSERT_TRUE(files->accounts.add().ok());
        for (int i = 0; i < transactions; ++i) {
            files->transactions.clear();
            files->transactions.record.sysId = sysId;
            files->transactions.record.transactionType = QStringLiteral("C");
            ASSERT_TRUE(files->transactions.add().ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    bool accountThere(std::int32_t sysId)
    {
        files->accounts.clear();
        files->accounts.record.sysId = sysId;
        return files->accounts.get(AccSysIDKey).ok();
    }
    int countOf(std::int32_t sysId) { return static_cast<int>(transactionsOf(sysId).size()); }
    void removeAll()
    {
        FileUse a(*files, FileId::Accounts);
        FileUse t(*files, FileId::Transactions);
        FileTransaction tx(files->store);
        for (auto* f : {&files->accounts.file(), &files->transactions.file()}) {
            platform::Record r;
            f->set(0);
            while (f->next(r).ok())
                ASSERT_TRUE(f->remove(r).ok());
        }
        ASSERT_TRUE(tx.commit().ok());
    }
};

TEST_F(CrashSafetyTest, AnAccountDeleteKilledAtAnyStepIsAllOrNothing)
{
    int kept = 0, deleted = 0;
    for (const char* kind : {"unlink", "write"}) {
        for (const char* when : {"", ":after"}) {
            for (int step = 1;; step += test::stepStride()) {
                addAccountWith(1, Doomed);
                addAccountWith(2, Kept);
                const QString killAt = QStringLiteral("%1:%2%3").arg(QLatin1String(kind)).arg(step).arg(QLatin1String(when));
                const Station::Outcome o = Station::runKilledAt(
                    {QStringLiteral("delete-account"), dir(), QStringLiteral("1"), path(QStringLiteral("ready"))}, killAt);
                {
                    // The next start: the files open as a new process would open them.
                    files = std::make_unique<DataFiles>(dir());
                    FileUse a(*files, FileId::Accounts);
                    FileUse t(*files, FileId::Transactions);
                    ASSERT_TRUE(a.ok() && t.ok()) << killAt.toStdString();
                    const bool there = accountThere(1);
                    EXPECT_EQ(countOf(1), there ? Doomed : 0) << killAt.toStdString() << (there ? " account kept" : " account gone");
                    EXPECT_TRUE(accountThere(2)) << killAt.toStdString();
                    EXPECT_EQ(countOf(2), Kept) << killAt.toStdString();
                    (there ? kept : deleted) += o.killed;
                }
                EXPECT_TRUE(messages().shown().empty()) << killAt.toStdString();
                removeAll();
                if (!o.killed) {
                    EXPECT_EQ(o.exitCode, 0) << killAt.toStdString();
                    EXPECT_GT(step, 1) << "a delete over two files has " << kind << " steps";
                    break;
                }
                ASSERT_LT(step, 2000) << "the delete never ran to its end";
            }
        }
    }
    // Kills fell both before and after the commit point.
    EXPECT_GT(kept, 0);
    EXPECT_GT(deleted, 0);
    std::printf("killed deletes: %d left whole, %d deleted whole\n", kept, deleted);
}

TEST_F(CrashSafetyTest, ACreationKilledAtAnyStepIsMadeAgainWithoutAMessage)
{
    for (const char* kind : {"write", "unlink"}) {
        for (int step = 1;; step += test::stepStride()) {
            for (const QString& name : QDir(dir()).entryList(QDir::Files | QDir::Hidden))
                QFile::remove(path(name));
            const QString killAt = QStringLiteral("%1:%2").arg(QLatin1String(kind)).arg(step);
            const Station::Outcome o = Station::runKilledAt({QStringLiteral("create"), dir()}, killAt);
            files = std::make_unique<DataFiles>(dir());
            for (FileId id : allFiles()) {
                EXPECT_TRUE(acquireFile(*files, id)) << killAt.toStdString();
                releaseFile(*files, id);
            }
            EXPECT_TRUE(messages().shown().empty()) << killAt.toStdString() << ": " << shownTexts().join(u'|').toStdString();
            const QStringList left = QDir(dir()).entryList({QStringLiteral("*.creating*"), QStringLiteral("*-journal")}, QDir::Files);
            EXPECT_TRUE(left.isEmpty()) << killAt.toStdString() << ": " << left.join(u' ').toStdString();
            if (!o.killed)
                break;
            ASSERT_LT(step, 2000);
        }
    }
}

} // namespace
