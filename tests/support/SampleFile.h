#pragma once

#include "platform/store/DataFile.h"
#include "platform/store/Record.h"
#include "platform/store/Store.h"

namespace fundora::test {

// A small file layout with every kind of key: unique and case-sensitive, no
// case with duplicates, two components, and a descending date.
enum SampleField { SfOwner = 0, SfName, SfAmount, SfDay, SfCode, SfMemo };
enum SampleKey { SkCode = 0, SkName, SkOwnerName, SkDayDesc };

inline platform::FileDef sampleDef()
{
    using platform::FieldType;
    platform::FileDef def;
    def.label = QStringLiteral("Sample");
    def.prefix = QStringLiteral("SAM");
    def.diskName = QStringLiteral("SAMPLE");
    def.fields = {{QStringLiteral("SAM:Owner"), FieldType::Long, 0, 0},     {QStringLiteral("SAM:Name"), FieldType::String, 20, 0},
                  {QStringLiteral("SAM:Amount"), FieldType::Decimal, 7, 2}, {QStringLiteral("SAM:Day"), FieldType::Long, 0, 0},
                  {QStringLiteral("SAM:Code"), FieldType::String, 8, 0},    {QStringLiteral("SAM:Memo"), FieldType::Memo, 100, 0}};
    def.keys = {{QStringLiteral("SAM:CodeKey"), {{SfCode, false}}, true, false},
                {QStringLiteral("SAM:NameKey"), {{SfName, false}}, false, true},
                {QStringLiteral("SAM:OwnerNameKey"), {{SfOwner, false}, {SfName, false}}, false, true},
                {QStringLiteral("SAM:DayKey"), {{SfDay, true}}, false, false}};
    return def;
}

inline platform::Record sample(std::int64_t owner, const QString& name, const char* amount = "0", std::int64_t day = 0,
                               const QString& code = {})
{
    platform::Record r = platform::Record::blank(sampleDef());
    r.values[SfOwner] = owner;
    r.values[SfName] = name;
    r.values[SfAmount] = *platform::Decimal::parse(QString::fromLatin1(amount));
    r.values[SfDay] = day;
    // The code key is unique: records made without a code get one of their own.
    static int made = 0;
    r.values[SfCode] = code.isEmpty() ? QStringLiteral("#%1").arg(++made) : code;
    return r;
}

} // namespace fundora::test
