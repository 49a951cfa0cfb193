#include "engine/FormFields.h"

#include "core/PopupKeys.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include <memory>

namespace fundora::engine {

using platform::Decimal;
using platform::PictureValue;

namespace {

// The entry through `pictureText`: `get` gives the value to show, `set` takes
// an accepted one (false: refused although the picture let it through).
FormField pictured(QLineEdit* edit, const QString& pictureText, std::function<PictureValue()> get,
                   std::function<bool(const PictureValue&)> set, QString refusal = {})
{
    const auto picture = platform::Picture::parse(pictureText);
    Q_ASSERT(picture);
    edit->setProperty(core::PictureProperty, pictureText);
    if (const auto* s = std::get_if<platform::StringPicture>(&picture->form()))
        edit->setMaxLength(s->width);
    FormField f;
    f.control = edit;
    f.show = [edit, picture, get] {
        edit->setText(picture->format(get()).trimmed());
        edit->setModified(false);
    };
    f.take = [edit, picture, set] {
        const auto value = picture->deformat(edit->text());
        return value && set(*value);
    };
    const QString hint = refusal.isEmpty() ? picture->entryHint() : refusal;
    f.refusal = [hint] { return hint; };
    f.edited = [edit] { return edit->isModified(); };
    return f;
}

Decimal decimalOf(const PictureValue& v)
{
    if (const auto* d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return Decimal::fromInteger(*i);
    return Decimal();
}

} // namespace

QString largestValueText(const platform::FieldDef& field)
{
    const QString whole = QString(field.size - field.places, u'9');
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += u',';
        grouped += whole[i];
    }
    return field.places > 0 ? grouped + u'.' + QString(field.places, u'9') : grouped;
}

FormField textEntry(QLineEdit* edit, QString& member, const platform::FieldDef& field, const QString& picture)
{
    return pictured(
        edit, picture.isEmpty() ? QStringLiteral("s%1").arg(field.size) : picture, [&member] { return PictureValue{member}; },
        [&member, size = field.size](const PictureValue& v) {
            const QString text = std::get<QString>(v);
            if (text.size() > size)
                return false;
            member = text;
            return true;
        },
        // A picture says what it accepts ("##### or #####-####"); a plain text only has a length.
        picture.isEmpty() ? QStringLiteral("At most %1 characters").arg(field.size) : platform::Picture::parse(picture)->entryHint());
}

QString storedMemoText(const QString& shown)
{
    QString stored = shown;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    stored.replace(u'\n', QStringLiteral("\r\n"));
    return stored;
}

QString shownMemoText(const QString& stored)
{
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

FormField memoEntry(QPlainTextEdit* edit, QString& member, const platform::FieldDef& field)
{
    FormField f;
    f.control = edit;
    auto shown = std::make_shared<QString>();
    f.show = [edit, &member, shown] {
        *shown = shownMemoText(member);
        edit->setPlainText(*shown);
    };
    f.take = [edit, &member, size = field.size] {
        const QString stored = storedMemoText(edit->toPlainText());
        if (stored.size() > size)
            return false;
        member = stored;
        return true;
    };
    f.refusal = [edit, size = field.size] {
        return QStringLiteral("At most %1 characters (line breaks count as two); this text has %2")
            .arg(QLocale(QLocale::English).toString(size))
            .arg(QLocale(QLocale::English).toString(storedMemoText(edit->toPlainText()).size()));
    };
    f.edited = [edit, shown] { return edit->toPlainText() != *shown; };
    return f;
}

FormField decimalEntry(QLineEdit* edit, Decimal& member, const platform::FieldDef& field, const QString& picture)
{
    // What is accepted, with an example: digits with an optional sign and point, no letters or percent sign.
    const QString example = field.places > 0 ? QStringLiteral("1,250.") + QString(field.places, u'0') : QStringLiteral("1,250");
    const QString hint =
        QStringLiteral("Enter an amount of at most %1, written like %2 or -%2 (no letters or %)").arg(largestValueText(field), example);
    return pictured(
        edit, picture, [&member] { return PictureValue{member}; },
        [&member, field](const PictureValue& v) {
            const Decimal d = decimalOf(v).rounded(field.places);
            if (!d.fits(field.size, field.places))
                return false;
            member = d;
            return true;
        },
        hint);
}

FormField patternEntry(QLineEdit* edit, Decimal& member, const platform::FieldDef& field, const QString& picture)
{
    const QString hint =
        platform::Picture::parse(picture)->entryHint() +
        QStringLiteral(" (at most %1 digits; no letters, the blanks and signs of the number are optional)").arg(field.size);
    FormField f = pictured(
        edit, picture, [&member] { return PictureValue{member.integerPart()}; },
        [&member, field](const PictureValue& v) {
            const Decimal d = Decimal::fromInteger(std::get<std::int64_t>(v));
            if (!d.fits(field.size, 0))
                return false;
            member = d;
            return true;
        },
        hint);
    // The picture takes the digits and passes over the rest: a letter ("800-55A-1234") would vanish silently.
    f.take = [edit, take = f.take] {
        for (QChar c : edit->text())
            if (!c.isDigit() && !QStringView(u" ()-+./").contains(c))
                return false;
        return take();
    };
    return f;
}

FormField dateEntry(QLineEdit* edit, std::int32_t& member, const QString& picture)
{
    return pictured(
        edit, picture, [&member] { return PictureValue{std::int64_t{member}}; },
        [&member](const PictureValue& v) {
            const std::int64_t day = std::get<std::int64_t>(v);
            if (day < 0 || day > std::numeric_limits<std::int32_t>::max())
                return false;
            member = static_cast<std::int32_t>(day);
            return true;
        });
}

FormField shortEntry(QLineEdit* edit, std::int16_t& member, const QString& picture)
{
    return pictured(
        edit, picture, [&member] { return PictureValue{member == 0 ? QString() : QString::number(member)}; },
        [&member](const PictureValue& v) {
            bool ok = true;
            const QString text = std::get<QString>(v).trimmed();
            const int n = text.isEmpty() ? 0 : text.toInt(&ok);
            if (!ok || n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
                return false;
            member = static_cast<std::int16_t>(n);
            return true;
        });
}

} // namespace fundora::engine
