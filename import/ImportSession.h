#pragma once

#include "import/CsvMapping.h"
#include "import/ImportCommit.h"
#include "import/ImportPlan.h"
#include "import/ImportRecords.h"

namespace fundora::importing {

// One import into one account, as the import window leads it: the file is
// read, its account picked (the one whose number matches is proposed), a CSV
// file's mapping set (the account's remembered one, else a proposal), signs
// flipped or not; after each step the plan is made again and shows every
// line with the balance it leads to. Nothing is written until commit().
// The account's files (Accounts, Transactions, ImportedLines, ImportSettings)
// must be open while it is used.
class ImportSession {
public:
    ImportSession(core::DataFiles& files, std::int32_t sysId);

    // Reads the account and its remembered settings; false on a file error.
    platform::FileError begin();
    const core::Account& account() const { return m_account; }

    // Reads a statement file. False with problem() set when it cannot be read
    // (or, for CSV, its mapping is incomplete or asks for a date format).
    bool open(const QString& path);
    QString path() const { return m_path; }
    bool isCsv() const { return m_csv; }
    const StatementFile& statement() const { return m_statement; }
    const CsvTable& table() const { return m_table; }
    const CsvMapping& mapping() const { return m_mapping; }
    // The date formats that read every date; more than one: the user picks.
    const QStringList& fittingDateFormats() const { return m_fittingFormats; }
    bool dateFormatAmbiguous() const { return m_ambiguous; }
    // The file account the lines are taken from; -1 when none is picked yet.
    int fileAccount() const { return m_fileAccount; }

    bool setMapping(const CsvMapping& mapping);
    bool setFileAccount(int index);
    bool setFlipSigns(bool flip);
    bool flipSigns() const { return m_settings.flipSigns != 0; }

    // Why there is no plan (empty when there is one).
    QString problem() const { return m_problem; }
    const ImportPlan& plan() const { return m_plan; }
    bool hasPlan() const { return m_planned; }
    // Sets the choice of the given lines where they can take it; the count changed.
    int choose(const std::vector<int>& lines, LineChoice choice);
    // Whether accepting would write anything.
    bool writesAnything() const;

    // Writes the plan (one commit) and then the account's settings: flip
    // signs and, for a CSV file, its mapping. After a conflict the plan is
    // made again and the outcome says why nothing was written.
    platform::FileError commit(CommitOutcome& outcome);

private:
    bool replan();
    bool fail(const QString& problem);

    core::DataFiles& m_files;
    std::int32_t m_sysId;
    core::Account m_account;
    importing::ImportSettings m_settings;
    QString m_path;
    bool m_csv = false;
    CsvTable m_table;
    CsvMapping m_mapping;
    QStringList m_fittingFormats;
    bool m_ambiguous = false;
    StatementFile m_statement;
    int m_fileAccount = -1;
    ImportPlan m_plan;
    bool m_planned = false;
    QString m_problem;
};

} // namespace fundora::importing
