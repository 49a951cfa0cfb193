#include "reports/StatementReport.h"

#include "core/GlobalState.h"
#include "platform/pictures/Picture.h"
#include "reports/TransactionReport.h"
#include "statements/StatementRecords.h"

namespace fundora::reports {

using platform::formatPicture;

namespace {

QString money(const platform::Decimal& amount)
{
    return formatPicture(amount, u"n$13.2-").trimmed();
}

QString date(platform::DayNumber day)
{
    return day == 0 ? QStringLiteral("none") : formatPicture(std::int64_t{day}, u"d2");
}

} // namespace

ReportSelection StatementReport::selection() const
{
    ReportSelection s;
    s.primary = statements::statementLinesFile();
    s.key = statements::StlStatementKey;
    s.filter = QStringLiteral("STL:StatementID = GLO:CurrentStatement");
    s.files = {statements::statementLinesFile(), core::FileId::Transactions, statements::statementsFile(), core::FileId::Accounts};
    s.estimateOf25 = true;
    return s;
}

void StatementReport::begin(core::DataFiles& files)
{
    m_files = &files;
    m_count = 0;
    m_totalUnits = 0;
    m_statement = {};
    statements::CardStatement wanted;
    wanted.statementId = core::glo().currentStatementId;
    platform::Record found;
    if (statements::statementsOf(files).file().get(statements::StmIdKey, statements::cardStatementLayout().toRecord(wanted), found).ok())
        statements::cardStatementLayout().fromRecord(found, m_statement);
    files.readAccount(m_statement.sysId, m_account);
}

void StatementReport::take(const platform::Record& record)
{
    statements::StatementLine line;
    statements::statementLineLayout().fromRecord(record, line);
    platform::Record stored;
    m_transaction = {};
    if (m_files && m_files->transactions.file().fetch(line.transactionRow, stored).ok())
        core::transactionLayout().fromRecord(stored, m_transaction);
    else
        m_transaction.transactionDescription = QStringLiteral("(deleted since)");
    ++m_count;
    m_totalUnits += m_transaction.transactionAmount.unitsAt(2).value_or(0);
}

void StatementReport::pageHeader(platform::ReportPage& page) const
{
    const QPoint o(1010, 1000);
    auto at = [&o](int x, int y, int w = 0) { return QRect(o.x() + x, o.y() + y, w, 0); };
    page.text(at(135, 104, 5700), QStringLiteral("Statement closing %1").arg(date(m_statement.closingDate)), font(14, true));
    page.text(at(135, 354, 5700), m_account.creditCardVendor + QStringLiteral("   ") + m_account.accountNumber, font(11, true));
    page.box({o.x() + 10, o.y() + 604, 5980, 1000});
    const std::pair<QString, QString> figures[] = {
        {QStringLiteral("Previous balance:"), money(m_statement.previousBalance)},
        {QStringLiteral("Charges:"), money(m_statement.charges)},
        {QStringLiteral("Credits:"), money(m_statement.credits)},
        {QStringLiteral("Difference accepted:"), money(m_statement.acceptedDifference)},
        {QStringLiteral("Ending balance:"), money(m_statement.endingBalance)},
        {QStringLiteral("Minimum payment:"), money(m_statement.minimumPayment)},
        {QStringLiteral("Payment due:"), date(m_statement.dueDate)},
        {QStringLiteral("Finished:"), date(m_statement.finishedDate)},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = i < 4 ? 135 : 3135, y = 667 + (i % 4) * 229;
        page.text(at(x, y, 1600), figures[i].first, font(10));
        page.text(at(x + 1600, y, 1100), figures[i].second, font(10, true), Qt::AlignRight);
    }
    page.line(o, o + QPoint(0, 1708));
    page.line(o + QPoint(6000, 0), o + QPoint(6000, 1708));
}

void StatementReport::pageFooter(platform::ReportPage& page, int pageNumber) const
{
    page.text({1000 + 5250, 9000 + 30, 750, 0}, pageNumberText(pageNumber), font(8));
}

void StatementReport::detail(platform::ReportPage& page, const QPoint& origin) const
{
    drawTransactionLine(page, origin, m_transaction);
}

void StatementReport::groupFooter(platform::ReportPage& page, const QPoint& o) const
{
    auto at = [&o](int x, int y, int w) { return QRect(o.x() + x, o.y() + y, w, 0); };
    page.text(at(2583, 83, 2200), QStringLiteral("%1 transaction(s) reconciled:").arg(m_count), font(10, true), Qt::AlignRight);
    page.text(at(4813, 83, 938), money(platform::Decimal::fromUnits(m_totalUnits, 2)), font(10, true), Qt::AlignRight);
}

QStringList StatementReport::csvHeader() const
{
    return {QStringLiteral("Date"), QStringLiteral("Description"), QStringLiteral("Type"), QStringLiteral("Amount")};
}

QStringList StatementReport::csvRow() const
{
    return {formatPicture(std::int64_t{m_transaction.dateofTransaction}, u"d2"), m_transaction.transactionDescription,
            reportTransactionTypeDescription(m_transaction.transactionType), m_transaction.transactionAmount.toString()};
}

std::vector<QStringList> StatementReport::csvTotals() const
{
    return {{QString(), QStringLiteral("%1 transaction(s) reconciled").arg(m_count), QString(),
             platform::Decimal::fromUnits(m_totalUnits, 2).toString()},
            {QString(), QStringLiteral("Ending balance"), QString(), m_statement.endingBalance.toString()}};
}

} // namespace fundora::reports
