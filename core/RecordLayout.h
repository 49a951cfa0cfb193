#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/Record.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace fundora::core {

// Binds a record struct to its file layout: one entry per field, naming the
// field, its type and the struct member that holds it. The FileDef and the
// conversions to and from the store's records come from this one table.
template <class R>
class RecordLayout {
public:
    using Member = std::variant<std::int32_t R::*, std::int16_t R::*, std::uint8_t R::*, QString R::*, platform::Decimal R::*>;
    struct Field {
        platform::FieldDef def;
        Member member;
    };
    struct Key {
        QString name;
        std::vector<QString> fields; // a leading '-' marks a descending component
        bool unique = false;
        bool noCase = false;
    };
    struct FixedFieldKey {
        QString key;
        int components = 0;
        QString field;
    };
    struct KeptTotals {
        std::vector<QString> groups;
        QString sum;
    };

    // `summaries`: fields of the store's summary indexes; `fixedFieldKeys`:
    // keys kept again within a fixed field; `kept`: the totals kept by group (see FileDef).
    RecordLayout(QString label, QString prefix, QString diskName, int version, std::vector<Field> fields, std::vector<Key> keys,
                 std::vector<std::vector<QString>> summaries = {}, std::vector<FixedFieldKey> fixedFieldKeys = {},
                 std::optional<KeptTotals> kept = {})
    {
        m_def.label = std::move(label);
        m_def.prefix = std::move(prefix);
        m_def.diskName = std::move(diskName);
        m_def.layoutVersion = version;
        for (Field& f : fields) {
            m_def.fields.push_back(f.def);
            m_members.push_back(f.member);
        }
        for (const Key& k : keys) {
            platform::KeyDef key{k.name, {}, k.unique, k.noCase};
            for (QString name : k.fields) {
                const bool descending = name.startsWith(u'-');
                if (descending)
                    name.remove(0, 1);
                key.parts.push_back({m_def.fieldIndex(name), descending});
            }
            m_def.keys.push_back(std::move(key));
        }
        for (const std::vector<QString>& summary : summaries) {
            std::vector<int> fieldsOfIndex;
            for (const QString& name : summary)
                fieldsOfIndex.push_back(m_def.fieldIndex(name));
            m_def.summaryIndexes.push_back(std::move(fieldsOfIndex));
        }
        for (const FixedFieldKey& fixed : fixedFieldKeys)
            m_def.fixedFieldKeys.push_back({m_def.keyIndex(fixed.key), fixed.components, m_def.fieldIndex(fixed.field)});
        if (kept) {
            platform::FileDef::KeptTotals totals;
            for (const QString& name : kept->groups)
                totals.groupFields.push_back(m_def.fieldIndex(name));
            totals.sumField = m_def.fieldIndex(kept->sum);
            m_def.keptTotals = std::move(totals);
        }
    }

    const platform::FileDef& def() const { return m_def; }

    platform::Record toRecord(const R& r) const
    {
        platform::Record out;
        out.identity = r.identity;
        out.values.reserve(m_members.size());
        for (const Member& m : m_members) {
            std::visit(
                [&](auto member) {
                    using T = std::decay_t<decltype(r.*member)>;
                    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, platform::Decimal>)
                        out.values.emplace_back(r.*member);
                    else
                        out.values.emplace_back(static_cast<std::int64_t>(r.*member));
                },
                m);
        }
        return out;
    }

    void fromRecord(const platform::Record& in, R& r) const
    {
        r.identity = in.identity;
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            std::visit(
                [&](auto member) {
                    using T = std::decay_t<decltype(r.*member)>;
                    if constexpr (std::is_same_v<T, QString>)
                        r.*member = in.text(static_cast<int>(i));
                    else if constexpr (std::is_same_v<T, platform::Decimal>)
                        r.*member = in.decimal(static_cast<int>(i)).rounded(m_def.fields[i].places);
                    else
                        r.*member = static_cast<T>(in.integer(static_cast<int>(i)));
                },
                m_members[i]);
        }
    }

private:
    platform::FileDef m_def;
    std::vector<Member> m_members;
};

// Field definitions, in the words of the record tables.
inline platform::FieldDef longField(const char* name)
{
    return {QString::fromLatin1(name), platform::FieldType::Long, 0, 0};
}
inline platform::FieldDef shortField(const char* name)
{
    return {QString::fromLatin1(name), platform::FieldType::Short, 0, 0};
}
inline platform::FieldDef byteField(const char* name)
{
    return {QString::fromLatin1(name), platform::FieldType::Byte, 0, 0};
}
inline platform::FieldDef stringField(const char* name, int size)
{
    return {QString::fromLatin1(name), platform::FieldType::String, size, 0};
}
inline platform::FieldDef memoField(const char* name, int size)
{
    return {QString::fromLatin1(name), platform::FieldType::Memo, size, 0};
}
// DECIMAL(bytes, places).
inline platform::FieldDef decimalField(const char* name, int bytes, int places)
{
    return {QString::fromLatin1(name), platform::FieldType::Decimal, platform::decimalDigitsOfBytes(bytes), places};
}

} // namespace fundora::core
