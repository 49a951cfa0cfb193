// A server that wants a password: asked of the program's source only when
// libpq's own places give none, again after a refusal, and the dialog that
// asks the user.
#include "platform/ui/ServerPassword.h"
#include "platform/server/ServerConnection.h"
#include "tests/support/Mnemonics.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

using namespace fundora;
using platform::ServerConnection;

namespace {

// The tests' server trusts every role on its socket but this one (scripts/test-server.sh).
QString passwordRoleUri()
{
    QString uri = QStringLiteral(FUNDORA_TEST_SERVER);
    return uri.replace(QStringLiteral("user=fundora_test"), QStringLiteral("user=fundora_password"));
}

struct Asked {
    QString shownUri;
    bool again = false;
};

} // namespace

TEST(ServerPasswordTest, TheSourceIsAskedAgainAfterARefusalAndOnceASession)
{
    std::vector<Asked> asked;
    std::vector<std::optional<QString>> answers{QStringLiteral("wrong horse"), QStringLiteral("right horse battery")};
    ServerConnection::setPasswordSource([&](const QString& shownUri, bool again) {
        asked.push_back({shownUri, again});
        const std::optional<QString> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    auto unset = qScopeGuard([] { ServerConnection::setPasswordSource({}); });
    ServerConnection c(passwordRoleUri());
    ASSERT_TRUE(c.connect().ok());
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].again);
    EXPECT_TRUE(asked[1].again) << "said that the first was refused";
    EXPECT_EQ(asked[0].shownUri, c.shownUri());
    // A new session of the same connection takes the password it was given.
    c.disconnect();
    ASSERT_TRUE(c.connect().ok());
    EXPECT_EQ(asked.size(), 2u);

    // Declined: an error that says so, and nothing more is asked.
    answers = {std::nullopt};
    ServerConnection declined(passwordRoleUri());
    const platform::FileError e = declined.connect();
    EXPECT_TRUE(e.text.endsWith(QStringLiteral("asked for a password, and none was given"))) << e.text;
    EXPECT_EQ(asked.size(), 3u);
    // A server that wants none never asks.
    ServerConnection trusted{QStringLiteral(FUNDORA_TEST_SERVER)};
    EXPECT_TRUE(trusted.connect().ok());
    EXPECT_EQ(asked.size(), 3u);
}

TEST(ServerPasswordTest, TheDialogTakesThePasswordHiddenAndTheKeepingFromTheKeys)
{
    platform::ServerPasswordDialog dialog(QStringLiteral("postgresql://alice@db/household"), true);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* field = dialog.findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    EXPECT_EQ(QApplication::focusWidget(), field);
    bool refusedSaid = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        refusedSaid = refusedSaid || label->text() == QStringLiteral("The server refused that password.");
    EXPECT_TRUE(refusedSaid);
    QTest::keyClicks(field, QStringLiteral("s3cret words"));
    EXPECT_TRUE(test::mnemonicClashes(dialog).isEmpty()) << test::mnemonicClashes(dialog).join(u'\n');
    // The keeping is next in the tab order, ticked with the space bar.
    QTest::keyClick(field, Qt::Key_Tab);
    ASSERT_TRUE(qobject_cast<QCheckBox*>(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.password(), QStringLiteral("s3cret words"));
    EXPECT_TRUE(dialog.keep());

    platform::ServerPasswordDialog cancelled(QStringLiteral("service=household"), false);
    cancelled.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cancelled));
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_FALSE(cancelled.keep());
}
