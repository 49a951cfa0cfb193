#pragma once

namespace fundora::transactions {

// Makes the transaction lists known to the frame (toolbar buttons 2016 and 2017).
void registerTransactionProcedures();

} // namespace fundora::transactions
