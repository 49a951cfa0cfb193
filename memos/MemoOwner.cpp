#include "memos/MemoOwner.h"

#include "core/Procedures.h"

namespace fundora::memos {

void primeMemoOwner(core::DataFiles& files, const MemoOwner& owner)
{
    core::MemoCard& card = files.memoCards.record;
    card = core::MemoCard();
    card.type = owner.type.left(3);
    card.firstId = owner.firstId;
    card.secondId = owner.secondId.left(20);
    card.thirdId = owner.thirdId.left(10);
}

QWidget* openMemoBrowse(core::DataFiles& files, const MemoOwner& owner)
{
    core::ProcedureHost* host = core::ProcedureHost::current();
    if (!host || !core::hasProcedure(QStringLiteral("MemoBrowse")))
        return nullptr;
    primeMemoOwner(files, owner);
    QWidget* w = core::createProcedure(QStringLiteral("MemoBrowse"));
    if (w)
        host->showChild(w);
    return w;
}

} // namespace fundora::memos
