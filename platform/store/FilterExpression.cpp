#include "platform/store/FilterExpression.h"

#include "platform/store/KeyOrder.h"
#include "platform/store/StoreSchema.h"

#include <algorithm>

namespace fundora::platform {

std::vector<SqlValue> CompiledFilter::parameters() const
{
    std::vector<SqlValue> out;
    out.reserve(m_parameters.size());
    for (const Parameter& p : m_parameters) {
        if (!p.getter) {
            out.push_back(p.fixed);
            continue;
        }
        const FieldValue v = p.getter();
        if (const auto* s = std::get_if<QString>(&v)) {
            QString t = *s;
            while (t.endsWith(u' '))
                t.chop(1);
            out.emplace_back(t);
        } else if (const auto* d = std::get_if<Decimal>(&v)) {
            out.emplace_back(d->rounded(p.places).units());
        } else {
            out.emplace_back(Decimal::fromInteger(std::get<std::int64_t>(v)).rounded(p.places).units());
        }
    }
    return out;
}

namespace filter_detail {

enum class TokenKind { End, Name, Number, Text, Operator, LeftParen, RightParen };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
};

enum class Type { Number, Text, Boolean };

struct Operand {
    QString sql;
    Type type = Type::Number;
    int places = 0;      // numbers: the SQL value is units of this many places
    bool column = false; // a field of the file itself, as stored
};

} // namespace filter_detail

using namespace filter_detail;

class FilterCompiler {
public:
    FilterCompiler(const QString& text, const FileDef& def, const FilterBindings& names, CompiledFilter& out,
                   const std::vector<int>& unindexed, schema::Dialect dialect)
        : m_text(text), m_def(def), m_names(names), m_out(out), m_unindexed(unindexed), m_server(dialect == schema::Dialect::Postgres)
    {
    }

    FileError run()
    {
        advance();
        Operand result;
        if (!expression(result))
            return fail();
        if (m_token.kind != TokenKind::End) {
            m_error = QStringLiteral("unexpected '%1'").arg(m_token.text);
            return fail();
        }
        m_out.m_sql = asBoolean(result).sql;
        return FileError::success();
    }

private:
    FileError fail()
    {
        m_out = CompiledFilter();
        return FileError::of(ErrorCode::InvalidFilter, m_error + QStringLiteral(" in \"") + m_text + u'"');
    }

    void advance()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
        m_token = Token();
        if (m_pos >= m_text.size())
            return;
        const QChar c = m_text[m_pos];
        if (c.isLetter() || c == u'_') {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_' || m_text[m_pos] == u':'))
                ++m_pos;
            m_token = {TokenKind::Name, m_text.mid(start, m_pos - start)};
        } else if (c.isDigit() || (c == u'.' && m_pos + 1 < m_text.size() && m_text[m_pos + 1].isDigit())) {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.'))
                ++m_pos;
            m_token = {TokenKind::Number, m_text.mid(start, m_pos - start)};
        } else if (c == u'\'') {
            QString value;
            ++m_pos;
            bool closed = false;
            while (m_pos < m_text.size()) {
                if (m_text[m_pos] == u'\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\'') {
                        value += u'\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    closed = true;
                    break;
                }
                value += m_text[m_pos++];
            }
            m_token = {closed ? TokenKind::Text : TokenKind::End, value};
            if (!closed)
                m_error = QStringLiteral("unterminated text");
        } else if (c == u'(' || c == u')') {
            ++m_pos;
            m_token = {c == u'(' ? TokenKind::LeftParen : TokenKind::RightParen, QString(c)};
        } else {
            static const QStringList operators{QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                               QStringLiteral("~="), QStringLiteral("="),  QStringLiteral("<"),
                                               QStringLiteral(">"),  QStringLiteral("+"),  QStringLiteral("-")};
            for (const QString& op : operators) {
                if (m_text.mid(m_pos, op.size()) == op) {
                    m_pos += op.size();
                    m_token = {TokenKind::Operator, op};
                    return;
                }
            }
            m_token = {TokenKind::Operator, QString(c)};
            ++m_pos;
        }
    }

    bool isWord(const char* word) const
    {
        return m_token.kind == TokenKind::Name && m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    Operand asBoolean(const Operand& o) const
    {
        if (o.type == Type::Boolean)
            return o;
        if (o.type == Type::Text)
            return {u'(' + o.sql + QStringLiteral(" <> '')"), Type::Boolean, 0};
        return {u'(' + o.sql + QStringLiteral(" <> 0)"), Type::Boolean, 0};
    }

    bool expression(Operand& out)
    {
        if (!conjunction(out))
            return false;
        while (isWord("OR")) {
            advance();
            Operand right;
            if (!conjunction(right))
                return false;
            out = {u'(' + asBoolean(out).sql + QStringLiteral(" OR ") + asBoolean(right).sql + u')', Type::Boolean, 0};
        }
        return true;
    }

    bool conjunction(Operand& out)
    {
        if (!negation(out))
            return false;
        while (isWord("AND")) {
            advance();
            Operand right;
            if (!negation(right))
                return false;
            out = {u'(' + asBoolean(out).sql + QStringLiteral(" AND ") + asBoolean(right).sql + u')', Type::Boolean, 0};
        }
        return true;
    }

    bool negation(Operand& out)
    {
        if (isWord("NOT")) {
            advance();
            Operand inner;
            if (!negation(inner))
                return false;
            out = {QStringLiteral("(NOT ") + asBoolean(inner).sql + u')', Type::Boolean, 0};
            return true;
        }
        return comparison(out);
    }

    // Brings two numbers to the same places by multiplying the coarser one.
    static void align(Operand& a, Operand& b)
    {
        if (a.type != Type::Number || b.type != Type::Number || a.places == b.places)
            return;
        Operand& coarse = a.places < b.places ? a : b;
        const int target = std::max(a.places, b.places);
        coarse.sql = QStringLiteral("(%1 * %2)").arg(coarse.sql).arg(powerOfTen(target - coarse.places));
        coarse.places = target;
    }

    bool comparison(Operand& out)
    {
        const std::size_t firstParameter = m_out.m_parameters.size();
        if (!sum(out))
            return false;
        if (m_token.kind != TokenKind::Operator)
            return true;
        QString op = m_token.text;
        if (!(op == u'=' || op == QStringLiteral("<>") || op == u'<' || op == u'>' || op == QStringLiteral("<=") ||
              op == QStringLiteral(">=")))
            return true;
        advance();
        Operand right;
        if (!sum(right))
            return false;
        if (out.type == Type::Boolean || right.type == Type::Boolean) {
            m_error = QStringLiteral("a comparison cannot compare conditions");
            return false;
        }
        if (out.type != right.type) {
            m_error = QStringLiteral("a number is compared with a text");
            return false;
        }
        align(out, right);
        // Texts compare by their bytes on both engines.
        const QString collate = out.type != Type::Text ? QString()
                                : m_server             ? QStringLiteral(" COLLATE \"C\"")
                                                       : QStringLiteral(" COLLATE BINARY");
        QString sql = u'(' + out.sql + collate + u' ' + op + u' ' + right.sql + collate + u')';
        // Texts compare exactly. A keyed text column is stored without regard
        // to case, so its index cannot answer the exact comparison; the
        // equality in the column's own collation, which every exact match also
        // passes, is added for the index to seek on. (On the server a text
        // column is stored exactly; its key column is another.)
        if (!m_server && out.type == Type::Text && op == u'=' && (out.column || right.column)) {
            sql = u'(' + out.sql + QStringLiteral(" = ") + right.sql + QStringLiteral(" AND ") + sql + u')';
            // Both sides now appear twice: their parameters are bound twice, in order.
            auto& p = m_out.m_parameters;
            const std::vector<CompiledFilter::Parameter> again(p.begin() + static_cast<std::ptrdiff_t>(firstParameter), p.end());
            p.insert(p.end(), again.begin(), again.end());
        }
        out = {sql, Type::Boolean, 0};
        return true;
    }

    bool sum(Operand& out)
    {
        if (!factor(out))
            return false;
        while (m_token.kind == TokenKind::Operator && (m_token.text == u'+' || m_token.text == u'-')) {
            const QString op = m_token.text;
            advance();
            Operand right;
            if (!factor(right))
                return false;
            if (out.type != Type::Number || right.type != Type::Number) {
                m_error = QStringLiteral("'%1' needs numbers").arg(op);
                return false;
            }
            align(out, right);
            out = {u'(' + out.sql + u' ' + op + u' ' + right.sql + u')', Type::Number, out.places};
        }
        return true;
    }

    // The server infers an untyped parameter's type from its neighbour, and
    // would take a number beside a small literal for a 32-bit one: each says
    // its type there.
    QString parameter(CompiledFilter::Parameter p)
    {
        const bool text = std::holds_alternative<QString>(p.fixed);
        m_out.m_parameters.push_back(std::move(p));
        if (!m_server)
            return QStringLiteral("?");
        return text ? QStringLiteral("CAST(? AS text)") : QStringLiteral("CAST(? AS bigint)");
    }

    bool factor(Operand& out)
    {
        switch (m_token.kind) {
        case TokenKind::Number: {
            const auto d = Decimal::parse(m_token.text);
            if (!d) {
                m_error = QStringLiteral("bad number '%1'").arg(m_token.text);
                return false;
            }
            out = {parameter({d->units(), {}, 0}), Type::Number, d->places()};
            advance();
            return true;
        }
        case TokenKind::Text: {
            QString t = m_token.text;
            while (t.endsWith(u' '))
                t.chop(1);
            out = {parameter({t, {}, 0}), Type::Text, 0};
            advance();
            return true;
        }
        case TokenKind::LeftParen: {
            advance();
            if (!expression(out))
                return false;
            if (m_token.kind != TokenKind::RightParen) {
                m_error = QStringLiteral("missing ')'");
                return false;
            }
            advance();
            return true;
        }
        case TokenKind::Operator:
            if (m_token.text == u'-') {
                advance();
                if (!factor(out))
                    return false;
                if (out.type != Type::Number) {
                    m_error = QStringLiteral("'-' needs a number");
                    return false;
                }
                out.sql = QStringLiteral("(-") + out.sql + u')';
                return true;
            }
            break;
        case TokenKind::Name: return name(out);
        default: break;
        }
        if (m_error.isEmpty())
            m_error = m_token.kind == TokenKind::End ? QStringLiteral("expression ends too early")
                                                     : QStringLiteral("unexpected '%1'").arg(m_token.text);
        return false;
    }

    bool name(Operand& out)
    {
        const QString word = m_token.text;
        advance();
        if (word.compare(QStringLiteral("UPPER"), Qt::CaseInsensitive) == 0 && m_token.kind == TokenKind::LeftParen) {
            advance();
            Operand inner;
            if (!expression(inner))
                return false;
            if (m_token.kind != TokenKind::RightParen || inner.type != Type::Text) {
                m_error = QStringLiteral("UPPER takes one text");
                return false;
            }
            advance();
            // SQLite's upper() changes ASCII letters only; the server's does so in the "C" collation.
            out = {QStringLiteral("UPPER(") + inner.sql + (m_server ? QStringLiteral(" COLLATE \"C\")") : QStringLiteral(")")), Type::Text,
                   0};
            return true;
        }
        const int field = m_def.fieldIndex(word);
        if (field >= 0) {
            const FieldDef& f = m_def.fields[static_cast<std::size_t>(field)];
            const bool text = f.type == FieldType::String || f.type == FieldType::Memo;
            m_out.m_fields.push_back(field);
            // A unary plus keeps the value and the column's collation but no index seeks on it.
            const bool plus = !m_server && std::find(m_unindexed.begin(), m_unindexed.end(), field) != m_unindexed.end();
            out = {(plus ? QStringLiteral("+") : QString()) + schema::quoted(f.column()), text ? Type::Text : Type::Number,
                   f.type == FieldType::Decimal ? f.places : 0, true};
            return true;
        }
        if (const FilterBindings::Getter* getter = m_names.find(word)) {
            const FieldValue sample = (*getter)();
            if (std::holds_alternative<QString>(sample)) {
                out = {parameter({QString(), *getter, 0}), Type::Text, 0};
            } else {
                const int places = std::holds_alternative<Decimal>(sample) ? std::get<Decimal>(sample).places() : 0;
                out = {parameter({std::int64_t{0}, *getter, places}), Type::Number, places};
            }
            return true;
        }
        m_error = QStringLiteral("unknown name '%1'").arg(word);
        return false;
    }

    const QString m_text;
    const FileDef& m_def;
    const FilterBindings& m_names;
    CompiledFilter& m_out;
    const std::vector<int>& m_unindexed;
    const bool m_server;
    qsizetype m_pos = 0;
    Token m_token;
    QString m_error;
};

FileError compileFilter(const QString& expression, const FileDef& def, const FilterBindings& names, CompiledFilter& out,
                        const std::vector<int>& unindexed, schema::Dialect dialect)
{
    out = CompiledFilter();
    if (expression.trimmed().isEmpty())
        return FileError::success();
    return FilterCompiler(expression, def, names, out, unindexed, dialect).run();
}

} // namespace fundora::platform
