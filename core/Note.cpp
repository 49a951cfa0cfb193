#include "core/Note.h"

namespace fundora::core {

const RecordLayout<Note>& noteLayout()
{
    static const RecordLayout<Note> layout(QStringLiteral("Notes"), QStringLiteral("NTS"), QStringLiteral("NOTES"), 1,
                                           {
                                               {stringField("NTS:OwnerFile", 10), &Note::ownerFile},
                                               {longField("NTS:OwnerSysID"), &Note::ownerSysId},
                                               {stringField("NTS:Title", 60), &Note::title},
                                               {longField("NTS:EditDate"), &Note::editDate},
                                               {longField("NTS:EditTime"), &Note::editTime},
                                               {memoField("NTS:Notes", NoteTextLimit), &Note::notes},
                                           },
                                           {
                                               {QStringLiteral("NTS:AccessKey"),
                                                {QStringLiteral("NTS:OwnerFile"), QStringLiteral("NTS:OwnerSysID"),
                                                 QStringLiteral("NTS:EditDate"), QStringLiteral("NTS:EditTime")},
                                                true,
                                                false},
                                           });
    return layout;
}

} // namespace fundora::core
