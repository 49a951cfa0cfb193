#include "platform/store/FileDefinition.h"

#include <algorithm>

namespace fundora::platform {

QString FieldDef::column() const
{
    const qsizetype colon = name.lastIndexOf(u':');
    return colon < 0 ? name : name.mid(colon + 1);
}

int FileDef::fieldIndex(const QString& name) const
{
    for (int i = 0; i < static_cast<int>(fields.size()); ++i)
        if (fields[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int FileDef::keyIndex(const QString& name) const
{
    for (int i = 0; i < static_cast<int>(keys.size()); ++i)
        if (keys[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool FileDef::fieldIsNoCase(int field) const
{
    for (const KeyDef& k : keys)
        for (const KeyPart& p : k.parts)
            if (p.field == field && k.noCase)
                return true;
    return false;
}

bool FileDef::keepsTotalsOf(const std::vector<int>& named, int sumField) const
{
    if (!keptTotals || (sumField >= 0 && sumField != keptTotals->sumField))
        return false;
    const std::vector<int>& groups = keptTotals->groupFields;
    return std::all_of(named.begin(), named.end(), [&groups](int f) { return std::find(groups.begin(), groups.end(), f) != groups.end(); });
}

bool FileDef::fieldIsDescending(int field) const
{
    for (const KeyDef& k : keys)
        for (const KeyPart& p : k.parts)
            if (p.field == field && p.descending)
                return true;
    return false;
}

} // namespace fundora::platform
