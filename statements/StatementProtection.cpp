#include "statements/StatementProtection.h"

#include "platform/MessageService.h"
#include "statements/StatementBook.h"
#include "statements/StatementRecords.h"
#include "statements/StatementText.h"

namespace fundora::statements {

using platform::Decimal;

bool StatementProtection::confirmChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after)
{
    std::optional<statements::CardStatement> holder;
    if (!statementHolding(files, before.identity.row, holder).ok() || !holder)
        return true;
    const bool stays = after && after->reconciledTransaction != 0;
    const Decimal delta = ((stays ? after->transactionAmount : Decimal::fromUnits(0, 2)) - before.transactionAmount).rounded(2);
    const QString named = QStringLiteral("This transaction belongs to the statement closing %1.").arg(dateText(holder->closingDate));
    QString question;
    if (!after)
        question = QStringLiteral("Delete it and take it out of that statement?");
    else if (!stays)
        question = QStringLiteral("Move it back to the open transactions and take it out of that statement?");
    else if (!delta.isZero())
        question = QStringLiteral("Change its amount and update that statement's figures?");
    else
        question = QStringLiteral("Change it anyway?");
    QString text = named + QStringLiteral("||") + question;
    if (!delta.isZero())
        text += QStringLiteral("||The statement's difference becomes %1.").arg(moneyText(holder->acceptedDifference - delta));
    return platform::showMessage(QStringLiteral("Reconciled Transaction"), text, platform::MessageIcon::Question,
                                 platform::Button::Yes | platform::Button::No, platform::Button::No) == platform::Button::Yes;
}

platform::FileError StatementProtection::followChange(core::DataFiles& files, const core::Transaction& before,
                                                      const core::Transaction* after)
{
    return followTransactionChange(files, before, after);
}

} // namespace fundora::statements
