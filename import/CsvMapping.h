#pragma once

#include "import/CsvTable.h"
#include "import/ImportRecords.h"

namespace fundora::importing {

// Which columns of a CSV file hold what, and how its dates and amounts are
// written. Columns count from 1; 0: the file has none. An amount column, or
// a debit and a credit column, are needed.
struct CsvMapping {
    int skipLines = 0; // header lines before the first statement line
    int dateColumn = 0;
    int descriptionColumn = 0;
    int amountColumn = 0;
    int debitColumn = 0;
    int creditColumn = 0;
    int typeColumn = 0;
    QString dateFormat; // one of csvDateFormats()
    QChar decimalSeparator = u'.';

    bool operator==(const CsvMapping&) const = default;
};

// The date formats a CSV file may use (Qt's notation: d and M take one or two digits).
const QStringList& csvDateFormats();

// A mapping proposed from the file's own lines and header names.
struct CsvProposal {
    CsvMapping mapping;
    QStringList fittingDateFormats; // every format that reads all the dates
    // More than one format reads every date (03/04/2026 may be March or
    // April): the user is asked, the proposal is not taken as it is.
    bool dateFormatAmbiguous = false;
};
CsvProposal proposeCsvMapping(const CsvTable& table);

// What is wrong with the mapping for this table, or empty when it can be used.
QString csvMappingProblem(const CsvTable& table, const CsvMapping& mapping);

// The table's lines as statement lines of one account. A debit column's value
// is a charge and a credit column's a payment, whatever their signs; an
// amount column keeps its sign, turned by a type column that says debit or
// credit. False with `error` naming the line and the column.
bool csvToStatement(const CsvTable& table, const CsvMapping& mapping, StatementFile& out, ReadError& error);

// The mapping kept in an account's import settings, and back.
CsvMapping mappingOf(const importing::ImportSettings& settings);
void storeMapping(const CsvMapping& mapping, QChar delimiter, importing::ImportSettings& settings);

} // namespace fundora::importing
