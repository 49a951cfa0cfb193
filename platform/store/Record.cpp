#include "platform/store/Record.h"

namespace fundora::platform {

Record Record::blank(const FileDef& def)
{
    Record r;
    r.values.reserve(def.fields.size());
    for (const FieldDef& f : def.fields) {
        switch (f.type) {
        case FieldType::String:
        case FieldType::Memo: r.values.emplace_back(QString()); break;
        case FieldType::Decimal: r.values.emplace_back(Decimal::fromUnits(0, f.places)); break;
        default: r.values.emplace_back(std::int64_t{0}); break;
        }
    }
    return r;
}

std::int64_t Record::integer(int field) const
{
    const FieldValue& v = values.at(static_cast<std::size_t>(field));
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto* d = std::get_if<Decimal>(&v))
        return d->integerPart();
    return 0;
}

Decimal Record::decimal(int field) const
{
    const FieldValue& v = values.at(static_cast<std::size_t>(field));
    if (const auto* d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return Decimal::fromInteger(*i);
    return Decimal();
}

QString Record::text(int field) const
{
    const FieldValue& v = values.at(static_cast<std::size_t>(field));
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    return {};
}

FileError checkFieldValue(const FieldDef& field, const FieldValue& value)
{
    auto refuse = [&](const QString& why) { return FileError::of(ErrorCode::InvalidValue, field.name + QStringLiteral(" ") + why); };
    switch (field.type) {
    case FieldType::String:
    case FieldType::Memo: {
        const auto* s = std::get_if<QString>(&value);
        if (!s)
            return refuse(QStringLiteral("must be a text"));
        qsizetype length = s->size();
        while (length > 0 && s->at(length - 1) == u' ')
            --length;
        if (length > field.size)
            return refuse(QStringLiteral("is longer than %1 characters").arg(field.size));
        return {};
    }
    case FieldType::Decimal: {
        Decimal v;
        if (const auto* d = std::get_if<Decimal>(&value))
            v = *d;
        else if (const auto* i = std::get_if<std::int64_t>(&value))
            v = Decimal::fromInteger(*i);
        else
            return refuse(QStringLiteral("must be a number"));
        if (!v.fits(field.size, field.places))
            return refuse(QStringLiteral("does not fit %1 digits with %2 places").arg(field.size).arg(field.places));
        return {};
    }
    default: {
        const auto* i = std::get_if<std::int64_t>(&value);
        if (!i)
            return refuse(QStringLiteral("must be a whole number"));
        std::int64_t lo = INT32_MIN, hi = INT32_MAX;
        if (field.type == FieldType::Short) {
            lo = INT16_MIN;
            hi = INT16_MAX;
        } else if (field.type == FieldType::Byte) {
            lo = 0;
            hi = 255;
        }
        if (*i < lo || *i > hi)
            return refuse(QStringLiteral("must be between %1 and %2").arg(lo).arg(hi));
        return {};
    }
    }
}

} // namespace fundora::platform
