#include "platform/store/FileDefinitionText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace fundora::platform {

namespace {

QJsonArray numbers(const std::vector<int>& values)
{
    QJsonArray out;
    for (int v : values)
        out << v;
    return out;
}

// Reads a file's layout; the first thing wrong is kept in `why`, and what is
// read after it is no longer used.
struct Reader {
    QString why;

    void fail(const QString& reason)
    {
        if (why.isEmpty())
            why = reason;
    }

    QString name(const QJsonValue& v, const QString& what)
    {
        // Letters, digits, '_' and one prefix ending in ':': names that quote safely and read well in messages.
        static const QRegularExpression valid(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,39}(:[A-Za-z][A-Za-z0-9_]{0,59})?$"));
        const QString s = v.toString();
        if (!valid.match(s).hasMatch())
            fail(QStringLiteral("%1 \"%2\" is not a name").arg(what, s.left(80)));
        return s;
    }

    int number(const QJsonValue& v, int low, int high, const QString& what)
    {
        const double d = v.toDouble(-1.0);
        if (!v.isDouble() || d < low || d > high || d != static_cast<int>(d)) {
            fail(QStringLiteral("%1 must be a whole number from %2 to %3").arg(what).arg(low).arg(high));
            return low;
        }
        return static_cast<int>(d);
    }

    int field(const QJsonValue& v, const FileDef& def)
    {
        return number(v, 0, static_cast<int>(def.fields.size()) - 1, QStringLiteral("a field's index"));
    }

    std::vector<int> fields(const QJsonValue& v, const FileDef& def)
    {
        std::vector<int> out;
        for (const QJsonValue& f : v.toArray())
            out.push_back(field(f, def));
        return out;
    }

    FileDef read(const QJsonObject& o)
    {
        FileDef def;
        def.label = name(o.value(QStringLiteral("label")), QStringLiteral("the label"));
        def.prefix = name(o.value(QStringLiteral("prefix")), QStringLiteral("the prefix"));
        def.diskName = name(o.value(QStringLiteral("diskName")), QStringLiteral("the name on disk"));
        def.layoutVersion = number(o.value(QStringLiteral("layout")), 1, 1000000, QStringLiteral("the layout version"));
        const QJsonArray fieldList = o.value(QStringLiteral("fields")).toArray();
        if (fieldList.isEmpty() || fieldList.size() > 500) {
            fail(QStringLiteral("a file has from 1 to 500 fields"));
            return def;
        }
        for (const QJsonValue& v : fieldList) {
            const QJsonObject f = v.toObject();
            FieldDef fieldDef;
            fieldDef.name = name(f.value(QStringLiteral("name")), QStringLiteral("a field's name"));
            fieldDef.type = static_cast<FieldType>(
                number(f.value(QStringLiteral("type")), 0, static_cast<int>(FieldType::Memo), QStringLiteral("a field's type")));
            fieldDef.size = number(f.value(QStringLiteral("size")), 0, 1 << 20, QStringLiteral("a field's size"));
            fieldDef.places = number(f.value(QStringLiteral("places")), 0, 18, QStringLiteral("a field's places"));
            def.fields.push_back(fieldDef);
        }
        for (const QJsonValue& v : o.value(QStringLiteral("keys")).toArray()) {
            const QJsonObject k = v.toObject();
            KeyDef key;
            key.name = name(k.value(QStringLiteral("name")), QStringLiteral("a key's name"));
            key.unique = k.value(QStringLiteral("unique")).toBool();
            key.noCase = k.value(QStringLiteral("noCase")).toBool();
            for (const QJsonValue& p : k.value(QStringLiteral("parts")).toArray())
                key.parts.push_back(
                    {field(p.toObject().value(QStringLiteral("field")), def), p.toObject().value(QStringLiteral("descending")).toBool()});
            if (key.parts.empty())
                fail(QStringLiteral("the key %1 has no component").arg(key.name));
            def.keys.push_back(key);
        }
        for (const QJsonValue& v : o.value(QStringLiteral("summaryIndexes")).toArray())
            def.summaryIndexes.push_back(fields(v, def));
        for (const QJsonValue& v : o.value(QStringLiteral("fixedFieldKeys")).toArray()) {
            const QJsonObject f = v.toObject();
            FileDef::FixedFieldKey fixed;
            fixed.key = number(f.value(QStringLiteral("key")), 0, static_cast<int>(def.keys.size()) - 1, QStringLiteral("a key's index"));
            if (!why.isEmpty())
                return def;
            fixed.components =
                number(f.value(QStringLiteral("components")), 0,
                       static_cast<int>(def.keys[static_cast<std::size_t>(fixed.key)].parts.size()), QStringLiteral("a key's components"));
            fixed.field = field(f.value(QStringLiteral("field")), def);
            def.fixedFieldKeys.push_back(fixed);
        }
        if (const QJsonValue totals = o.value(QStringLiteral("keptTotals")); totals.isObject())
            def.keptTotals = FileDef::KeptTotals{fields(totals.toObject().value(QStringLiteral("groupFields")), def),
                                                 field(totals.toObject().value(QStringLiteral("sumField")), def)};
        return def;
    }
};

} // namespace

QByteArray definitionText(const FileDef& def)
{
    QJsonArray fields, keys, summaries, fixed;
    for (const FieldDef& f : def.fields)
        fields << QJsonObject{{QStringLiteral("name"), f.name},
                              {QStringLiteral("type"), static_cast<int>(f.type)},
                              {QStringLiteral("size"), f.size},
                              {QStringLiteral("places"), f.places}};
    for (const KeyDef& k : def.keys) {
        QJsonArray parts;
        for (const KeyPart& p : k.parts)
            parts << QJsonObject{{QStringLiteral("field"), p.field}, {QStringLiteral("descending"), p.descending}};
        keys << QJsonObject{{QStringLiteral("name"), k.name},
                            {QStringLiteral("unique"), k.unique},
                            {QStringLiteral("noCase"), k.noCase},
                            {QStringLiteral("parts"), parts}};
    }
    for (const std::vector<int>& s : def.summaryIndexes)
        summaries << numbers(s);
    for (const FileDef::FixedFieldKey& f : def.fixedFieldKeys)
        fixed << QJsonObject{
            {QStringLiteral("key"), f.key}, {QStringLiteral("components"), f.components}, {QStringLiteral("field"), f.field}};
    QJsonObject o{
        {QStringLiteral("label"), def.label},          {QStringLiteral("prefix"), def.prefix},   {QStringLiteral("diskName"), def.diskName},
        {QStringLiteral("layout"), def.layoutVersion}, {QStringLiteral("fields"), fields},       {QStringLiteral("keys"), keys},
        {QStringLiteral("summaryIndexes"), summaries}, {QStringLiteral("fixedFieldKeys"), fixed}};
    if (def.keptTotals)
        o.insert(QStringLiteral("keptTotals"), QJsonObject{{QStringLiteral("groupFields"), numbers(def.keptTotals->groupFields)},
                                                           {QStringLiteral("sumField"), def.keptTotals->sumField}});
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<FileDef> definitionFromText(const QByteArray& text, QString* why)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    Reader reader;
    FileDef def;
    if (document.isObject())
        def = reader.read(document.object());
    else
        reader.fail(QStringLiteral("not a file's layout (%1)").arg(error.errorString()));
    if (reader.why.isEmpty())
        return def;
    if (why)
        *why = reader.why;
    return std::nullopt;
}

} // namespace fundora::platform
