// A process killed in the middle of deleting an account leaves either the
// account with all its transactions or neither, never a part.
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/Station.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <random>

using namespace fundora;
using namespace fundora::core;
using test::Station;

namespace {

class CascadeKillTest : public test::CoreTest {};

TEST_F(CascadeKillTest, KilledCascadeIsAllOrNothing)
{
    constexpr int Rounds = 50;
    constexpr int Transactions = 3000;
    std::mt19937 random(7);
    int deleted = 0, kept = 0;
    // Kills fall anywhere from the start to well after a whole delete takes,
    // which the first (unkilled) round measures on this machine now.
    qint64 wholeDeleteUs = 0;
    for (int round = 0; round <= Rounds; ++round) {
        {
            FileUse a(*files, FileId::Accounts);
            FileUse t(*files, FileId::Transactions);
            ASSERT_TRUE(a.ok() && t.ok());
            FileTransaction tx(files->store);
            files->accounts.clear();
            files->accounts.record.sysId = 1;
            ASSERT_TRUE(files->accounts.add().ok());
            for (int i = 0; i < Transactions; ++i) {
                files->transactions.clear();
                files->transactions.record.sysId = 1;
                files->transactions.record.transactionType = QStringLiteral("C");
                ASSERT_TRUE(files->transactions.add().ok());
            }
            ASSERT_TRUE(tx.commit().ok());
        }
        const QString ready = path(QStringLiteral("ready%1").arg(round));
        auto victim = Station::start({QStringLiteral("delete-account"), dir(), QStringLiteral("1"), ready});
        ASSERT_TRUE(Station::waitForFile(ready));
        QElapsedTimer timer;
        timer.start();
        if (round == 0) {
            victim->waitForFinished();
            wholeDeleteUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
        } else {
            QThread::usleep(static_cast<unsigned long>(random() % (2 * wholeDeleteUs)));
            ::kill(static_cast<pid_t>(victim->processId()), SIGKILL);
            victim->waitForFinished();
        }

        FileUse a(*files, FileId::Accounts);
        FileUse t(*files, FileId::Transactions);
        ASSERT_TRUE(a.ok() && t.ok());
        files->accounts.clear();
        files->accounts.record.sysId = 1;
        const bool accountThere = files->accounts.get(AccSysIDKey).ok();
        std::int64_t count = -1;
        ASSERT_TRUE(files->transactions.file().count(count).ok());
        if (accountThere) {
            EXPECT_EQ(count, Transactions) << "round " << round;
            kept += round > 0;
            FileTransaction tx(files->store);
            // Clean up for the next round.
            files->transactions.set(TraSysIDKey);
            while (files->transactions.next().ok())
                ASSERT_TRUE(files->transactions.remove().ok());
            ASSERT_TRUE(files->accounts.remove().ok());
            ASSERT_TRUE(tx.commit().ok());
        } else {
            EXPECT_EQ(count, 0) << "round " << round;
            deleted += round > 0;
        }
    }
    // Both outcomes must have happened for the test to say anything.
    EXPECT_GT(kept, 0);
    EXPECT_GT(deleted, 0);
    std::printf("killed cascades: %d left whole, %d deleted whole\n", kept, deleted);
}

} // namespace
