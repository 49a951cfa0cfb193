#include "transactions/AccountFigure.h"

namespace fundora::transactions {

namespace {

AccountFigure::Maker& installedMaker()
{
    static AccountFigure::Maker maker;
    return maker;
}

} // namespace

void AccountFigure::install(Maker maker)
{
    installedMaker() = std::move(maker);
}

std::unique_ptr<AccountFigure> AccountFigure::make(core::DataFiles& files)
{
    return installedMaker() ? installedMaker()(files) : nullptr;
}

} // namespace fundora::transactions
