#include "core/CardStatement.h"

namespace fundora::core {

const RecordLayout<CardStatement>& cardStatementLayout()
{
    // Sums of many entries get more digits than one transaction's amount.
    static const RecordLayout<CardStatement> layout(
        QStringLiteral("Statements"), QStringLiteral("STM"), QStringLiteral("STATEMNT"), 1,
        {
            {longField("STM:StatementID"), &CardStatement::statementId},
            {longField("STM:SysID"), &CardStatement::sysId},
            {longField("STM:ClosingDate"), &CardStatement::closingDate},
            {decimalField("STM:EndingBalance", 6, 2), &CardStatement::endingBalance},
            {decimalField("STM:PreviousBalance", 6, 2), &CardStatement::previousBalance},
            {decimalField("STM:Charges", 6, 2), &CardStatement::charges},
            {decimalField("STM:Credits", 6, 2), &CardStatement::credits},
            {decimalField("STM:MinimumPayment", 6, 2), &CardStatement::minimumPayment},
            {longField("STM:DueDate"), &CardStatement::dueDate},
            {decimalField("STM:AcceptedDifference", 6, 2), &CardStatement::acceptedDifference},
            {longField("STM:FinishedDate"), &CardStatement::finishedDate},
            {longField("STM:FinishedTime"), &CardStatement::finishedTime},
            {longField("STM:TransactionCount"), &CardStatement::transactionCount},
        },
        {
            {QStringLiteral("STM:IdKey"), {QStringLiteral("STM:StatementID")}, true, false},
            {QStringLiteral("STM:SysIDDateKey"), {QStringLiteral("STM:SysID"), QStringLiteral("STM:ClosingDate")}, false, false},
        });
    return layout;
}

const RecordLayout<StatementLine>& statementLineLayout()
{
    static const RecordLayout<StatementLine> layout(
        QStringLiteral("StatementLines"), QStringLiteral("STL"), QStringLiteral("STMLINES"), 1,
        {
            {longField("STL:StatementID"), &StatementLine::statementId},
            {longField("STL:SysID"), &StatementLine::sysId},
            {longField("STL:TransactionRow"), &StatementLine::transactionRow},
        },
        {
            {QStringLiteral("STL:StatementKey"), {QStringLiteral("STL:StatementID"), QStringLiteral("STL:TransactionRow")}, true, false},
            {QStringLiteral("STL:RowKey"), {QStringLiteral("STL:TransactionRow")}, false, false},
            {QStringLiteral("STL:SysIDKey"), {QStringLiteral("STL:SysID")}, false, false},
        });
    return layout;
}

} // namespace fundora::core
