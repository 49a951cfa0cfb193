#include "memos/MemoCardFormRecord.h"

#include "platform/Clock.h"
#include "platform/pictures/Picture.h"

namespace fundora::memos {

core::MemoCard& MemoCardFormRecord::recallCopy()
{
    static core::MemoCard copy;
    return copy;
}

bool MemoCardFormRecord::prime()
{
    file().record.cardMemo.clear();
    return true;
}

void MemoCardFormRecord::opening(core::Request request)
{
    if (request == core::Request::Insert || request == core::Request::Change)
        working().date = platform::Clock::current().today();
}

platform::FileError MemoCardFormRecord::writeInsert()
{
    recallCopy() = file().record;
    return file().add();
}

core::Guarded MemoCardFormRecord::guardedUpdate()
{
    recallCopy() = file().record;
    return core::riUpdateMemoCard(m_files, true);
}

core::Guarded MemoCardFormRecord::guardedDelete()
{
    return core::riDeleteMemoCard(m_files);
}

QString stampedText(const QString& text, const QDateTime& now, int limit)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    const std::int64_t day = platform::dayNumberOf(now.date());
    const std::int64_t time = platform::timeNumberOf(now.time());
    const QString stamp = QStringLiteral("\r\n*** ") + platform::formatPicture(day, u"d1") + u' ' +
                          platform::formatPicture(time, u"T3").trimmed() + QStringLiteral(" ***\r\n");
    return (text.left(end) + stamp).left(limit);
}

} // namespace fundora::memos
