#include "import/StatementSource.h"

#include "import/ImportRecords.h"
#include "import/OfxReader.h"
#include "platform/store/View.h"

#include <QFileInfo>

namespace fundora::importing {

SourceKind kindOfFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"ofx" || suffix == u"qfx" || looksLikeOfx(path))
        return SourceKind::Ofx;
    return SourceKind::Csv;
}

bool readStatement(const QString& path, const importing::ImportSettings& settings, StatementFile& out, ReadError& error,
                   const QString& dateFormat)
{
    if (kindOfFile(path) == SourceKind::Ofx)
        return readOfxFile(path, out, error);
    CsvTable table;
    const QChar delimiter = settings.delimiter.isEmpty() ? QChar() : settings.delimiter.front();
    if (!readCsvFile(path, delimiter, table, error))
        return false;
    CsvMapping mapping = mappingOf(settings);
    if (mapping.dateColumn == 0) {
        const CsvProposal proposal = proposeCsvMapping(table);
        mapping = proposal.mapping;
        if (!dateFormat.isEmpty()) {
            if (!proposal.fittingDateFormats.contains(dateFormat)) {
                error = {0, QStringLiteral("The dates are not all written %1; they read as %2.")
                                .arg(dateFormat, proposal.fittingDateFormats.isEmpty()
                                                     ? QStringLiteral("no format this program knows")
                                                     : proposal.fittingDateFormats.join(QStringLiteral(" or ")))};
                return false;
            }
            mapping.dateFormat = dateFormat;
        } else if (proposal.dateFormatAmbiguous) {
            error = {0, QStringLiteral("The dates could be written %1: give --date-format with one of them, or choose the format "
                                       "once in the import window, which keeps it for the account.")
                            .arg(proposal.fittingDateFormats.join(QStringLiteral(" or ")))};
            return false;
        }
    }
    return csvToStatement(table, mapping, out, error);
}

int accountOfFile(const StatementFile& file, const QString& accountNumber)
{
    if (file.accounts.size() == 1)
        return 0;
    return accountMatching(file, accountNumber);
}

QString shortNumber(const QString& number)
{
    const QString n = number.trimmed();
    return n.size() > 4 ? QStringLiteral("...") + n.right(4) : n;
}

QString accountChoiceProblem(const StatementFile& file, const core::Account& account)
{
    QStringList numbers;
    for (const FileAccount& a : file.accounts)
        numbers << shortNumber(a.number);
    return QStringLiteral("The file holds %1 accounts (%2); none matches the number of account %3 (%4).")
        .arg(file.accounts.size())
        .arg(numbers.join(QStringLiteral(", ")))
        .arg(account.sysId)
        .arg(account.accountNumber.trimmed().isEmpty() ? QStringLiteral("no number") : shortNumber(account.accountNumber));
}

std::optional<core::Account> otherAccountNamed(core::DataFiles& files, const FileAccount& fileAccount, const core::Account& chosen)
{
    StatementFile one;
    one.accounts.push_back({fileAccount.number, {}});
    if (accountMatching(one, chosen.accountNumber) == 0)
        return std::nullopt;
    platform::View view(files.accounts.file(), core::AccSysIDKey);
    view.setReadAhead(500);
    view.toStart();
    platform::Record r;
    core::Account a;
    while (view.next(r).ok()) {
        core::accountLayout().fromRecord(r, a);
        if (a.sysId != chosen.sysId && accountMatching(one, a.accountNumber) == 0)
            return a;
    }
    return std::nullopt;
}

QString otherAccountText(const FileAccount& fileAccount, const core::Account& named, const core::Account& chosen)
{
    return QStringLiteral("The file's account %1 is account %2 (%3) of the register, not account %4 (%5).")
        .arg(shortNumber(fileAccount.number))
        .arg(named.sysId)
        .arg(named.creditCardVendor.trimmed())
        .arg(chosen.sysId)
        .arg(chosen.creditCardVendor.trimmed());
}

} // namespace fundora::importing
