#include "reports/ReportProcedures.h"

#include "core/Procedures.h"
#include "reports/AccountsReport.h"
#include "reports/PickaReportWindow.h"
#include "reports/ReportRun.h"
#include "reports/StatementReport.h"

namespace fundora::reports {

void registerReportProcedures()
{
    core::registerProcedure(QStringLiteral("PrintFundora"), []() -> QWidget* {
        ReportRun::start(core::DataFiles::current(), std::make_unique<AccountsReport>());
        return nullptr; // the run shows its progress window itself
    });
    core::registerProcedure(QStringLiteral("PrintStatement"), []() -> QWidget* {
        ReportRun::start(core::DataFiles::current(), std::make_unique<StatementReport>());
        return nullptr;
    });
    core::registerProcedure(QStringLiteral("PickaReport"), [] { return new PickaReportWindow(core::DataFiles::current()); });
}

} // namespace fundora::reports
