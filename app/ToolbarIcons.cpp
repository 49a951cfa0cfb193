#include "app/ToolbarIcons.h"

#include "core/GlobalState.h"

namespace fundora::app {

namespace {

using namespace core::Command;

QString iconName(int command)
{
    switch (command) {
    case 0: return QStringLiteral("accounts");
    case FirstPage: return QStringLiteral("first-page");
    case PreviousPage: return QStringLiteral("prior-page");
    case PreviousRecord: return QStringLiteral("prior-record");
    case NextRecord: return QStringLiteral("next-record");
    case NextPage: return QStringLiteral("next-page");
    case LastPage: return QStringLiteral("last-page");
    case Locate: return QStringLiteral("locate");
    case Select: return QStringLiteral("select");
    case Insert: return QStringLiteral("insert");
    case Change: return QStringLiteral("change");
    case Delete: return QStringLiteral("delete");
    case Ditto: return QStringLiteral("ditto");
    case Help: return QStringLiteral("help");
    case Calculator: return QStringLiteral("calculator");
    case Calendar: return QStringLiteral("calendar");
    case Payment: return QStringLiteral("payment");
    case History: return QStringLiteral("history");
    case Current: return QStringLiteral("current");
    case Report: return QStringLiteral("report");
    case PrintAll: return QStringLiteral("print-all");
    case Exit: return QStringLiteral("exit");
    default: return {};
    }
}

} // namespace

QIcon toolbarIcon(int command)
{
    const QString name = iconName(command);
    return name.isEmpty() ? QIcon() : QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

} // namespace fundora::app
