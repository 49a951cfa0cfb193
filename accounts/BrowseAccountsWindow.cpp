#include "accounts/BrowseAccountsWindow.h"

#include "accounts/AccountText.h"
#include "accounts/CardStanding.h"
#include "accounts/UpdateAccountsWindow.h"
#include "core/Procedures.h"
#include "core/dialer/PhoneDialer.h"
#include "engine/ValueLabel.h"
#include "memos/MemoOwner.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"
#include "statements/CycleInterestFigure.h"
#include "statements/StatementRecords.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::accounts {

using namespace core::Command;
using platform::formatPicture;

namespace {

engine::BrowseDefinition accountsList()
{
    engine::BrowseDefinition d;
    d.procedure = QStringLiteral("BrowseAccounts");
    d.title = QStringLiteral("Browse Credit Card Accounts");
    d.emptyText = QStringLiteral("No cards yet. Press Insert to add your first card.");
    d.helpContext = QStringLiteral("~BrowseCreditCardAccounts");
    // The transactions and statements give each card's standing.
    d.files = {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()};
    d.fileLabel = QStringLiteral("Accounts");
    engine::SortOrder byVendor;
    byVendor.key = core::AccCreditCardVendorKey;
    byVendor.locatorField = core::accountLayout().def().fieldIndex(QStringLiteral("ACC:CreditCardVendor"));
    d.orders = {byVendor};
    d.tabs = {{QStringLiteral("Credit Card Vendors"), QStringLiteral("Browse by Credit Card Vendor")}};
    d.thumb = engine::ThumbStrategy::Stops;
    d.columns = {{QStringLiteral("Credit Card Vendor"), Qt::AlignLeft | Qt::AlignVCenter, 30}};
    return d;
}

} // namespace

BrowseAccountsWindow::BrowseAccountsWindow(core::DataFiles& files, QWidget* parent)
    : engine::BrowseWindow(files, m_buffer, accountsList(), core::Request::None, parent), m_buffer(files.accounts)
{
    addButton(QStringLiteral("Notes"), QString(), [this] { notes(); });
    addButton(QStringLiteral("Di&al"), QStringLiteral("Dial Phone Number"), [this] { dial(); });
    buildDetails();
    resize(760, 460);
    finishSetup();
}

BrowseAccountsWindow::~BrowseAccountsWindow() = default;

void BrowseAccountsWindow::buildDetails()
{
    auto label = [this](const QString& name, QWidget* parent) {
        auto* l = new engine::ValueLabel(name, parent);
        m_details.insert(name, l);
        return l;
    };
    QVBoxLayout* right = side();
    engine::ValueLabel* type = label(QStringLiteral("Card Type"), this);
    QFont bold = type->font();
    bold.setBold(true);
    type->setFont(bold);
    right->addWidget(type);
    auto* account = new QFormLayout();
    account->addRow(QStringLiteral("Account Number"), label(QStringLiteral("Account Number"), this));
    account->addRow(QStringLiteral("Exp Date:"), label(QStringLiteral("Exp Date"), this));
    account->addRow(QStringLiteral("Current Balance"), label(QStringLiteral("Current Balance"), this));
    right->addLayout(account);
    auto* billing = new QGroupBox(QStringLiteral("Billing Information"), this);
    auto* billingForm = new QFormLayout(billing);
    billingForm->addRow(QStringLiteral("Credit Limit"), label(QStringLiteral("Credit Limit"), billing));
    auto* day = new QHBoxLayout();
    day->addWidget(label(QStringLiteral("Billing Date"), billing));
    day->addWidget(label(QStringLiteral("Ordinal Extension"), billing));
    day->addWidget(new QLabel(QStringLiteral("each month"), billing));
    day->addStretch();
    billingForm->addRow(QStringLiteral("Billing Date"), day);
    billingForm->addRow(QStringLiteral("Rate"), label(QStringLiteral("Rate"), billing));
    billingForm->addRow(new QLabel(QStringLiteral("Mail payments to:"), billing));
    billingForm->addRow(label(QStringLiteral("Address 1"), billing));
    billingForm->addRow(label(QStringLiteral("Address 2"), billing));
    billingForm->addRow(label(QStringLiteral("City State Zip"), billing));
    right->addWidget(billing);
    auto* phones = new QGroupBox(QStringLiteral("Telephone Numbers"), this);
    phones->setAccessibleName(QStringLiteral("Phones"));
    auto* phoneForm = new QFormLayout(phones);
    phoneForm->addRow(QStringLiteral("Balance Information:"), label(QStringLiteral("Balance Information"), phones));
    phoneForm->addRow(QStringLiteral("Lost Card:"), label(QStringLiteral("Lost Card"), phones));
    right->addWidget(phones);
    buildStanding();
    auto* total = new QFormLayout();
    total->addRow(QStringLiteral("Total Outstanding Debt (All Accounts):"), label(QStringLiteral("Total Outstanding Debt"), this));
    right->addLayout(total);
    right->addStretch();
}

void BrowseAccountsWindow::buildStanding()
{
    m_standing = new QGroupBox(QStringLiteral("Where the Card Stands"), this);
    auto* form = new QFormLayout(m_standing);
    auto row = [&](const QString& prompt, const QString& name) {
        auto* value = new engine::ValueLabel(name, m_standing);
        m_details.insert(name, value);
        auto* label = new QLabel(prompt, m_standing);
        form->addRow(label, value);
        m_statementRows << label << value;
    };
    row(QStringLiteral("Last statement:"), QStringLiteral("Last Statement"));
    row(QStringLiteral("Payment due:"), QStringLiteral("Payment Due"));
    row(QStringLiteral("Minimum payment:"), QStringLiteral("Minimum Payment"));
    row(QStringLiteral("Paid since:"), QStringLiteral("Paid Since"));
    // The estimate shows without a statement too (from the billing day).
    m_interest = new engine::ValueLabel(QStringLiteral("Interest This Cycle"), m_standing);
    m_details.insert(m_interest->prompt(), m_interest);
    m_interestPrompt = new QLabel(QStringLiteral("Interest this cycle:"), m_standing);
    form->addRow(m_interestPrompt, m_interest);
    m_creditBar = new QProgressBar(m_standing);
    m_creditBar->setRange(0, 100);
    m_creditBar->setAccessibleName(QStringLiteral("Credit used"));
    form->addRow(QStringLiteral("Credit used:"), m_creditBar);
    side()->addWidget(m_standing);
}

void BrowseAccountsWindow::showStanding(const core::Account& a, bool any)
{
    CardStanding s;
    if (any && !cardStandingOf(files(), a, s).ok())
        readFailed();
    auto set = [this](const char* name, const QString& text) { m_details[QString::fromLatin1(name)]->setValue(text); };
    const platform::DayNumber today = platform::Clock::current().today();
    set("Last Statement", s.hasStatement ? QStringLiteral("%1 on %2")
                                               .arg(formatPicture(s.statementBalance, u"n$(12.2)").trimmed(),
                                                    formatPicture(std::int64_t{s.closingDate}, u"d2"))
                                         : QString());
    set("Payment Due", s.hasStatement && s.dueDate != 0
                           ? formatPicture(std::int64_t{s.dueDate}, u"d2") + QStringLiteral(", ") + dueText(s, today)
                           : QString());
    set("Minimum Payment", s.hasStatement ? formatPicture(s.minimumPayment, u"n$10.2").trimmed() : QString());
    set("Paid Since", s.hasStatement ? formatPicture(s.paidSince, u"n$(12.2)").trimmed() : QString());
    // With no statement yet only the current figures show.
    for (QWidget* w : m_statementRows)
        w->setVisible(s.hasStatement);
    statements::CycleInterest interest;
    if (any && !statements::cycleInterestOf(files(), a, today, interest).ok())
        readFailed();
    set("Interest This Cycle", statements::estimateText(interest));
    // What the figure is made of, to compare with the finance charge the statement prints.
    m_interest->setToolTip(interest.estimated ? interest.breakdown() : QString());
    m_interest->setAccessibleDescription(m_interest->toolTip());
    m_interest->setVisible(interest.estimated);
    m_interestPrompt->setVisible(interest.estimated);
    m_creditBar->setVisible(any);
    m_creditBar->setValue(std::min(s.usedPercent, 100));
    const QString used = s.hasLimit ? QStringLiteral("%1 % of the limit").arg(s.usedPercent) : QStringLiteral("no credit limit");
    m_creditBar->setFormat(used);
    m_creditBar->setAccessibleDescription(used);
    const char* colour = s.level == CardStanding::Level::Critical ? "#c62828"
                         : s.level == CardStanding::Level::High   ? "#ef8a00"
                                                                  : "#3d7fc4";
    m_creditBar->setProperty("level", static_cast<int>(s.level));
    m_creditBar->setStyleSheet(
        QStringLiteral("QProgressBar { text-align: center; } QProgressBar::chunk { background-color: %1; }").arg(QLatin1String(colour)));
}

QString BrowseAccountsWindow::detail(const QString& name) const
{
    const engine::ValueLabel* l = m_details.value(name);
    return l ? l->text() : QString();
}

engine::FormWindow* BrowseAccountsWindow::createForm(const engine::FormCall&)
{
    return new UpdateAccountsWindow(files());
}

void BrowseAccountsWindow::opened()
{
    setFrameButtons(true);
}

void BrowseAccountsWindow::closing()
{
    setFrameButtons(false);
}

void BrowseAccountsWindow::setFrameButtons(bool enabled)
{
    // A button whose window this build does not have yet stays disabled.
    const std::pair<int, const char*> buttons[] = {
        {History, "BrowseTransactionHistory"}, {Current, "BrowseCurrentTransactions"}, {Report, "PickaReport"}};
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        for (const auto& [command, procedure] : buttons)
            host->setToolbarButtonEnabled(command, enabled && core::hasProcedure(QString::fromLatin1(procedure)));
}

void BrowseAccountsWindow::buildRow(engine::BrowseRow& row)
{
    row.cells = {{row.record.text(core::accountLayout().def().fieldIndex(QStringLiteral("ACC:CreditCardVendor"))), {}, {}}};
}

void BrowseAccountsWindow::computeTotals()
{
    std::int64_t units = 0;
    const int balance = files().accounts.def().fieldIndex(QStringLiteral("ACC:AccountBalance"));
    if (!files().accounts.file().sum(balance, units).ok()) {
        readFailed();
        return;
    }
    m_totalDebt = platform::Decimal::fromUnits(units, 2);
}

void BrowseAccountsWindow::refreshed()
{
    core::glo().currentSysid = files().accounts.record.sysId;
    const core::Account& a = files().accounts.record;
    const bool any = engine().hasRows();
    core::glo().cardTypeDescription = cardTypeDescription(a.cardType);
    auto set = [this](const char* name, const QString& text) { m_details[QString::fromLatin1(name)]->setValue(text); };
    set("Card Type", any ? cardTypeDescription(a.cardType) : QString());
    set("Account Number", a.accountNumber);
    set("Exp Date", formatPicture(std::int64_t{a.expirationDate}, u"d1"));
    set("Current Balance", any ? formatPicture(a.accountBalance, u"n$(12.2)").trimmed() : QString());
    set("Credit Limit", any ? formatPicture(a.creditLimit, u"n$10.2").trimmed() : QString());
    set("Billing Date", any ? formatPicture(std::int64_t{a.billingDay}, u"n2").trimmed() : QString());
    set("Ordinal Extension", any ? ordinalExtension(a.billingDay) : QString());
    set("Rate", any ? formatPicture(a.interestRate, u"n5.1").trimmed() : QString());
    set("Address 1", a.vendorAddr1);
    set("Address 2", a.vendorAddr2);
    set("City State Zip", any ? cityStateZip(a).trimmed() : QString());
    set("Balance Information", formatPicture(a.balanceInfoPhone, u"p(###) ###-####p"));
    set("Lost Card", formatPicture(a.lostCardPhone, u"p(###) ###-####p"));
    set("Total Outstanding Debt", formatPicture(m_totalDebt, u"n$11.2").trimmed());
    showStanding(a, any);
}

void BrowseAccountsWindow::setEditEnabled(bool changeAndDelete)
{
    BrowseWindow::setEditEnabled(changeAndDelete);
    button(QStringLiteral("Dial"))->setEnabled(changeAndDelete);
    button(QStringLiteral("Notes"))->setEnabled(changeAndDelete);
}

void BrowseAccountsWindow::dial()
{
    engine().readSelected();
    const core::Account& a = files().accounts.record;
    core::DialRequest request;
    request.numbers = {dialingFormat(a.balanceInfoPhone), dialingFormat(a.lostCardPhone), QString()};
    request.spoken = {QStringLiteral("Balance information"), QStringLiteral("Lost card"), QString()};
    core::PhoneDialer().dial(request);
}

void BrowseAccountsWindow::notes()
{
    engine().readSelected();
    const core::Account& a = files().accounts.record;
    memos::openMemoBrowse(files(), {QStringLiteral("ACC"), a.sysId, a.accountNumber, QString()});
}

} // namespace fundora::accounts
