#include "app/AccountsPlaceholder.h"

#include "core/Procedures.h"

#include <QLabel>
#include <QVBoxLayout>

namespace fundora::app {

void registerStandInProcedures()
{
    if (core::hasProcedure(QStringLiteral("BrowseAccounts")))
        return;
    core::registerProcedure(QStringLiteral("BrowseAccounts"), [] {
        auto* w = new QWidget();
        w->setWindowTitle(QStringLiteral("Credit Card Accounts"));
        w->setAccessibleName(QStringLiteral("Credit Card Accounts"));
        auto* layout = new QVBoxLayout(w);
        auto* text = new QLabel(QStringLiteral("The accounts list will appear here."), w);
        text->setAlignment(Qt::AlignCenter);
        layout->addWidget(text);
        w->resize(520, 320);
        return w;
    });
}

} // namespace fundora::app
