#include "core/PopupKeys.h"
#include "platform/Dates.h"
#include "tests/support/TestEnvironment.h"

#include <QLineEdit>

using namespace fundora;
using core::PopupKeys;

namespace {

class PopupKeysTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        PopupKeys::setPopups(
            [this](const QString& start) {
                calculatorStart = start;
                return calculatorResult;
            },
            [this](platform::DayNumber start) {
                calendarStart = start;
                return calendarResult;
            });
    }
    void TearDown() override
    {
        PopupKeys::setPopups(nullptr, nullptr);
        ProgramTest::TearDown();
    }
    static QLineEdit* field(QWidget& parent, const char* picture, const char* text)
    {
        auto* e = new QLineEdit(QString::fromLatin1(text), &parent);
        e->setProperty(core::PictureProperty, QString::fromLatin1(picture));
        return e;
    }

    QString calculatorStart, calculatorResult;
    platform::DayNumber calendarStart = -1;
    QString calendarResult;
};

TEST_F(PopupKeysTest, F6InADateFieldStartsOnItsDateAndPutsTheChosenDayBack)
{
    QWidget w;
    QLineEdit* date = field(w, "d2", "12/24/1999");
    calendarResult = QString::number(platform::dayNumberOf(2000, 1, 3));
    PopupKeys::calendarOn(date);
    EXPECT_EQ(calendarStart, platform::dayNumberOf(1999, 12, 24));
    EXPECT_EQ(date->text(), QStringLiteral("01/03/2000"));
}

TEST_F(PopupKeysTest, F6InAnEmptyDateFieldStartsWithNoDate)
{
    QWidget w;
    QLineEdit* date = field(w, "D2", "");
    calendarResult.clear();
    PopupKeys::calendarOn(date);
    EXPECT_EQ(calendarStart, 0);
    EXPECT_EQ(date->text(), QString()) << "no choice leaves the field as it was";
}

TEST_F(PopupKeysTest, F6InATextFieldInsertsTheShortDateAndStartsToday)
{
    QWidget w;
    QLineEdit* text = field(w, "s35", "Lunch");
    const platform::DayNumber day = platform::dayNumberOf(2026, 12, 1);
    calendarResult = QString::number(day);
    PopupKeys::calendarOn(text);
    EXPECT_EQ(calendarStart, clock().today());
    EXPECT_EQ(text->text(), QLocale::system().toString(platform::qDateOf(day), QLocale::ShortFormat));
}

TEST_F(PopupKeysTest, F5StartsFromTheFieldsValueAndPutsTheResultBackInItsPicture)
{
    QWidget w;
    QLineEdit* amount = field(w, "n10.2-", "1,250.00");
    calculatorResult = QStringLiteral("1312.5  ");
    PopupKeys::calculatorOn(amount);
    EXPECT_EQ(calculatorStart, QStringLiteral("1250.00"));
    EXPECT_EQ(amount->text(), QStringLiteral("1,312.50"));
    calculatorResult.clear();
    PopupKeys::calculatorOn(amount);
    EXPECT_EQ(amount->text(), QStringLiteral("1,312.50")) << "closing without a result changes nothing";
}

} // namespace
