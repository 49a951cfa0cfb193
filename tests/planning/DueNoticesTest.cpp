// What is due, on a fixed clock: the notice lists a card whose minimum is
// unpaid and due within the days asked or overdue, and nothing else.
#include "planning/DueNotices.h"
#include "planning/DueCommandLine.h"
#include "statements/StatementRecords.h"
#include "tests/statements/StatementFixture.h"

#include <QTextStream>

using namespace fundora;
using test::day;
using test::money;

namespace {

class DueNoticesTest : public test::StatementTest {
protected:
    // An account whose statement closed 11/20 with a 25.00 minimum due on `due`, and `paid` paid since.
    void card(std::int32_t id, const char* name, platform::DayNumber due, const char* paid)
    {
        addAccount(id, 20);
        files->accounts.record.creditCardVendor = QString::fromLatin1(name);
        ASSERT_TRUE(files->accounts.put().ok());
        book(id, day(2026, 11, 1), "C", "500.00");
        auto& stm = statements::statementsOf(*files);
        stm.clear();
        stm.record.statementId = id;
        stm.record.sysId = id;
        stm.record.closingDate = day(2026, 11, 20);
        stm.record.endingBalance = money("500.00");
        stm.record.minimumPayment = money("25.00");
        stm.record.dueDate = due;
        stm.record.finishedDate = day(2026, 11, 21);
        ASSERT_TRUE(stm.add().ok());
        if (std::strcmp(paid, "0.00") != 0)
            book(id, day(2026, 11, 25), "P", (QByteArray("-") + paid).constData());
    }
    QStringList noticesWithin(int days)
    {
        std::vector<planning::DueNotice> notices;
        EXPECT_TRUE(planning::dueNotices(*files, clock().today(), days, notices).ok());
        QStringList out;
        for (const planning::DueNotice& n : notices)
            out << n.text();
        return out;
    }
};

TEST_F(DueNoticesTest, DueSoonDueTodayAndOverdueAreListedPaidAndLaterAreNot)
{
    // Today is 12/07/2026.
    card(1, "In Five", day(2026, 12, 12), "10.00");
    card(2, "Today", day(2026, 12, 7), "0.00");
    card(3, "Overdue", day(2026, 12, 4), "0.00");
    card(4, "Paid Enough", day(2026, 12, 8), "25.00");
    card(5, "In Six", day(2026, 12, 13), "0.00");
    EXPECT_EQ(noticesWithin(planning::DefaultDueWithin),
              (QStringList{QStringLiteral("Overdue: 25.00 minimum due 12/04/2026 (overdue by 3 days), 0.00 paid"),
                           QStringLiteral("Today: 25.00 minimum due 12/07/2026 (due today), 0.00 paid"),
                           QStringLiteral("In Five: 25.00 minimum due 12/12/2026 (due in 5 days), 10.00 paid")}));
    EXPECT_EQ(noticesWithin(6).size(), 4);

    // The command line a scheduled job runs: a line a card, and its status says whether anything is due.
    QString text, errors;
    QTextStream out(&text), err(&errors);
    EXPECT_EQ(planning::runDueCommand(*files, {planning::DefaultDueWithin}, out, err), 1);
    out.flush();
    EXPECT_EQ(text.count(u'\n'), 3);
    clock().set(QDateTime(QDate(2026, 11, 21), QTime(9, 0)));
    text.clear();
    EXPECT_EQ(planning::runDueCommand(*files, {1}, out, err), 0);
    out.flush();
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST(DueCommandLine, WrongArgumentsSayWhatIsAccepted)
{
    QString error;
    EXPECT_FALSE(planning::parseDueCommand(
        {QStringLiteral("fundora"), QStringLiteral("--due"), QStringLiteral("--within"), QStringLiteral("soon")}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("--within needs a number of days from 0 to 365, as 5."))) << error.toStdString();
    EXPECT_FALSE(planning::parseDueCommand({QStringLiteral("fundora"), QStringLiteral("--due"), QStringLiteral("--late")}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Unknown argument --late."))) << error.toStdString();
    EXPECT_FALSE(planning::parseDueCommand({QStringLiteral("fundora"), QStringLiteral("--due"), QStringLiteral("--dir")}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("--dir needs a directory."))) << error.toStdString();
    const auto c = planning::parseDueCommand(
        {QStringLiteral("fundora"), QStringLiteral("--dir"), QStringLiteral("x"), QStringLiteral("--due")}, &error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->within, planning::DefaultDueWithin);
}

} // namespace
