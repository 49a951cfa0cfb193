#include "accounts/UpdateAccountsWindow.h"

#include "memos/MemoOwner.h"

#include "core/Help.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "platform/MessageService.h"
#include "platform/store/View.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fundora::accounts {

// The form holds its four files for as long as it is open.
struct UpdateAccountsWindow::Uses {
    explicit Uses(core::DataFiles& f)
        : accounts(f, core::FileId::Accounts), memo(f, core::FileId::MemoCard), notes(f, core::FileId::Notes),
          transactions(f, core::FileId::Transactions)
    {
    }
    core::FileUse accounts, memo, notes, transactions;
};

namespace {

struct CardType {
    const char* text;
    const char* letter;
};
constexpr CardType CardTypes[] = {{"Visa", "V"},  {"Master Card", "M"}, {"Discover", "D"}, {"American Express", "A"},
                                  {"Store", "S"}, {"Gasoline", "G"},    {"Other", "O"}};

QIcon notesIcon(bool hasNotes)
{
    return QIcon(hasNotes ? QStringLiteral(":/icons/notes.svg") : QStringLiteral(":/icons/notes-empty.svg"));
}

} // namespace

UpdateAccountsWindow::UpdateAccountsWindow(core::DataFiles& files, QWidget* parent)
    : engine::FormWindow(files, m_record, QStringLiteral("UpdateAccounts"), parent), m_uses(std::make_unique<Uses>(files)), m_record(files)
{
    build();
}

UpdateAccountsWindow::~UpdateAccountsWindow() = default;

QString UpdateAccountsWindow::titleFor(core::Request request) const
{
    return request == core::Request::Insert ? QStringLiteral("Adding a Credit Card Account Record")
                                            : QStringLiteral("Changing a Credit Card Account Record");
}

QLineEdit* UpdateAccountsWindow::edit(const QString& prompt) const
{
    return m_edits.value(prompt);
}

void UpdateAccountsWindow::build()
{
    core::Account& acc = m_record.working();
    const platform::FileDef& def = core::accountLayout().def();
    auto field = [&def](const char* name) { return def.fields.at(static_cast<std::size_t>(def.fieldIndex(QString::fromLatin1(name)))); };
    auto* layout = new QVBoxLayout(this);

    // An entry with its prompt and hint; `bind` ties it to its member of the form's account.
    auto entry = [&](QFormLayout* form, const QString& prompt, const QString& hint,
                     const std::function<engine::FormField(QLineEdit*)>& bind, std::function<bool()> check = {}) {
        auto* e = new QLineEdit(this);
        e->setToolTip(hint);
        e->setStatusTip(hint);
        QString name = prompt.trimmed();
        name.remove(u'&');
        if (name.endsWith(u':'))
            name.chop(1);
        e->setAccessibleName(name.isEmpty() ? hint : name);
        if (!prompt.isEmpty()) {
            auto* label = new QLabel(prompt, this);
            label->setBuddy(e);
            form->addRow(label, e);
        }
        engine::FormField f = bind(e);
        f.check = std::move(check);
        addField(std::move(f));
        m_edits.insert(prompt.isEmpty() ? hint : prompt, e);
        return e;
    };
    auto text = [&](QString& member, const char* name) {
        return [&member, f = field(name)](QLineEdit* e) { return engine::textEntry(e, member, f); };
    };

    auto* info = new QGroupBox(QStringLiteral("Credit Card Information"), this);
    auto* infoForm = new QFormLayout(info);
    entry(infoForm, QStringLiteral("Credit Card &Vendor:"), QStringLiteral("Name of Credit Card Vendor - (Payee)"),
          text(acc.creditCardVendor, "ACC:CreditCardVendor"), [this, &acc] {
              // The vendor names the card in every list: a card without one is never saved.
              if (!isSweeping() || !acc.creditCardVendor.trimmed().isEmpty())
                  return true;
              QApplication::beep();
              showProblem(QStringLiteral("Enter the credit card vendor: the bank or store the card is from (the payee)."));
              return false;
          });
    layout->addWidget(info);

    auto* address = new QGroupBox(QStringLiteral("Payment Address"), this);
    auto* addressForm = new QFormLayout(address);
    entry(addressForm, QStringLiteral("Address &1:"), QStringLiteral("First line of Vendor Address"),
          text(acc.vendorAddr1, "ACC:VendorAddr1"));
    entry(addressForm, QStringLiteral("Address &2:"), QStringLiteral("Optional second line of Vendor Address"),
          text(acc.vendorAddr2, "ACC:VendorAddr2"));
    auto* cityRow = new QHBoxLayout();
    auto* cityForm = new QFormLayout();
    entry(cityForm, QStringLiteral("City/State/&Zip:"), QStringLiteral("Vendor Address City"), text(acc.vendorCity, "ACC:VendorCity"));
    cityRow->addLayout(cityForm, 3);
    QLineEdit* state = entry(nullptr, QString(), QStringLiteral("Vendor Address State"), text(acc.vendorState, "ACC:VendorState"));
    state->setMaximumWidth(40);
    cityRow->addWidget(state);
    QLineEdit* zip = entry(nullptr, QString(), QStringLiteral("Vendor address zip code"), [&acc, f = field("ACC:VendorZip")](QLineEdit* e) {
        return engine::textEntry(e, acc.vendorZip, f, QStringLiteral("k#####|-####k"));
    });
    zip->setMaximumWidth(100);
    cityRow->addWidget(zip);
    addressForm->addRow(cityRow);
    layout->addWidget(address);

    auto* middle = new QHBoxLayout();
    auto* typeBox = new QGroupBox(QStringLiteral("Card Type"), this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    m_cardType = new QButtonGroup(this);
    int id = 0;
    QList<QRadioButton*> radios;
    for (const CardType& t : CardTypes) {
        auto* r = new QRadioButton(QString::fromLatin1(t.text), typeBox);
        r->setAccessibleName(QString::fromLatin1(t.text));
        m_cardType->addButton(r, id++);
        typeLayout->addWidget(r);
        radios << r;
    }
    engine::FormField typeField;
    typeField.control = radios.first();
    typeField.show = [this, &acc] {
        for (int i = 0; i < 7; ++i)
            if (acc.cardType == QString::fromLatin1(CardTypes[i].letter))
                m_cardType->button(i)->setChecked(true);
    };
    typeField.take = [this, &acc] {
        const int checked = m_cardType->checkedId();
        if (checked >= 0)
            acc.cardType = QString::fromLatin1(CardTypes[checked].letter);
        return true;
    };
    connect(m_cardType, &QButtonGroup::idClicked, this, [&acc](int i) { acc.cardType = QString::fromLatin1(CardTypes[i].letter); });
    addField(std::move(typeField));
    middle->addWidget(typeBox);

    auto* accountBox = new QGroupBox(QStringLiteral("Account Information"), this);
    auto* accountForm = new QFormLayout(accountBox);
    entry(accountForm, QStringLiteral("Account &Number:"), QStringLiteral("Credit Card Account Number"),
          text(acc.accountNumber, "ACC:AccountNumber"));
    entry(accountForm, QStringLiteral("&Exp Date:"), QString(), [&acc](QLineEdit* e) { return engine::dateEntry(e, acc.expirationDate); });
    auto decimal = [&](platform::Decimal& member, const char* name, const char* picture) {
        return
            [&member, f = field(name), picture](QLineEdit* e) { return engine::decimalEntry(e, member, f, QString::fromLatin1(picture)); };
    };
    entry(accountForm, QStringLiteral("Credit &Limit:"), QString(), decimal(acc.creditLimit, "ACC:CreditLimit", "n10.2B"));
    entry(accountForm, QStringLiteral("Current &Balance:"), QStringLiteral("Current outstanding balance on this account"),
          decimal(acc.accountBalance, "ACC:AccountBalance", "n$(12.2)B"));
    entry(accountForm, QStringLiteral("Interest &Rate:"), QStringLiteral("Current interest rate on account"),
          decimal(acc.interestRate, "ACC:InterestRate", "N5.2"));
    entry(
        accountForm, QStringLiteral("Billing &Day:"), QStringLiteral("Day of the month that Vendor generates statement"),
        [&acc](QLineEdit* e) { return engine::shortEntry(e, acc.billingDay, QStringLiteral("k<#k")); },
        [this, &acc] {
            if (acc.billingDay >= 1 && acc.billingDay <= 28)
                return true;
            core::standardWarning(files(), core::Warning::RangeError, QStringLiteral("ACC:BillingDay"), QStringLiteral("1 and 28"));
            return false;
        });
    middle->addWidget(accountBox);
    layout->addLayout(middle);

    auto* phones = new QGroupBox(QStringLiteral("Phones"), this);
    auto* phoneForm = new QFormLayout(phones);
    auto phone = [&](platform::Decimal& member, const char* name) {
        return [&member, f = field(name)](QLineEdit* e) { return engine::patternEntry(e, member, f, QStringLiteral("p(###) ###-####p")); };
    };
    entry(phoneForm, QStringLiteral("Balance &Info: "), QString(), phone(acc.balanceInfoPhone, "ACC:BalanceInfoPhone"));
    entry(phoneForm, QStringLiteral("Lost &Card:"), QString(), phone(acc.lostCardPhone, "ACC:LostCardPhone"));
    layout->addWidget(phones);

    layout->addWidget(problemLine());
    auto* buttons = new QHBoxLayout();
    m_notes = new QPushButton(QStringLiteral("Notes"), this);
    m_notes->setToolTip(QStringLiteral("Add a note about this card"));
    m_notes->setAccessibleName(QStringLiteral("Notes"));
    connect(m_notes, &QPushButton::clicked, this, &UpdateAccountsWindow::pressNotes);
    engine::FormField notesStop; // a tab stop between the phones and OK, nothing to take
    notesStop.control = m_notes;
    addField(std::move(notesStop));
    buttons->addWidget(m_notes);
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    buttons->addWidget(helpButton());
    layout->addLayout(buttons);
}

void UpdateAccountsWindow::refreshed()
{
    // The balance of an existing account changes only through its transactions.
    if (QLineEdit* balance = edit(QStringLiteral("Current &Balance:")))
        balance->setEnabled(controller().workingRequest() == core::Request::Insert);
    updateNotesIndicator();
}

void UpdateAccountsWindow::updateNotesIndicator()
{
    m_notes->hide();
    m_notesExist = false;
    platform::DataFile& memo = files().memoCards.file();
    if (memo.isOpen()) {
        core::MemoCard owner{};
        owner.type = QStringLiteral("ACC");
        platform::View view(memo, core::MemCardKey);
        view.setRange(core::memoCardLayout().toRecord(owner), 1);
        platform::FilterBindings names;
        const QString number = m_record.working().accountNumber;
        names.bind(QStringLiteral("LOC:AccountNumber"), [number] { return platform::FieldValue{number}; });
        view.setFilter(QStringLiteral("MEM:SecondID = LOC:AccountNumber"), names);
        view.toStart();
        platform::Record card;
        m_notesExist = view.next(card).ok();
    }
    m_notes->setIcon(notesIcon(m_notesExist));
    m_notes->show();
}

void UpdateAccountsWindow::pressNotes()
{
    if (controller().workingRequest() == core::Request::Insert && m_record.working().accountNumber.trimmed().isEmpty()) {
        if (QLineEdit* number = edit(QStringLiteral("Account &Number:")); number && !number->text().trimmed().isEmpty()) {
            m_record.working().accountNumber = number->text().trimmed();
        } else {
            QApplication::beep();
            platform::MessageService::current().show({QStringLiteral("Card Number Missing"),
                                                      QStringLiteral("Please a credit card number before you enter a note."),
                                                      platform::MessageIcon::Information, platform::Button::Ok, platform::Button::Ok});
            if (number)
                number->setFocus();
            return;
        }
    }
    const core::Account& a = m_record.working();
    // The indicator follows what the file holds once the notes are closed.
    if (QWidget* list = memos::openMemoBrowse(files(), {QStringLiteral("ACC"), a.sysId, a.accountNumber, QString()}))
        connect(list, &QObject::destroyed, this, [this] { updateNotesIndicator(); });
}

} // namespace fundora::accounts
