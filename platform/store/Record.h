#pragma once

#include "platform/Decimal.h"
#include "platform/store/FileDefinition.h"
#include "platform/store/FileError.h"

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace fundora::platform {

// One field's value: whole numbers for Long/Short/Byte, Decimal, or text.
using FieldValue = std::variant<std::int64_t, Decimal, QString>;

// Where a record read from a file lives (its row) and which version of it was
// read. A write of the record succeeds only while the stored version is the
// one read, so another station's change is never silently overwritten.
struct RecordIdentity {
    std::int64_t row = 0; // 0: not read from the file
    std::int64_t version = 0;
    bool isStored() const { return row != 0; }
};

// A record in the layout of a FileDef: one value per field, in field order.
struct Record {
    std::vector<FieldValue> values;
    RecordIdentity identity;

    // A cleared record: texts blank, numbers zero.
    static Record blank(const FileDef& def);

    std::int64_t integer(int field) const;
    Decimal decimal(int field) const;
    QString text(int field) const;
};

// Checks that `value` fits `field` (length, range, type). On failure the
// returned error (code 75) names the field and the limit.
FileError checkFieldValue(const FieldDef& field, const FieldValue& value);

} // namespace fundora::platform
