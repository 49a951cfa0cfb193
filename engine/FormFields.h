#pragma once

#include "platform/Decimal.h"
#include "platform/pictures/Picture.h"
#include "platform/store/FileDefinition.h"

#include <QString>

#include <cstdint>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace fundora::engine {

// One entry of a form, in tab order: how it shows its value, how it takes
// what was typed back (false: refused, and `refusal` says what is accepted),
// and the form's own check of the value (false: a warning was shown).
struct FormField {
    QWidget* control = nullptr;
    std::function<void()> show;
    std::function<bool()> take;
    std::function<bool()> check;
    std::function<QString()> refusal;
    // Whether the control holds something other than what it last showed.
    std::function<bool()> edited;
};

// Entries bound to a member of the form's own copy of its record through a
// display picture. Sizes and limits come from the field's definition in the
// record layout, so an entry never accepts what the file would refuse.

// A text of the field's size ("s<size>" unless another picture is given).
FormField textEntry(QLineEdit* edit, QString& member, const platform::FieldDef& field, const QString& picture = {});
// A decimal: refused beyond the field's digits and places ("At most 99,999.99").
FormField decimalEntry(QLineEdit* edit, platform::Decimal& member, const platform::FieldDef& field, const QString& picture);
// A whole number shown through a pattern (telephone numbers in a DECIMAL(6,0)).
FormField patternEntry(QLineEdit* edit, platform::Decimal& member, const platform::FieldDef& field, const QString& picture);
// A day number.
FormField dateEntry(QLineEdit* edit, std::int32_t& member, const QString& picture = QStringLiteral("d2"));
// A SHORT through an entry template ("k<#k").
FormField shortEntry(QLineEdit* edit, std::int16_t& member, const QString& picture);

// A free text of lines (a MEMO field): stored with carriage return and line
// feed between lines, at most the field's size counted as stored; a longer
// text is refused, never cut.
FormField memoEntry(QPlainTextEdit* edit, QString& member, const platform::FieldDef& field);
// The stored form of a text as the control holds it, and back.
QString storedMemoText(const QString& shown);
QString shownMemoText(const QString& stored);

// The largest value a DECIMAL field holds, as the user reads it ("99,999.99").
QString largestValueText(const platform::FieldDef& field);

} // namespace fundora::engine
