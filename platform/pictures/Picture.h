#pragma once

#include "platform/Decimal.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <variant>

namespace fundora::platform {

// A value shown through a picture: a whole number (also day and time numbers),
// a decimal, or a text.
using PictureValue = std::variant<std::int64_t, Decimal, QString>;

// Numbers: n or N, then in this order and all optional: "$" (leading dollar
// sign), "(" or "-" (negative in parentheses / leading minus), "_" (no thousands
// separators) or "0" (leading zeros instead of blanks), the width, "." and the
// places (a doubled ".." reads as one), ")" or "-" (closing parenthesis /
// trailing minus), "B" (zero shows blank). Thousands are grouped with ",".
struct NumberPicture {
    bool currency = false;
    enum class Negative { LeadingMinus, Parentheses, TrailingMinus } negative = Negative::LeadingMinus;
    bool grouping = true;
    bool zeroFill = false;
    int width = 0;
    int places = 0;
    bool blankWhenZero = false;

    QString format(const Decimal& value) const;
    std::optional<Decimal> deformat(QStringView text) const;
};

// Dates (d or D): 1 mm/dd/yy, 2 mm/dd/yyyy, 3 "Mon dd, yyyy", 4 "Month d, yyyy",
// 17 the system's short date. Day 0 shows blank.
struct DatePicture {
    int style = 2;
    QString format(std::int64_t day) const;
    // Accepts m/d/y with "/", "-" or "." between (two-digit years fall within
    // the 80 years before and 20 after `today`), and the long forms. Blank gives 0.
    std::optional<std::int64_t> deformat(QStringView text, std::int64_t today = 0) const;
};

// The year a two-digit year (0 to 99) stands for: the one within the 80 years
// before and the 19 after `today`'s year ("49" in 2026 is 1949, "30" is 2030).
// The one rule of every date typed or imported with two digits for its year.
int yearOfTwoDigits(int twoDigits, std::int64_t today);

// Times (t or T): 1 hh:mm (24 hours), 3 h:mm AM/PM, 4 hh:mm:ss (24 hours).
// Time 0 shows blank.
struct TimePicture {
    int style = 1;
    QString format(std::int64_t time) const;
    std::optional<std::int64_t> deformat(QStringView text) const;
};

// p...p: the digits of a whole number fill the # of the pattern from the right;
// unfilled places show blank, and no number (0) shows nothing. Entry takes the
// digits of whatever is typed.
struct PatternPicture {
    QString pattern;
    QString format(std::int64_t value) const;
    std::optional<std::int64_t> deformat(QStringView text) const;
};

// k...k: an entry template. # is a required digit, < an optional digit, | ends
// the part that must be filled (what follows is all there or all missing);
// anything else is a literal. Values are kept as typed.
struct TemplatePicture {
    QString pattern;
    QString format(const QString& value) const;
    std::optional<QString> deformat(QStringView text) const;
};

// sN: a text of N characters.
struct StringPicture {
    int width = 0;
    QString format(const QString& value) const;
    std::optional<QString> deformat(QStringView text) const;
};

class Picture {
public:
    using Form = std::variant<StringPicture, NumberPicture, DatePicture, TimePicture, PatternPicture, TemplatePicture>;

    // nullopt when `text` is not a picture this module knows.
    static std::optional<Picture> parse(QStringView text);

    const Form& form() const { return m_form; }
    bool isDate() const { return std::holds_alternative<DatePicture>(m_form); }
    QString text() const { return m_text; }

    QString format(const PictureValue& value) const;
    // Checks an entry against the picture: the stored value, or nullopt when it
    // must be refused. Numbers give a Decimal, dates, times and patterns a whole
    // number, texts and templates a QString.
    std::optional<PictureValue> deformat(QStringView text) const;
    // What an entry through this picture accepts, in words for the user
    // ("Enter a date as mm/dd/yyyy").
    QString entryHint() const;

private:
    Picture(QString text, Form form) : m_text(std::move(text)), m_form(std::move(form)) {}
    QString m_text;
    Form m_form;
};

// Convenience: format with a picture given as text; an unknown picture shows the value plainly.
QString formatPicture(const PictureValue& value, QStringView picture);

} // namespace fundora::platform
