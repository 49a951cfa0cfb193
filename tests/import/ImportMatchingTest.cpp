// Importing into an account: the signs a card's lines get, what is new, a
// duplicate or a match, and the one commit that adds them with the balance.
#include "core/FileTransaction.h"
#include "import/ImportRecords.h"
#include "tests/import/ImportFixture.h"

using namespace fundora;
using importing::LineChoice;
using importing::LineStatus;
using test::OfxLine;

namespace {

class ImportMatchingTest : public test::ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        addAccount(1, 15);
    }
    QString statement(const std::vector<OfxLine>& lines, const char* name = "statement.ofx")
    {
        return test::writeFile(path(QString::fromLatin1(name)),
                               test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, true), true).toUtf8());
    }
    static std::vector<LineStatus> statusesOf(const importing::ImportPlan& plan)
    {
        std::vector<LineStatus> out;
        for (const auto& l : plan.lines)
            out.push_back(l.status);
        return out;
    }
};

TEST_F(ImportMatchingTest, ADebitIsAChargeACreditAPaymentStoredNegativeAndInterestAndFeesKeepTheirType)
{
    const std::vector<OfxLine> lines = {
        {QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Bakery")},
        {QStringLiteral("20261104"), QStringLiteral("100.00"), QStringLiteral("B"), QStringLiteral("Payment"), QStringLiteral("CREDIT")},
        {QStringLiteral("20261105"), QStringLiteral("-3.17"), QStringLiteral("C"), QStringLiteral("Interest"), QStringLiteral("INT")},
        {QStringLiteral("20261106"), QStringLiteral("-25.00"), QStringLiteral("D"), QStringLiteral("Late fee"), QStringLiteral("FEE")}};
    const importing::ImportPlan plan = importFile(statement(lines), 1);
    const std::vector<core::Transaction> stored = transactionsOf(1);
    ASSERT_EQ(stored.size(), 4u);
    std::map<QString, core::Transaction> byType;
    for (const auto& t : stored)
        byType[t.transactionType] = t;
    EXPECT_EQ(byType[QStringLiteral("C")].transactionAmount, test::money("42.50"));
    EXPECT_EQ(byType[QStringLiteral("P")].transactionAmount, test::money("-100.00"));
    EXPECT_EQ(byType[QStringLiteral("I")].transactionAmount, test::money("3.17"));
    EXPECT_EQ(byType[QStringLiteral("F")].transactionAmount, test::money("25.00"));
    EXPECT_EQ(byType[QStringLiteral("C")].dateofTransaction, test::day(2026, 11, 3));
    EXPECT_EQ(byType[QStringLiteral("C")].reconciledTransaction, 0);
    EXPECT_EQ(balanceOf(1), test::money("-29.33"));
    EXPECT_EQ(plan.balanceAfter(), test::money("-29.33"));

    // A bank that writes charges positive: flip the signs.
    addAccount(2, 15);
    importFile(statement(lines, "flipped.ofx"), 2, /*flip*/ true);
    EXPECT_EQ(balanceOf(2), test::money("29.33"));
    std::map<QString, platform::Decimal> flipped;
    for (const auto& t : transactionsOf(2))
        flipped[t.transactionDescription] = t.transactionAmount;
    EXPECT_EQ(flipped[QStringLiteral("Bakery")], test::money("-42.50"));
    EXPECT_EQ(flipped[QStringLiteral("Payment")], test::money("100.00"));
}

TEST_F(ImportMatchingTest, TheSameFileTwiceAddsNothingTheSecondTime)
{
    const QString file = statement({{QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Bakery")},
                                    {QStringLiteral("20261104"), QStringLiteral("-9.00"), QStringLiteral("B"), QStringLiteral("Cinema")}});
    importFile(file, 1);
    ASSERT_EQ(transactionsOf(1).size(), 2u);
    const platform::Decimal balance = balanceOf(1);
    const importing::ImportPlan again = importFile(file, 1);
    EXPECT_EQ(statusesOf(again), (std::vector<LineStatus>{LineStatus::Duplicate, LineStatus::Duplicate}));
    EXPECT_EQ(again.lines[0].reason, QStringLiteral("bank id A was imported before"));
    EXPECT_EQ(transactionsOf(1).size(), 2u);
    EXPECT_EQ(balanceOf(1), balance);
    EXPECT_EQ(rememberedLines(1), 2);

    // Deleting an imported transaction through the form forgets its import in the same commit:
    // no record is left pointing at a row that is gone, and the line can be imported again.
    for (const core::Transaction& t : transactionsOf(1))
        if (t.transactionDescription == QStringLiteral("Cinema"))
            files->transactions.record = t;
    transactions::TransactionFormRecord record(*files);
    engine::UpdateFormController form(*files, record);
    messages().answer(platform::Button::Ok);
    form.start(core::Request::Delete);
    form.finish();
    ASSERT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(rememberedLines(1), 1);
    const importing::ImportPlan third = importFile(file, 1);
    EXPECT_EQ(statusesOf(third), (std::vector<LineStatus>{LineStatus::Duplicate, LineStatus::New}));
    EXPECT_EQ(transactionsOf(1).size(), 2u);
}

TEST_F(ImportMatchingTest, ATypedChargeOfTheSameAmountTwoDaysEarlierIsMatchedAndLinkedNotAdded)
{
    const std::int64_t typed = book(1, test::day(2026, 11, 1), "C", "42.50", QStringLiteral("Corner bakery"));
    book(1, test::day(2026, 11, 1), "C", "42.50", QStringLiteral("Shoes")); // same amount, another merchant
    const QString file =
        statement({{QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("CORNER BAKERY #12")}});
    const importing::ImportPlan plan = importFile(file, 1);
    ASSERT_EQ(plan.lines.size(), 1u);
    EXPECT_EQ(plan.lines[0].status, LineStatus::Matched);
    EXPECT_EQ(plan.lines[0].matchedRow, typed);
    EXPECT_EQ(plan.lines[0].reason, QStringLiteral("matches the entry of 11/01/2026 \"Corner bakery\""));
    EXPECT_EQ(transactionsOf(1).size(), 2u);
    EXPECT_EQ(balanceOf(1), test::money("85.00"));
    // Linked once: the next statement's same charge is no match for it again.
    const importing::ImportPlan next = importFile(
        statement({{QStringLiteral("20261104"), QStringLiteral("-42.50"), QStringLiteral("A2"), QStringLiteral("Corner Bakery")}}, "n.ofx"),
        1);
    EXPECT_EQ(next.lines[0].status, LineStatus::New);
    EXPECT_EQ(transactionsOf(1).size(), 3u);
}

TEST_F(ImportMatchingTest, AMatchNeedsTheAmountFourDaysAndASimilarDescription)
{
    book(1, test::day(2026, 11, 1), "C", "42.50", QStringLiteral("Bakery"));
    book(1, test::day(2026, 11, 10), "C", "10.00", QStringLiteral("Caf\u00e9 Nord"));
    const importing::ImportPlan plan = importFile(
        statement(
            {{QStringLiteral("20261106"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("BAKERY")},      // five days
             {QStringLiteral("20261101"), QStringLiteral("-42.51"), QStringLiteral("B"), QStringLiteral("BAKERY")},      // a cent apart
             {QStringLiteral("20261101"), QStringLiteral("-42.50"), QStringLiteral("C"), QStringLiteral("HARDWARE")},    // another name
             {QStringLiteral("20261114"), QStringLiteral("-10.00"), QStringLiteral("D"), QStringLiteral("CAFE NORD")}}), // accents aside
        1, false, false);
    EXPECT_EQ(statusesOf(plan), (std::vector<LineStatus>{LineStatus::New, LineStatus::New, LineStatus::New, LineStatus::Matched}));
    EXPECT_TRUE(importing::similarDescriptions(QStringLiteral("AMAZON MKTPLACE"), QStringLiteral("Amazon")));
    EXPECT_FALSE(importing::similarDescriptions(QStringLiteral("Amazon"), QString()));
    EXPECT_FALSE(importing::similarDescriptions(QStringLiteral("AT&T 12"), QStringLiteral("AT 12")));
}

TEST_F(ImportMatchingTest, AReusedOrMissingIdNeverHidesALineThatDiffersNorOverwritesOne)
{
    importFile(statement({{QStringLiteral("20261103"), QStringLiteral("-5.00"), QStringLiteral("SAME"), QStringLiteral("Coffee")}}), 1);
    const std::vector<core::Transaction> first = transactionsOf(1);
    ASSERT_EQ(first.size(), 1u);
    // The bank gives the id again to another line, and twice in one file; and no id at all to two equal lines.
    const importing::ImportPlan plan =
        importFile(statement({{QStringLiteral("20261110"), QStringLiteral("-5.00"), QStringLiteral("SAME"), QStringLiteral("Coffee")},
                              {QStringLiteral("20261111"), QStringLiteral("-6.00"), QStringLiteral("SAME"), QStringLiteral("Tea")},
                              {QStringLiteral("20261112"), QStringLiteral("-2.00"), QString(), QStringLiteral("Gum")},
                              {QStringLiteral("20261112"), QStringLiteral("-2.00"), QString(), QStringLiteral("Gum")}},
                             "second.ofx"),
                   1);
    EXPECT_EQ(statusesOf(plan), (std::vector<LineStatus>(4, LineStatus::New)));
    EXPECT_EQ(plan.lines[0].reason, QStringLiteral("bank id SAME was imported before for $5.00 on 11/03/2026"));
    const std::vector<core::Transaction> after = transactionsOf(1);
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(after[0].transactionAmount, first[0].transactionAmount);
    EXPECT_EQ(after[0].dateofTransaction, first[0].dateofTransaction);
    EXPECT_EQ(balanceOf(1), test::money("20.00"));
    // A line the file lists twice with its id, date and amount is taken once.
    const importing::ImportPlan twice =
        importFile(statement({{QStringLiteral("20261120"), QStringLiteral("-8.00"), QStringLiteral("T"), QStringLiteral("Taxi")},
                              {QStringLiteral("20261120"), QStringLiteral("-8.00"), QStringLiteral("T"), QStringLiteral("Taxi")}},
                             "twice.ofx"),
                   1, false, false);
    EXPECT_EQ(statusesOf(twice), (std::vector<LineStatus>{LineStatus::New, LineStatus::Duplicate}));
}

TEST_F(ImportMatchingTest, TheUsersChoicesAreWrittenAndOnlyThose)
{
    book(1, test::day(2026, 11, 2), "C", "42.50", QStringLiteral("Bakery"));
    importing::ImportPlan plan =
        importFile(statement({{QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Bakery")},
                              {QStringLiteral("20261104"), QStringLiteral("-9.00"), QStringLiteral("B"), QStringLiteral("Cinema")},
                              {QStringLiteral("20261105"), QStringLiteral("0.00"), QStringLiteral("Z"), QStringLiteral("Card sent")}}),
                   1, false, false);
    EXPECT_EQ(statusesOf(plan), (std::vector<LineStatus>{LineStatus::Matched, LineStatus::New, LineStatus::Refused}));
    EXPECT_EQ(plan.lines[2].reason, QStringLiteral("the amount is 0.00"));
    EXPECT_FALSE(plan.choose(2, LineChoice::Add));  // a refused line stays out
    EXPECT_FALSE(plan.choose(1, LineChoice::Link)); // nothing to link to
    EXPECT_TRUE(plan.choose(0, LineChoice::Add));   // the user says the match is wrong
    EXPECT_TRUE(plan.choose(1, LineChoice::Skip));
    EXPECT_EQ(plan.balanceAfter(), test::money("85.00"));
    importing::CommitOutcome outcome;
    ASSERT_TRUE(importing::commitImport(*files, plan, outcome).ok());
    EXPECT_EQ(outcome.added, 1);
    EXPECT_EQ(outcome.linked, 0);
    EXPECT_EQ(transactionsOf(1).size(), 2u);
    EXPECT_EQ(balanceOf(1), test::money("85.00"));
    expectBalanceRule(1);
}

TEST_F(ImportMatchingTest, AFailedCommitLeavesEveryFileAsItWas)
{
    book(1, test::day(2026, 11, 1), "C", "99000.00", QStringLiteral("Car"));
    // The balance field holds 99,999.99: the import would pass it.
    importing::ImportPlan plan =
        importFile(statement({{QStringLiteral("20261103"), QStringLiteral("-600.00"), QStringLiteral("A"), QStringLiteral("Sofa")},
                              {QStringLiteral("20261104"), QStringLiteral("-700.00"), QStringLiteral("B"), QStringLiteral("Bed")}}),
                   1, false, false);
    importing::CommitOutcome outcome;
    EXPECT_FALSE(importing::commitImport(*files, plan, outcome).ok());
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(rememberedLines(1), 0);
    EXPECT_EQ(balanceOf(1), test::money("99000.00"));
    expectBalanceRule(1);
}

TEST_F(ImportMatchingTest, AnImportAnotherStationMadeSinceThePreviewIsNotAddedTwice)
{
    const QString file = statement({{QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Bakery")}});
    const importing::ImportPlan stale = importFile(file, 1, false, false);
    importFile(file, 1); // the other station's import
    importing::CommitOutcome outcome;
    ASSERT_TRUE(importing::commitImport(*files, stale, outcome).ok());
    EXPECT_TRUE(outcome.conflict);
    EXPECT_EQ(outcome.conflictText,
              QStringLiteral("Line %1 was imported by another station since the preview was made.").arg(stale.lines[0].line.sourceLine));
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    expectBalanceRule(1);
}

TEST_F(ImportMatchingTest, DeletingAnAccountForgetsWhatItsImportsRemember)
{
    importFile(statement({{QStringLiteral("20261103"), QStringLiteral("-1.00"), QStringLiteral("A"), QStringLiteral("x")}}), 1);
    importing::ImportSettings s;
    s.sysId = 1;
    s.flipSigns = 1;
    ASSERT_TRUE(importing::writeImportSettings(*files, s).ok());
    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    ASSERT_EQ(core::riDeleteAccounts(*files), core::Guarded::Done);
    EXPECT_EQ(rememberedLines(1), 0);
    importing::ImportSettings read;
    ASSERT_TRUE(importing::readImportSettings(*files, 1, read).ok());
    EXPECT_FALSE(read.identity.isStored());
    EXPECT_EQ(read.flipSigns, 0);
}

} // namespace
