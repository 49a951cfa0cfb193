#pragma once

#include "core/DataFiles.h"
#include "core/GuardedWrites.h"
#include "engine/UpdateFormController.h"

#include <QDateTime>

namespace fundora::memos {

// What the memo card form does with its card: dated today whenever it is
// opened to add or change, saved through the guarded writes, and remembered
// as the recall copy each time a save is tried.
class MemoCardFormRecord : public engine::BufferedRecord<core::MemoCard> {
public:
    explicit MemoCardFormRecord(core::DataFiles& files) : BufferedRecord(files.memoCards), m_files(files) {}

    // A new card keeps the owner the list primed; its text starts empty.
    bool prime() override;
    // Today's date, set after the copy for change detection: a card opened
    // and saved untouched on a later day is written with the new date.
    void opening(core::Request request) override;
    platform::FileError writeInsert() override;
    core::Guarded guardedUpdate() override;
    core::Guarded guardedDelete() override;
    QString duplicateKeyName() const override { return QStringLiteral("MEM:CardKey"); }

    // The card the form last tried to save, in any run of the form since
    // the program started (empty before the first): what the recall key
    // copies from. It holds the text too, so that after another station's
    // change the user's own text can be had back.
    static core::MemoCard& recallCopy();

private:
    core::DataFiles& m_files;
};

// The text with a stamp line appended: its trailing blanks dropped, a line
// break, "*** 12/07/26 10:30 AM ***" and a line break; cut to `limit`.
QString stampedText(const QString& text, const QDateTime& now, int limit);

} // namespace fundora::memos
