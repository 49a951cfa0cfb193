// Reconciling a statement without a window: the listed entries, the live
// figures after every tick, the refusals, the one-commit finish, "Later" and
// the undo of the latest statement.
#include "statements/StatementBook.h"
#include "statements/StatementRecords.h"
#include "tests/statements/StatementFixture.h"

using namespace fundora;
using namespace fundora::test;
using statements::StatementSession;
using Result = StatementSession::Result;

namespace {

class StatementSessionTest : public StatementTest {
protected:
    // Billing day 28; today 12/07/2026, so the statement proposed closed on 11/28/2026.
    void SetUp() override
    {
        StatementTest::SetUp();
        addAccount(1, 28);
        rows.push_back(book(1, day(2026, 11, 2), "C", "100.00", QStringLiteral("groceries")));
        rows.push_back(book(1, day(2026, 11, 9), "C", "25.50", QStringLiteral("books")));
        rows.push_back(book(1, day(2026, 11, 15), "P", "-50.00", QStringLiteral("payment")));
        rows.push_back(book(1, day(2026, 11, 28), "F", "2.00", QStringLiteral("late fee")));
        rows.push_back(book(1, day(2026, 12, 1), "C", "9.99", QStringLiteral("after closing")));
    }
    std::vector<std::int64_t> rows;

    std::vector<statements::CardStatement> stored(std::int32_t id = 1)
    {
        std::vector<statements::CardStatement> out;
        EXPECT_TRUE(statements::readStatements(*files, id, out).ok());
        return out;
    }
    std::vector<std::int64_t> linesOf(std::int32_t statementId)
    {
        std::vector<std::int64_t> out;
        EXPECT_TRUE(statements::readLines(*files, statementId, out).ok());
        return out;
    }
    std::size_t indexOfRow(const StatementSession& s, std::int64_t row)
    {
        for (std::size_t i = 0; i < s.entries().size(); ++i)
            if (s.entries()[i].transaction.identity.row == row)
                return i;
        ADD_FAILURE() << "row " << row << " is not listed";
        return 0;
    }
};

TEST_F(StatementSessionTest, TheFirstStatementStartsFromTheOpeningBalanceWhateverItsDate)
{
    // The card was entered today with what it owed: its opening balance is dated after the closing date.
    addAccount(2, 28);
    const std::int64_t opening = book(2, day(2026, 12, 7), "B", "400.00", QStringLiteral("Initial Account Balance"));
    const std::int64_t charge = book(2, day(2026, 11, 20), "C", "30.00", QStringLiteral("shoes"));
    auto s = openSession(2);
    EXPECT_EQ(s->previousBalance(), money("400.00")) << "what the card owed before any statement";
    ASSERT_EQ(s->entries().size(), 1u) << "the opening balance is no entry to tick";
    s->setTicked(0, true);
    s->setEndingBalance(money("430.00")); // as the issuer printed it
    EXPECT_TRUE(s->balances());
    ASSERT_EQ(s->finish(false), Result::Done);
    const std::vector<statements::CardStatement> done = stored(2);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].previousBalance, money("400.00"));
    EXPECT_EQ(linesOf(done[0].statementId), (std::vector<std::int64_t>{opening, charge}));
    // The next statement starts from this one's ending balance, the opening balance counted once.
    auto next = openSession(2);
    EXPECT_EQ(next->previousBalance(), money("430.00"));
    // Undone, the opening balance is open again and back in the previous balance.
    statements::Undone undone;
    ASSERT_TRUE(statements::undoLatestStatement(*files, 2, done[0].statementId, undone).ok());
    auto again = openSession(2);
    EXPECT_EQ(again->previousBalance(), money("400.00"));
    EXPECT_EQ(again->entries().size(), 1u);
}

TEST_F(StatementSessionTest, TheFiguresFollowEveryTickAndFinishWaitsForADifferenceOfZero)
{
    auto s = openSession(1);
    EXPECT_EQ(s->closingDate(), day(2026, 11, 28));
    ASSERT_EQ(s->entries().size(), 4u) << "the entry after the closing date is not listed";
    EXPECT_EQ(s->previousBalance(), money("0.00"));
    s->setEndingBalance(money("77.50"));
    EXPECT_EQ(s->difference(), money("77.50"));

    struct Step {
        std::int64_t row;
        bool tick;
        const char *charges, *credits, *difference;
    };
    const Step steps[] = {
        {rows[0], true, "100.00", "0.00", "-22.50"}, {rows[2], true, "100.00", "-50.00", "27.50"},
        {rows[1], true, "125.50", "-50.00", "2.00"}, {rows[0], false, "25.50", "-50.00", "102.00"},
        {rows[0], true, "125.50", "-50.00", "2.00"}, {rows[3], true, "127.50", "-50.00", "0.00"},
    };
    for (const Step& step : steps) {
        EXPECT_FALSE(s->balances());
        EXPECT_EQ(s->finish(false), Result::NotBalanced);
        s->setTicked(indexOfRow(*s, step.row), step.tick);
        EXPECT_EQ(s->charges(), money(step.charges)) << "after row " << step.row;
        EXPECT_EQ(s->credits(), money(step.credits)) << "after row " << step.row;
        EXPECT_EQ(s->difference(), money(step.difference)) << "after row " << step.row;
        EXPECT_EQ(s->resultingBalance(), (s->previousBalance() + s->charges() + s->credits()).rounded(2));
    }
    EXPECT_TRUE(stored().empty()) << "a refused finish writes nothing";
    EXPECT_EQ(openRows(1).size(), 5u);

    s->setMinimumPayment(money("25.00"));
    s->setDueDate(day(2026, 12, 23));
    ASSERT_EQ(s->finish(false), Result::Done);
    const auto statements = stored();
    ASSERT_EQ(statements.size(), 1u);
    const statements::CardStatement& st = statements[0];
    EXPECT_EQ(st.closingDate, day(2026, 11, 28));
    EXPECT_EQ(st.endingBalance, money("77.50"));
    EXPECT_EQ(st.charges, money("127.50"));
    EXPECT_EQ(st.credits, money("-50.00"));
    EXPECT_EQ(st.minimumPayment, money("25.00"));
    EXPECT_EQ(st.dueDate, day(2026, 12, 23));
    EXPECT_EQ(st.acceptedDifference, money("0.00"));
    EXPECT_EQ(st.transactionCount, 4);
    EXPECT_EQ(st.finishedDate, day(2026, 12, 7));
    EXPECT_EQ(st.computedEnding(), st.endingBalance);
    EXPECT_EQ(linesOf(st.statementId), (std::vector<std::int64_t>{rows[0], rows[1], rows[2], rows[3]}));
    EXPECT_EQ(openRows(1), (std::set<std::int64_t>{rows[4]})) << "the ticked ones moved to the history";
    expectBalanceRule(1);
}

TEST_F(StatementSessionTest, ATickIsCountedOnceAndTicksOutsideTheDateComeBackWithIt)
{
    auto s = openSession(1);
    const std::size_t books = indexOfRow(*s, rows[1]);
    s->setTicked(books, true);
    s->setTicked(books, true);
    EXPECT_EQ(s->charges(), money("25.50"));
    EXPECT_EQ(s->tickedCount(), 1u);
    s->tickAllUpTo(day(2026, 11, 9));
    EXPECT_EQ(s->charges(), money("125.50")) << "the entries up to 11/09 ticked, the one ticked before counted once";
    EXPECT_EQ(s->tickedCount(), 2u);

    ASSERT_TRUE(s->setClosingDate(day(2026, 11, 5)).ok());
    EXPECT_EQ(s->entries().size(), 1u);
    EXPECT_EQ(s->charges(), money("100.00")) << "a tick beyond the closing date does not count";
    ASSERT_TRUE(s->setClosingDate(day(2026, 12, 31)).ok());
    EXPECT_EQ(s->entries().size(), 5u);
    EXPECT_EQ(s->charges(), money("125.50")) << "and counts again when the date takes it back in";
    EXPECT_TRUE(s->entries()[indexOfRow(*s, rows[1])].ticked);
}

TEST_F(StatementSessionTest, LaterKeepsTheStatementAndItsTicksForTheNextTime)
{
    {
        auto s = openSession(1);
        s->setClosingDate(day(2026, 11, 27));
        s->setEndingBalance(money("75.50"));
        s->setMinimumPayment(money("20.00"));
        s->setDueDate(day(2026, 12, 20));
        s->setTicked(indexOfRow(*s, rows[0]), true);
        s->setTicked(indexOfRow(*s, rows[2]), true);
        EXPECT_TRUE(s->changed());
        ASSERT_EQ(s->later(), Result::Done);
        EXPECT_FALSE(s->changed());
    }
    EXPECT_EQ(openRows(1).size(), 5u) << "Later reconciles nothing";
    auto s = openSession(1);
    EXPECT_TRUE(s->hasDraft());
    EXPECT_EQ(s->closingDate(), day(2026, 11, 27));
    EXPECT_EQ(s->endingBalance(), money("75.50"));
    EXPECT_EQ(s->minimumPayment(), money("20.00"));
    EXPECT_EQ(s->dueDate(), day(2026, 12, 20));
    EXPECT_EQ(s->tickedCount(), 2u);
    EXPECT_EQ(s->charges(), money("100.00"));
    EXPECT_EQ(s->credits(), money("-50.00"));
    // Later again with one tick less replaces the kept ticks.
    s->setTicked(indexOfRow(*s, rows[2]), false);
    ASSERT_EQ(s->later(), Result::Done);
    EXPECT_EQ(openSession(1)->tickedCount(), 1u);

    // Finishing the draft leaves no draft and one statement.
    auto f = openSession(1);
    f->setTicked(indexOfRow(*f, rows[1]), true);
    f->setEndingBalance(money("125.50"));
    ASSERT_EQ(f->finish(false), Result::Done);
    const auto statements = stored();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_FALSE(statements[0].isDraft());
    EXPECT_EQ(linesOf(statements[0].statementId).size(), 2u);
    EXPECT_FALSE(openSession(1)->hasDraft());
}

TEST_F(StatementSessionTest, TheNextStatementStartsFromTheLastAndAnAcceptedDifferenceIsRecorded)
{
    auto first = openSession(1);
    tickAll(*first);
    first->setEndingBalance(money("80.00")); // the register gives 77.50
    EXPECT_EQ(first->difference(), money("2.50"));
    ASSERT_EQ(first->finish(true), Result::Done);
    EXPECT_EQ(stored()[0].acceptedDifference, money("2.50"));
    EXPECT_EQ(stored()[0].computedEnding(), money("80.00"));

    auto second = openSession(1);
    EXPECT_EQ(second->previousBalance(), money("80.00"));
    EXPECT_EQ(second->closingDate(), day(2026, 12, 28)) << "11/28 is reconciled: the next billing day";
    ASSERT_EQ(second->entries().size(), 1u);
    second->setClosingDate(day(2026, 11, 28));
    EXPECT_EQ(second->finish(true), Result::DateNotAfterLast);
    second->setClosingDate(day(2026, 12, 28));
    tickAll(*second);
    second->setEndingBalance(money("89.99"));
    EXPECT_TRUE(second->balances());
    ASSERT_EQ(second->finish(false), Result::Done);
    EXPECT_TRUE(openRows(1).empty());
    expectBalanceRule(1);
}

TEST_F(StatementSessionTest, UndoRestoresExactlyTheOpenSetOfBeforeAndOnlyTheLatestIsUndone)
{
    const std::set<std::int64_t> before = openRows(1);
    auto first = openSession(1);
    first->setTicked(indexOfRow(*first, rows[0]), true);
    first->setTicked(indexOfRow(*first, rows[2]), true);
    first->setEndingBalance(money("50.00"));
    ASSERT_EQ(first->finish(false), Result::Done);
    const std::int32_t firstId = first->statement().statementId;
    const std::set<std::int64_t> afterFirst = openRows(1);
    auto second = openSession(1);
    tickAll(*second);
    second->setEndingBalance(money("87.49"));
    ASSERT_EQ(second->finish(false), Result::Done);
    EXPECT_TRUE(openRows(1).empty());

    statements::Undone undone;
    EXPECT_EQ(statements::undoLatestStatement(*files, 1, firstId, undone).code, platform::ErrorCode::ChangedElsewhere)
        << "the first is no longer the latest";
    EXPECT_TRUE(openRows(1).empty()) << "a refused undo changes nothing";
    ASSERT_TRUE(statements::undoLatestStatement(*files, 1, 0, undone).ok());
    EXPECT_EQ(openRows(1), afterFirst);
    EXPECT_EQ(undone.reopened.size(), 3u);
    ASSERT_TRUE(statements::undoLatestStatement(*files, 1, firstId, undone).ok());
    EXPECT_EQ(openRows(1), before);
    EXPECT_TRUE(stored().empty());
    EXPECT_TRUE(linesOf(firstId).empty());
    EXPECT_EQ(statements::undoLatestStatement(*files, 1, 0, undone).code, platform::ErrorCode::RecordNotFound);
    expectBalanceRule(1);
    EXPECT_EQ(openSession(1)->previousBalance(), money("0.00"));
}

TEST_F(StatementSessionTest, AFinishAfterAnotherStationsChangeWritesNothing)
{
    auto s = openSession(1);
    tickAll(*s);
    s->setEndingBalance(money("77.50"));
    {
        // Another station renames a listed transaction meanwhile.
        core::DataFiles other(place());
        ASSERT_TRUE(core::acquireFile(other, core::FileId::Transactions));
        platform::Record r;
        ASSERT_TRUE(other.transactions.file().fetch(rows[1], r).ok());
        core::transactionLayout().fromRecord(r, other.transactions.record);
        other.transactions.record.transactionDescription = QStringLiteral("books, renamed");
        ASSERT_TRUE(other.transactions.put().ok());
    }
    EXPECT_EQ(s->finish(false), Result::ChangedElsewhere);
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(openRows(1).size(), 5u) << "none of the ticked ones was reconciled";
    // Read again, the same ticks finish.
    ASSERT_TRUE(s->refresh().ok());
    EXPECT_EQ(s->tickedCount(), 4u);
    EXPECT_EQ(s->finish(false), Result::Done);
}

TEST_F(StatementSessionTest, AStatementOfAnotherAccountIsNeverMixedIn)
{
    addAccount(2, 28);
    book(2, day(2026, 11, 3), "C", "40.00");
    auto two = openSession(2);
    ASSERT_EQ(two->entries().size(), 1u);
    tickAll(*two);
    two->setEndingBalance(money("40.00"));
    ASSERT_EQ(two->finish(false), Result::Done);
    auto one = openSession(1);
    EXPECT_EQ(one->previousBalance(), money("0.00"));
    EXPECT_EQ(one->entries().size(), 4u);
    EXPECT_EQ(stored(1).size(), 0u);
    EXPECT_EQ(stored(2).size(), 1u);
}

} // namespace
