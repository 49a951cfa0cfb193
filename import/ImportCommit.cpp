#include "import/ImportCommit.h"

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"
#include "transactions/Ledger.h"

#include <vector>

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
    // Every line is checked against what other stations imported before anything is written.
    std::vector<const PlannedLine*> taken;
    std::vector<core::Transaction> added;
    for (const PlannedLine& p : plan.lines) {
        if (p.choice == LineChoice::Skip)
            continue;
        bool since = false;
        if (FileError e = takenSince(files, plan.sysId, p, since); !e.ok())
            return e;
        if (since) {
            outcome.conflict = true;
            outcome.conflictText =
                QStringLiteral("Line %1 was imported by another station since the preview was made.").arg(p.line.sourceLine);
            return FileError::success(); // the transaction rolls back: nothing is written
        }
        taken.push_back(&p);
        if (p.choice == LineChoice::Add) {
            core::Transaction t;
            t.sysId = plan.sysId;
            t.dateofTransaction = p.line.date;
            t.transactionDescription = p.line.description;
            t.transactionType = p.line.type;
            t.transactionAmount = p.line.amount;
            added.push_back(t);
        }
    }
    // The added lines and the balance they move, by the balance rule.
    if (FileError e = transactions::Ledger(files).book(added); !e.ok())
        return e;
    auto nextAdded = added.cbegin();
    for (const PlannedLine* p : taken) {
        const bool add = p->choice == LineChoice::Add;
        core::ImportedLine& r = files.importedLines.record;
        r = core::ImportedLine{};
        r.sysId = plan.sysId;
        r.bankId = p->line.bankId;
        r.lineDate = p->line.date;
        r.lineAmount = p->line.amount;
        r.transactionRow = add ? static_cast<std::int32_t>((nextAdded++)->identity.row) : p->matchedRow;
        r.outcome = static_cast<std::uint8_t>(add ? core::ImportOutcome::Added : core::ImportOutcome::Matched);
        r.importDate = today;
        r.importTime = now;
        r.sourceName = plan.sourceName.left(80);
        if (FileError e = files.importedLines.add(); !e.ok())
            return e;
        ++(add ? outcome.added : outcome.linked);
    }
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
