#include "transactions/BrowseCurrentTransactionsWindow.h"

#include "core/StandardWarning.h"
#include "engine/ValueLabel.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/Runtime.h"
#include "transactions/ChargeAnalysis.h"
#include "transactions/TransactionFormRecord.h"
#include "transactions/UpdateTransactionsWindow.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::transactions {

using platform::Decimal;
using platform::FieldValue;

namespace {

TransactionListWindow::Setup currentSetup(BrowseCurrentTransactionsWindow* self)
{
    TransactionListWindow::Setup s;
    s.procedure = QStringLiteral("BrowseCurrentTransactions");
    s.titlePrefix = QStringLiteral("Current Transactions for ");
    s.helpContext = QStringLiteral("~BrowseCurrentTransactions");
    s.reconciled = 0;
    s.dateTab = QStringLiteral("Open Transactions by Date");
    s.typeTab = QStringLiteral("Open Transactions by Type");
    // A change of the account's available funds or of the totals reloads the page from the top.
    s.resets = [self](int order) {
        std::vector<engine::ResetField> r{
            {QStringLiteral("ACC:AccountBalance"), [self] { return FieldValue{self->account().accountBalance}; }, {}},
            {QStringLiteral("LOC:AvailableFunds"), [self] { return FieldValue{self->availableFunds()}; }, {}}};
        if (order == 0)
            r.push_back({QStringLiteral("LOC:AverageCharge"), [self] { return FieldValue{self->averageCharge()}; }, {}});
        r.push_back({QStringLiteral("LOC:OpenTotal"), [self] { return FieldValue{self->openTotal()}; }, {}});
        if (order == 1)
            r.push_back(
                {QStringLiteral("TRA:ReconciledTransaction"), [self] { return FieldValue{std::int64_t{self->reconciledShown()}}; }, {}});
        return r;
    };
    return s;
}

} // namespace

BrowseCurrentTransactionsWindow::BrowseCurrentTransactionsWindow(core::DataFiles& files, QWidget* parent)
    : TransactionListWindow(files, currentSetup(this), parent)
{
    addIconButton(QIcon(QStringLiteral(":/icons/select.svg")), QStringLiteral("Reconcile"),
                  QStringLiteral("Reconcile the Selected Transaction"), [this] { reconcile(); });
    addProcedureButton(QStringLiteral("Reconcile &Statement..."), QStringLiteral("Reconcile the transactions against a monthly statement"),
                       QStringLiteral("ReconcileStatement"));
    addProcedureButton(QStringLiteral("State&ments"), QStringLiteral("The statements reconciled so far"),
                       QStringLiteral("BrowseStatements"));
    addProcedureButton(QStringLiteral("Im&port Statement..."), QStringLiteral("Import the bank's statement file (OFX, QFX or CSV)"),
                       QStringLiteral("ImportStatement"));
    addValue(QStringLiteral("Open Transactions:"));
    addValue(QStringLiteral("Account Balance:"));
    addValue(QStringLiteral("Average Charge:"));
    addValue(QStringLiteral("Available Funds:"));
    m_figure = AccountFigure::make(files);
    if (m_figure)
        m_figureLabel = addValue(m_figure->prompt() + u':');
    side()->addStretch();
    finishSetup();
}

void BrowseCurrentTransactionsWindow::onToolbarCommand(int command)
{
    if (command != core::Command::Payment) {
        TransactionListWindow::onToolbarCommand(command);
        return;
    }
    // "Record a payment" is an insert primed as a payment: the prime travels with the call to its form.
    if (offersPayment())
        requestInsert(engine::FormPrime::Payment);
}

engine::FormWindow* BrowseCurrentTransactionsWindow::createForm(const engine::FormCall& call)
{
    auto* form = static_cast<UpdateTransactionsWindow*>(TransactionListWindow::createForm(call));
    if (call.prime == engine::FormPrime::Payment)
        form->primeAsPayment();
    return form;
}

bool BrowseCurrentTransactionsWindow::offersPayment() const
{
    return !const_cast<BrowseCurrentTransactionsWindow*>(this)->engine().formOpen();
}

void BrowseCurrentTransactionsWindow::computeTotals()
{
    // Both totals are computed by SQLite over the open transactions of the account.
    const platform::View::Totals open = totalsOf(QString());
    const platform::View::Totals charges = totalsOf(QStringLiteral("TRA:TransactionType <> 'P'"));
    m_openTotal = Decimal::fromUnits(open.sumUnits, 2);
    m_averageCharge = averageOf(Decimal::fromUnits(charges.sumUnits, 2), charges.count);
    if (m_figure)
        m_figureValue = m_figure->valueFor(account(), platform::Clock::current().today());
}

void BrowseCurrentTransactionsWindow::refreshed()
{
    TransactionListWindow::refreshed();
    setValue(QStringLiteral("Open Transactions"), m_openTotal);
    setValue(QStringLiteral("Account Balance"), account().accountBalance);
    setValue(QStringLiteral("Average Charge"), m_averageCharge);
    if (m_figureLabel) {
        const AccountFigure::Value shown = m_figureValue.value_or(AccountFigure::Value{});
        m_figureLabel->setValue(shown.text);
        m_figureLabel->setToolTip(shown.detail);
        m_figureLabel->setAccessibleDescription(shown.detail);
        showValue(m_figureLabel, !shown.text.isEmpty());
    }
}

void BrowseCurrentTransactionsWindow::setEditEnabled(bool changeAndDelete)
{
    TransactionListWindow::setEditEnabled(changeAndDelete);
    button(QStringLiteral("Reconcile"))->setEnabled(changeAndDelete);
}

void BrowseCurrentTransactionsWindow::reconcile()
{
    if (!engine().hasRows())
        return;
    engine().readSelected();
    if (platform::showMessage(QStringLiteral("Confirm Reconciliation"),
                              QStringLiteral("Do you want to reconcile this transaction?||Record will be moved to Transaction History"),
                              platform::MessageIcon::Exclamation, platform::Button::Yes | platform::Button::No,
                              platform::Button::No) != platform::Button::Yes)
        return;
    if (const platform::FileError e = reconcileTransaction(files()); !e.ok())
        platform::Runtime::stop(core::errorPart(e));
    engine().forceRefresh();
}

} // namespace fundora::transactions
