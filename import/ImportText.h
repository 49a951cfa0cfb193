#pragma once

#include "import/ImportPlan.h"

namespace fundora::importing {

// The words the preview and the command line use for a line's status and choice.
QString statusText(LineStatus status);
QString choiceText(LineChoice choice);
// The type of a booked line in words: charge, payment, interest, fee.
QString typeText(const QString& type);

// One line of the command line's listing:
//   line 14: 11/03/2026 charge $42.50 "Cafe": new
//   line 15: 11/30/2026 payment -$100.00 "Payment": duplicate (bank id A2 was imported before)
QString planLineText(const PlannedLine& line);
// "4 lines: 2 new, 1 duplicate, 1 matched, 0 refused; balance $100.00 -> $142.50"
// and whether it was written.
QString planSummaryText(const ImportPlan& plan, bool dryRun);

} // namespace fundora::importing
