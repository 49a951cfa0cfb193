#include "backup/RestoreChecks.h"

#include "backup/Messages.h"
#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"

#include <QDate>
#include <QLocale>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

namespace {

// "6 Dec 2026"
QString shortDate(std::int32_t day)
{
    const QDate d = platform::qDateOf(day);
    return d.isValid() ? QStringLiteral("%1 %2 %3").arg(d.day()).arg(QLocale::c().monthName(d.month(), QLocale::ShortFormat)).arg(d.year())
                       : QString();
}

} // namespace

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") || name.size() > 80)
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            return false;
    return !name.startsWith(u'.');
}

bool isRestorableName(const QString& name)
{
    return isPlainFileName(name) && name.size() > 4 && name.endsWith(QStringLiteral(".TPS"), Qt::CaseInsensitive);
}

FirstDiskVerdict checkFirstDisk(const ContainerHeader& header, std::int32_t expectedSet, const std::function<void()>& showSyncHelp)
{
    FirstDiskVerdict verdict{true, expectedSet, {}};
    if (header.setNumber < expectedSet - 1) {
        const QString warning =
            QStringLiteral("The disk set you are restoring from is sequence no. %1 whereas the last back up done was sequence %2. If "
                           "you continue you could be overwriting (and thus losing) data entered since %3 at %4. Click on Cancel "
                           "to abort the restore.")
                .arg(header.setNumber)
                .arg(expectedSet - 1)
                .arg(shortDate(header.createdDate), platform::formatPicture(std::int64_t{header.createdTime}, u"T3"));
        if (ask("Disk Set older than current Data!   WARNING!", warning, MessageIcon::Exclamation, Button::Ok | Button::Cancel,
                Button::Cancel) != Button::Ok) {
            return {false, expectedSet, QStringLiteral("The set is older than the data; the restore was cancelled.")};
        }
        for (;;) {
            const int answer =
                ask("Bring Set Numbers into Sync?",
                    QStringLiteral(
                        "You have chosen to carry out a restore even though the diskette set number does not tally with the "
                        "system set number.  If you answer YES the system set number will be set to this diskette set's "
                        "number.  To cancel the restore altogether press Abort. For more information press Help.   "
                        "Answering either Yes or No will start the restoration.  \r\n\r\nDo you want to synchronize set numbers?\r\n"),
                    MessageIcon::Question, Button::Yes | Button::No | Button::Abort | Button::Help, Button::Yes);
            if (answer == Button::Help) {
                showSyncHelp();
                continue;
            }
            if (answer != Button::Yes && answer != Button::No) {
                return {false, expectedSet, QStringLiteral("The restore was cancelled.")};
            }
            // The further disks are checked against this set. The number stored
            // for the next backup is never lowered (see RestoreRun::end()): a lower one
            // would be given again to a new set, and two sets could no longer be told apart.
            if (answer == Button::Yes)
                verdict.expectedSet = header.setNumber + 1;
            break;
        }
    }
    if (header.version != FormatVersion.leftJustified(5, ' ')) {
        ask("Incorrect Version!",
            QStringLiteral("These files have been backed up using version ") + header.versionText() +
                QStringLiteral(" of the back up program.  \r\n\r\nThe current version of the program is 3.6\r\n"),
            MessageIcon::Stop, Button::Cancel, Button::Cancel);
        return {false, expectedSet, QStringLiteral("The set was written by version %1.").arg(header.versionText())};
    }
    return verdict;
}

} // namespace fundora::backup
