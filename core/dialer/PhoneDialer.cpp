#include "core/dialer/PhoneDialer.h"

#include "platform/MessageService.h"
#include "platform/Telephony.h"
#include "platform/ui/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace fundora::core {

namespace {

const QWidget* g_measuring = nullptr;

// Width of a prompt in dialog units of the dialog being built.
int promptWidth(const QString& text)
{
    QString plain = text;
    plain.remove(u'&');
    const QFontMetrics fm(g_measuring->font());
    return platform::DialogUnits(*g_measuring).toUnitsX(fm.horizontalAdvance(plain));
}

QLabel* iconLabel(QWidget* parent, QStyle::StandardPixmap pixmap, const platform::DialogUnits& du)
{
    auto* icon = new QLabel(parent);
    icon->setPixmap(parent->style()->standardIcon(pixmap).pixmap(du.x(20), du.y(20)));
    icon->move(du.x(5), du.y(13));
    icon->setAccessibleName(QStringLiteral("Telephone"));
    return icon;
}

} // namespace

SelectNumberDialog::SelectNumberDialog(const DialRequest& request, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Number..."));
    const platform::DialogUnits du(*this);
    g_measuring = this;
    // Centred on the screen in dialog units, then laid out by the plan.
    const QRect screen = (parent ? parent->screen() : QApplication::primaryScreen())->availableGeometry();
    const QPoint origin(du.toUnitsX(screen.center().x()) - DialerDesign::WindowWidth / 2,
                        (screen.center().y() * 8 / std::max(1, du.y(8))) - DialerDesign::WindowHeight / 2);
    m_layout = layoutSelection(request, origin, &promptWidth);
    g_measuring = nullptr;

    iconLabel(this, QStyle::SP_MessageBoxQuestion, du);
    for (int row = 0; row < 3; ++row) {
        const auto r = static_cast<std::size_t>(row);
        auto* button = new QPushButton(this);
        button->setGeometry(du.rect(QRect(DialerDesign::ButtonX, m_layout.rowY[r], 10, 10)));
        auto* prompt = new QLabel(m_layout.rowTexts[r], this);
        prompt->setBuddy(button);
        prompt->move(du.x(DialerDesign::PromptX), du.y(m_layout.rowY[r]));
        prompt->adjustSize();
        QString name = m_layout.rowTexts[r];
        name.remove(u'&');
        if (!request.spoken[r].isEmpty() && request.labels[r].trimmed().isEmpty())
            name = request.spoken[r] + QStringLiteral(": ") + name;
        button->setAccessibleName(name);
        button->setVisible(m_layout.rowVisible[r]);
        prompt->setVisible(m_layout.rowVisible[r]);
        connect(button, &QPushButton::clicked, this, [this, row] {
            m_chosen = row;
            accept();
        });
        m_buttons[r] = button;
    }
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    cancel->setGeometry(du.rect(m_layout.cancel));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(du.x(m_layout.window.width()), du.y(m_layout.window.height()));
    move(du.x(m_layout.window.x()), du.y(m_layout.window.y()));
}

VerifyNumberDialog::VerifyNumberDialog(const QString& description, const QString& dialString, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Verify Number..."));
    const platform::DialogUnits du(*this);
    iconLabel(this, QStyle::SP_MessageBoxInformation, du);
    auto* label = new QLabel(description, this);
    label->move(du.x(32), du.y(8));
    label->adjustSize();
    m_entry = new QLineEdit(dialString, this);
    m_entry->setMaxLength(55);
    m_entry->setGeometry(du.rect(QRect(32, 18, 140, 12)));
    m_entry->setAccessibleName(description.isEmpty() ? QStringLiteral("Number to dial")
                                                     : QStringLiteral("Number to dial for ") + description);
    label->setBuddy(m_entry);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    ok->setGeometry(du.rect(QRect(100, 34, 36, 12)));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    cancel->setGeometry(du.rect(QRect(140, 34, 36, 12)));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(du.x(180), du.y(51));
}

QString VerifyNumberDialog::dialString() const
{
    return m_entry->text();
}

int PhoneDialer::dial(const DialRequest& request)
{
    int row = -1;
    if (needsSelection(request))
        row = chooseRow(request);
    else if (!request.numbers[0].trimmed().isEmpty())
        row = 0;
    if (row < 0 || row > 2)
        return 0;
    const auto checked = verify(verifyDescription(request, row), dialString(request, row));
    if (!checked)
        return 0;
    if (platform::Telephony::requestMakeCall(*checked, calledParty(request, row)) == 0)
        return 1;
    // Nothing on this desktop takes the call: said, with the number to dial by hand.
    platform::MessageService::current().show(
        {QStringLiteral("Cannot Dial"),
         QStringLiteral("No program on this computer places calls (none is set up for tel: addresses), so %1 was not dialed.\r\n\r\n"
                        "Dial it yourself, or set up a calling program in the desktop's settings for default applications.")
             .arg(checked->trimmed()),
         platform::MessageIcon::Information, platform::Button::Ok, platform::Button::Ok});
    return 0;
}

int PhoneDialer::chooseRow(const DialRequest& request)
{
    SelectNumberDialog dialog(request, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? dialog.chosenRow() : -1;
}

std::optional<QString> PhoneDialer::verify(const QString& description, const QString& dialString)
{
    VerifyNumberDialog dialog(description, dialString, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.dialString();
}

} // namespace fundora::core
