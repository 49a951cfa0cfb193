#pragma once

#include "platform/store/FileDefinition.h"

#include <QByteArray>

#include <optional>

namespace fundora::platform {

// A file's layout as compact JSON, for a register that keeps the layouts of
// its files beside their records (a register on a server does: the backup
// utility, which knows no layout of its own, writes and loads its tables by them).
QByteArray definitionText(const FileDef& def);
// The layout `text` describes; nothing (and `why`) when it is not one: every
// name, type, size and index is checked, as the text may come from anywhere.
std::optional<FileDef> definitionFromText(const QByteArray& text, QString* why = nullptr);

} // namespace fundora::platform
