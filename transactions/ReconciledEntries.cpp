#include "transactions/ReconciledEntries.h"

namespace fundora::transactions {

namespace {
std::shared_ptr<ReconciledEntries> g_keeper;
}

ReconciledEntries* ReconciledEntries::current()
{
    return g_keeper.get();
}

void ReconciledEntries::install(std::shared_ptr<ReconciledEntries> keeper)
{
    g_keeper = std::move(keeper);
}

} // namespace fundora::transactions
