#include "transactions/TransactionListWindow.h"

#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "core/StatusTexts.h"
#include "engine/ValueLabel.h"
#include "platform/Clock.h"
#include "platform/Runtime.h"
#include "platform/pictures/Picture.h"
#include "transactions/TransactionText.h"
#include "transactions/UpdateTransactionsWindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::transactions {

using platform::Decimal;
using platform::FieldValue;

namespace {

const platform::FileDef& tra()
{
    return core::transactionLayout().def();
}

int fieldOf(const char* name)
{
    return tra().fieldIndex(QString::fromLatin1(name));
}

// The status line's timer: at most a second, as the frame's.
constexpr int ClockMs = 1000;

} // namespace

engine::BrowseDefinition TransactionListWindow::definitionFor(const Setup& setup, std::function<const core::Account&()> account)
{
    engine::BrowseDefinition d;
    d.procedure = setup.procedure;
    d.title = setup.titlePrefix;
    d.helpContext = setup.helpContext;
    d.files = {core::FileId::Accounts, core::FileId::Transactions};
    d.fileLabel = QStringLiteral("Transactions");
    // Sort order 1 by type, 2 by date; the first tab shows the dates. The range fixes the account
    // (the key's first component): the filter holds only what no key answers, so that SQLite
    // seeks on the whole key rather than walking the account from its first entry.
    const QString filter = QStringLiteral("TRA:ReconciledTransaction = %1");
    for (int order = 0; order < 2; ++order) {
        engine::SortOrder o;
        o.key = order == 0 ? core::TraSysIDTypeKey : core::TraSysIDDateKey;
        o.locatorField = order == 0 ? fieldOf("TRA:TransactionType") : fieldOf("TRA:DateofTransaction");
        o.rangeComponents = 1;
        o.filter = filter.arg(setup.reconciled);
        o.resets = {{QStringLiteral("ACC:SysID"), [account] { return FieldValue{std::int64_t{account().sysId}}; }, {}}};
        if (setup.resets)
            for (engine::ResetField& r : setup.resets(order))
                o.resets.push_back(std::move(r));
        d.orders.push_back(std::move(o));
    }
    d.tabs = {{setup.dateTab, QStringLiteral("Browse Transactions by Date"), 1}, {setup.typeTab, QString(), 0}};
    d.thumb = engine::ThumbStrategy::ThreePosition;
    d.columnGroup = QStringLiteral("Transaction");
    d.columns = {{QStringLiteral("Date"), Qt::AlignCenter, 10},
                 {QStringLiteral("Description"), Qt::AlignLeft | Qt::AlignVCenter, 35},
                 {QStringLiteral("Type"), Qt::AlignCenter, 10},
                 {QStringLiteral("Amount"), Qt::AlignRight | Qt::AlignVCenter, 12}};
    return d;
}

TransactionListWindow::TransactionListWindow(core::DataFiles& files, Setup setup, QWidget* parent)
    : engine::BrowseWindow(files, m_buffer, definitionFor(setup, [this]() -> const core::Account& { return m_account; }),
                           core::Request::None, parent),
      m_setup(std::move(setup)), m_buffer(files.transactions)
{
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_statusDate = new engine::ValueLabel(QStringLiteral("Date"), status);
    m_statusTime = new engine::ValueLabel(QStringLiteral("Time"), status);
    status->addWidget(m_statusDate, 1);
    status->addWidget(m_statusTime);
    column()->addWidget(status);
    m_clock = new QTimer(this);
    m_clock->setInterval(ClockMs);
    connect(m_clock, &QTimer::timeout, this, &TransactionListWindow::tick);
    m_clock->start();
    tick();
    // The account as it stands now, before the first page is read.
    loadAccount();
    resize(720, 420);
}

TransactionListWindow::~TransactionListWindow() = default;

void TransactionListWindow::tick()
{
    const QDateTime now = platform::Clock::current().now();
    m_statusDate->setValue(core::statusDateText(now.date()));
    m_statusTime->setValue(core::statusTimeText(now.time()));
}

int TransactionListWindow::reconciledShown() const
{
    return const_cast<TransactionListWindow*>(this)->files().transactions.record.reconciledTransaction;
}

QString TransactionListWindow::statusDate() const
{
    return m_statusDate->text();
}

QString TransactionListWindow::statusTime() const
{
    return m_statusTime->text();
}

void TransactionListWindow::addProcedureButton(const QString& text, const QString& tip, const QString& procedure)
{
    QPushButton* b = addButton(text, tip, [this, procedure] {
        core::glo().currentSysid = m_account.sysId;
        if (core::ProcedureHost* host = core::ProcedureHost::current())
            host->startProcedure(procedure);
    });
    b->setEnabled(core::hasProcedure(procedure));
}

engine::ValueLabel* TransactionListWindow::addValue(const QString& prompt)
{
    auto* row = new QFormLayout();
    QString name = prompt;
    name.chop(name.endsWith(u':') ? 1 : 0);
    auto* label = new engine::ValueLabel(name, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addRow(prompt, label);
    m_prompts.insert(label, row->labelForField(label));
    side()->addLayout(row);
    m_values.insert(name, label);
    return label;
}

void TransactionListWindow::showValue(engine::ValueLabel* value, bool shown)
{
    value->setVisible(shown);
    if (QWidget* prompt = m_prompts.value(value))
        prompt->setVisible(shown);
}

void TransactionListWindow::setValue(const QString& prompt, const Decimal& amount, const QString& picture)
{
    if (engine::ValueLabel* l = m_values.value(prompt))
        l->setValue(platform::formatPicture(amount, picture).trimmed());
}

QString TransactionListWindow::value(const QString& prompt) const
{
    const engine::ValueLabel* l = m_values.value(prompt);
    return l ? l->text() : QString();
}

void TransactionListWindow::loadAccount()
{
    // The account the window was opened for (GLO:CurrentSysid at that moment),
    // read into the window's own copy at every refresh. Another account
    // highlighted in the accounts list meanwhile never moves the window.
    if (m_openedFor == 0) {
        m_openedFor = core::glo().currentSysid;
        m_cardTypeText = core::glo().cardTypeDescription.trimmed();
    }
    const platform::FileError e = files().readAccount(m_openedFor, m_account);
    if (!e.ok() && (m_openedFor != m_account.sysId || e.code != platform::ErrorCode::RecordNotFound))
        platform::Runtime::stop(core::errorPart(e));
    m_availableFunds = m_account.creditLimit - m_account.accountBalance;
    setWindowTitle(m_setup.titlePrefix + m_account.creditCardVendor.trimmed() + QStringLiteral(" ( ") + m_cardTypeText +
                   QStringLiteral(" )"));
    setAccessibleName(windowTitle());
    if (auto* frame = parentWidget(); frame && frame->windowTitle() != windowTitle() && frame->inherits("QMdiSubWindow"))
        frame->setWindowTitle(windowTitle());
}

void TransactionListWindow::beforeRefresh()
{
    loadAccount();
}

void TransactionListWindow::refreshed()
{
    // The account was loaded before this refresh's steps, which read transactions only.
    setValue(QStringLiteral("Available Funds"), m_availableFunds);
}

engine::FormWindow* TransactionListWindow::createForm(const engine::FormCall&)
{
    return new UpdateTransactionsWindow(files());
}

void TransactionListWindow::primeRange(platform::Record& r)
{
    r.values[static_cast<std::size_t>(fieldOf("TRA:SysID"))] = std::int64_t{m_account.sysId};
}

void TransactionListWindow::buildRow(engine::BrowseRow& row)
{
    const platform::Record& r = row.record;
    const Decimal amount = r.decimal(fieldOf("TRA:TransactionAmount"));
    // A negative amount (a payment, a credit) shows in red.
    const QColor red = amount.isNegative() ? QColor(255, 0, 0) : QColor();
    row.cells = {{platform::formatPicture(r.integer(fieldOf("TRA:DateofTransaction")), u"d2"), {}, {}},
                 {r.text(fieldOf("TRA:TransactionDescription")), {}, {}},
                 {transactionTypeDescription(r.text(fieldOf("TRA:TransactionType"))), {}, {}},
                 {platform::formatPicture(amount, u"n$(12.2)").trimmed(), red, {}}};
}

platform::View::Totals TransactionListWindow::totalsOf(const QString& condition, const platform::FilterBindings& names)
{
    platform::View::Totals t;
    const std::unique_ptr<platform::View> view = engine().rangeView(engine().sortOrder());
    if (!view->totals(fieldOf("TRA:TransactionAmount"), condition, names, t).ok())
        readFailed();
    return t;
}

} // namespace fundora::transactions
