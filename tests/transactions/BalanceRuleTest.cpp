// The balance rule through the transaction form's logic, without windows:
// every account's balance equals the sum of its transactions' stored amounts
// (its opening balance is its first transaction), whatever is saved, changed,
// deleted, reconciled, refused or cut short.
#include "accounts/AccountFormRecord.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "engine/UpdateFormController.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/Station.h"
#include "transactions/ChargeAnalysis.h"
#include "transactions/Ledger.h"
#include "transactions/TransactionFormRecord.h"

#include <random>

using namespace fundora;
using core::Navigation;
using core::Request;
using core::Response;
using engine::UpdateFormController;
using platform::Decimal;
namespace Button = platform::Button;

namespace {

Decimal money(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

class BalanceRuleTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Transactions));
    }
    void addAccount(std::int32_t id, const char* opening)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
        files->accounts.record.accountBalance = money(opening);
        ASSERT_TRUE(files->accounts.add().ok());
        ASSERT_TRUE(accounts::AccountFormRecord::bookOpeningBalance(*files).ok());
    }
    Decimal balanceOf(std::int32_t id)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        EXPECT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
        return files->accounts.record.accountBalance;
    }
    Decimal sumOf(std::int32_t id)
    {
        Decimal sum = money("0.00");
        for (const core::Transaction& t : transactionsOf(id))
            sum += t.transactionAmount;
        return sum;
    }
    // An insert as the list starts it: the owner primed, then the form.
    struct Form {
        explicit Form(core::DataFiles& f) : record(f), controller(f, record) {}
        transactions::TransactionFormRecord record;
        UpdateFormController controller;
    };
    std::unique_ptr<Form> insert(std::int32_t id)
    {
        auto form = std::make_unique<Form>(*files);
        files->transactions.clear();
        files->transactions.record.sysId = id;
        EXPECT_EQ(form->controller.start(Request::Insert), UpdateFormController::Start::OpenWindow);
        return form;
    }
    // A change or delete of the transaction of `id` with this description, read as the list reads it.
    std::unique_ptr<Form> open(Request request, std::int32_t id, const QString& description)
    {
        for (const core::Transaction& t : transactionsOf(id))
            if (t.transactionDescription == description)
                files->transactions.record = t;
        auto form = std::make_unique<Form>(*files);
        form->controller.start(request);
        return form;
    }
    Response save(Form& f, Navigation navigation = Navigation::None)
    {
        f.controller.save(navigation);
        f.controller.finish();
        return f.controller.response();
    }
};

TEST_F(BalanceRuleTest, APaymentIsStoredNegatedAndLowersTheBalanceAChangeIsNotNegatedAgain)
{
    addAccount(1, "500.00");
    auto pay = insert(1);
    pay->record.working().transactionType = QStringLiteral("P");
    pay->record.working().transactionDescription = QStringLiteral("check 101");
    pay->record.working().transactionAmount = money("100.00");
    ASSERT_EQ(save(*pay), Response::Completed);
    const auto stored = transactionsOf(1);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].transactionAmount, money("-100.00"));
    EXPECT_EQ(balanceOf(1), money("400.00"));

    auto change = open(Request::Change, 1, QStringLiteral("check 101"));
    EXPECT_EQ(change->record.working().transactionAmount, money("-100.00"));
    change->record.working().transactionAmount = money("-150.00");
    ASSERT_EQ(save(*change), Response::Completed);
    EXPECT_EQ(balanceOf(1), money("350.00"));
    EXPECT_EQ(transactionsOf(1)[1].transactionAmount, money("-150.00"));
}

TEST_F(BalanceRuleTest, AChargeOfZeroIsAddedAndLeavesTheBalance)
{
    addAccount(1, "75.00");
    auto charge = insert(1);
    EXPECT_EQ(charge->record.working().transactionType, QStringLiteral("C"));
    EXPECT_EQ(charge->record.working().dateofTransaction, clock().today());
    EXPECT_EQ(charge->record.working().transactionAmount, money("0.00"));
    ASSERT_EQ(save(*charge), Response::Completed);
    EXPECT_EQ(transactionsOf(1).size(), 2u);
    EXPECT_EQ(balanceOf(1), money("75.00"));
}

TEST_F(BalanceRuleTest, TheRecordAPaymentRequestPrimesOnePaymentThenChargesAgain)
{
    addAccount(3, "10.00");
    core::glo().paymentRequest = 1;
    auto pay = insert(3);
    EXPECT_EQ(pay->record.working().transactionType, QStringLiteral("P"));
    EXPECT_EQ(pay->record.working().transactionDescription, QStringLiteral("Payment - Check number xxx"));
    EXPECT_EQ(pay->record.working().dateofTransaction, clock().today());
    EXPECT_EQ(pay->record.working().sysId, 3);
    EXPECT_EQ(core::glo().paymentRequest, 0);
    EXPECT_EQ(core::glo().currentSysid, 3);
    pay->controller.cancel();
    pay->controller.finish();
    EXPECT_EQ(insert(3)->record.working().transactionType, QStringLiteral("C")) << "the second insert is a charge again";
    EXPECT_EQ(transactionsOf(3).size(), 1u) << "a cancelled insert leaves nothing";
}

TEST_F(BalanceRuleTest, TheToolbarsSaveAndMoveKeepsTheBalanceRuleAndThePaymentSign)
{
    addAccount(1, "200.00");
    auto pay = insert(1);
    pay->record.working().transactionType = QStringLiteral("P");
    pay->record.working().transactionAmount = money("50.00");
    ASSERT_EQ(save(*pay, Navigation::NextRecord), Response::Completed);
    EXPECT_EQ(balanceOf(1), money("150.00"));
    EXPECT_EQ(transactionsOf(1)[1].transactionAmount, money("-50.00"));
    auto change = open(Request::Change, 1, QString());
    change->record.working().transactionAmount = money("-80.00");
    ASSERT_EQ(save(*change, Navigation::PreviousRecord), Response::Completed);
    EXPECT_EQ(balanceOf(1), money("120.00"));
    EXPECT_EQ(balanceOf(1), sumOf(1));
}

TEST_F(BalanceRuleTest, ADeleteAndItsBalanceCorrectionAreOneCommit)
{
    addAccount(1, "300.00");
    auto pay = insert(1);
    pay->record.working().transactionType = QStringLiteral("P");
    pay->record.working().transactionDescription = QStringLiteral("gone");
    pay->record.working().transactionAmount = money("120.00");
    ASSERT_EQ(save(*pay), Response::Completed);
    ASSERT_EQ(balanceOf(1), money("180.00"));
    messages().answer(Button::Cancel);
    auto kept = open(Request::Delete, 1, QStringLiteral("gone"));
    kept->controller.finish();
    EXPECT_EQ(kept->controller.response(), Response::Cancelled);
    EXPECT_EQ(balanceOf(1), money("180.00")) << "a cancelled delete leaves the balance";
    messages().answer(Button::Ok);
    auto gone = open(Request::Delete, 1, QStringLiteral("gone"));
    gone->controller.finish();
    EXPECT_EQ(gone->controller.response(), Response::Completed);
    EXPECT_EQ(balanceOf(1), money("300.00")) << "deleting a payment raises the balance by its size";
    EXPECT_EQ(transactionsOf(1).size(), 1u);
}

TEST_F(BalanceRuleTest, ADeleteFromAListReadBeforeAnotherStationsChangeTakesTheStoredAmountOff)
{
    addAccount(1, "100.00");
    auto charge = insert(1);
    charge->record.working().transactionDescription = QStringLiteral("dinner");
    charge->record.working().transactionAmount = money("30.00");
    ASSERT_EQ(save(*charge), Response::Completed);
    core::Transaction listed;
    for (const core::Transaction& t : transactionsOf(1))
        if (t.transactionDescription == QStringLiteral("dinner"))
            listed = t;
    // Meanwhile the amount is changed (as another station would): the list's row is stale.
    auto change = open(Request::Change, 1, QStringLiteral("dinner"));
    change->record.working().transactionAmount = money("45.00");
    ASSERT_EQ(save(*change), Response::Completed);
    ASSERT_EQ(balanceOf(1), money("145.00"));
    files->transactions.record = listed;
    messages().answer(Button::Ok);
    auto gone = std::make_unique<Form>(*files);
    gone->controller.start(Request::Delete);
    gone->controller.finish();
    ASSERT_EQ(gone->controller.response(), Response::Completed);
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(balanceOf(1), money("100.00")) << "45.00 came off, not the 30.00 the list showed";
}

TEST_F(BalanceRuleTest, AChangeOverAnotherStationsChangeIsRefusedAndTheFormShowsWhatIsStored)
{
    addAccount(1, "100.00");
    auto charge = insert(1);
    charge->record.working().transactionDescription = QStringLiteral("dinner");
    charge->record.working().transactionAmount = money("30.00");
    ASSERT_EQ(save(*charge), Response::Completed);
    auto mine = open(Request::Change, 1, QStringLiteral("dinner"));
    auto theirs = open(Request::Change, 1, QStringLiteral("dinner"));
    theirs->record.working().transactionAmount = money("45.00");
    ASSERT_EQ(save(*theirs), Response::Completed);
    mine->record.working().transactionAmount = money("60.00");
    messages().answer(Button::Ok);
    EXPECT_EQ(mine->controller.save(Navigation::None), UpdateFormController::Saved::StayOpen);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("This record was changed by another station."));
    EXPECT_EQ(balanceOf(1), money("145.00")) << "nothing of the refused change was written";
    EXPECT_EQ(balanceOf(1), sumOf(1));
    EXPECT_EQ(files->transactions.record.transactionAmount, money("45.00")) << "the buffer shows the stored transaction";
}

TEST_F(BalanceRuleTest, ABalanceBeyondItsFieldWritesNeitherTheAccountNorTheTransaction)
{
    addAccount(1, "99990.00");
    auto charge = insert(1);
    charge->record.working().transactionAmount = money("20.00");
    messages().answer(Button::Ok);
    EXPECT_EQ(charge->controller.save(Navigation::None), UpdateFormController::Saved::StayOpen);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Record Insert Error"));
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(balanceOf(1), money("99990.00"));
    EXPECT_EQ(charge->record.working().transactionAmount, money("20.00")) << "the form keeps what was typed";
}

// The ledger works through records of its own: a list or form holding the account in the shared
// buffer keeps it as read, and after a rollback nothing in the buffer names a version never committed.
TEST_F(BalanceRuleTest, TheLedgerLeavesTheSharedBuffersAsTheyWereAndARollbackLeavesNoVersionBehind)
{
    addAccount(1, "100.00");
    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    const core::Account held = files->accounts.record;
    files->transactions.clear();
    files->transactions.record.transactionDescription = QStringLiteral("typed in a form");
    {
        core::FileTransaction outer(files->store);
        core::Transaction t;
        t.sysId = 1;
        t.transactionType = QStringLiteral("C");
        t.transactionAmount = money("25.00");
        ASSERT_TRUE(transactions::Ledger(*files).book(t).ok());
        EXPECT_EQ(files->accounts.record.identity.version, held.identity.version);
        EXPECT_EQ(files->accounts.record.accountBalance, held.accountBalance);
        EXPECT_EQ(files->transactions.record.transactionDescription, QStringLiteral("typed in a form"));
        // The caller's transaction rolls back: the booking goes with it.
    }
    EXPECT_EQ(balanceOf(1), money("100.00"));
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    // The account as it was read can still be written: its version is the stored one.
    files->accounts.record = held;
    files->accounts.record.creditCardVendor = QStringLiteral("Renamed Bank");
    EXPECT_TRUE(files->accounts.put().ok());
}

TEST_F(BalanceRuleTest, ASaveWhileAnotherStationHoldsTheFilesWritesNothing)
{
    addAccount(1, "10.00");
    const QString ready = path(QStringLiteral("held"));
    auto holder = test::Station::start({QStringLiteral("hold"), registerArgument(), ready});
    ASSERT_TRUE(test::Station::waitForFile(ready));
    auto charge = insert(1);
    charge->record.working().transactionAmount = money("5.00");
    messages().answer(Button::Ok);
    EXPECT_EQ(charge->controller.save(Navigation::None), UpdateFormController::Saved::StayOpen);
    holder->closeWriteChannel();
    ASSERT_TRUE(holder->waitForFinished(10000));
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(balanceOf(1), money("10.00"));
    EXPECT_EQ(charge->controller.save(Navigation::None), UpdateFormController::Saved::Closed) << "saving again goes through";
    EXPECT_EQ(balanceOf(1), money("15.00"));
}

TEST_F(BalanceRuleTest, ReconcilingMovesATransactionToTheHistoryAndLeavesTheBalance)
{
    addAccount(1, "40.00");
    files->transactions.clear();
    files->transactions.record.sysId = 1;
    files->transactions.setOnValue(core::TraSysIDKey);
    ASSERT_TRUE(files->transactions.next().ok());
    ASSERT_TRUE(transactions::reconcileTransaction(*files).ok());
    EXPECT_EQ(transactionsOf(1)[0].reconciledTransaction, 1);
    EXPECT_EQ(balanceOf(1), money("40.00"));
}

TEST_F(BalanceRuleTest, TheBalanceFollowsAThousandRandomStepsThroughTheForm)
{
    for (std::int32_t id = 1; id <= 3; ++id)
        addAccount(id, "1000.00");
    std::mt19937 random(2026);
    int step = 0;
    const QStringList types{"C", "P", "I", "F", "A", "B"};
    const Navigation navigations[] = {Navigation::None, Navigation::NextRecord, Navigation::Insert, Navigation::PreviousPage};
    // 1,200 steps; a third of them under the sanitizers, where each takes several times as long.
    // On the server, where each step is several round trips, a third of the walk: the form's logic is the same.
    const int steps = 1200 / test::stepStride() / (onServer() ? 3 : 1);
    for (step = 0; step < steps; ++step) {
        const std::int32_t id = static_cast<std::int32_t>(random() % 3) + 1;
        const unsigned what = random() % 10;
        const auto existing = transactionsOf(id);
        const Decimal amount = Decimal::fromUnits(static_cast<std::int64_t>(random() % 40000) - 5000, 2);
        if (what < 5 || existing.size() < 2) {
            auto form = insert(id);
            form->record.working().transactionType = types[static_cast<qsizetype>(random() % types.size())];
            form->record.working().transactionDescription = QStringLiteral("step %1").arg(step);
            form->record.working().transactionAmount = amount;
            if (random() % 7 == 0) {
                form->controller.cancel();
                form->controller.cancel();
                form->controller.finish();
            } else {
                // A negative charge is asked about, and saved as such only on Yes.
                if (form->record.working().transactionType != u"P" && amount.isNegative())
                    messages().answer(random() % 3 == 0 ? Button::No : Button::Yes);
                save(*form, navigations[random() % 4]);
            }
        } else {
            files->transactions.record = existing[random() % existing.size()];
            if (what < 7) {
                Form form(*files);
                form.controller.start(Request::Change);
                const bool asked = form.record.working().transactionType != u"P" && amount.isNegative() &&
                                   !form.record.opened().transactionAmount.isNegative();
                if (asked)
                    messages().answer(random() % 3 == 0 ? Button::No : Button::Yes);
                form.record.working().transactionAmount = amount;
                save(form, navigations[random() % 4]);
            } else if (what < 9) {
                messages().answer(random() % 5 == 0 ? Button::Cancel : Button::Ok);
                Form form(*files);
                form.controller.start(Request::Delete);
                form.controller.finish();
            } else {
                transactions::reconcileTransaction(*files);
            }
        }
        for (std::int32_t a = 1; a <= 3; ++a)
            ASSERT_EQ(balanceOf(a), sumOf(a)) << "account " << a << " after step " << step;
        ASSERT_TRUE(test::keptTotalsMatchTheRecords(*files)) << "after step " << step;
    }
    EXPECT_EQ(messages().unexpected(), 0);
    EXPECT_EQ(messages().pendingAnswers(), 0) << "every negative charge was asked about";
}

TEST_F(BalanceRuleTest, ABookingKilledAtAnyStepIsAllOrNothing)
{
    addAccount(1, "50.00");
    files.reset();
    // On files at every write and deletion; on a server before every statement the station sends.
    const std::vector<const char*> kinds = onServer() ? std::vector<const char*>{"statement"} : std::vector<const char*>{"write", "unlink"};
    for (const char* kind : kinds) {
        int killedRuns = 0;
        for (int step = 1;; step += test::stepStride()) {
            const test::Station::Outcome o =
                test::Station::runKilledAt({QStringLiteral("charge"), registerArgument(), QStringLiteral("1"), QStringLiteral("7.25")},
                                           QStringLiteral("%1:%2").arg(QLatin1String(kind)).arg(step));
            files = std::make_unique<core::DataFiles>(place());
            ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
            ASSERT_TRUE(core::acquireFile(*files, core::FileId::Transactions));
            ASSERT_EQ(balanceOf(1), sumOf(1)) << kind << ':' << step;
            ASSERT_TRUE(test::keptTotalsMatchTheRecords(*files)) << kind << ':' << step;
            files.reset();
            if (!o.killed)
                break;
            ++killedRuns;
            ASSERT_LT(step, 1000);
        }
        EXPECT_GT(killedRuns, 0) << kind << ": the booking was never cut";
    }
}

TEST_F(BalanceRuleTest, TwoStationsBookingOnOneAccountAtOnceLoseNothing)
{
    addAccount(1, "0.00");
    std::vector<std::unique_ptr<QProcess>> stations;
    for (unsigned seed : {11u, 12u})
        stations.push_back(test::Station::start(
            {QStringLiteral("book"), registerArgument(), QStringLiteral("1"), QStringLiteral("3"), QString::number(seed)}));
    long inserts = 0, deletes = 0, refused = 0;
    for (auto& s : stations) {
        ASSERT_TRUE(s->waitForFinished(60000));
        ASSERT_EQ(s->exitCode(), 0);
        const QString out = QString::fromLatin1(s->readAllStandardOutput());
        const QStringList words = out.section(QStringLiteral("BOOKED "), 1).section(u'\n', 0, 0).split(u' ');
        ASSERT_GE(words.size(), 4);
        inserts += words[0].toLong();
        deletes += words[2].toLong();
        refused += words[3].trimmed().toLong();
    }
    EXPECT_GT(inserts, 10) << "both stations got work done";
    EXPECT_GT(deletes, 0);
    EXPECT_EQ(static_cast<long>(transactionsOf(1).size()), 1 + inserts - deletes) << "every save that reported success is there";
    EXPECT_EQ(balanceOf(1), sumOf(1));
    EXPECT_TRUE(test::keptTotalsMatchTheRecords(*files)) << "kept by both stations' writes";
    std::printf("two booking stations: %ld inserts, %ld deletes, %ld refused and reported\n", inserts, deletes, refused);
}

TEST(ChargeAnalysis, TheMonthMeansItsLatestOccurrenceUpToToday)
{
    const platform::DayNumber march15 = platform::dayNumberOf(2026, 3, 15);
    auto p = transactions::analysisPeriod(3, march15);
    EXPECT_EQ(p.year, 2026);
    EXPECT_EQ(p.title, QStringLiteral("Analysis of Charges in 3/2026"));
    EXPECT_EQ(p.first, platform::dayNumberOf(2026, 3, 1));
    EXPECT_EQ(p.last, platform::dayNumberOf(2026, 3, 31));
    p = transactions::analysisPeriod(4, march15);
    EXPECT_EQ(p.year, 2025) << "a later month is last year's";
    EXPECT_EQ(p.title, QStringLiteral("Analysis of Charges in 4/2025"));
    p = transactions::analysisPeriod(2, platform::dayNumberOf(2024, 12, 31));
    EXPECT_EQ(p.last, platform::dayNumberOf(2024, 2, 29)) << "February of a leap year";
    p = transactions::analysisPeriod(0, march15);
    EXPECT_EQ(p.title, QStringLiteral("Analysis of All Charge Transactions"));
    EXPECT_EQ(p.month, 0);
}

TEST(ChargeAnalysis, AnAverageOfNothingIsZero)
{
    EXPECT_EQ(transactions::averageOf(money("0.00"), 0), money("0.00"));
    EXPECT_EQ(transactions::averageOf(money("10.00"), 3), money("3.33"));
    EXPECT_EQ(transactions::averageOf(money("-10.01"), 2), money("-5.01"));
}

} // namespace
