#include "core/dialer/PhoneDialer.h"
#include "core/dialer/DialerPlan.h"
#include "platform/Telephony.h"
#include "tests/support/TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace fundora;
using namespace fundora::core;

namespace {

int charsAsUnits(const QString& text)
{
    QString t = text;
    t.remove(u'&');
    return static_cast<int>(t.size()) * 4; // a character is four dialog units wide
}

DialRequest request(const char* n1, const char* n2 = "", const char* n3 = "", const char* l1 = "", const char* l2 = "", const char* l3 = "")
{
    DialRequest r;
    r.numbers = {QString::fromLatin1(n1), QString::fromLatin1(n2), QString::fromLatin1(n3)};
    r.labels = {QString::fromLatin1(l1), QString::fromLatin1(l2), QString::fromLatin1(l3)};
    return r;
}

TEST(DialerPlan, RowTextsAndAccessKeys)
{
    const DialRequest r = request("1 800 555 1234", "1 800 555 9876", "", "Balance", "Bank lost card");
    const SelectionLayout l = layoutSelection(r, {0, 0}, &charsAsUnits);
    EXPECT_EQ(l.rowTexts[0], QStringLiteral("&Balance:  1 800 555 1234"));
    // "Bank lost card" starts with B like row 1: its key is the first later letter differing from b.
    EXPECT_EQ(l.rowTexts[1], QStringLiteral("B&ank lost card:  1 800 555 9876"));
    EXPECT_EQ(l.keys[1], QChar(u'a'));
}

TEST(DialerPlan, ThirdKeyDiffersFromBothEarlierOnes)
{
    const auto keys = accessKeys({QStringLiteral("5551234"), QStringLiteral("5 5 5 9"), QStringLiteral("599 1")});
    EXPECT_EQ(keys[0], QChar(u'5'));
    EXPECT_EQ(keys[1], QChar(u'9'));
    EXPECT_EQ(keys[2], QChar(u'1'));
}

TEST(DialerPlan, WindowShrinksToTheRowsItNeeds)
{
    using namespace DialerDesign;
    const QPoint origin(100, 100);
    // Two numbers: row 3 hidden, 14 units less.
    SelectionLayout two = layoutSelection(request("5551234", "5559876"), origin, &charsAsUnits);
    EXPECT_TRUE(two.rowVisible[0] && two.rowVisible[1]);
    EXPECT_FALSE(two.rowVisible[2]);
    EXPECT_EQ(two.window.height(), WindowHeight - 14);
    EXPECT_EQ(two.cancel.y(), CancelY - 14);
    EXPECT_EQ(two.window.y(), 100 + 7) << "moved down by half, so it stays centred";
    // One number in row 1 only (the selection would not be shown, but the layout still holds).
    SelectionLayout one = layoutSelection(request("5551234"), origin, &charsAsUnits);
    EXPECT_FALSE(one.rowVisible[1] || one.rowVisible[2]);
    EXPECT_EQ(one.window.height(), WindowHeight - 28);
    // Row 2 blank, row 3 given: row 3 moves up into row 2's place.
    SelectionLayout gap = layoutSelection(request("5551234", "", "5550000"), origin, &charsAsUnits);
    EXPECT_FALSE(gap.rowVisible[1]);
    EXPECT_EQ(gap.rowY[2], RowY[1]);
    EXPECT_EQ(gap.window.height(), WindowHeight - 14);
    // All three: no shrinking.
    SelectionLayout three = layoutSelection(request("1", "2", "3"), origin, &charsAsUnits);
    EXPECT_EQ(three.window.height(), WindowHeight);
}

TEST(DialerPlan, WidthFollowsTheWidestPromptButNotBelow100)
{
    using namespace DialerDesign;
    SelectionLayout narrow = layoutSelection(request("1", "2"), {0, 0}, &charsAsUnits);
    EXPECT_EQ(narrow.window.width(), MinimumWidth);
    EXPECT_EQ(narrow.window.x(), (WindowWidth - MinimumWidth) / 2);
    EXPECT_EQ(narrow.cancel.x(), MinimumWidth - CancelWidth - 4);
    const char* longNumber = "(800) 555-1234 extension 5678 ask for Pat";
    SelectionLayout wide = layoutSelection(request(longNumber, "2"), {0, 0}, &charsAsUnits);
    EXPECT_EQ(wide.window.width(), PromptX + charsAsUnits(QString::fromLatin1(longNumber)) + 6);
}

TEST(DialerPlan, DialStringJoinsPrefixNumberAndSuffixWithinItsLimit)
{
    DialRequest r = request("5551234   ");
    r.prefix = QStringLiteral("9,");
    r.suffix = QStringLiteral(" ");
    EXPECT_EQ(dialString(r, 0), QStringLiteral("9,5551234"));
    r.numbers[0] = QString(80, u'1');
    EXPECT_EQ(dialString(r, 0).size(), 70);
    r.labels[0] = QString(50, u'L');
    EXPECT_EQ(calledParty(r, 0).size(), 40);
}

// A dialer whose windows are answered by the test.
class ScriptedDialer : public PhoneDialer {
public:
    int row = -1;
    std::optional<QString> verified;
    int selections = 0;
    QString shownForVerify;

protected:
    int chooseRow(const DialRequest&) override
    {
        ++selections;
        return row;
    }
    std::optional<QString> verify(const QString&, const QString& dial) override
    {
        shownForVerify = dial;
        return verified ? verified : std::optional<QString>(dial);
    }
};

class PhoneDialerTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        platform::Telephony::setHandler([this](const QString& d, const QString&) {
            dialled << d;
            return 0;
        });
    }
    void TearDown() override
    {
        platform::Telephony::setHandler(nullptr);
        ProgramTest::TearDown();
    }
    QStringList dialled;
};

TEST_F(PhoneDialerTest, OneNumberDialsWithoutTheSelectionWindow)
{
    ScriptedDialer d;
    EXPECT_EQ(d.dial(request("(800) 555-1234")), 1);
    EXPECT_EQ(d.selections, 0);
    EXPECT_EQ(dialled, QStringList{QStringLiteral("(800) 555-1234")});
}

TEST_F(PhoneDialerTest, NoNumberDoesNothing)
{
    ScriptedDialer d;
    EXPECT_EQ(d.dial(request("   ")), 0);
    EXPECT_TRUE(dialled.isEmpty());
}

TEST_F(PhoneDialerTest, EditedStringIsWhatIsDialled)
{
    ScriptedDialer d;
    d.row = 1;
    d.verified = QStringLiteral("9,18005559876");
    DialRequest r = request("", "18005559876");
    EXPECT_EQ(d.dial(r), 1);
    EXPECT_EQ(d.selections, 1) << "a second number asks, even with the first one blank";
    EXPECT_EQ(d.shownForVerify, QStringLiteral("18005559876"));
    EXPECT_EQ(dialled, QStringList{QStringLiteral("9,18005559876")});
    EXPECT_EQ(r.numbers[1], QStringLiteral("18005559876")) << "the request itself is untouched";
}

TEST_F(PhoneDialerTest, CancelOrARefusedCallGivesZero)
{
    ScriptedDialer cancelled;
    cancelled.row = -1;
    EXPECT_EQ(cancelled.dial(request("1", "2")), 0);
    platform::Telephony::setHandler([](const QString&, const QString&) { return 7; });
    ScriptedDialer refused;
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(refused.dial(request("5551234")), 0);
    ASSERT_EQ(shownTexts().size(), 1) << "a call nothing takes is said, not only written to standard error";
    EXPECT_TRUE(shownTexts().first().contains(QStringLiteral("No program on this computer places calls"))) << shownTexts().first();
    EXPECT_TRUE(shownTexts().first().contains(QStringLiteral("5551234")));
}

TEST(DialerPlan, TheVerifyPromptNamesTheNumberEvenWithoutALabel)
{
    DialRequest r;
    r.numbers = {QStringLiteral("5551234"), QStringLiteral("5559876"), QString()};
    r.spoken = {QStringLiteral("Balance information"), QStringLiteral("Lost card"), QString()};
    EXPECT_EQ(core::verifyDescription(r, 1), QStringLiteral("Lost card:"));
    r.spoken = {};
    EXPECT_EQ(core::verifyDescription(r, 0), QStringLiteral("Number to dial:"));
}

TEST_F(PhoneDialerTest, SelectionWindowShowsOnlyTheRowsNeeded)
{
    SelectNumberDialog dialog(request("5551234", "5559876", "", "Balance", "Lost card"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Number..."));
    EXPECT_FALSE(dialog.rowButton(0)->isHidden());
    EXPECT_FALSE(dialog.rowButton(1)->isHidden());
    EXPECT_TRUE(dialog.rowButton(2)->isHidden());
    EXPECT_EQ(dialog.rowButton(1)->accessibleName(), QStringLiteral("Lost card:  5559876"));
    dialog.rowButton(1)->click();
    EXPECT_EQ(dialog.chosenRow(), 1);
}

TEST_F(PhoneDialerTest, AScreenReaderHearsWhichNumberIsWhich)
{
    // The accounts list passes no labels: the window shows the bare numbers.
    DialRequest r = request("5551234", "5559876");
    r.spoken = {QStringLiteral("Balance information"), QStringLiteral("Lost card"), QString()};
    SelectNumberDialog dialog(r);
    EXPECT_EQ(QString(dialog.layout().rowTexts[1]).remove(u'&'), QStringLiteral("5559876"));
    EXPECT_EQ(dialog.rowButton(0)->accessibleName(), QStringLiteral("Balance information: 5551234"));
    EXPECT_EQ(dialog.rowButton(1)->accessibleName(), QStringLiteral("Lost card: 5559876"));
    VerifyNumberDialog verify(QString(), QStringLiteral("5551234"));
    EXPECT_EQ(verify.entry()->accessibleName(), QStringLiteral("Number to dial"));
}

TEST(Telephony, TelAddressKeepsOnlyWhatCanBeDialled)
{
    EXPECT_EQ(platform::Telephony::telUrl(QStringLiteral("9, (800) 555-1234 #7")), QStringLiteral("tel:9,8005551234#7"));
}

} // namespace
