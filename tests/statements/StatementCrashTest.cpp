// A process killed at any file-system step of finishing or undoing a
// statement leaves all of it or none of it: every transaction reconciled and
// the statement with all its lines stored, or everything open as before.
#include "statements/StatementBook.h"
#include "statements/StatementRecords.h"
#include "tests/statements/StatementFixture.h"
#include "tests/support/Station.h"

#include <QDir>

using namespace fundora;
using namespace fundora::test;

namespace {

class StatementCrashTest : public StatementTest {
protected:
    static constexpr int Entries = 12;

    // Account 1 with its open transactions, reconciled in one statement when
    // `finished`, made once and kept aside; restore() puts it back.
    void prepare(bool finished)
    {
        files.reset();
        clearDirectory();
        reopen();
        addAccount(1, 28);
        for (int i = 0; i < Entries; ++i)
            book(1, day(2026, 11, 1) + i % 27, i % 5 == 0 ? "P" : "C", i % 5 == 0 ? "-20.00" : "12.34");
        if (finished) {
            statements::StatementSession s(*files, 1);
            ASSERT_TRUE(s.open(clock().today()).ok());
            tickAll(s);
            s.setEndingBalance(s.resultingBalance());
            ASSERT_EQ(s.finish(false), statements::StatementSession::Result::Done);
        }
        files.reset(); // the station works on the files alone
        QDir(dir()).mkpath(QStringLiteral("kept"));
        for (const QString& name : QDir(dir()).entryList(QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::copy(path(name), path(QStringLiteral("kept/") + name)));
    }
    void restore()
    {
        files.reset();
        clearDirectory();
        for (const QString& name : QDir(path(QStringLiteral("kept"))).entryList(QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::copy(path(QStringLiteral("kept/") + name), path(name)));
    }
    void clearDirectory()
    {
        for (const QString& name : QDir(dir()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(path(name));
    }
    void reopen()
    {
        files = std::make_unique<core::DataFiles>(dir());
        core::DataFiles::setCurrent(files.get());
        for (core::FileId id :
             {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile(), statements::statementLinesFile()})
            ASSERT_TRUE(core::acquireFile(*files, id));
    }
    // After the kill, as the next start reads the files: true when the statement is there.
    bool checkAllOrNothing(const QString& killAt)
    {
        reopen();
        std::vector<statements::CardStatement> all;
        EXPECT_TRUE(statements::readStatements(*files, 1, all).ok()) << killAt.toStdString();
        const std::size_t open = openRows(1).size();
        expectBalanceRule(1);
        if (all.empty()) {
            EXPECT_EQ(open, std::size_t{Entries}) << killAt.toStdString() << ": no statement, so every transaction is open";
            return false;
        }
        EXPECT_EQ(all.size(), 1u) << killAt.toStdString();
        std::vector<std::int64_t> lines;
        EXPECT_TRUE(statements::readLines(*files, all[0].statementId, lines).ok());
        EXPECT_EQ(lines.size(), std::size_t{Entries}) << killAt.toStdString();
        EXPECT_EQ(all[0].transactionCount, Entries) << killAt.toStdString();
        EXPECT_EQ(open, 0u) << killAt.toStdString() << ": the statement is there, so every transaction is reconciled";
        return true;
    }
    // Runs `arguments` killed at every step of each kind, both before and after the step.
    void killAtEveryStep(const QStringList& arguments, bool finishedBefore)
    {
        int whole = 0, untouched = 0;
        prepare(finishedBefore);
        ASSERT_FALSE(HasFatalFailure());
        for (const char* kind : {"write", "unlink"}) {
            for (const char* when : {"", ":after"}) {
                for (int step = 1;; step += test::stepStride()) {
                    restore();
                    ASSERT_FALSE(HasFatalFailure());
                    const QString killAt = QStringLiteral("%1:%2%3").arg(QLatin1String(kind)).arg(step).arg(QLatin1String(when));
                    QStringList args = arguments;
                    args.insert(1, dir());
                    const Station::Outcome o = Station::runKilledAt(args, killAt);
                    const bool there = checkAllOrNothing(killAt);
                    if (o.killed)
                        (there == finishedBefore ? untouched : whole) += 1;
                    EXPECT_TRUE(messages().shown().empty()) << killAt.toStdString();
                    if (!o.killed) {
                        EXPECT_EQ(o.exitCode, 0) << killAt.toStdString();
                        EXPECT_NE(there, finishedBefore) << "run to its end, it did its work";
                        break;
                    }
                    ASSERT_LT(step, 2000) << "it never ran to its end";
                }
            }
        }
        // Kills fell both before and after the commit point.
        EXPECT_GT(untouched, 0);
        EXPECT_GT(whole, 0);
        std::printf("%s killed: %d left as before, %d done whole\n", qPrintable(arguments[0]), untouched, whole);
    }
};

TEST_F(StatementCrashTest, AFinishKilledAtAnyStepIsAllOrNothing)
{
    killAtEveryStep({QStringLiteral("finish-statement"), QStringLiteral("1"), QStringLiteral("431.28")}, false);
}

TEST_F(StatementCrashTest, AnUndoKilledAtAnyStepIsAllOrNothing)
{
    killAtEveryStep({QStringLiteral("undo-statement"), QStringLiteral("1")}, true);
}

} // namespace
