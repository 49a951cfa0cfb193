#include "statements/ReconcileStatementWindow.h"

#include "core/GlobalState.h"
#include "core/Help.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "engine/ButtonRow.h"
#include "engine/DateSpinBox.h"
#include "engine/ValueLabel.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "statements/StatementEntriesModel.h"
#include "statements/StatementText.h"
#include "transactions/UpdateTransactionsWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::statements {

namespace Button = platform::Button;
using platform::Decimal;

namespace {

const QString ReconcileTitle = QStringLiteral("Reconcile a Statement");

int ask(const QString& text, int buttons, int defaultButton, platform::MessageIcon icon = platform::MessageIcon::Question)
{
    return platform::showMessage(ReconcileTitle, text, icon, buttons, defaultButton);
}

// A due date is usually some three weeks after the closing date.
constexpr int DaysToDueDate = 25;

} // namespace

ReconcileStatementWindow::ReconcileStatementWindow(core::DataFiles& files, QWidget* parent)
    : QWidget(parent), m_uses(std::make_unique<core::FileUses>(files, statementFiles())), m_files(files),
      m_session(files, core::glo().currentSysid)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new StatementEntriesModel(m_session, this);
    build();
    if (m_uses->ok()) {
        const platform::FileError e = m_session.open(platform::Clock::current().today());
        m_ready = e.ok();
        if (!e.ok())
            ask(QStringLiteral("The account's statement could not be read: %1").arg(core::errorPart(e)), Button::Ok, Button::Ok,
                platform::MessageIcon::Stop);
    }
    if (!m_ready) {
        m_closingOnPurpose = true;
        QTimer::singleShot(0, this, [this] { closeWindow(); });
        return;
    }
    m_model->reloaded();
    showStatement();
}

ReconcileStatementWindow::~ReconcileStatementWindow() = default;

void ReconcileStatementWindow::onToolbarCommand(int command)
{
    if (command == core::Command::Help)
        core::showHelp(helpContext());
}

void ReconcileStatementWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    m_vendor = new QLabel(this);
    m_vendor->setAccessibleName(QStringLiteral("Credit card vendor"));
    QFont bold = m_vendor->font();
    bold.setBold(true);
    m_vendor->setFont(bold);
    layout->addWidget(m_vendor);

    auto* statement = new QGroupBox(QStringLiteral("From the Statement"), this);
    auto* form = new QFormLayout(statement);
    auto prompt = [&](const QString& text, QWidget* field, const QString& name, const QString& tip) {
        field->setAccessibleName(name);
        field->setToolTip(tip);
        field->setStatusTip(tip);
        auto* label = new QLabel(text, statement);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    m_closing = new engine::DateSpinBox(statement);
    prompt(QStringLiteral("&Closing date:"), m_closing, QStringLiteral("Closing date"),
           QStringLiteral("The date the statement closed; the transactions up to it are listed"));
    m_ending = new QLineEdit(statement);
    prompt(QStringLiteral("&Ending balance:"), m_ending, QStringLiteral("Ending balance"),
           QStringLiteral("The new balance the statement shows (negative for a credit balance)"));
    m_minimum = new QLineEdit(statement);
    prompt(QStringLiteral("&Minimum payment:"), m_minimum, QStringLiteral("Minimum payment"),
           QStringLiteral("The minimum payment due, if the statement gives one"));
    m_dueGiven = new QCheckBox(QStringLiteral("Payment due &date:"), statement);
    m_dueGiven->setAccessibleName(QStringLiteral("Payment due date given"));
    m_due = new engine::DateSpinBox(statement);
    m_due->setAccessibleName(QStringLiteral("Payment due date"));
    form->addRow(m_dueGiven, m_due);
    layout->addWidget(statement);
    m_problem = new QLabel(this);
    m_problem->setAccessibleName(QStringLiteral("Problem"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);

    auto* middle = new QHBoxLayout();
    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setAccessibleName(QStringLiteral("Open transactions up to the closing date"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setSectionResizeMode(StatementEntriesModel::Description, QHeaderView::Stretch);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    middle->addWidget(m_list, 1);
    auto* figures = new QFormLayout();
    for (const char* name : {"Previous balance", "Charges ticked", "Credits ticked", "Resulting balance", "Ending balance", "Difference",
                             "Transactions ticked"}) {
        auto* value = new engine::ValueLabel(QString::fromLatin1(name), this);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures->addRow(QString::fromLatin1(name) + u':', value);
        m_figures.insert(QString::fromLatin1(name), value);
    }
    middle->addLayout(figures);
    layout->addLayout(middle, 1);

    m_buttons = std::make_unique<engine::ButtonRow>(this);
    auto add = [this](const QString& text, const QString& tip, std::function<void()> action) {
        m_buttons->add(text, tip, std::move(action));
    };
    add(QStringLiteral("Tick All &up to the Date"), QStringLiteral("Tick every transaction listed"), [this] { tickAllUpToClosingDate(); });
    add(QStringLiteral("Add a &Transaction..."), QStringLiteral("Add a transaction the register is missing"), [this] { addTransaction(); });
    m_buttons->layout()->addStretch();
    add(QStringLiteral("&Finish"), QStringLiteral("Reconcile the ticked transactions and keep the statement"), [this] { finish(); });
    add(QStringLiteral("&Accept the Difference..."), QStringLiteral("Finish although the figures differ, and record the difference"),
        [this] { acceptDifference(); });
    add(QStringLiteral("&Later"), QStringLiteral("Keep the statement and its ticks for the next time"), [this] { later(); });
    add(QStringLiteral("Cancel"), QStringLiteral("Close the window (asks whether to keep what was changed)"), [this] { closeWindow(); });
    add(QStringLiteral("Help"), QString(), [] { core::showHelp(QStringLiteral("~ReconcileStatement")); });
    layout->addLayout(m_buttons->layout());

    connect(m_closing, &QSpinBox::valueChanged, this, &ReconcileStatementWindow::closingDateChanged);
    connect(m_ending, &QLineEdit::textEdited, this, [this] { moneyEdited(m_ending, &StatementSession::setEndingBalance); });
    connect(m_minimum, &QLineEdit::textEdited, this, [this] { moneyEdited(m_minimum, &StatementSession::setMinimumPayment); });
    connect(m_dueGiven, &QCheckBox::toggled, this, &ReconcileStatementWindow::dueDateChanged);
    connect(m_due, &QSpinBox::valueChanged, this, &ReconcileStatementWindow::dueDateChanged);
    connect(m_model, &StatementEntriesModel::ticksChanged, this, &ReconcileStatementWindow::showFigures);
    resize(820, 520);
}

QPushButton* ReconcileStatementWindow::button(const QString& text) const
{
    return m_buttons->button(text);
}

QString ReconcileStatementWindow::figure(const QString& name) const
{
    const engine::ValueLabel* l = m_figures.value(name);
    return l ? l->text() : QString();
}

QString ReconcileStatementWindow::problem() const
{
    return m_problem->text();
}

void ReconcileStatementWindow::showStatement()
{
    const core::Account& a = m_session.account();
    m_vendor->setText(a.creditCardVendor.trimmed());
    setWindowTitle(QStringLiteral("Reconcile a Statement for ") + a.creditCardVendor.trimmed());
    setAccessibleName(windowTitle());
    const QSignalBlocker b1(m_closing), b2(m_due), b3(m_dueGiven);
    m_closing->setValue(m_session.closingDate());
    if (m_session.hasDraft())
        m_ending->setText(m_session.endingBalance().toString());
    if (!m_session.minimumPayment().isZero())
        m_minimum->setText(m_session.minimumPayment().toString());
    m_dueGiven->setChecked(m_session.dueDate() != 0);
    m_due->setValue(m_session.dueDate() != 0 ? m_session.dueDate() : m_session.closingDate() + DaysToDueDate);
    m_due->setEnabled(m_dueGiven->isChecked());
    showFigures();
}

void ReconcileStatementWindow::showFigures()
{
    auto set = [this](const char* name, const QString& text) { m_figures.value(QString::fromLatin1(name))->setValue(text); };
    const bool endingTyped = parseMoney(m_ending->text(), Decimal{}).has_value() && !m_ending->text().trimmed().isEmpty();
    set("Previous balance", moneyText(m_session.previousBalance()));
    set("Charges ticked", moneyText(m_session.charges()));
    set("Credits ticked", moneyText(m_session.credits()));
    set("Resulting balance", moneyText(m_session.resultingBalance()));
    set("Ending balance", endingTyped ? moneyText(m_session.endingBalance()) : QString());
    set("Difference", endingTyped ? moneyText(m_session.difference()) : QString());
    set("Transactions ticked", QString::number(m_session.tickedCount()));
    const bool moneyOk = endingTyped && parseMoney(m_minimum->text(), Decimal::fromUnits(0, 2)).has_value();
    button(QStringLiteral("Finish"))->setEnabled(moneyOk && m_session.balances());
    button(QStringLiteral("Accept the Difference..."))->setEnabled(moneyOk && !m_session.balances());
}

void ReconcileStatementWindow::closingDateChanged()
{
    if (const platform::FileError e = m_session.setClosingDate(m_closing->value()); !e.ok())
        ask(QStringLiteral("The transactions could not be read: %1").arg(core::errorPart(e)), Button::Ok, Button::Ok,
            platform::MessageIcon::Stop);
    m_model->reloaded();
}

void ReconcileStatementWindow::moneyEdited(QLineEdit* edit, void (StatementSession::*set)(const Decimal&))
{
    const std::optional<Decimal> amount = parseMoney(edit->text(), Decimal::fromUnits(0, 2));
    if (amount)
        (m_session.*set)(*amount);
    bool allGood = true;
    for (QLineEdit* e : {m_ending, m_minimum})
        allGood = allGood && parseMoney(e->text(), Decimal::fromUnits(0, 2)).has_value();
    m_problem->setText(allGood ? QString() : moneyHint());
    showFigures();
}

void ReconcileStatementWindow::dueDateChanged()
{
    m_due->setEnabled(m_dueGiven->isChecked());
    m_session.setDueDate(m_dueGiven->isChecked() ? m_due->value() : 0);
}

bool ReconcileStatementWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            m_model->toggle(m_list->currentIndex().row());
            return true;
        }
    }
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex at = m_list->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && at.isValid() && at.column() == StatementEntriesModel::Tick)
            m_model->toggle(at.row());
    }
    return QWidget::eventFilter(watched, event);
}

void ReconcileStatementWindow::tickAllUpToClosingDate()
{
    m_session.tickAllUpTo(m_session.closingDate());
    emit m_model->dataChanged(m_model->index(0, 0), m_model->index(m_model->rowCount() - 1, StatementEntriesModel::ColumnCount - 1));
    showFigures();
}

void ReconcileStatementWindow::reloadEntries()
{
    if (const platform::FileError e = m_session.reload(); !e.ok())
        ask(QStringLiteral("The transactions could not be read: %1").arg(core::errorPart(e)), Button::Ok, Button::Ok,
            platform::MessageIcon::Stop);
    m_model->reloaded();
}

void ReconcileStatementWindow::addTransaction()
{
    // The usual transaction form, for the account of the statement; what it adds is ticked.
    m_files.transactions.clear();
    m_files.transactions.record.sysId = m_session.account().sysId;
    auto* form = new transactions::UpdateTransactionsWindow(m_files);
    m_form = form;
    setEnabled(false);
    form->run(core::Request::Insert, [self = QPointer<ReconcileStatementWindow>(this)](core::Response response, core::Navigation) {
        if (!self)
            return;
        self->setEnabled(true);
        if (response != core::Response::Completed)
            return;
        const std::int64_t added = self->m_files.transactions.record.identity.row;
        self->reloadEntries();
        const std::vector<StatementEntry>& entries = self->m_session.entries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].transaction.identity.row == added)
                self->m_model->toggle(static_cast<int>(i));
    });
}

void ReconcileStatementWindow::finish()
{
    if (m_session.balances())
        finishWith(false);
}

void ReconcileStatementWindow::acceptDifference()
{
    const QString text = QStringLiteral("The ticked transactions leave a difference of %1 to the statement's ending balance.||"
                                        "Finish anyway, and record the difference as accepted?")
                             .arg(moneyText(m_session.difference()));
    if (ask(text, Button::Yes | Button::No, Button::No, platform::MessageIcon::Exclamation) == Button::Yes)
        finishWith(true);
}

void ReconcileStatementWindow::finishWith(bool accept)
{
    const StatementSession::Result result = m_session.finish(accept);
    if (result == StatementSession::Result::Done) {
        m_closingOnPurpose = true;
        closeWindow();
        return;
    }
    reportFailure(result);
}

void ReconcileStatementWindow::later()
{
    const StatementSession::Result result = m_session.later();
    if (result == StatementSession::Result::Done) {
        m_closingOnPurpose = true;
        closeWindow();
        return;
    }
    reportFailure(result);
}

void ReconcileStatementWindow::reportFailure(StatementSession::Result result)
{
    using R = StatementSession::Result;
    switch (result) {
    case R::Done: return;
    case R::NotBalanced:
        ask(QStringLiteral("The statement does not balance: the difference is %1.").arg(moneyText(m_session.difference())), Button::Ok,
            Button::Ok, platform::MessageIcon::Exclamation);
        return;
    case R::DateNotAfterLast:
        ask(QStringLiteral("The closing date must be after that of the last statement, %1.")
                .arg(dateText(m_session.lastStatement() ? m_session.lastStatement()->closingDate : 0)),
            Button::Ok, Button::Ok, platform::MessageIcon::Exclamation);
        m_closing->setFocus();
        return;
    case R::ChangedElsewhere:
        ask(QStringLiteral("Another station changed this account's transactions or statements.||The list has been read again: "
                           "check the ticks and figures, then finish again.||Nothing was changed."),
            Button::Ok, Button::Ok, platform::MessageIcon::Exclamation);
        m_session.refresh();
        m_model->reloaded();
        return;
    case R::Failed:
        ask(QStringLiteral("The statement could not be stored: %1||Nothing was changed.").arg(core::errorPart(m_session.error())),
            Button::Ok, Button::Ok, platform::MessageIcon::Stop);
        return;
    }
}

void ReconcileStatementWindow::closeWindow()
{
    core::closeProcedureWindow(*this);
}

void ReconcileStatementWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeWindow();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReconcileStatementWindow::closeEvent(QCloseEvent* event)
{
    if (m_form) {
        // The transaction form is still open over this window.
        event->ignore();
        return;
    }
    if (!m_closingOnPurpose && m_session.changed()) {
        const int answer = ask(QStringLiteral("Keep the statement and its ticks for the next time?"),
                               Button::Yes | Button::No | Button::Cancel, Button::Yes);
        if (answer == Button::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Button::Yes && m_session.later() != StatementSession::Result::Done) {
            reportFailure(StatementSession::Result::Failed);
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace fundora::statements
