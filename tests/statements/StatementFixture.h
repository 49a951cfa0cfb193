#pragma once

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"
#include "tests/core/CoreFixture.h"
#include "transactions/Ledger.h"
#include "transactions/TransactionFormRecord.h"

#include <QDateTime>

#include <set>

namespace fundora::test {

inline platform::Decimal money(const char* text)
{
    return *platform::Decimal::parse(QString::fromLatin1(text));
}

inline platform::DayNumber day(int y, int m, int d)
{
    return platform::dayNumberOf(y, m, d);
}

// A program directory with the files a statement uses open, and helpers that
// book accounts and transactions by the balance rule.
class StatementTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        clock().set(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        for (core::FileId id :
             {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile(), statements::statementLinesFile()})
            ASSERT_TRUE(core::acquireFile(*files, id));
    }

    void addAccount(std::int32_t id, int billingDay, const char* limit = "5000.00")
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
        files->accounts.record.billingDay = static_cast<std::int16_t>(billingDay);
        files->accounts.record.creditLimit = money(limit);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    // Books a transaction as the form does: the amount as stored (payments negative) and the balance in one commit.
    std::int64_t book(std::int32_t id, platform::DayNumber date, const char* type, const char* amount, const QString& description = {})
    {
        core::Transaction t;
        t.sysId = id;
        t.dateofTransaction = date;
        t.transactionType = QString::fromLatin1(type);
        t.transactionAmount = money(amount);
        t.transactionDescription = description;
        EXPECT_TRUE(transactions::Ledger(*files).book(t).ok());
        return t.identity.row;
    }
    std::set<std::int64_t> openRows(std::int32_t id)
    {
        std::set<std::int64_t> rows;
        for (const core::Transaction& t : transactionsOf(id))
            if (t.reconciledTransaction == 0)
                rows.insert(t.identity.row);
        return rows;
    }
    platform::Decimal balanceOf(std::int32_t id)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        EXPECT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
        return files->accounts.record.accountBalance;
    }
    // The balance rule: an account's balance is the sum of its transactions.
    void expectBalanceRule(std::int32_t id)
    {
        platform::Decimal sum = money("0.00");
        for (const core::Transaction& t : transactionsOf(id))
            sum += t.transactionAmount;
        EXPECT_EQ(balanceOf(id), sum.rounded(2)) << "account " << id;
    }
    std::unique_ptr<statements::StatementSession> openSession(std::int32_t id)
    {
        auto s = std::make_unique<statements::StatementSession>(*files, id);
        EXPECT_TRUE(s->open(clock().today()).ok());
        return s;
    }
    void tickAll(statements::StatementSession& s) { s.tickAllUpTo(s.closingDate()); }
};

} // namespace fundora::test
