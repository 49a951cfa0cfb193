#include "core/MemoCard.h"

namespace fundora::core {

const RecordLayout<MemoCard>& memoCardLayout()
{
    static const RecordLayout<MemoCard> layout(
        QStringLiteral("MemoCard"), QStringLiteral("MEM"), QStringLiteral("MEMOCARD"), 1,
        {
            {longField("MEM:Date"), &MemoCard::date},
            {stringField("MEM:Topic", 40), &MemoCard::topic},
            {stringField("MEM:Type", 3), &MemoCard::type},
            {longField("MEM:FirstID"), &MemoCard::firstId},
            {stringField("MEM:SecondID", 20), &MemoCard::secondId},
            {stringField("MEM:ThirdID", 10), &MemoCard::thirdId},
            {memoField("MEM:CardMemo", MemoCardTextLimit), &MemoCard::cardMemo},
        },
        {
            {QStringLiteral("MEM:CardKey"),
             {QStringLiteral("MEM:Type"), QStringLiteral("MEM:FirstID"), QStringLiteral("MEM:SecondID"), QStringLiteral("MEM:ThirdID"),
              QStringLiteral("MEM:Date")},
             false,
             true},
        });
    return layout;
}

} // namespace fundora::core
