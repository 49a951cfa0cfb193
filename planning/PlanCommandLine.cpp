#include "planning/PlanCommandLine.h"

#include "core/OpenFile.h"
#include "planning/PlanCards.h"
#include "planning/PlanPages.h"
#include "planning/PlanRules.h"
#include "platform/Clock.h"
#include "platform/CommandOptions.h"
#include "platform/pictures/MoneyText.h"
#include "platform/pictures/Picture.h"
#include "platform/report/PageQueue.h"
#include "platform/report/ReportOutput.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace fundora::planning {

namespace {

const QString Usage = QStringLiteral("Usage: fundora --dir DIR --plan avalanche|snowball|own --monthly AMOUNT [--csv FILE] [--pdf FILE]");

} // namespace

bool asksForPlan(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--plan"));
}

std::optional<PlanCommand> parsePlanCommand(const QStringList& arguments, QString* error)
{
    PlanCommand c;
    bool hasMonthly = false;
    auto fail = [error](const QString& text) {
        *error = text + u'\n' + Usage;
        return std::nullopt;
    };
    const QString monthlyNeeded = QStringLiteral("--monthly needs the amount you can pay each month, above 0, as 500 or 1,250.00.");
    platform::CommandOptions options(arguments);
    while (options.next()) {
        const QString& a = options.option();
        if (a == u"--plan") {
            const std::optional<Strategy> s = strategyNamed(options.value().value_or(QString()));
            if (!s)
                return fail(QStringLiteral("--plan needs a strategy: avalanche (highest rate first), snowball (smallest balance "
                                           "first) or own (your order)."));
            c.strategy = *s;
        } else if (a == u"--monthly") {
            const std::optional<platform::Decimal> m = platform::readMoney(options.value().value_or(QString()), 2);
            if (!m || !(*m > platform::Decimal::fromUnits(0, 2)))
                return fail(monthlyNeeded);
            c.monthly = *m;
            hasMonthly = true;
        } else if (a == u"--csv" || a == u"--pdf") {
            const std::optional<QString> file = options.value();
            if (!file || file->isEmpty())
                return fail(QStringLiteral("%1 needs a file name.").arg(a));
            (a == u"--csv" ? c.csvFile : c.pdfFile) = QFileInfo(*file).absoluteFilePath();
        } else {
            return fail(QStringLiteral("Unknown argument %1.").arg(a));
        }
    }
    if (!options.problem().isEmpty())
        return fail(options.problem());
    if (!hasMonthly)
        return fail(monthlyNeeded);
    return c;
}

QByteArray planCsv(const PayoffPlan& plan)
{
    QByteArray text;
    for (const QStringList& row : planRows(plan))
        text += platform::csvLine(row);
    return text;
}

int runPlanCommand(core::DataFiles& files, const PlanCommand& command, QTextStream& out, QTextStream& err)
{
    const core::FileUses uses(files, {core::FileId::Accounts, planRulesFile()});
    if (!uses.ok())
        return 2; // the warning said why
    std::vector<PlanCard> cards;
    if (const platform::FileError e = readPlanCards(files, cards); !e.ok()) {
        err << "fundora: the accounts could not be read: " << e.text << '\n';
        return 2;
    }
    if (cards.empty()) {
        out << "No card has a balance: there is nothing to pay off.\n";
        return 0;
    }
    const PlanOutcome outcome = makePlan(cards, command.strategy, command.monthly);
    if (!outcome.plan) {
        err << "fundora: " << outcome.refusal << '\n';
        return 1;
    }
    const PayoffPlan& plan = *outcome.plan;
    out << "strategy: " << strategyName(command.strategy) << '\n';
    out << "months: " << plan.length() << '\n';
    out << "interest: " << planMoney(plan.totalInterest) << '\n';
    for (std::size_t i = 0; i < plan.cards.size(); ++i)
        out << "paid off: " << plan.cards[i].name << " in month " << plan.paidOffIn[i] << '\n';
    const PlanOutcome minimums = minimumsOnly(cards);
    if (minimums.plan)
        out << "minimums only: months " << minimums.plan->length() << ", interest " << planMoney(minimums.plan->totalInterest) << '\n';
    else
        out << "minimums only: more than " << MostMonths << " months\n";
    if (!command.csvFile.isEmpty()) {
        QSaveFile file(command.csvFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(planCsv(plan)) < 0 || !file.commit()) {
            err << "fundora: " << command.csvFile << " could not be written: " << file.errorString() << '\n';
            return 1;
        }
    }
    if (!command.pdfFile.isEmpty()) {
        const PlanHeading heading{command.strategy, command.monthly, platform::Clock::current().today(), minimums};
        platform::PageQueue pages;
        QString error;
        if (!writePlanPages(plan, heading, pages, &error) ||
            !platform::writePdf(pages, command.pdfFile, QStringLiteral("Payoff Plan"), &error)) {
            err << "fundora: " << command.pdfFile << " could not be written: " << error << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace fundora::planning
