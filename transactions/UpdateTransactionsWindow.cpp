#include "transactions/UpdateTransactionsWindow.h"

#include "transactions/TransactionText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fundora::transactions {

UpdateTransactionsWindow::UpdateTransactionsWindow(core::DataFiles& files, QWidget* parent)
    : engine::FormWindow(files, m_record, QStringLiteral("UpdateTransactions"), parent),
      m_uses(std::make_unique<core::AccountFileUses>(files)), m_record(files)
{
    build();
}

UpdateTransactionsWindow::~UpdateTransactionsWindow() = default;

QString UpdateTransactionsWindow::titleFor(core::Request request) const
{
    return request == core::Request::Insert ? QStringLiteral("Adding a Transaction Record")
                                            : QStringLiteral("Changing a Transaction Record");
}

QLineEdit* UpdateTransactionsWindow::edit(const QString& prompt) const
{
    return m_edits.value(prompt);
}

QString UpdateTransactionsWindow::vendorShown() const
{
    return m_vendor->text();
}

void UpdateTransactionsWindow::build()
{
    core::Transaction& t = m_record.working();
    const platform::FileDef& def = core::transactionLayout().def();
    auto field = [&def](const char* name) { return def.fields.at(static_cast<std::size_t>(def.fieldIndex(QString::fromLatin1(name)))); };
    auto* layout = new QVBoxLayout(this);
    m_vendor = new QLabel(this);
    m_vendor->setAccessibleName(QStringLiteral("Credit card vendor"));
    QFont bold = m_vendor->font();
    bold.setBold(true);
    m_vendor->setFont(bold);
    layout->addWidget(m_vendor);

    auto* log = new QGroupBox(QStringLiteral("Transaction Log"), this);
    auto* logLayout = new QVBoxLayout(log);
    auto* typeBox = new QGroupBox(QStringLiteral("Transaction Type"), log);
    auto* typeLayout = new QGridLayout(typeBox);
    m_type = new QButtonGroup(this);
    QList<QRadioButton*> radios;
    for (std::size_t i = 0; i < TransactionTypes.size(); ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(TransactionTypes[i].radioText), typeBox);
        r->setAccessibleName(QString::fromLatin1(TransactionTypes[i].radioText).simplified());
        m_type->addButton(r, static_cast<int>(i));
        typeLayout->addWidget(r, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
        radios << r;
    }
    engine::FormField typeField;
    typeField.control = radios.first();
    typeField.show = [this, &t] {
        for (std::size_t i = 0; i < TransactionTypes.size(); ++i)
            if (t.transactionType.compare(QString::fromLatin1(TransactionTypes[i].code), Qt::CaseInsensitive) == 0)
                m_type->button(static_cast<int>(i))->setChecked(true);
    };
    typeField.take = [this, &t] {
        if (const int checked = m_type->checkedId(); checked >= 0)
            t.transactionType = QString::fromLatin1(TransactionTypes[static_cast<std::size_t>(checked)].code);
        return true;
    };
    connect(m_type, &QButtonGroup::idClicked, this,
            [&t](int i) { t.transactionType = QString::fromLatin1(TransactionTypes[static_cast<std::size_t>(i)].code); });
    addField(std::move(typeField));
    logLayout->addWidget(typeBox);

    auto* form = new QFormLayout();
    auto entry = [&](const QString& prompt, const QString& hint, engine::FormField f, QLineEdit* e) {
        e->setToolTip(hint);
        e->setStatusTip(hint);
        QString name = prompt;
        name.remove(u'&').remove(u':');
        e->setAccessibleName(name);
        auto* label = new QLabel(prompt, this);
        label->setBuddy(e);
        form->addRow(label, e);
        addField(std::move(f));
        m_edits.insert(prompt, e);
    };
    auto* date = new QLineEdit(this);
    entry(QStringLiteral("Transaction &Date:"), QStringLiteral("Date of transaction."), engine::dateEntry(date, t.dateofTransaction), date);
    auto* amount = new QLineEdit(this);
    entry(QStringLiteral("Transaction &Amount:"), QStringLiteral("Dollar amount of transaction"),
          engine::decimalEntry(amount, t.transactionAmount, field("TRA:TransactionAmount"), QStringLiteral("n10.2-")), amount);
    auto* description = new QLineEdit(this);
    entry(QStringLiteral("D&escription:"), QString(),
          engine::textEntry(description, t.transactionDescription, field("TRA:TransactionDescription")), description);
    logLayout->addLayout(form);
    m_reconciled = new QCheckBox(QStringLiteral("Reconcile this transaction"), log);
    m_reconciled->setAccessibleName(QStringLiteral("Reconcile this transaction"));
    engine::FormField reconciledField;
    reconciledField.control = m_reconciled;
    reconciledField.show = [this, &t] { m_reconciled->setChecked(t.reconciledTransaction != 0); };
    reconciledField.take = [this, &t] {
        t.reconciledTransaction = m_reconciled->isChecked() ? 1 : 0;
        return true;
    };
    connect(m_reconciled, &QCheckBox::toggled, this, [&t](bool on) { t.reconciledTransaction = on ? 1 : 0; });
    addField(std::move(reconciledField));
    logLayout->addWidget(m_reconciled);
    layout->addWidget(log);

    layout->addWidget(problemLine());
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    buttons->addWidget(helpButton());
    layout->addLayout(buttons);
}

void UpdateTransactionsWindow::refreshed()
{
    // The owning account's vendor, read for the form (the shared buffer may hold another account).
    core::Account owner;
    files().readAccount(m_record.account(), owner);
    m_vendor->setText(owner.creditCardVendor);
}

} // namespace fundora::transactions
