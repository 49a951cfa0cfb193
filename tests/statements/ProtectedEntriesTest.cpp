// Reconciled transactions a statement holds, changed or deleted through the
// transaction form: asked first, refused or followed by the statement, and the
// balance rule and the statements' figures hold through any mix of
// statements, undos and protected changes.
#include "engine/UpdateFormController.h"
#include "statements/StatementBook.h"
#include "statements/StatementProtection.h"
#include "statements/StatementRecords.h"
#include "tests/statements/StatementFixture.h"

#include <random>

using namespace fundora;
using namespace fundora::test;
using core::Request;
using core::Response;
using engine::UpdateFormController;
using statements::StatementSession;
namespace Button = platform::Button;

namespace {

class ProtectedEntriesTest : public StatementTest {
protected:
    void SetUp() override
    {
        StatementTest::SetUp();
        transactions::ReconciledEntries::install(std::make_shared<statements::StatementProtection>());
        addAccount(1, 15);
    }
    void TearDown() override
    {
        transactions::ReconciledEntries::install(nullptr);
        StatementTest::TearDown();
    }
    struct Form {
        explicit Form(core::DataFiles& f) : record(f), controller(f, record) {}
        transactions::TransactionFormRecord record;
        UpdateFormController controller;
    };
    // The form over the transaction stored at `row`, as the history opens it.
    std::unique_ptr<Form> open(Request request, std::int64_t row)
    {
        platform::Record r;
        EXPECT_TRUE(files->transactions.file().fetch(row, r).ok());
        core::transactionLayout().fromRecord(r, files->transactions.record);
        auto form = std::make_unique<Form>(*files);
        form->controller.start(request);
        return form;
    }
    Response save(Form& f)
    {
        f.controller.save(core::Navigation::None);
        f.controller.finish();
        return f.controller.response();
    }
    core::Transaction stored(std::int64_t row)
    {
        platform::Record r;
        core::Transaction t;
        if (files->transactions.file().fetch(row, r).ok())
            core::transactionLayout().fromRecord(r, t);
        return t;
    }
    statements::CardStatement only()
    {
        std::vector<statements::CardStatement> all;
        EXPECT_TRUE(statements::readStatements(*files, 1, all).ok());
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? statements::CardStatement{} : all[0];
    }
    // One statement over every open transaction up to 11/15/2026, balanced.
    void reconcileAll()
    {
        auto s = openSession(1);
        tickAll(*s);
        s->setEndingBalance(s->resultingBalance());
        ASSERT_EQ(s->finish(false), StatementSession::Result::Done);
    }
};

TEST_F(ProtectedEntriesTest, AChangedAmountAsksNamingTheStatementAndIsRefusedOrFollowed)
{
    const std::int64_t dinner = book(1, day(2026, 11, 3), "C", "40.00", QStringLiteral("dinner"));
    book(1, day(2026, 11, 8), "C", "60.00", QStringLiteral("fuel"));
    reconcileAll();
    ASSERT_EQ(only().endingBalance, money("100.00"));

    messages().answer(Button::No);
    auto refused = open(Request::Change, dinner);
    refused->record.working().transactionAmount = money("45.00");
    EXPECT_EQ(refused->controller.save(core::Navigation::None), UpdateFormController::Saved::StayOpen) << "the form keeps what was typed";
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Reconciled Transaction"));
    EXPECT_EQ(messages().shown()[0].text,
              QStringLiteral("This transaction belongs to the statement closing 11/15/2026.||Change its amount "
                             "and update that statement's figures?||The statement's difference becomes -$5.00."));
    EXPECT_EQ(messages().shown()[0].defaultButton, Button::No);
    EXPECT_EQ(stored(dinner).transactionAmount, money("40.00"));
    EXPECT_EQ(balanceOf(1), money("100.00"));
    EXPECT_EQ(only().charges, money("100.00"));

    messages().clear();
    messages().answer(Button::Yes);
    auto followed = open(Request::Change, dinner);
    followed->record.working().transactionAmount = money("45.00");
    ASSERT_EQ(save(*followed), Response::Completed);
    EXPECT_EQ(stored(dinner).transactionAmount, money("45.00"));
    EXPECT_EQ(balanceOf(1), money("105.00"));
    const statements::CardStatement st = only();
    EXPECT_EQ(st.charges, money("105.00"));
    EXPECT_EQ(st.endingBalance, money("100.00")) << "what the statement says stays";
    EXPECT_EQ(st.acceptedDifference, money("-5.00"));
    EXPECT_EQ(st.computedEnding(), st.endingBalance);
    EXPECT_EQ(openSession(1)->previousBalance(), money("100.00")) << "the next statement starts where this one ended";
    expectBalanceRule(1);
}

TEST_F(ProtectedEntriesTest, ADeleteOrAMoveBackToOpenTakesTheTransactionOutOfItsStatement)
{
    const std::int64_t refund = book(1, day(2026, 11, 4), "P", "-30.00", QStringLiteral("refund"));
    const std::int64_t fuel = book(1, day(2026, 11, 8), "C", "60.00", QStringLiteral("fuel"));
    book(1, day(2026, 11, 9), "C", "10.00", QStringLiteral("coffee"));
    reconcileAll();
    const std::int32_t id = only().statementId;

    messages().answer(Button::Ok);  // the delete's own question
    messages().answer(Button::Yes); // ... then the statement's
    auto del = open(Request::Delete, refund);
    del->controller.finish();
    EXPECT_EQ(del->controller.response(), Response::Completed);
    EXPECT_TRUE(messages().shown().back().text.startsWith(
        QStringLiteral("This transaction belongs to the statement closing 11/15/2026.||Delete it and take it out of that statement?")));
    statements::CardStatement st = only();
    EXPECT_EQ(st.credits, money("0.00"));
    EXPECT_EQ(st.transactionCount, 2);
    EXPECT_EQ(st.acceptedDifference, money("-30.00"));
    std::vector<std::int64_t> lines;
    ASSERT_TRUE(statements::readLines(*files, id, lines).ok());
    EXPECT_EQ(lines.size(), 2u);

    messages().clear();
    messages().answer(Button::Yes);
    auto reopen = open(Request::Change, fuel);
    reopen->record.working().reconciledTransaction = 0;
    ASSERT_EQ(save(*reopen), Response::Completed);
    EXPECT_TRUE(messages().shown()[0].text.contains(QStringLiteral("Move it back to the open transactions")));
    st = only();
    EXPECT_EQ(st.charges, money("10.00"));
    EXPECT_EQ(st.transactionCount, 1);
    EXPECT_EQ(openRows(1), (std::set<std::int64_t>{fuel}));
    ASSERT_TRUE(statements::readLines(*files, id, lines).ok());
    EXPECT_EQ(lines.size(), 1u);
    expectBalanceRule(1);

    // Undo then gives back only what the statement still holds.
    statements::Undone undone;
    ASSERT_TRUE(statements::undoLatestStatement(*files, 1, id, undone).ok());
    EXPECT_EQ(openRows(1).size(), 2u);
}

TEST_F(ProtectedEntriesTest, AReconciledTransactionOutsideAnyStatementChangesWithoutAQuestion)
{
    const std::int64_t row = book(1, day(2026, 11, 3), "C", "40.00");
    {
        platform::Record r;
        ASSERT_TRUE(files->transactions.file().fetch(row, r).ok());
        core::transactionLayout().fromRecord(r, files->transactions.record);
        ASSERT_TRUE(transactions::reconcileTransaction(*files).ok()); // the one-at-a-time button
    }
    auto change = open(Request::Change, row);
    change->record.working().transactionAmount = money("41.00");
    ASSERT_EQ(save(*change), Response::Completed);
    EXPECT_TRUE(messages().shown().empty());
    expectBalanceRule(1);
}

TEST_F(ProtectedEntriesTest, TheBalanceRuleAndTheFiguresHoldThroughStatementsUndosAndProtectedChanges)
{
    std::mt19937 random(2026);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    platform::DayNumber date = day(2026, 1, 1);
    std::vector<std::int64_t> rows;
    int finished = 0, undone = 0, followed = 0;
    for (int step = 0; step < 120; ++step) {
        messages().clear();
        switch (pick(5)) {
        case 0:
        case 1: {
            date += pick(6);
            const bool payment = pick(4) == 0;
            const QString amount = QStringLiteral("%1%2.%3").arg(payment ? "-" : "").arg(1 + pick(300)).arg(pick(100), 2, 10, QChar(u'0'));
            rows.push_back(book(1, date, payment ? "P" : "C", amount.toLatin1().constData()));
            break;
        }
        case 2: {
            auto s = openSession(1);
            ASSERT_TRUE(s->setClosingDate(date).ok());
            for (std::size_t i = 0; i < s->entries().size(); ++i)
                if (pick(3) != 0)
                    s->setTicked(i, true);
            s->setEndingBalance((s->resultingBalance() + platform::Decimal::fromUnits(pick(3) == 0 ? pick(500) : 0, 2)).rounded(2));
            const StatementSession::Result r = s->finish(true);
            EXPECT_TRUE(r == StatementSession::Result::Done || r == StatementSession::Result::DateNotAfterLast) << step;
            finished += r == StatementSession::Result::Done;
            break;
        }
        case 3: {
            statements::Undone out;
            const platform::FileError e = statements::undoLatestStatement(*files, 1, 0, out);
            EXPECT_TRUE(e.ok() || e.code == platform::ErrorCode::RecordNotFound) << step;
            undone += e.ok();
            break;
        }
        case 4: {
            if (rows.empty())
                break;
            const std::int64_t row = rows[static_cast<std::size_t>(pick(static_cast<int>(rows.size())))];
            if (stored(row).identity.row == 0)
                break; // deleted earlier
            const int answer = pick(4) == 0 ? Button::No : Button::Yes;
            if (pick(3) == 0) {
                messages().answer(Button::Ok); // the delete's own question first
                messages().answer(answer);
                auto del = open(Request::Delete, row);
                del->controller.finish();
            } else {
                messages().answer(answer);
                auto change = open(Request::Change, row);
                change->record.working().transactionAmount =
                    (change->record.working().transactionAmount + platform::Decimal::fromUnits(pick(2000) - 1000, 2)).rounded(2);
                save(*change);
            }
            for (const platform::Message& m : messages().shown())
                followed += answer == Button::Yes && m.title == QStringLiteral("Reconciled Transaction");
            break;
        }
        }
        expectBalanceRule(1);
        ASSERT_TRUE(test::keptTotalsMatchTheRecords(*files)) << "after step " << step;
        std::vector<statements::CardStatement> all;
        ASSERT_TRUE(statements::readStatements(*files, 1, all).ok());
        for (const statements::CardStatement& st : all) {
            if (!st.isDraft()) {
                EXPECT_EQ(st.computedEnding(), st.endingBalance) << "step " << step << " statement " << st.statementId;
            }
        }
        // The next statement starts from the latest one's ending balance (nothing is reconciled one at a time here).
        if (const auto latest = statements::latestFinished(all)) {
            EXPECT_EQ(openSession(1)->previousBalance(), latest->endingBalance) << "step " << step;
        }
        ASSERT_FALSE(HasFatalFailure());
    }
    // The mix really had all three kinds in it.
    EXPECT_GT(finished, 3);
    EXPECT_GT(undone, 3);
    EXPECT_GT(followed, 3);
    std::printf("statements finished %d, undone %d, protected changes asked and followed %d\n", finished, undone, followed);
}

} // namespace
