#include "statements/BrowseStatementsWindow.h"

#include "core/GlobalState.h"
#include "core/Help.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "engine/ButtonRow.h"
#include "platform/MessageService.h"
#include "statements/StatementBook.h"
#include "statements/StatementListModel.h"
#include "statements/StatementRecords.h"
#include "statements/StatementText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace fundora::statements {

namespace Button = platform::Button;

namespace {

const QString ListTitle = QStringLiteral("Statements");

int sayInList(const QString& text, int buttons, int defaultButton, platform::MessageIcon icon)
{
    return platform::showMessage(ListTitle, text, icon, buttons, defaultButton);
}

} // namespace

BrowseStatementsWindow::BrowseStatementsWindow(core::DataFiles& files, QWidget* parent)
    : QWidget(parent), m_uses(std::make_unique<core::FileUses>(files, statementFiles())), m_files(files), m_sysId(core::glo().currentSysid)
{
    setAttribute(Qt::WA_DeleteOnClose);
    core::Account owner;
    if (m_uses->ok())
        files.readAccount(m_sysId, owner);
    setWindowTitle(QStringLiteral("Statements for ") + owner.creditCardVendor.trimmed());
    setAccessibleName(windowTitle());

    auto* layout = new QVBoxLayout(this);
    m_model = new StatementListModel(this);
    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setAccessibleName(QStringLiteral("Finished statements, latest first"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    m_summary = new QLabel(this);
    m_summary->setAccessibleName(QStringLiteral("Summary"));
    layout->addWidget(m_summary);
    m_buttons = std::make_unique<engine::ButtonRow>(this);
    auto add = [this](const QString& text, const QString& tip, std::function<void()> action) {
        m_buttons->add(text, tip, std::move(action));
    };
    add(QStringLiteral("&Undo this Statement"), QStringLiteral("Move the latest statement's transactions back to the open ones"),
        [this] { undoLatest(); });
    // Printing is the reports' (a later layer): started by name, off when this build has none.
    add(QStringLiteral("&Print..."), QStringLiteral("Print the highlighted statement, or save it as PDF or CSV"), [this] { print(); });
    m_buttons->layout()->addStretch();
    add(QStringLiteral("Close"), QString(), [this] { core::closeProcedureWindow(*this); });
    add(QStringLiteral("Help"), QString(), [] { core::showHelp(QStringLiteral("~BrowseStatements")); });
    layout->addLayout(m_buttons->layout());
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &BrowseStatementsWindow::selectionChanged);
    resize(760, 360);
    reload();
}

BrowseStatementsWindow::~BrowseStatementsWindow() = default;

void BrowseStatementsWindow::onToolbarCommand(int command)
{
    if (command == core::Command::Help)
        core::showHelp(helpContext());
}

QPushButton* BrowseStatementsWindow::button(const QString& text) const
{
    return m_buttons->button(text);
}

void BrowseStatementsWindow::reload()
{
    std::vector<statements::CardStatement> statements;
    if (m_uses->ok()) {
        if (const platform::FileError e = readStatements(m_files, m_sysId, statements); !e.ok())
            sayInList(QStringLiteral("The statements could not be read: %1").arg(core::errorPart(e)), Button::Ok, Button::Ok,
                      platform::MessageIcon::Stop);
    }
    const int row = std::max(0, m_list->currentIndex().row());
    m_model->setStatements(std::move(statements));
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), 0));
    m_summary->setText(m_model->rowCount() == 0 ? QStringLiteral("No statement has been reconciled yet.")
                                                : QStringLiteral("%1 statement(s)").arg(m_model->rowCount()));
    selectionChanged();
}

void BrowseStatementsWindow::selectionChanged()
{
    // Only the latest statement can be undone: the ones before it are what it started from.
    const QModelIndex current = m_list->currentIndex();
    button(QStringLiteral("Undo this Statement"))
        ->setEnabled(current.isValid() && m_model->data(current, StatementListModel::LatestRole).toBool());
    button(QStringLiteral("Print..."))->setEnabled(current.isValid() && core::hasProcedure(QStringLiteral("PrintStatement")));
}

void BrowseStatementsWindow::print()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return;
    core::glo().currentStatementId = m_model->data(current, StatementListModel::StatementIdRole).toInt();
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->startProcedure(QStringLiteral("PrintStatement"));
}

void BrowseStatementsWindow::undoLatest()
{
    if (m_model->rowCount() == 0)
        return;
    const statements::CardStatement& latest = m_model->statement(0);
    const QString text =
        QStringLiteral("Undo the statement closing %1?||Its %2 transaction(s) will be moved back to the open transactions.")
            .arg(dateText(latest.closingDate))
            .arg(latest.transactionCount);
    if (sayInList(text, Button::Yes | Button::No, Button::No, platform::MessageIcon::Question) != Button::Yes)
        return;
    Undone undone;
    const platform::FileError e = undoLatestStatement(m_files, m_sysId, latest.statementId, undone);
    if (!e.ok())
        sayInList(QStringLiteral("The statement could not be undone: %1||Nothing was changed.").arg(core::errorPart(e)), Button::Ok,
                  Button::Ok, platform::MessageIcon::Stop);
    reload();
}

} // namespace fundora::statements
