#pragma once

#include "platform/MessageService.h"
#include "platform/store/FileError.h"

#include <QString>

namespace fundora::core {

class DataFiles;

// Warning numbers of the catalogue.
namespace Warning {
inline constexpr int InvalidFile = 1;
inline constexpr int InvalidKey = 2;
inline constexpr int KeyRebuildError = 3;
inline constexpr int FileCreationError = 4;
inline constexpr int CreatedFileOpenError = 5;
inline constexpr int RangeError = 10;
inline constexpr int RecordInsertError = 14;
inline constexpr int UpdateOperationError = 15;
inline constexpr int RecordUpdateRetry = 16;
inline constexpr int DeleteOperationError = 17;
inline constexpr int RecordDeleteRetry = 18;
inline constexpr int DuplicateKeyError = 24;
inline constexpr int AutoIncrementError = 25;
inline constexpr int FileAccessError = 30;
inline constexpr int ConfirmDelete = 32;
inline constexpr int TransactionFramingError = 34;
inline constexpr int RecordRetrievalError = 35;
inline constexpr int ViewOpenError = 36;
inline constexpr int RecordWasNotUpdated = 38;
} // namespace Warning

// A warning ready to show: the message box, and the text the program ends
// with when the user closes it (empty: the warning returns).
struct ComposedWarning {
    platform::Message message;
    QString haltText;
    // Ends only when this button is pressed (0: whatever is pressed).
    int haltOnButton = 0;
};

// The error part of a warning: "text (code)", or for code 90 the operating
// system's "text (number)"; at most 150 characters.
QString errorPart(const platform::FileError& error);

// Composes warning `id`. `error` is the error it reports (the saved one, else the last file operation's).
// Returns a message with an empty text for an unknown id.
// For a damaged file (code 46): the way out, added below a warning's text; empty otherwise.
QString damageHint(const platform::FileError& error);
ComposedWarning composeWarning(int id, const QString& first, const QString& second, const platform::FileError& error);

// Shows warning `id` through the message service and returns the pressed
// button (OK 1, Yes 2, No 4, Retry 16, Cancel 64). The saved error is used and
// cleared. A warning that ends the program halts it with its text.
int standardWarning(DataFiles& files, int id, const QString& first = {}, const QString& second = {});

} // namespace fundora::core
