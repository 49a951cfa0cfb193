#include "import/ImportText.h"

#include "statements/StatementText.h"

namespace fundora::importing {

QString statusText(LineStatus status)
{
    switch (status) {
    case LineStatus::New: return QStringLiteral("new");
    case LineStatus::Duplicate: return QStringLiteral("duplicate");
    case LineStatus::Matched: return QStringLiteral("matched");
    case LineStatus::Refused: break;
    }
    return QStringLiteral("refused");
}

QString choiceText(LineChoice choice)
{
    switch (choice) {
    case LineChoice::Add: return QStringLiteral("Add");
    case LineChoice::Link: return QStringLiteral("Link");
    case LineChoice::Skip: break;
    }
    return QStringLiteral("Leave out");
}

QString typeText(const QString& type)
{
    if (type == u"P")
        return QStringLiteral("payment");
    if (type == u"I")
        return QStringLiteral("interest");
    if (type == u"F")
        return QStringLiteral("fee");
    return QStringLiteral("charge");
}

QString planLineText(const PlannedLine& p)
{
    QString text = QStringLiteral("line %1: %2 %3 %4 \"%5\": %6")
                       .arg(p.line.sourceLine)
                       .arg(statements::dateText(p.line.date), typeText(p.line.type), statements::moneyText(p.line.amount),
                            p.line.description, statusText(p.status));
    if (const QString note = p.note(); !note.isEmpty())
        text += QStringLiteral(" (%1)").arg(note);
    return text;
}

QString planSummaryText(const ImportPlan& plan, bool dryRun)
{
    return QStringLiteral("%1 lines: %2 new, %3 duplicate, %4 matched, %5 refused; balance %6 -> %7; %8")
        .arg(plan.lines.size())
        .arg(plan.count(LineStatus::New))
        .arg(plan.count(LineStatus::Duplicate))
        .arg(plan.count(LineStatus::Matched))
        .arg(plan.count(LineStatus::Refused))
        .arg(statements::moneyText(plan.balanceBefore), statements::moneyText(plan.balanceAfter()),
             dryRun ? QStringLiteral("dry run, nothing written")
                    : QStringLiteral("%1 added, %2 linked").arg(plan.chosen(LineChoice::Add)).arg(plan.chosen(LineChoice::Link)));
}

} // namespace fundora::importing
