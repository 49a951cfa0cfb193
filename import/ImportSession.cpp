#include "import/ImportSession.h"

#include "core/StandardWarning.h"
#include "import/OfxReader.h"
#include "import/StatementSource.h"

#include <QFileInfo>

namespace fundora::importing {

ImportSession::ImportSession(core::DataFiles& files, std::int32_t sysId) : m_files(files), m_sysId(sysId)
{
}

platform::FileError ImportSession::begin()
{
    if (platform::FileError e = m_files.readAccount(m_sysId, m_account); !e.ok())
        return e;
    return readImportSettings(m_files, m_sysId, m_settings);
}

bool ImportSession::fail(const QString& problem)
{
    m_problem = problem;
    m_planned = false;
    m_plan = ImportPlan{};
    return false;
}

bool ImportSession::open(const QString& path)
{
    m_path = path;
    m_statement = StatementFile{};
    m_table = CsvTable{};
    m_fileAccount = -1;
    m_fittingFormats.clear();
    m_ambiguous = false;
    ReadError error;
    m_csv = kindOfFile(path) == SourceKind::Csv;
    if (!m_csv) {
        if (!readOfxFile(path, m_statement, error))
            return fail(error.message);
        m_fileAccount = accountOfFile(m_statement, m_account.accountNumber);
        if (m_fileAccount < 0)
            return fail(QStringLiteral("Pick the account of the file that goes to this one: ") +
                        accountChoiceProblem(m_statement, m_account));
        return replan();
    }
    const QChar delimiter = m_settings.delimiter.isEmpty() ? QChar() : m_settings.delimiter.front();
    if (!readCsvFile(path, delimiter, m_table, error))
        return fail(error.message);
    const CsvProposal proposal = proposeCsvMapping(m_table);
    const CsvMapping remembered = mappingOf(m_settings);
    const bool useRemembered = remembered.dateColumn > 0 && csvMappingProblem(m_table, remembered).isEmpty();
    m_mapping = useRemembered ? remembered : proposal.mapping;
    m_fittingFormats = proposal.fittingDateFormats;
    m_ambiguous = !useRemembered && proposal.dateFormatAmbiguous;
    if (m_ambiguous)
        return fail(
            QStringLiteral("The dates could be written %1: pick the date format.").arg(m_fittingFormats.join(QStringLiteral(" or "))));
    const bool planned = setMapping(m_mapping);
    // The account's first import: its signs are proposed from the file (the box shows it and the user can change it).
    if (planned && !m_settings.identity.isStored() && !m_statement.accounts.empty())
        if (const std::optional<bool> positive = chargesArePositive(m_statement.accounts.front()); positive && *positive != flipSigns())
            return setFlipSigns(*positive);
    return planned;
}

bool ImportSession::setMapping(const CsvMapping& mapping)
{
    m_mapping = mapping;
    if (!m_csv)
        return replan();
    m_ambiguous = false;
    ReadError error;
    if (!csvToStatement(m_table, m_mapping, m_statement, error))
        return fail(error.message);
    m_fileAccount = 0;
    return replan();
}

bool ImportSession::setFileAccount(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_statement.accounts.size())
        return false;
    m_fileAccount = index;
    return replan();
}

bool ImportSession::setFlipSigns(bool flip)
{
    m_settings.flipSigns = flip ? 1 : 0;
    return m_fileAccount >= 0 && replan();
}

bool ImportSession::replan()
{
    if (m_fileAccount < 0 || static_cast<std::size_t>(m_fileAccount) >= m_statement.accounts.size())
        return fail(QStringLiteral("Pick the account of the file that goes to this one."));
    const FileAccount& account = m_statement.accounts[static_cast<std::size_t>(m_fileAccount)];
    if (account.entries.empty())
        return fail(QStringLiteral("The account %1 of the file holds no transactions.").arg(shortNumber(account.number)));
    const platform::FileError e = planImport(m_files, m_sysId, account, flipSigns(), QFileInfo(m_path).fileName(), m_plan);
    if (!e.ok())
        return fail(QStringLiteral("The account's transactions could not be read: %1").arg(core::errorPart(e)));
    m_problem.clear();
    m_planned = true;
    return true;
}

int ImportSession::choose(const std::vector<int>& lines, LineChoice choice)
{
    int changed = 0;
    for (int line : lines)
        if (line >= 0 && m_plan.choose(static_cast<std::size_t>(line), choice))
            ++changed;
    return changed;
}

bool ImportSession::writesAnything() const
{
    return m_planned && (m_plan.chosen(LineChoice::Add) > 0 || m_plan.chosen(LineChoice::Link) > 0);
}

platform::FileError ImportSession::commit(CommitOutcome& outcome)
{
    const platform::FileError e = commitImport(m_files, m_plan, outcome);
    if (!e.ok())
        return e;
    if (outcome.conflict) {
        replan();
        return e;
    }
    if (m_csv)
        storeMapping(m_mapping, m_table.delimiter, m_settings);
    return writeImportSettings(m_files, m_settings);
}

} // namespace fundora::importing
