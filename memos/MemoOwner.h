#pragma once

#include "core/DataFiles.h"

#include <QString>

class QWidget;

namespace fundora::memos {

// Whose memo cards a memo list shows: a type of owner ("ACC"), a numeric id
// and a text id (an account: its SysID and its account number), and a third
// id the list starts at.
struct MemoOwner {
    QString type;
    std::int32_t firstId = 0;
    QString secondId;
    QString thirdId;
};

// The owner as the memo list's call hands it on: into the memo card buffer,
// cut to the fields' sizes, where the list's first refresh takes it from.
void primeMemoOwner(core::DataFiles& files, const MemoOwner& owner);

// Starts the memo list of `owner` as a child window of the frame; null when
// there is no frame or no such list.
QWidget* openMemoBrowse(core::DataFiles& files, const MemoOwner& owner);

} // namespace fundora::memos
