#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace fundora::platform {

enum class FieldType {
    Long,    // signed 32 bits
    Short,   // signed 16 bits
    Byte,    // unsigned 8 bits
    String,  // text of at most `size` characters; trailing blanks are not kept
    Decimal, // `size` digits of which `places` after the point
    Memo,    // text of at most `size` characters, kept outside the fixed record
};

struct FieldDef {
    QString name; // "ACC:CreditLimit"
    FieldType type = FieldType::Long;
    int size = 0;   // characters (String, Memo) or digits (Decimal)
    int places = 0; // Decimal only

    // The column name: the name after its prefix ("CreditLimit").
    QString column() const;
};

struct KeyPart {
    int field = 0;
    bool descending = false; // only for numeric fields
};

struct KeyDef {
    QString name; // "ACC:CreditCardVendorKey"
    std::vector<KeyPart> parts;
    bool unique = false;
    bool noCase = false;
};

// The layout of one data file: its label ("Accounts"), field prefix ("ACC"),
// name on disk ("ACCOUNTS", stored as ACCOUNTS.TPS), fields and keys.
struct FileDef {
    QString label;
    QString prefix;
    QString diskName;
    int layoutVersion = 1;
    std::vector<FieldDef> fields;
    std::vector<KeyDef> keys;
    // Indexes of the store's own that hold these fields, so that totals over
    // them are read from the index alone. They are not keys: a file without
    // them (made by an earlier version) is complete, and gets them when it opens.
    std::vector<std::vector<int>> summaryIndexes;
    // A key's order kept again within the records that also agree on one more
    // field, put after the key's first `components` components. A view of the
    // key whose range fixes those components and whose filter fixes the field
    // by equality then reads each page in one seek, instead of visiting every
    // record the filter drops. Like the summary indexes, not keys.
    struct FixedFieldKey {
        int key = 0;
        int components = 0;
        int field = 0;
    };
    std::vector<FixedFieldKey> fixedFieldKeys;
    // The count of the records and the sum of one field, kept for every
    // combination of the group fields in a table of the file's own, by
    // triggers in the same statement as every write, whichever program makes
    // it. Totals over a range and filters that name the group fields alone
    // are read from there: in time bounded by the groups, not the records.
    struct KeptTotals {
        std::vector<int> groupFields;
        int sumField = -1;
    };
    std::optional<KeptTotals> keptTotals;
    bool keepsTotalsOf(const std::vector<int>& named, int sumField) const;

    // Index of the field or key of that name (without regard to case), or -1.
    int fieldIndex(const QString& name) const;
    int keyIndex(const QString& name) const;
    QString fileName() const { return diskName + QStringLiteral(".TPS"); }
    // True when a text field takes part in a key that ignores case.
    bool fieldIsNoCase(int field) const;
    // True when a numeric field takes part in a descending key component.
    bool fieldIsDescending(int field) const;
};

} // namespace fundora::platform
