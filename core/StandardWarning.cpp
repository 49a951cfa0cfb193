#include "core/StandardWarning.h"

#include "core/DataFiles.h"
#include "platform/Runtime.h"
#include "platform/Text.h"

namespace fundora::core {

namespace Button = platform::Button;
using platform::MessageIcon;

using platform::trimmedRight;

namespace {

ComposedWarning make(const char* title, QString text, int buttons = Button::Ok, int defaultButton = Button::Ok,
                     MessageIcon icon = MessageIcon::Exclamation, QString haltText = {})
{
    ComposedWarning w;
    w.message.title = QString::fromLatin1(title);
    w.message.text = std::move(text);
    w.message.buttons = buttons;
    w.message.defaultButton = defaultButton;
    w.message.icon = icon;
    w.haltText = std::move(haltText);
    return w;
}

} // namespace

QString errorPart(const platform::FileError& error)
{
    QString out = error.code == platform::ErrorCode::OperatingSystem
                      ? error.osText + QStringLiteral(" (") + QString::number(error.osCode) + u')'
                      : error.text + QStringLiteral(" (") + QString::number(error.code) + u')';
    return trimmedRight(out.left(150));
}

QString damageHint(const platform::FileError& error)
{
    if (error.code != platform::ErrorCode::KeysMustBeRebuilt)
        return {};
    return QStringLiteral("\r\n\r\nThe data file is damaged. Close Fundora and start it again: it rebuilds the keys of a damaged "
                          "file as it opens it. If the damage stays, restore the data files from your last backup with the backup "
                          "utility (vaultine --restore).");
}

ComposedWarning composeWarning(int id, const QString& firstText, const QString& secondText, const platform::FileError& error)
{
    const QString err = errorPart(error);
    const QString first = trimmedRight(firstText);
    const QString second = trimmedRight(secondText);
    const QString endApp = QStringLiteral(".  Press OK to end this application.");
    switch (id) {
    case Warning::InvalidFile:
        return make("Invalid File", QStringLiteral("Error: (") + err + QStringLiteral(") accessing ") + first + endApp, Button::Ok,
                    Button::Ok, MessageIcon::Exclamation, QStringLiteral("Invalid File!"));
    case Warning::InvalidKey: {
        ComposedWarning w = make("Invalid Key", first + QStringLiteral(" key file is invalid.  Do you want to rebuild the key?"),
                                 Button::Yes | Button::No, Button::Yes, MessageIcon::Question, QStringLiteral("Invalid Key!"));
        w.haltOnButton = Button::No;
        return w;
    }
    case Warning::KeyRebuildError:
        return make("Key Rebuild Error", QStringLiteral("Error: (") + err + QStringLiteral(") repairing key for ") + first + endApp,
                    Button::Ok, Button::Ok, MessageIcon::Exclamation, QStringLiteral("Error Rebuilding Key!"));
    case Warning::FileCreationError:
        return make("File Creation Error", QStringLiteral("Error: (") + err + QStringLiteral(") creating ") + first + endApp, Button::Ok,
                    Button::Ok, MessageIcon::Exclamation, QStringLiteral("File Creation Error!"));
    case Warning::CreatedFileOpenError:
        return make("File Creation Error", QStringLiteral("Error: (") + err + QStringLiteral(") opening created file:") + first + endApp,
                    Button::Ok, Button::Ok, MessageIcon::Exclamation, QStringLiteral("File Creation Error!"));
    case Warning::RangeError:
        return make("Range Error", QStringLiteral("The value of ") + first + QStringLiteral(" must be between ") + second + u'.');
    case Warning::RecordInsertError:
        return make("Record Insert Error", QStringLiteral("An error was experienced during the update of record.  Error: ") + err + u'.');
    case Warning::UpdateOperationError:
        if (error.code != 0 && error.code != platform::ErrorCode::ChangedElsewhere)
            return make("Update Operation Error",
                        QStringLiteral("An error (") + err +
                            QStringLiteral(") was experienced when attempting to update a record from the file.  Probable Cause: ") +
                            first + u'.');
        return make("Update Operation Error", QStringLiteral("This record was changed by another station."));
    case Warning::RecordUpdateRetry:
        return make("Record Update Error",
                    QStringLiteral("An error was experienced changing this record.  Do you want to try to save again?"),
                    Button::Yes | Button::No | Button::Cancel, Button::Cancel);
    case Warning::DeleteOperationError:
        return make("Delete Operation Error", QStringLiteral("An error (") + err +
                                                  QStringLiteral(") was experienced when attempting to delete a record from the file ") +
                                                  first + u'.');
    case Warning::RecordDeleteRetry:
        return make("Record Update Error",
                    QStringLiteral("An error was experienced deleting this record.  Do you want to try to save again?"),
                    Button::Yes | Button::No | Button::Cancel, Button::Cancel);
    case Warning::DuplicateKeyError:
        return make("Duplicate Key Error", QStringLiteral("Adding this record creates a duplicate entry for the key:") + first);
    case Warning::AutoIncrementError:
        return make("Auto Increment Error",
                    QStringLiteral("Attempts to automatically number this record have failed.  Error: ") + err + u'.',
                    Button::Retry | Button::Cancel, Button::Cancel);
    case Warning::FileAccessError:
        return make("File Access Error", QStringLiteral("File (") + first + QStringLiteral(") could not be opened.  Error: ") + err + u'.');
    case Warning::ConfirmDelete:
        return make("Confirm Delete",
                    QStringLiteral("You've selected to delete the highlighted record.  Press OK to confirm deletion of this record."),
                    Button::Ok | Button::Cancel, Button::Cancel, MessageIcon::Question);
    case Warning::TransactionFramingError:
        return make("Transaction Framing Error", QStringLiteral("Error: (") + err + QStringLiteral(") attempting to frame the ") +
                                                     first.toLower() + QStringLiteral(" transaction on ") + second + QStringLiteral(".  ") +
                                                     first + QStringLiteral(" transaction cancelled."));
    case Warning::RecordRetrievalError:
        return make("Record Retrieval Error", QStringLiteral("Error: (") + err +
                                                  QStringLiteral(") attempting to access a record from the ") + first +
                                                  QStringLiteral(" file.  Returning to previous window."));
    case Warning::ViewOpenError:
        return make("View Open Error", QStringLiteral("Error: (") + err +
                                           QStringLiteral(") attempting to open the current VIEW. Filter and Range Limits ignored."));
    case Warning::RecordWasNotUpdated:
        return make("Record Was Not Updated",
                    QStringLiteral("This record was changed by another station. Those changes will now be displayed. Use the "
                                   "Ditto Button or Ctrl+' to recall your changes."));
    default: return {};
    }
}

int standardWarning(DataFiles& files, int id, const QString& first, const QString& second)
{
    const platform::FileError error = files.savedError.isSet() ? files.savedError.error : files.store.lastError();
    files.savedError.clear();
    ComposedWarning w = composeWarning(id, first, second, error);
    if (w.message.text.isEmpty())
        return Button::Ok;
    if (id != Warning::InvalidKey) // that one offers the rebuild itself
        w.message.text += damageHint(error);
    if (const QString full = platform::fullDiskHint(error); !full.isEmpty())
        w.message.text += QStringLiteral("\r\n\r\n") + full;
    const int pressed = platform::MessageService::current().show(w.message);
    if (!w.haltText.isEmpty() && (w.haltOnButton == 0 || w.haltOnButton == pressed)) {
        platform::Runtime::halt(w.haltText);
        return pressed;
    }
    return pressed;
}

} // namespace fundora::core
