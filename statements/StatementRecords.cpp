#include "statements/StatementRecords.h"

namespace fundora::statements {

using core::decimalField;
using core::longField;

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

core::FileId statementsFile()
{
    static const core::FileId id = core::declareFile(cardStatementLayout(), StmSysIDDateKey);
    return id;
}

core::FileId statementLinesFile()
{
    static const core::FileId id = core::declareFile(statementLineLayout(), StlSysIDKey);
    return id;
}

std::vector<core::FileId> statementFiles()
{
    return {core::FileId::Accounts, core::FileId::Transactions, statementsFile(), statementLinesFile()};
}

core::TypedFile<CardStatement>& statementsOf(core::DataFiles& files)
{
    return files.typed<CardStatement>(statementsFile());
}

core::TypedFile<StatementLine>& statementLinesOf(core::DataFiles& files)
{
    return files.typed<StatementLine>(statementLinesFile());
}

platform::FileError readStatements(core::DataFiles& files, std::int32_t sysId, std::vector<CardStatement>& out)
{
    out.clear();
    auto& stm = statementsOf(files);
    stm.clear();
    stm.record.sysId = sysId;
    stm.setOnValue(StmSysIDDateKey);
    for (;;) {
        const platform::FileError e = stm.next();
        if (e.code == platform::ErrorCode::EndOfFile || (e.ok() && stm.record.sysId != sysId))
            return platform::FileError::success();
        if (!e.ok())
            return e;
        out.push_back(stm.record);
    }
}

std::optional<CardStatement> latestFinished(const std::vector<CardStatement>& statements)
{
    std::optional<CardStatement> latest;
    for (const CardStatement& s : statements)
        if (!s.isDraft() && (!latest || s.closingDate > latest->closingDate ||
                             (s.closingDate == latest->closingDate && s.statementId > latest->statementId)))
            latest = s;
    return latest;
}

std::optional<CardStatement> draftOf(const std::vector<CardStatement>& statements)
{
    for (const CardStatement& s : statements)
        if (s.isDraft())
            return s;
    return std::nullopt;
}

} // namespace fundora::statements
