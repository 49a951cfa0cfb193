#include "core/GuardedWrites.h"

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "core/StandardWarning.h"

#include <functional>

namespace fundora::core {

namespace {

const QString DeleteAction = QStringLiteral("Delete");
const QString UpdateAction = QStringLiteral("Update");

// A failure inside a transaction: keep the error for the warning, then undo everything.
void saveAndRollBack(DataFiles& files, FileTransaction& tx, const platform::FileError& error)
{
    files.savedError.save(error);
    tx.rollback();
}

Guarded framingFailed(DataFiles& files, const FileTransaction& tx, const QString& action, const QString& label)
{
    files.savedError.save(tx.beginError());
    standardWarning(files, Warning::TransactionFramingError, action, label);
    return Guarded::Failed;
}

// Gives every record of `file` whose `key` leads with `from` the value `to` there.
platform::FileError renumberRecordsOf(platform::DataFile& file, int key, std::int64_t from, std::int64_t to)
{
    const int field = file.def().keys[static_cast<std::size_t>(key)].parts.front().field;
    platform::Record start = platform::Record::blank(file.def());
    start.values[static_cast<std::size_t>(field)] = from;
    for (;;) {
        // Each renumbered record leaves the range, so the first one left is always the next.
        file.set(key, start);
        platform::Record found;
        const platform::FileError read = file.next(found);
        if (read.code == platform::ErrorCode::EndOfFile || (read.ok() && found.integer(field) != from))
            return platform::FileError::success();
        if (!read.ok())
            return read;
        found.values[static_cast<std::size_t>(field)] = to;
        if (const platform::FileError e = file.put(found); !e.ok())
            return e;
    }
}

int accountKeyOf(FileId id)
{
    return id == FileId::Transactions ? TraSysIDKey : featureFile(id).accountKey;
}

bool cascadeDelete(DataFiles& files, FileTransaction& tx, std::int32_t sysId)
{
    for (FileId id : filesOfAnAccount()) {
        platform::DataFile& file = files.file(id);
        if (const platform::FileError e = deleteRecordsOf(file, accountKeyOf(id), sysId); !e.ok()) {
            saveAndRollBack(files, tx, e);
            standardWarning(files, Warning::DeleteOperationError, file.def().label);
            return false;
        }
    }
    return true;
}

bool cascadeRenumber(DataFiles& files, FileTransaction& tx, std::int32_t from, std::int32_t to)
{
    for (FileId id : filesOfAnAccount()) {
        platform::DataFile& file = files.file(id);
        if (const platform::FileError e = renumberRecordsOf(file, accountKeyOf(id), from, to); !e.ok()) {
            saveAndRollBack(files, tx, e);
            standardWarning(files, Warning::UpdateOperationError, file.def().label);
            return false;
        }
    }
    return true;
}

bool commitOrWarn(DataFiles& files, FileTransaction& tx, int warning, const QString& label)
{
    if (const platform::FileError e = tx.commit(); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, warning, label);
        return false;
    }
    return true;
}

// Deletes the buffer's record of a file without children; `alongside` then
// deletes, in the same commit, what goes with the record (given its row).
template <class R>
Guarded deleteSingle(DataFiles& files, TypedFile<R>& file, int key,
                     const std::function<platform::FileError(std::int64_t row)>& alongside = {})
{
    files.integrity.position = file.position(key);
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, DeleteAction, file.def().label);
    platform::FileError e = file.reget(files.integrity.position);
    const std::int64_t row = file.record.identity.row;
    if (e.ok())
        e = file.remove();
    if (e.ok() && alongside)
        e = alongside(row);
    if (!e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::DeleteOperationError, file.def().label);
        return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::DeleteOperationError, file.def().label) ? Guarded::Done : Guarded::Failed;
}

// The write failed: tell the user, and for a conflict show the stored record.
template <class R>
Guarded writeFailed(DataFiles& files, FileTransaction& tx, TypedFile<R>& file, const platform::FileError& e, bool fromForm)
{
    saveAndRollBack(files, tx, e);
    if (e.code == platform::ErrorCode::ChangedElsewhere) {
        if (fromForm)
            standardWarning(files, Warning::RecordWasNotUpdated);
        else
            standardWarning(files, Warning::UpdateOperationError, QStringLiteral("Record Changed by Another Station"));
        file.reget(files.integrity.position);
        return Guarded::ChangedByOther;
    }
    standardWarning(files, Warning::UpdateOperationError, file.def().label);
    return Guarded::Failed;
}

template <class R>
Guarded updateSingle(DataFiles& files, TypedFile<R>& file, int key, bool fromForm)
{
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, UpdateAction, file.def().label);
    files.integrity.position = file.position(key);
    if (const platform::FileError e = file.put(); !e.ok())
        return writeFailed(files, tx, file, e, fromForm);
    return commitOrWarn(files, tx, Warning::UpdateOperationError, file.def().label) ? Guarded::Done : Guarded::Failed;
}

} // namespace

platform::FileError deleteRecordsOf(platform::DataFile& file, int key, std::int64_t value)
{
    const int field = file.def().keys[static_cast<std::size_t>(key)].parts.front().field;
    platform::Record from = platform::Record::blank(file.def());
    from.values[static_cast<std::size_t>(field)] = value;
    file.set(key, from);
    for (;;) {
        platform::Record found;
        const platform::FileError read = file.next(found);
        if (read.code == platform::ErrorCode::EndOfFile || (read.ok() && found.integer(field) != value))
            return platform::FileError::success();
        if (!read.ok())
            return read;
        if (const platform::FileError e = file.remove(found); !e.ok())
            return e;
    }
}

Guarded riDeleteAccounts(DataFiles& files)
{
    auto& acc = files.accounts;
    files.integrity.position = acc.position(AccSysIDKey);
    const FileUses children(files, filesOfAnAccount());
    if (!children.ok())
        return Guarded::Failed;
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, DeleteAction, acc.def().label);
    if (const platform::FileError e = acc.reget(files.integrity.position); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::RecordRetrievalError, acc.def().label);
        return Guarded::Failed;
    }
    if (!cascadeDelete(files, tx, acc.record.sysId))
        return Guarded::Failed;
    if (const platform::FileError e = acc.remove(); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::DeleteOperationError, acc.def().label);
        return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::DeleteOperationError, acc.def().label) ? Guarded::Done : Guarded::Failed;
}

Guarded riDeleteTransactions(DataFiles& files)
{
    // What the features keep of the transaction goes with it, in the same commit.
    const FileUses children(files, filesOfATransaction());
    if (!children.ok())
        return Guarded::Failed;
    return deleteSingle(files, files.transactions, TraSysIDKey, [&files](std::int64_t row) {
        for (FileId id : filesOfATransaction())
            if (const platform::FileError e = deleteRecordsOf(files.file(id), featureFile(id).transactionKey, row); !e.ok())
                return e;
        return platform::FileError::success();
    });
}

Guarded riDeleteMemoCard(DataFiles& files)
{
    return deleteSingle(files, files.memoCards, MemCardKey);
}

Guarded riUpdateAccounts(DataFiles& files, bool fromForm)
{
    auto& acc = files.accounts;
    const FileUses children(files, filesOfAnAccount());
    if (!children.ok())
        return Guarded::Failed;
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, UpdateAction, acc.def().label);
    files.integrity.position = acc.position(AccSysIDKey);
    if (const platform::FileError e = acc.put(); !e.ok())
        return writeFailed(files, tx, acc, e, fromForm);
    const std::int32_t snapshot = files.integrity.snapSysId;
    if (acc.record.sysId != snapshot) {
        if (!cascadeRenumber(files, tx, snapshot, acc.record.sysId))
            return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::UpdateOperationError, acc.def().label) ? Guarded::Done : Guarded::Failed;
}

Guarded riUpdateTransactions(DataFiles& files, bool fromForm)
{
    return updateSingle(files, files.transactions, TraSysIDKey, fromForm);
}

Guarded riUpdateMemoCard(DataFiles& files, bool fromForm)
{
    return updateSingle(files, files.memoCards, MemCardKey, fromForm);
}

} // namespace fundora::core
