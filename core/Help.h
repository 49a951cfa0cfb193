#pragma once

#include <QString>
#include <QUrl>

namespace fundora::core {

// The program's help contexts ("~FundoraMainWindow", ...) and the help pages
// and anchors they open.
QUrl helpPageOf(const QString& context);
void showHelp(const QString& context);

} // namespace fundora::core
