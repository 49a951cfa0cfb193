#include "platform/MessageService.h"
#include "platform/Runtime.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora::platform;

namespace {

class MessageServiceTest : public fundora::test::ProgramTest {};

TEST_F(MessageServiceTest, ScriptedServiceAnswersInOrderAndRecords)
{
    messages().answer(Button::No);
    messages().answer(Button::Retry);
    Message m{QStringLiteral("T"), QStringLiteral("first"), MessageIcon::Question, Button::Yes | Button::No, Button::Yes};
    EXPECT_EQ(MessageService::current().show(m), Button::No);
    m.text = QStringLiteral("second");
    EXPECT_EQ(MessageService::current().show(m), Button::Retry);
    EXPECT_EQ(shownTexts(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(messages().unexpected(), 0);
}

TEST_F(MessageServiceTest, UnscriptedMessageGetsTheDefaultButtonAndIsCounted)
{
    const Message m{QStringLiteral("T"), QStringLiteral("x"), MessageIcon::Exclamation, Button::Retry | Button::Cancel, Button::Cancel};
    EXPECT_EQ(MessageService::current().show(m), Button::Cancel);
    EXPECT_EQ(messages().unexpected(), 1);
    EXPECT_EQ(defaultButtonOf({QString(), QString(), MessageIcon::None, Button::Yes | Button::No, 0}), Button::Yes);
}

TEST_F(MessageServiceTest, StopLetsTheUserGoOnOrEnd)
{
    QString haltedWith = QStringLiteral("never");
    Runtime::setHaltHandler([&](const QString& text) { haltedWith = text; });
    messages().answer(Button::No);
    EXPECT_FALSE(Runtime::stop(QStringLiteral("Record not written")));
    EXPECT_FALSE(Runtime::halted());
    EXPECT_TRUE(messages().shown().front().text.startsWith(QStringLiteral("Record not written")));
    messages().answer(Button::Yes);
    EXPECT_TRUE(Runtime::stop(QStringLiteral("Again")));
    EXPECT_TRUE(Runtime::halted());
    EXPECT_EQ(haltedWith, QString());
}

TEST_F(MessageServiceTest, HaltShowsItsTextAndCallsTheHandler)
{
    QString haltedWith;
    Runtime::setHaltHandler([&](const QString& text) { haltedWith = text; });
    messages().answer(Button::Ok);
    Runtime::halt(QStringLiteral("Invalid Key!"));
    EXPECT_EQ(haltedWith, QStringLiteral("Invalid Key!"));
    EXPECT_EQ(Runtime::haltText(), QStringLiteral("Invalid Key!"));
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("Invalid Key!")});
}

} // namespace
