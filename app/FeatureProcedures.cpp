#include "app/FeatureProcedures.h"

#include "accounts/AccountProcedures.h"
#include "import/ImportProcedures.h"
#include "import/ImportRecords.h"
#include "memos/MemoProcedures.h"
#include "planning/PlanRules.h"
#include "planning/PlanningProcedures.h"
#include "reports/ReportProcedures.h"
#include "statements/StatementProcedures.h"
#include "statements/StatementRecords.h"
#include "transactions/TransactionProcedures.h"

namespace fundora::app {

void declareFeatureFiles()
{
    statements::statementsFile();
    statements::statementLinesFile();
    importing::importedLinesFile();
    importing::importSettingsFile();
    planning::planRulesFile();
}

void registerFeatureProcedures()
{
    accounts::registerAccountProcedures();
    transactions::registerTransactionProcedures();
    statements::registerStatementProcedures();
    memos::registerMemoProcedures();
    reports::registerReportProcedures();
    planning::registerPlanningProcedures();
    importing::registerImportProcedures();
}

} // namespace fundora::app
