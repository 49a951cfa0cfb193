#include "core/Help.h"

#include "platform/ui/HelpWindow.h"

#include <QHash>

namespace fundora::core {

QUrl helpPageOf(const QString& context)
{
    static const QHash<QString, QString> pages = {
        {QStringLiteral("~FundoraMainWindow"), QStringLiteral("frame.html#main")},
        {QStringLiteral("~Toolbar"), QStringLiteral("frame.html#toolbar")},
        {QStringLiteral("~Popups"), QStringLiteral("frame.html#popups")},
        {QStringLiteral("~About"), QStringLiteral("frame.html#about")},
        {QStringLiteral("~Dialer"), QStringLiteral("dialer.html#dialer")},
        {QStringLiteral("~BrowseCreditCardAccounts"), QStringLiteral("accounts.html#browse")},
        {QStringLiteral("~UpdateAccounts"), QStringLiteral("accounts.html#form")},
        {QStringLiteral("~BrowseCurrentTransactions"), QStringLiteral("transactions.html#current")},
        {QStringLiteral("~BrowseTransactions"), QStringLiteral("transactions.html#history")},
        {QStringLiteral("~UpdateTransactions"), QStringLiteral("transactions.html#form")},
        {QStringLiteral("~ReconcileStatement"), QStringLiteral("statements.html#reconcile")},
        {QStringLiteral("~BrowseStatements"), QStringLiteral("statements.html#list")},
        {QStringLiteral("~ImportStatement"), QStringLiteral("import.html#import")},
        {QStringLiteral("MemoBrowse"), QStringLiteral("memos.html#browse")},
        {QStringLiteral("UpdateMemoCard"), QStringLiteral("memos.html#form")},
        {QStringLiteral("~PickAReport"), QStringLiteral("reports.html#picker")},
        {QStringLiteral("~DateRangesForm"), QStringLiteral("reports.html#dates")},
        {QStringLiteral("~HowToUseHelp"), QStringLiteral("usinghelp.html#usinghelp")},
        {QStringLiteral("~Contents"), QStringLiteral("index.html#contents")},
    };
    return QUrl(QStringLiteral("qrc:/help/") + pages.value(context, QStringLiteral("index.html#contents")));
}

void showHelp(const QString& context)
{
    platform::HelpWindow::instance().showPage(helpPageOf(context));
}

} // namespace fundora::core
