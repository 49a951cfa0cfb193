#pragma once

#include "core/DataFiles.h"
#include "core/RecordLayout.h"
#include "platform/Decimal.h"

namespace fundora::importing {

using core::RecordLayout;

// What an import remembers of one statement line it took in (file
// ImportedLines, prefix IML): the bank's transaction id, the line's date and
// amount as booked, and the transaction it became or was matched with. A line
// is a duplicate of an earlier one only when the id, the date and the amount
// all agree: banks reuse ids and some give none.
struct ImportedLine {
    std::int32_t sysId = 0;                                            // ACC:SysID of the account
    QString bankId;                                                    // the file's transaction id (FITID); blank when it gave none
    std::int32_t lineDate = 0;                                         // day number
    platform::Decimal lineAmount = platform::Decimal::fromUnits(0, 2); // as stored: payments negative
    std::int32_t transactionRow = 0;                                   // the transaction's row in Transactions
    std::uint8_t outcome = 0;                                          // ImportOutcome
    std::int32_t importDate = 0;
    std::int32_t importTime = 0;
    QString sourceName; // the file's name, without its folder

    platform::RecordIdentity identity;
};

enum class ImportOutcome : std::uint8_t { Added = 1, Matched = 2 };

enum ImportedLineKey { ImlSysIDBankKey = 0, ImlRowKey = 1, ImlSysIDKey = 2 };

const RecordLayout<ImportedLine>& importedLineLayout();

// How an account's statements are imported (file ImportSettings, prefix IMS):
// whether its bank writes charges positive, and the columns of its CSV files.
// Column numbers count from 1; 0 means the file has no such column.
struct ImportSettings {
    std::int32_t sysId = 0;
    std::uint8_t flipSigns = 0;
    std::int16_t skipLines = 0;
    QString delimiter; // one character; blank: found from the file
    std::int16_t dateColumn = 0;
    std::int16_t descriptionColumn = 0;
    std::int16_t amountColumn = 0;
    std::int16_t debitColumn = 0;
    std::int16_t creditColumn = 0;
    std::int16_t typeColumn = 0;
    QString dateFormat; // yyyy-MM-dd, MM/dd/yyyy, dd/MM/yyyy, dd.MM.yyyy, ...
    std::uint8_t decimalComma = 0;

    platform::RecordIdentity identity;
};

enum ImportSettingsKey { ImsSysIDKey = 0 };

const RecordLayout<ImportSettings>& importSettingsLayout();

// The two files, declared at the first call of each. What an import
// remembers of a line goes with its account and with its transaction.
core::FileId importedLinesFile();
core::FileId importSettingsFile();
core::TypedFile<ImportedLine>& importedLinesOf(core::DataFiles& files);
core::TypedFile<ImportSettings>& importSettingsOf(core::DataFiles& files);

} // namespace fundora::importing
