#include "import/ImportCommit.h"

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"
#include "transactions/TransactionFormRecord.h"

namespace fundora::importing {

using platform::Decimal;
using platform::FileError;

namespace {

// Whether an import since the plan took in this line already, or linked this row.
FileError takenSince(core::DataFiles& files, std::int32_t sysId, const PlannedLine& p, bool& taken)
{
    auto& imported = files.importedLines;
    taken = false;
    if (p.choice == LineChoice::Link) {
        imported.clear();
        imported.record.transactionRow = p.matchedRow;
        const FileError e = imported.get(core::ImlRowKey);
        taken = e.ok();
        return e.ok() || e.code == platform::ErrorCode::RecordNotFound ? FileError::success() : e;
    }
    if (p.line.bankId.isEmpty())
        return FileError::success();
    imported.clear();
    imported.record.sysId = sysId;
    imported.record.bankId = p.line.bankId;
    imported.setOnValue(core::ImlSysIDBankKey);
    for (;;) {
        const FileError e = imported.next();
        if (e.code == platform::ErrorCode::EndOfFile)
            return FileError::success();
        if (!e.ok())
            return e;
        const core::ImportedLine& r = imported.record;
        if (r.sysId != sysId || r.bankId != p.line.bankId)
            return FileError::success();
        if (r.lineDate == p.line.date && r.lineAmount == p.line.amount) {
            taken = true;
            return FileError::success();
        }
    }
}

} // namespace

FileError commitImport(core::DataFiles& files, const ImportPlan& plan, CommitOutcome& outcome)
{
    outcome = CommitOutcome{};
    core::FileUse accounts(files, core::FileId::Accounts), transactions(files, core::FileId::Transactions),
        imported(files, core::FileId::ImportedLines);
    if (!accounts.ok() || !transactions.ok() || !imported.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the data files could not be opened"));
    core::FileTransaction tx(files.store);
    if (!tx.begun())
        return tx.beginError();
    const platform::Clock& clock = platform::Clock::current();
    const std::int32_t today = clock.today();
    const std::int32_t now = clock.timeOfDay();
    Decimal total = Decimal::fromUnits(0, 2);
    for (const PlannedLine& p : plan.lines) {
        if (p.choice == LineChoice::Skip)
            continue;
        bool taken = false;
        if (FileError e = takenSince(files, plan.sysId, p, taken); !e.ok())
            return e;
        if (taken) {
            outcome.conflict = true;
            outcome.conflictText =
                QStringLiteral("Line %1 was imported by another station since the preview was made.").arg(p.line.sourceLine);
            return FileError::success(); // the transaction rolls back: nothing is written
        }
        std::int32_t row = p.matchedRow;
        if (p.choice == LineChoice::Add) {
            core::Transaction& t = files.transactions.record;
            t = core::Transaction{};
            t.sysId = plan.sysId;
            t.dateofTransaction = p.line.date;
            t.transactionDescription = p.line.description;
            t.transactionType = p.line.type;
            t.transactionAmount = p.line.amount;
            if (FileError e = files.transactions.add(); !e.ok())
                return e;
            row = static_cast<std::int32_t>(files.transactions.record.identity.row);
            total += p.line.amount;
        }
        core::ImportedLine& r = files.importedLines.record;
        r = core::ImportedLine{};
        r.sysId = plan.sysId;
        r.bankId = p.line.bankId;
        r.lineDate = p.line.date;
        r.lineAmount = p.line.amount;
        r.transactionRow = row;
        r.outcome = static_cast<std::uint8_t>(p.choice == LineChoice::Add ? core::ImportOutcome::Added : core::ImportOutcome::Matched);
        r.importDate = today;
        r.importTime = now;
        r.sourceName = plan.sourceName.left(80);
        if (FileError e = files.importedLines.add(); !e.ok())
            return e;
        ++(p.choice == LineChoice::Add ? outcome.added : outcome.linked);
    }
    if (!total.isZero())
        if (FileError e = transactions::addToBalance(files, plan.sysId, total.rounded(2)); !e.ok())
            return e;
    return tx.commit();
}

FileError readImportSettings(core::DataFiles& files, std::int32_t sysId, core::ImportSettings& out)
{
    core::FileUse use(files, core::FileId::ImportSettings);
    if (!use.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the import settings could not be opened"));
    files.importSettings.clear();
    files.importSettings.record.sysId = sysId;
    const FileError e = files.importSettings.get(core::ImsSysIDKey);
    if (e.code == platform::ErrorCode::RecordNotFound) {
        out = core::ImportSettings{};
        out.sysId = sysId;
        return FileError::success();
    }
    if (e.ok())
        out = files.importSettings.record;
    return e;
}

FileError writeImportSettings(core::DataFiles& files, const core::ImportSettings& settings)
{
    core::FileUse use(files, core::FileId::ImportSettings);
    if (!use.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the import settings could not be opened"));
    core::ImportSettings stored;
    if (FileError e = readImportSettings(files, settings.sysId, stored); !e.ok())
        return e;
    files.importSettings.record = settings;
    files.importSettings.record.identity = stored.identity;
    return stored.identity.isStored() ? files.importSettings.put() : files.importSettings.add();
}

} // namespace fundora::importing
