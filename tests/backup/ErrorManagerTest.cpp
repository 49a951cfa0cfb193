#include "backup/ErrorManager.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora;
using backup::ErrorManager;
namespace Button = platform::Button;

namespace {

class ErrorManagerTest : public test::ProgramTest {};

TEST_F(ErrorManagerTest, SubstitutesTheCurrentErrorFileAndField)
{
    ErrorManager m;
    m.setFile(QStringLiteral("CFG"));
    m.setError(platform::FileError::of(platform::ErrorCode::RecordNotFound));
    EXPECT_EQ(m.text(1), QStringLiteral("Error: (Record Not Found (35)) attempting to access a record from the CFG file.  Returning to "
                                        "previous window."));
    m.setError(platform::FileError::fromErrno(ENOSPC));
    EXPECT_EQ(m.text(10), QStringLiteral("Error: (No space left on device (28)) creating CFG."));
    m.setField(QStringLiteral("CFG:DRIVE"));
    m.setMessage(QStringLiteral("1 and 2"));
    EXPECT_EQ(m.text(16), QStringLiteral("The value of CFG:DRIVE must be between 1 and 2."));
}

TEST_F(ErrorManagerTest, LaterEntriesReplaceEarlierOnesAndPreviousRefersBack)
{
    ErrorManager m;
    m.add({22, 5, QStringLiteral("No Records"), QStringLiteral("Nothing here. %Previous")});
    EXPECT_EQ(m.text(22), QStringLiteral("Nothing here. There are no records available to process."));
    m.setFile(QStringLiteral("X"));
    m.setError(platform::FileError::fromErrno(EACCES));
    m.add({50, 5, QStringLiteral("T"), QStringLiteral("%FileError (%FileErrorCode) on %File")});
    EXPECT_EQ(m.text(50), QStringLiteral("Permission denied (13) on X")) << "%File does not eat the start of %FileError";
    EXPECT_EQ(m.text(99), QString());
}

TEST_F(ErrorManagerTest, LevelsDecideWhatTheCallerDoes)
{
    ErrorManager m;
    messages().answer(Button::No);
    EXPECT_EQ(m.raise(8), ErrorManager::Outcome::GiveUp);
    messages().answer(Button::Yes);
    EXPECT_EQ(m.raise(9), ErrorManager::Outcome::GoOn);
    messages().answer(Button::Ok);
    EXPECT_EQ(m.raise(22), ErrorManager::Outcome::Stay);
    messages().answer(Button::Ok);
    EXPECT_EQ(m.raise(39), ErrorManager::Outcome::Ended) << "level 2 is treated as level 3";
    const auto& shown = messages().shown();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].title, QStringLiteral("File Usage Error"));
    EXPECT_EQ(shown[shown.size() - 2].text,
              QStringLiteral("Attempt to use file () before it was opened  Press OK to end this application"));
    EXPECT_TRUE(platform::Runtime::halted());
}

TEST_F(ErrorManagerTest, PackedTableRoundTrips)
{
    QVector<ErrorManager::Entry> entries{{1, 5, QStringLiteral("A"), QStringLiteral("first")}, {300, 1, QStringLiteral("B"), QString()}};
    const QByteArray packed = ErrorManager::pack(entries);
    EXPECT_EQ(packed.left(2), QByteArray("\x02\x00", 2));
    const auto back = ErrorManager::unpack(packed);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[1].number, 300);
    EXPECT_EQ(back[0].text, QStringLiteral("first"));
    EXPECT_TRUE(ErrorManager::unpack(packed.left(5)).size() < 2) << "a cut table gives what is whole";
}

} // namespace
