// fundora --plan as a scheduled job or a user at a terminal runs it: a
// separate process on the register, its output, exit status and CSV file.
#include "core/GuardedWrites.h"
#include "core/OpenFile.h"
#include "planning/PayoffPlan.h"
#include "planning/PlanRules.h"
#include "tests/core/CoreFixture.h"
#include "tests/reports/ReportFixture.h"

#include <QProcess>

using namespace fundora;

namespace {

class PlanCommandLineTest : public test::CoreTest {
protected:
    struct Result {
        int status = -1;
        QString out, errors;
    };
    Result fundora(const QStringList& arguments)
    {
        files->closeAll();
        QProcess p;
        p.start(QStringLiteral(FUNDORA_BIN), QStringList{QStringLiteral("--dir"), dir()} + arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    void addAccount(std::int32_t id, const QString& vendor, const char* balance, const char* rate)
    {
        core::FileUse use(*files, core::FileId::Accounts);
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = vendor;
        files->accounts.record.accountBalance = *platform::Decimal::parse(QString::fromLatin1(balance));
        files->accounts.record.interestRate = *platform::Decimal::parse(QString::fromLatin1(rate));
        ASSERT_TRUE(files->accounts.add().ok());
    }
};

TEST_F(PlanCommandLineTest, PrintsTheLengthAndInterestAndWritesARowPerCardAndMonthAndThePrintedPlan)
{
    addAccount(1, QStringLiteral("Visa"), "900.00", "15.00");
    addAccount(2, QStringLiteral("=HYPERLINK(\"http://x\")"), "2500.00", "24.99");
    addAccount(3, QStringLiteral("Paid Up"), "0.00", "19.99");
    const QString csv = path(QStringLiteral("plan.csv"));
    const QString pdf = path(QStringLiteral("plan.pdf"));
    const Result r = fundora({QStringLiteral("--plan"), QStringLiteral("snowball"), QStringLiteral("--monthly"), QStringLiteral("1,000.00"),
                              QStringLiteral("--csv"), csv, QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();

    planning::PlanCard visa, other;
    visa.sysId = 1;
    visa.balance = *platform::Decimal::parse(u"900.00");
    visa.rate = *platform::Decimal::parse(u"15.00");
    other.sysId = 2;
    other.balance = *platform::Decimal::parse(u"2500.00");
    other.rate = *platform::Decimal::parse(u"24.99");
    const planning::PlanOutcome expected =
        planning::makePlan({visa, other}, planning::Strategy::Snowball, *platform::Decimal::parse(u"1000"));
    ASSERT_TRUE(expected.plan);
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nmonths: %1\n").arg(expected.plan->length()))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\ninterest: %1\n").arg(planning::planMoney(expected.plan->totalInterest))))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("minimums only: months "))) << r.out.toStdString();

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 2 * expected.plan->length()) << "a header, then a row per card and month";
    EXPECT_EQ(lines[0], QStringLiteral("Month,SysID,Card,Payment,Interest,Balance"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1,1,Visa,"))) << "snowball: the smaller balance first";
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("1,2,\"'=HYPERLINK")))
        << "a name a spreadsheet would run stays text: " << lines[2].toStdString();
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral(",0.00")));

    // The printed plan read back: its heading, the last line and the totals.
    const QString printed = test::pdfText(pdf).simplified();
    const QString interest = planning::planMoney(expected.plan->totalInterest);
    EXPECT_TRUE(printed.contains(
        QStringLiteral("Order: snowball Monthly amount: 1,000.00 Months: %1 Interest: %2").arg(expected.plan->length()).arg(interest)))
        << printed.toStdString();
    const planning::CardMonth& last = expected.plan->months.back()[1];
    EXPECT_TRUE(printed.contains(QStringLiteral("%1 =HYPERLINK(\"http://x\") %2 %3 0.00")
                                     .arg(expected.plan->length())
                                     .arg(planning::planMoney(last.payment), planning::planMoney(last.interest))))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Visa is paid off in month %1.").arg(expected.plan->paidOffIn[0])));
    EXPECT_TRUE(printed.contains(
        QStringLiteral("Every card is paid off in %1 months with %2 of interest.").arg(expected.plan->length()).arg(interest)));
}

TEST_F(PlanCommandLineTest, WrongArgumentsAndARefusedPlanSayWhatIsAccepted)
{
    addAccount(1, QStringLiteral("Visa"), "900.00", "15.00");
    struct Case {
        QStringList arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{QStringLiteral("--plan"), QStringLiteral("fastest"), QStringLiteral("--monthly"), QStringLiteral("100")},
         2,
         "--plan needs a strategy: avalanche (highest rate first), snowball (smallest balance first) or own (your order)."},
        {{QStringLiteral("--plan"), QStringLiteral("avalanche")}, 2, "--monthly needs the amount you can pay each month"},
        {{QStringLiteral("--plan"), QStringLiteral("avalanche"), QStringLiteral("--monthly"), QStringLiteral("lots")},
         2,
         "--monthly needs the amount you can pay each month, above 0, as 500 or 1,250.00."},
        {{QStringLiteral("--plan"), QStringLiteral("own"), QStringLiteral("--monthly"), QStringLiteral("10")},
         1,
         "fundora: 10.00 a month does not cover the first month's minimum payments: the minimum of Visa is not reached."},
    };
    for (const Case& c : cases) {
        const Result r = fundora(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(r.errors.contains(QString::fromUtf8(c.says))) << r.errors.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(PlanCommandLineTest, TheUsersOrderAndMinimumAreKeptWithTheCardAndGoWithIt)
{
    addAccount(1, QStringLiteral("Visa"), "900.00", "15.00");
    addAccount(2, QStringLiteral("Store"), "2500.00", "24.99");
    {
        const core::FileUses uses(*files, {core::FileId::Accounts, core::FileId::Transactions, planning::planRulesFile()});
        planning::PlanRule first, higherMinimum;
        first.sysId = 2;
        first.ownOrder = 1;
        ASSERT_TRUE(planning::savePlanRule(*files, first).ok());
        higherMinimum.sysId = 1;
        higherMinimum.minimumAmount = *platform::Decimal::parse(u"40.00");
        ASSERT_TRUE(planning::savePlanRule(*files, higherMinimum).ok());
    }
    const QString csv = path(QStringLiteral("own.csv"));
    const Result r = fundora({QStringLiteral("--plan"), QStringLiteral("own"), QStringLiteral("--monthly"), QStringLiteral("500"),
                              QStringLiteral("--csv"), csv});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1,2,Store,"))) << "placed first by the user: " << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("1,1,Visa,40.00,"))) << "the user's minimum of 40.00: " << lines[2].toStdString();

    // The rule is the card's: deleting the account takes it along.
    const core::FileUses uses(*files, {core::FileId::Accounts, core::FileId::Transactions, planning::planRulesFile()});
    files->accounts.clear();
    files->accounts.record.sysId = 2;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    ASSERT_EQ(core::riDeleteAccounts(*files), core::Guarded::Done);
    std::map<std::int32_t, planning::PlanRule> rules;
    ASSERT_TRUE(planning::readPlanRules(*files, rules).ok());
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules.begin()->first, 1);
}

} // namespace
