#pragma once

#include "core/TypedFile.h"

#include <functional>
#include <memory>
#include <vector>

namespace fundora::core {

// Which data file of the register is meant: one of the four files of the
// register's own records, or one a feature declared.
struct FileId {
    int index = 0;
    friend bool operator==(FileId, FileId) = default;

    static const FileId Accounts;
    static const FileId Transactions;
    static const FileId MemoCard;
    static const FileId Notes;
};
inline constexpr FileId FileId::Accounts{0};
inline constexpr FileId FileId::Transactions{1};
inline constexpr FileId FileId::MemoCard{2};
inline constexpr FileId FileId::Notes{3};
inline constexpr int OwnFileCount = 4;

// A file a feature keeps beside the register's own four (statements, what
// imports remember, ...). Declared once per process, before the feature's
// first use and before the program deletes or renumbers an account, so that
// the data files make it, open it and carry its records along:
// - `accountKey`: a key whose first component is the account's ACC:SysID;
//   the records in it are deleted with their account and renumbered with it
//   (-1: the records belong to no account);
// - `transactionKey`: a key whose first component is a transaction's row in
//   Transactions; those records are deleted with the transaction (-1: none).
struct FeatureFile {
    std::function<std::unique_ptr<AnyTypedFile>(platform::Store&)> make;
    int accountKey = -1;
    int transactionKey = -1;
};

// Declares a feature's file (see FeatureFile) and returns its identifier.
// A feature calls this once, from the function that names its file.
FileId declareFile(FeatureFile file);

template <class R>
FileId declareFile(const RecordLayout<R>& layout, int accountKey, int transactionKey = -1)
{
    return declareFile(FeatureFile{[&layout](platform::Store& store) { return std::make_unique<TypedFile<R>>(store, layout); }, accountKey,
                                   transactionKey});
}

// What was declared of feature file `id` (which must be a declared one).
const FeatureFile& featureFile(FileId id);
// Every file of the register: the four of its own records, then the declared ones.
std::vector<FileId> allFiles();
// The files whose records go with an account (Transactions and the declared
// ones with an account key), and those that go with a transaction.
std::vector<FileId> filesOfAnAccount();
std::vector<FileId> filesOfATransaction();

} // namespace fundora::core
