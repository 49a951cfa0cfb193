#include "accounts/CardStanding.h"

#include "platform/store/View.h"
#include "statements/StatementRecords.h"

namespace fundora::accounts {

using platform::Decimal;
using platform::FileError;

namespace {

constexpr int HighPercent = 80;
constexpr int CriticalPercent = 95;

} // namespace

void setCreditUsed(CardStanding& standing, const Decimal& balance, const Decimal& limit)
{
    standing.hasLimit = limit.units() > 0;
    standing.usedPercent = 0;
    if (standing.hasLimit && !balance.isNegative()) {
        // Whole percent, rounded down: 79.99 % is not yet 80 %.
        const std::int64_t b = balance.unitsAt(2).value_or(0), l = limit.unitsAt(2).value_or(1);
        standing.usedPercent = static_cast<int>(std::min<std::int64_t>(b * 100 / l, 9999));
    }
    standing.level = standing.usedPercent >= CriticalPercent ? CardStanding::Level::Critical
                     : standing.usedPercent >= HighPercent   ? CardStanding::Level::High
                                                             : CardStanding::Level::Normal;
}

FileError cardStandingOf(core::DataFiles& files, const core::Account& account, CardStanding& out)
{
    out = {};
    setCreditUsed(out, account.accountBalance, account.creditLimit);
    std::vector<statements::CardStatement> statements;
    if (FileError e = statements::readStatements(files, account.sysId, statements); !e.ok())
        return e;
    const std::optional<statements::CardStatement> last = statements::latestFinished(statements);
    if (!last)
        return FileError::success();
    out.hasStatement = true;
    out.statementBalance = last->endingBalance;
    out.closingDate = last->closingDate;
    out.dueDate = last->dueDate;
    out.minimumPayment = last->minimumPayment;

    // The payments since the closing date, summed by SQLite over the account's range.
    const platform::FileDef& tra = core::transactionLayout().def();
    platform::View view(files.transactions.file(), core::TraSysIDDateKey);
    core::Transaction owner;
    owner.sysId = account.sysId;
    view.setRange(core::transactionLayout().toRecord(owner), 1);
    platform::FilterBindings names;
    const std::int64_t closing = last->closingDate;
    names.bind(QStringLiteral("LOC:ClosingDate"), [closing] { return platform::FieldValue{closing}; });
    platform::View::Totals paid;
    if (FileError e = view.totals(tra.fieldIndex(QStringLiteral("TRA:TransactionAmount")),
                                  QStringLiteral("TRA:TransactionType = 'P' AND TRA:DateofTransaction > LOC:ClosingDate"), names, paid);
        !e.ok())
        return e;
    out.paidSince = -Decimal::fromUnits(paid.sumUnits, 2);
    return FileError::success();
}

QString dueText(const CardStanding& standing, platform::DayNumber today)
{
    if (standing.minimumPayment <= Decimal::fromUnits(0, 2))
        return QStringLiteral("nothing due");
    if (standing.paidSince >= standing.minimumPayment)
        return QStringLiteral("minimum paid");
    const int days = standing.dueDate - today;
    if (days == 0)
        return QStringLiteral("due today");
    if (days == 1)
        return QStringLiteral("due tomorrow");
    if (days > 1)
        return QStringLiteral("due in %1 days").arg(days);
    return days == -1 ? QStringLiteral("overdue by 1 day") : QStringLiteral("overdue by %1 days").arg(-days);
}

} // namespace fundora::accounts
