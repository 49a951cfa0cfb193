#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/Record.h"
#include "platform/store/View.h"

#include <QChar>

#include <vector>

namespace fundora::engine {

// What a list's locator field finds: a character typed in the list goes to
// the first row whose locator field starts with it, and the thumb of a long
// list stops at values spread between its first and last rows.
class ListLocator {
public:
    ListLocator(const platform::FileDef& def, int field);

    // The first character of the record's locator field, upper-cased (none when blank).
    QChar leadingCharacter(const platform::Record& r) const;
    // `from` with its locator field set to what `typed` seeks (the character,
    // or for a number field its digit).
    platform::Record seekRecord(platform::Record from, QChar typed) const;
    // `count` stops between the view's first and last records (none when it is empty).
    std::vector<QString> thumbStops(platform::View& view, int count) const;

private:
    int m_field;
    bool m_text;
    int m_width;
};

} // namespace fundora::engine
