#pragma once

#include <QString>

#include <array>

namespace fundora::transactions {

// A transaction's type in the lists: "Pmt/Credit", "Charge", "Fee",
// "Interest", "Balance"; any other code "Advance".
QString transactionTypeDescription(const QString& type);

// The types the transaction form offers, in the order of its option.
struct TransactionTypeChoice {
    const char* radioText;
    const char* code;
};
inline constexpr std::array<TransactionTypeChoice, 6> TransactionTypes = {
    {{"Charge", "C"}, {"Payment/Credit", "P"}, {"Interest", "I"}, {"Fee", "F"}, {"Cash  Advance", "A"}, {"Balance Due", "B"}}};

} // namespace fundora::transactions
