#include "accounts/UpdateAccountsWindow.h"

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

using platform::Decimal;
using platform::PictureValue;

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

Decimal decimalOf(const PictureValue& v)
{
    if (const auto* d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return Decimal::fromInteger(*i);
    return Decimal();
}

} // namespace

UpdateAccountsWindow::UpdateAccountsWindow(core::DataFiles& files, QWidget* parent)
    : engine::FormWindow(files, m_record, QStringLiteral("UpdateAccounts"), parent), m_uses(std::make_unique<Uses>(files)), m_record(files)
{
    build();
}

UpdateAccountsWindow::~UpdateAccountsWindow() = default;

QString UpdateAccountsWindow::titleFor(int request) const
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
    core::Account& acc = files().accounts.record;
    auto* layout = new QVBoxLayout(this);

    // A text or number entry with its prompt, bound to the buffer through its picture.
    auto entry = [&](QFormLayout* form, const QString& prompt, const QString& picture, const QString& hint,
                     std::function<PictureValue()> get, std::function<bool(const PictureValue&)> set, std::function<bool()> check = {}) {
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
        engine::FormField f = engine::pictureField(e, picture, std::move(get), std::move(set));
        f.check = std::move(check);
        addField(std::move(f));
        m_edits.insert(prompt.isEmpty() ? hint : prompt, e);
        return e;
    };
    auto text = [](QString& member) {
        return std::make_pair([&member] { return PictureValue{member}; },
                              [&member](const PictureValue& v) {
                                  member = std::get<QString>(v);
                                  return true;
                              });
    };
    // A decimal member of DECIMAL(bytes, places): entries beyond its range are refused.
    auto decimal = [](Decimal& member, int bytes, int places) {
        return std::make_pair([&member] { return PictureValue{member}; },
                              [&member, bytes, places](const PictureValue& v) {
                                  const Decimal d = decimalOf(v).rounded(places);
                                  if (!d.fits(platform::decimalDigitsOfBytes(bytes), places))
                                      return false;
                                  member = d;
                                  return true;
                              });
    };

    auto* info = new QGroupBox(QStringLiteral("Credit Card Information"), this);
    auto* infoForm = new QFormLayout(info);
    auto [vg, vs] = text(acc.creditCardVendor);
    entry(infoForm, QStringLiteral("Credit Card &Vendor:"), QStringLiteral("s30"), QStringLiteral("Name of Credit Card Vendor - (Payee)"),
          vg, vs);
    layout->addWidget(info);

    auto* address = new QGroupBox(QStringLiteral("Payment Address"), this);
    auto* addressForm = new QFormLayout(address);
    auto [a1g, a1s] = text(acc.vendorAddr1);
    entry(addressForm, QStringLiteral("Address &1:"), QStringLiteral("s35"), QStringLiteral("First line of Vendor Address"), a1g, a1s);
    auto [a2g, a2s] = text(acc.vendorAddr2);
    entry(addressForm, QStringLiteral("Address &2:"), QStringLiteral("s35"), QStringLiteral("Optional second line of Vendor Address"), a2g,
          a2s);
    auto* cityRow = new QHBoxLayout();
    auto* cityForm = new QFormLayout();
    auto [cg, cs] = text(acc.vendorCity);
    entry(cityForm, QStringLiteral("City/State/&Zip:"), QStringLiteral("s25"), QStringLiteral("Vendor Address City"), cg, cs);
    cityRow->addLayout(cityForm, 3);
    auto [sg, ss] = text(acc.vendorState);
    QLineEdit* state = entry(nullptr, QString(), QStringLiteral("s2"), QStringLiteral("Vendor Address State"), sg, ss);
    state->setMaximumWidth(40);
    cityRow->addWidget(state);
    auto [zg, zs] = text(acc.vendorZip);
    QLineEdit* zip = entry(nullptr, QString(), QStringLiteral("k#####|-####k"), QStringLiteral("Vendor address zip code"), zg, zs);
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
    connect(m_cardType, &QButtonGroup::idClicked, this, [this, &acc](int i) { acc.cardType = QString::fromLatin1(CardTypes[i].letter); });
    addField(std::move(typeField));
    middle->addWidget(typeBox);

    auto* accountBox = new QGroupBox(QStringLiteral("Account Information"), this);
    auto* accountForm = new QFormLayout(accountBox);
    auto [ng, ns] = text(acc.accountNumber);
    entry(accountForm, QStringLiteral("Account &Number:"), QStringLiteral("s20"), QStringLiteral("Credit Card Account Number"), ng, ns);
    entry(
        accountForm, QStringLiteral("&Exp Date:"), QStringLiteral("d2"), QString(),
        [&acc] { return PictureValue{std::int64_t{acc.expirationDate}}; },
        [&acc](const PictureValue& v) {
            acc.expirationDate = static_cast<std::int32_t>(std::get<std::int64_t>(v));
            return true;
        });
    auto [lg, ls] = decimal(acc.creditLimit, 4, 2);
    entry(accountForm, QStringLiteral("Credit &Limit:"), QStringLiteral("n10.2B"), QString(), lg, ls);
    auto [bg, bs] = decimal(acc.accountBalance, 4, 2);
    entry(accountForm, QStringLiteral("Current &Balance:"), QStringLiteral("n$(12.2)B"),
          QStringLiteral("Current outstanding balance on this account"), bg, bs);
    auto [rg, rs] = decimal(acc.interestRate, 3, 2);
    entry(accountForm, QStringLiteral("Interest &Rate:"), QStringLiteral("N5.2"), QStringLiteral("Current interest rate on account"), rg,
          rs);
    entry(
        accountForm, QStringLiteral("Billing &Day:"), QStringLiteral("k<#k"),
        QStringLiteral("Day of the month that Vendor generates statement"),
        [&acc] { return PictureValue{QString::number(acc.billingDay)}; },
        [&acc](const PictureValue& v) {
            acc.billingDay = static_cast<std::int16_t>(std::get<QString>(v).toInt());
            return true;
        },
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
    auto phone = [](Decimal& member) {
        return std::make_pair([&member] { return PictureValue{member.integerPart()}; },
                              [&member](const PictureValue& v) {
                                  member = Decimal::fromInteger(std::get<std::int64_t>(v));
                                  return true;
                              });
    };
    auto [pg1, ps1] = phone(acc.balanceInfoPhone);
    entry(phoneForm, QStringLiteral("Balance &Info: "), QStringLiteral("p(###) ###-####p"), QString(), pg1, ps1);
    auto [pg2, ps2] = phone(acc.lostCardPhone);
    entry(phoneForm, QStringLiteral("Lost &Card:"), QStringLiteral("p(###) ###-####p"), QString(), pg2, ps2);
    layout->addWidget(phones);

    auto* buttons = new QHBoxLayout();
    m_notes = new QPushButton(QStringLiteral("Notes"), this);
    m_notes->setToolTip(QStringLiteral("Add a note about this card"));
    m_notes->setAccessibleName(QStringLiteral("Notes"));
    connect(m_notes, &QPushButton::clicked, this, &UpdateAccountsWindow::pressNotes);
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
        core::MemoCard owner;
        owner.type = QStringLiteral("ACC");
        platform::View view(memo, core::MemCardKey);
        view.setRange(core::memoCardLayout().toRecord(owner), 1);
        platform::FilterBindings names;
        const QString number = files().accounts.record.accountNumber;
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
    if (controller().workingRequest() == core::Request::Insert && files().accounts.record.accountNumber.trimmed().isEmpty()) {
        if (QLineEdit* number = edit(QStringLiteral("Account &Number:")); number && !number->text().trimmed().isEmpty()) {
            files().accounts.record.accountNumber = number->text().trimmed();
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
    // The memo cards arrive with their own list; until then the user is told so.
    platform::MessageService::current().show({QStringLiteral("Notes"), QStringLiteral("Memo cards are not available yet."),
                                              platform::MessageIcon::Information, platform::Button::Ok, platform::Button::Ok});
}

} // namespace fundora::accounts
