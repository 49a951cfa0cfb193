#include "backup/Startup.h"

#include "platform/MessageService.h"
#include "platform/ipc/DdeLink.h"

namespace fundora::backup {

StartupResult startUtility(BackupConfig& config)
{
    switch (config.start()) {
    case BackupConfig::Start::Declined: return StartupResult::Declined;
    case BackupConfig::Start::CreateFailed: return StartupResult::CannotCreate;
    case BackupConfig::Start::AnotherCopy: return StartupResult::AnotherCopy;
    case BackupConfig::Start::Ready: break;
    }
    if (refuseIfFundoraRuns()) {
        config.close();
        return StartupResult::FundoraRunning;
    }
    return StartupResult::Ready;
}

bool refuseIfFundoraRuns()
{
    if (!platform::ddeServerRunning(FundoraDdeApplication, FundoraDdeTopic))
        return false;
    const QString program = QStringLiteral("Fundora").leftJustified(30).trimmed();
    platform::MessageService::current().show({QStringLiteral("Cannot Run Back Up Module!"),
                                              QStringLiteral("The main program ") + program +
                                                  QStringLiteral(" is still running.\r\n\r\nPlease close down ") + program +
                                                  QStringLiteral(" and run the Back Up module again."),
                                              platform::MessageIcon::Exclamation, platform::Button::Ok, platform::Button::Ok});
    return true;
}

} // namespace fundora::backup
