#pragma once

#include "core/DataFiles.h"

#include <optional>
#include <vector>

namespace fundora::core {

// The statements of an account as stored (file Statements, its shared buffer
// used for the reads). The file must be open.

// Every statement of account `sysId`, by closing date (its draft among them).
platform::FileError readStatements(DataFiles& files, std::int32_t sysId, std::vector<CardStatement>& out);
// The finished statement with the latest closing date (of two on one date, the later one made).
std::optional<CardStatement> latestFinished(const std::vector<CardStatement>& statements);
// The draft "Later" kept, if any.
std::optional<CardStatement> draftOf(const std::vector<CardStatement>& statements);

} // namespace fundora::core
