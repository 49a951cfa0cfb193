#include "core/FileRegistry.h"

namespace fundora::core {

namespace {
std::vector<FeatureFile>& declared()
{
    static std::vector<FeatureFile> files;
    return files;
}

FileId declaredId(std::size_t i)
{
    return FileId{OwnFileCount + static_cast<int>(i)};
}
} // namespace

FileId declareFile(FeatureFile file)
{
    declared().push_back(std::move(file));
    return declaredId(declared().size() - 1);
}

const FeatureFile& featureFile(FileId id)
{
    Q_ASSERT(id.index >= OwnFileCount && id.index < OwnFileCount + static_cast<int>(declared().size()));
    return declared()[static_cast<std::size_t>(id.index - OwnFileCount)];
}

std::vector<FileId> allFiles()
{
    std::vector<FileId> out{FileId::Accounts, FileId::Transactions, FileId::MemoCard, FileId::Notes};
    for (std::size_t i = 0; i < declared().size(); ++i)
        out.push_back(declaredId(i));
    return out;
}

std::vector<FileId> filesOfAnAccount()
{
    std::vector<FileId> out{FileId::Transactions};
    for (std::size_t i = 0; i < declared().size(); ++i)
        if (declared()[i].accountKey >= 0)
            out.push_back(declaredId(i));
    return out;
}

std::vector<FileId> filesOfATransaction()
{
    std::vector<FileId> out;
    for (std::size_t i = 0; i < declared().size(); ++i)
        if (declared()[i].transactionKey >= 0)
            out.push_back(declaredId(i));
    return out;
}

} // namespace fundora::core
