#pragma once

#include "core/RecordLayout.h"

namespace fundora::core {

// A titled, time-stamped note of an owner record (file Notes, prefix NTS).
struct Note {
    QString ownerFile;
    std::int32_t ownerSysId = 0;
    QString title;
    std::int32_t editDate = 0;
    std::int32_t editTime = 0;
    QString notes; // up to 2000 characters

    platform::RecordIdentity identity;
};

enum NoteKey { NtsAccessKey = 0 };

inline constexpr int NoteTextLimit = 2000;

const RecordLayout<Note>& noteLayout();

} // namespace fundora::core
