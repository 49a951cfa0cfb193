#include "accounts/BrowseAccountsWindow.h"

#include "accounts/AccountText.h"
#include "accounts/UpdateAccountsWindow.h"
#include "core/Help.h"
#include "core/PopupKeys.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "core/WindowPosition.h"
#include "core/dialer/PhoneDialer.h"
#include "engine/BrowseListView.h"
#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"

#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::accounts {

using namespace core::Command;
using platform::formatPicture;

BrowseAccountsWindow::BrowseAccountsWindow(core::DataFiles& files, QWidget* parent)
    : QWidget(parent), m_files(files), m_accounts(files, core::FileId::Accounts), m_buffer(files.accounts)
{
    setWindowTitle(QStringLiteral("Browse Credit Card Accounts"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    engine::SortOrder byVendor;
    byVendor.key = core::AccCreditCardVendorKey;
    byVendor.locatorField = files.accounts.def().fieldIndex(QStringLiteral("ACC:CreditCardVendor"));
    m_engine = std::make_unique<engine::BrowseEngine>(m_buffer, std::vector<engine::SortOrder>{byVendor}, engine::ThumbStrategy::Stops,
                                                      *m_list, *this);
    m_engine->setStartRequest(core::glo().requestCode);
    core::glo().requestCode = 0;
    core::glo().responseCode = 0;
    m_list->setEngine(m_engine.get());
}

BrowseAccountsWindow::~BrowseAccountsWindow() = default;

QPushButton* BrowseAccountsWindow::button(const QString& text) const
{
    return m_buttons.value(text);
}

QString BrowseAccountsWindow::detail(const QString& name) const
{
    const QLabel* l = m_details.value(name);
    return l ? l->text() : QString();
}

void BrowseAccountsWindow::build()
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout();
    auto* tabs = new QTabWidget(this);
    m_list = new engine::BrowseListView({QStringLiteral("Credit Card Vendor")}, tabs);
    m_list->table()->setStatusTip(QStringLiteral("Browsing Records"));
    tabs->addTab(m_list, QStringLiteral("Credit Card Vendors"));
    tabs->setTabToolTip(0, QStringLiteral("Browse by Credit Card Vendor"));
    left->addWidget(tabs);
    auto* buttons = new QGridLayout();
    const char* names[] = {"&Insert", "&Change", "&Delete", "Notes", "&Dial", "Help", "Close"};
    int i = 0;
    for (const char* n : names) {
        auto* b = new QPushButton(QString::fromLatin1(n), this);
        b->setAccessibleName(QString::fromLatin1(n).remove(u'&'));
        m_buttons.insert(QString::fromLatin1(n).remove(u'&'), b);
        buttons->addWidget(b, i / 4, i % 4);
        ++i;
    }
    m_buttons[QStringLiteral("Dial")]->setToolTip(QStringLiteral("Dial Phone Number"));
    left->addLayout(buttons);
    layout->addLayout(left, 1);

    auto label = [this](const QString& name, QWidget* parent) {
        auto* l = new QLabel(parent);
        l->setAccessibleName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_details.insert(name, l);
        return l;
    };
    auto* right = new QVBoxLayout();
    QLabel* type = label(QStringLiteral("Card Type"), this);
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
    auto* total = new QFormLayout();
    total->addRow(QStringLiteral("Total Outstanding Debt (All Accounts):"), label(QStringLiteral("Total Outstanding Debt"), this));
    right->addLayout(total);
    right->addStretch();
    layout->addLayout(right);

    connect(m_buttons[QStringLiteral("Insert")], &QPushButton::clicked, this, [this] { m_engine->insertRecord(); });
    connect(m_buttons[QStringLiteral("Change")], &QPushButton::clicked, this, [this] { m_engine->changeRecord(); });
    connect(m_buttons[QStringLiteral("Delete")], &QPushButton::clicked, this, [this] { m_engine->deleteRecord(); });
    connect(m_buttons[QStringLiteral("Notes")], &QPushButton::clicked, this, &BrowseAccountsWindow::notes);
    connect(m_buttons[QStringLiteral("Dial")], &QPushButton::clicked, this, &BrowseAccountsWindow::dial);
    connect(m_buttons[QStringLiteral("Help")], &QPushButton::clicked, this, [this] { core::showHelp(helpContext()); });
    connect(m_buttons[QStringLiteral("Close")], &QPushButton::clicked, this, [this] {
        m_engine->readSelected();
        core::closeProcedureWindow(*this);
    });
    resize(760, 460);
}

void BrowseAccountsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    core::restoreWindowPosition(*frame, QDir::current().filePath(core::WindowPositionFile), QStringLiteral("BrowseAccounts"));
    setFrameButtons(true);
    m_engine->refreshWindow();
    m_list->setFocusToList();
}

void BrowseAccountsWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        m_closed = true;
        setFrameButtons(false);
        QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
        core::saveWindowPosition(*frame, QDir::current().filePath(core::WindowPositionFile), QStringLiteral("BrowseAccounts"));
        core::glo().responseCode = m_engine->response();
    }
    event->accept();
}

void BrowseAccountsWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_opened && !m_closed)
        QTimer::singleShot(0, this, [this] { m_engine->forceRefresh(); });
}

void BrowseAccountsWindow::gainedFocus()
{
    if (m_opened && !m_closed && isEnabled())
        m_engine->forceRefresh();
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
    row.columns = {row.record.text(core::accountLayout().def().fieldIndex(QStringLiteral("ACC:CreditCardVendor")))};
}

void BrowseAccountsWindow::computeTotals()
{
    std::int64_t units = 0;
    const int balance = m_files.accounts.def().fieldIndex(QStringLiteral("ACC:AccountBalance"));
    if (!m_files.accounts.file().sum(balance, units).ok()) {
        readFailed();
        return;
    }
    m_totalDebt = platform::Decimal::fromUnits(units, 2);
}

void BrowseAccountsWindow::updateDetails()
{
    const core::Account& a = m_files.accounts.record;
    const bool any = m_engine->hasRows();
    auto set = [this](const char* name, const QString& text) { m_details[QString::fromLatin1(name)]->setText(text); };
    const QString type = cardTypeDescription(a.cardType);
    set("Card Type", any ? type : QString());
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
}

void BrowseAccountsWindow::afterRefresh()
{
    core::glo().currentSysid = m_files.accounts.record.sysId;
    updateDetails();
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->refreshToolbar();
}

void BrowseAccountsWindow::setEditEnabled(bool changeAndDelete)
{
    m_buttons[QStringLiteral("Change")]->setEnabled(changeAndDelete);
    m_buttons[QStringLiteral("Delete")]->setEnabled(changeAndDelete);
    m_buttons[QStringLiteral("Dial")]->setEnabled(changeAndDelete);
    m_buttons[QStringLiteral("Notes")]->setEnabled(changeAndDelete);
}

void BrowseAccountsWindow::pressButton(engine::EditButton b)
{
    const char* name = b == engine::EditButton::Insert ? "Insert" : b == engine::EditButton::Change ? "Change" : "Delete";
    QPushButton* button = m_buttons.value(QString::fromLatin1(name));
    if (button && button->isEnabled())
        QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
}

void BrowseAccountsWindow::readFailed()
{
    core::standardWarning(m_files, core::Warning::RecordRetrievalError, QStringLiteral("Accounts"));
    QMetaObject::invokeMethod(
        this, [this] { core::closeProcedureWindow(*this); }, Qt::QueuedConnection);
}

void BrowseAccountsWindow::viewFailed()
{
    core::standardWarning(m_files, core::Warning::ViewOpenError);
}

void BrowseAccountsWindow::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void BrowseAccountsWindow::callUpdateForm(int request, std::function<void(int, int)> done)
{
    if (m_formRunner) {
        m_formRunner(request, std::move(done));
        return;
    }
    setEnabled(false);
    auto* form = new UpdateAccountsWindow(m_files);
    form->run([this, done = std::move(done)](int response, int navigation) {
        setEnabled(true);
        done(response, navigation);
    });
}

void BrowseAccountsWindow::onToolbarCommand(int command)
{
    switch (command) {
    case Insert: pressButton(engine::EditButton::Insert); break;
    case Change: pressButton(engine::EditButton::Change); break;
    case Delete: pressButton(engine::EditButton::Delete); break;
    case Help: core::showHelp(helpContext()); break;
    default: m_engine->toolbarNavigate(command); break;
    }
}

std::map<int, core::ToolbarButtonState> BrowseAccountsWindow::toolbarState() const
{
    std::map<int, core::ToolbarButtonState> s;
    s[LastPage] = {true, QStringLiteral("Go to the Last Page")};
    s[FirstPage] = {true, QStringLiteral("Go to the First Page")};
    s[NextPage] = {true, QStringLiteral("Go to the Next Page")};
    s[PreviousPage] = {true, QStringLiteral("Go to the Prior Page")};
    s[NextRecord] = {true, QStringLiteral("Go to the Next Record")};
    s[PreviousRecord] = {true, QStringLiteral("Go to the Prior Record")};
    s[Locate] = {true, {}};
    s[Ditto] = {false, {}};
    s[Select] = {false, {}};
    s[Help] = {m_buttons[QStringLiteral("Help")]->isEnabled(), {}};
    s[Insert] = {m_buttons[QStringLiteral("Insert")]->isEnabled(), QStringLiteral("Insert a new Record")};
    s[Change] = {m_buttons[QStringLiteral("Change")]->isEnabled(), {}};
    s[Delete] = {m_buttons[QStringLiteral("Delete")]->isEnabled(), {}};
    return s;
}

void BrowseAccountsWindow::dial()
{
    m_engine->readSelected();
    const core::Account& a = m_files.accounts.record;
    core::DialRequest request;
    request.numbers = {dialingFormat(a.balanceInfoPhone), dialingFormat(a.lostCardPhone), QString()};
    core::PhoneDialer().dial(request);
}

void BrowseAccountsWindow::notes()
{
    m_engine->readSelected();
    // The memo cards arrive with their own list; until then the user is told so.
    platform::MessageService::current().show({QStringLiteral("Notes"), QStringLiteral("Memo cards are not available yet."),
                                              platform::MessageIcon::Information, platform::Button::Ok, platform::Button::Ok});
}

} // namespace fundora::accounts
