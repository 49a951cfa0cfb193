#include "statements/CycleInterest.h"

#include "platform/pictures/Picture.h"
#include "platform/store/View.h"
#include "statements/ClosingDate.h"
#include "statements/StatementRecords.h"
#include "statements/StatementText.h"

#include <algorithm>

namespace fundora::statements {

using platform::DayNumber;
using platform::Decimal;
using platform::FileError;

namespace {

const Decimal NoMoney = Decimal::fromUnits(0, 2);

// 1,234.56 (a figure the breakdown compares with the statement's).
QString amountText(const Decimal& d)
{
    return platform::formatPicture(d, u"n-14.2").trimmed();
}

} // namespace

QString CycleInterest::breakdown() const
{
    if (!estimated)
        return QStringLiteral("No estimate: the card has no statement and no billing day.");
    return QStringLiteral("%1 by the average daily balance: %2 over %3 days (%4 to %5) at %6 % a year, %7.")
        .arg(amountText(interest), amountText(averageDailyBalance))
        .arg(days)
        .arg(dateText(start), dateText(end), rate.toString(), graceReason);
}

CycleInterest averageDailyBalanceInterest(DayNumber start, DayNumber end, const Decimal& opening, const std::vector<CycleEntry>& entries,
                                          const Decimal& rate, bool grace)
{
    CycleInterest out;
    out.estimated = true;
    out.start = start;
    out.end = end;
    out.days = std::max(0, end - start + 1);
    out.rate = rate;
    out.grace = grace;
    if (out.days == 0)
        return out;
    // What each day adds to the balance (and to the purchases kept out of it with the grace period).
    std::vector<std::int64_t> moved(static_cast<std::size_t>(out.days), 0), bought(static_cast<std::size_t>(out.days), 0);
    for (const CycleEntry& e : entries) {
        if (e.date < start || e.date > end)
            continue;
        const auto day = static_cast<std::size_t>(e.date - start);
        const std::int64_t cents = e.amount.rounded(2).units();
        moved[day] += cents;
        if (e.purchase)
            bought[day] += cents;
    }
    // With the grace period neither the balance the cycle began with (paid in
    // full) nor the cycle's purchases bear interest: what else it added does,
    // less its payments.
    const std::int64_t begun = opening.rounded(2).units();
    std::int64_t balance = begun, purchases = 0, sum = 0;
    for (std::size_t day = 0; day < moved.size(); ++day) {
        balance += moved[day];
        purchases += bought[day];
        sum += std::max<std::int64_t>(0, grace ? balance - begun - purchases : balance);
    }
    const Decimal total = Decimal::fromUnits(sum, 2);
    out.averageDailyBalance = *total.dividedBy(Decimal::fromInteger(out.days), 2);
    // sum of the daily balances x APR / 365 / 100, rounded once.
    out.interest = *(total * rate).dividedBy(Decimal::fromInteger(36500), 2);
    return out;
}

FileError cycleInterestOf(core::DataFiles& files, const core::Account& account, DayNumber today, CycleInterest& out)
{
    out = {};
    std::vector<CardStatement> stored;
    if (FileError e = readStatements(files, account.sysId, stored); !e.ok())
        return e;
    const std::optional<CardStatement> last = latestFinished(stored);
    const int billingDay = account.billingDay;
    if (billingDay < 1 || billingDay > 31)
        return FileError::success(); // no next closing date to estimate to
    const DayNumber lastClosing = last ? last->closingDate : proposedClosingDate(billingDay, today);
    DayNumber start = lastClosing + 1;
    DayNumber end = billingDateOnOrAfter(billingDay, start);
    // A statement not yet reconciled closed since: the cycle that runs today.
    while (end < today) {
        start = end + 1;
        end = billingDateOnOrAfter(billingDay, start);
    }

    // Every entry from the cycle's start on, read forward through (SysID, date):
    // the balance before the cycle is the account's balance less what they add.
    platform::View view(files.transactions.file(), core::TraSysIDDateKey);
    core::Transaction from;
    from.sysId = account.sysId;
    view.setRange(core::transactionLayout().toRecord(from), 1);
    from.dateofTransaction = start;
    view.toValue(core::transactionLayout().toRecord(from));
    view.setReadAhead(256);
    std::vector<CycleEntry> entries;
    Decimal sinceStart = NoMoney;
    Decimal paidByDue = NoMoney;
    for (;;) {
        platform::Record r;
        const FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            break;
        if (!e.ok())
            return e;
        core::Transaction t;
        core::transactionLayout().fromRecord(r, t);
        sinceStart += t.transactionAmount;
        if (t.dateofTransaction <= end)
            entries.push_back({t.dateofTransaction, t.transactionAmount, t.transactionType == QStringLiteral("C")});
        if (last && t.transactionType == QStringLiteral("P") && t.dateofTransaction <= last->dueDate)
            paidByDue -= t.transactionAmount;
    }
    const Decimal opening = account.accountBalance - sinceStart;

    bool grace = false;
    QString reason;
    if (!last) {
        grace = !(opening > NoMoney);
        reason = grace ? QStringLiteral("grace period: nothing was owed when the cycle began")
                       : QStringLiteral("no grace period: %1 was owed when the cycle began").arg(amountText(opening));
    } else if (!(last->endingBalance > NoMoney) || paidByDue >= last->endingBalance) {
        grace = true;
        reason = QStringLiteral("grace period: the statement balance of %1 was paid in full by %2")
                     .arg(amountText(last->endingBalance), dateText(last->dueDate));
    } else if (today <= last->dueDate) {
        reason = QStringLiteral("no grace period yet: %1 of the statement balance of %2 is paid; paying it in full by %3 takes the "
                                "interest off the purchases")
                     .arg(amountText(paidByDue), amountText(last->endingBalance), dateText(last->dueDate));
    } else {
        reason = QStringLiteral("no grace period: the statement balance of %1 was not paid in full by %2")
                     .arg(amountText(last->endingBalance), dateText(last->dueDate));
    }
    out = averageDailyBalanceInterest(start, end, opening, entries, account.interestRate, grace);
    out.graceReason = reason;
    return FileError::success();
}

} // namespace fundora::statements
