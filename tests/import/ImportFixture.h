#pragma once

#include "import/ImportCommit.h"
#include "import/ImportPlan.h"
#include "import/ImportRecords.h"
#include "import/StatementSource.h"
#include "tests/import/StatementFiles.h"
#include "tests/statements/StatementFixture.h"

#include <QFile>

namespace fundora::test {

// Writes `bytes` to a file of the test's directory and gives its path.
inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

// A program directory with the files an import uses open.
class ImportTest : public StatementTest {
protected:
    void SetUp() override
    {
        StatementTest::SetUp();
        for (core::FileId id : {importing::importedLinesFile(), importing::importSettingsFile()})
            ASSERT_TRUE(core::acquireFile(*files, id));
    }

    // Reads, plans and (unless `dryRun`) commits the file into account `id`.
    importing::ImportPlan importFile(const QString& path, std::int32_t id, bool flip = false, bool commit = true)
    {
        importing::StatementFile statement;
        importing::ReadError error;
        importing::ImportSettings settings;
        EXPECT_TRUE(importing::readImportSettings(*files, id, settings).ok());
        EXPECT_TRUE(importing::readStatement(path, settings, statement, error)) << error.message.toStdString();
        importing::ImportPlan plan;
        if (statement.accounts.empty())
            return plan;
        EXPECT_TRUE(importing::planImport(*files, id, statement.accounts.front(), flip, QStringLiteral("test.ofx"), plan).ok());
        if (commit) {
            importing::CommitOutcome outcome;
            EXPECT_TRUE(importing::commitImport(*files, plan, outcome).ok());
            EXPECT_FALSE(outcome.conflict);
        }
        expectBalanceRule(id);
        return plan;
    }

    // The count of import records (ImportedLines) of account `id`.
    int rememberedLines(std::int32_t id)
    {
        int n = 0;
        importing::importedLinesOf(*files).clear();
        importing::importedLinesOf(*files).record.sysId = id;
        importing::importedLinesOf(*files).setOnValue(importing::ImlSysIDKey);
        while (importing::importedLinesOf(*files).next().ok() && importing::importedLinesOf(*files).record.sysId == id)
            ++n;
        return n;
    }
};

} // namespace fundora::test
