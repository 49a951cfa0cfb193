#pragma once

#include "platform/server/RegisterPlace.h"
#include "platform/store/FileDefinition.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace fundora::moving {

// A register moved from a directory onto a server, or from a server into a
// directory, record for record: every data file (statements, import records
// and memo cards included) into an empty register, all of it or nothing.
// Afterwards each file is read again on both sides and compared, and the
// outcome says so file by file.

struct CopiedFile {
    QString name; // ACCOUNTS.TPS
    std::int64_t records = 0;
};

struct CopyOutcome {
    QString error; // empty when the copy is whole and checked
    std::vector<CopiedFile> files;
    bool ok() const { return error.isEmpty(); }
};

// Called with each file's name as its copy begins.
using CopyProgress = std::function<void(const QString& file)>;

// The data files of `layouts` that the register in `directory` holds, into
// the register on the server `to`, which must hold no record (its tables, if
// any, must be empty). One server transaction; the files are held still
// meanwhile, so that the copy is one state of them.
CopyOutcome copyToServer(const QString& directory, const std::vector<platform::FileDef>& layouts, const platform::RegisterPlace& to,
                         const CopyProgress& progress = {});

// Every table of the register on the server `from` (the layouts it keeps,
// the backup utility's file among them), from one snapshot, into
// `directory`, which must hold no data file: written aside, checked, then put
// in place together (FileInstall).
CopyOutcome copyToDirectory(const platform::RegisterPlace& from, const QString& directory, const CopyProgress& progress = {});

} // namespace fundora::moving
