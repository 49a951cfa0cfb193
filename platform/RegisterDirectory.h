#pragma once

#include <QString>

namespace fundora::platform {

// Where the user's register lives when no --dir names one: FUNDORA_DIR from
// the environment, else $XDG_DATA_HOME/fundora, else ~/.local/share/fundora.
// The directory is made (mode 0700) when it is not there. Empty, with
// `error` saying why, when it cannot be made.
QString defaultRegisterDirectory(QString* error);

// Sets XDG_RUNTIME_DIR to the user's own runtime directory when the session
// did not, before the application object is made (Qt would warn that it is
// missing and fall back to a directory of its own choosing).
void ensureRuntimeDirectoryVariable();

} // namespace fundora::platform
