#include "core/StandardWarning.h"
#include "core/DataFiles.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora;
using namespace fundora::core;
namespace Button = platform::Button;
using platform::FileError;
using platform::ErrorCode::ChangedElsewhere;

namespace {

FileError lockedError()
{
    return FileError::of(platform::ErrorCode::FileLocked);
}

// Every text of the catalogue, to the character, with ⟨err⟩ = "File Is Already Locked (32)".
TEST(StandardWarningCatalogue, EveryTextToTheCharacter)
{
    const FileError e = lockedError();
    const QString err = QStringLiteral("File Is Already Locked (32)");
    struct Case {
        int id;
        const char* first;
        const char* second;
        const char* title;
        QString text;
    };
    const std::vector<Case> cases = {
        {1, "ACCOUNTS.TPS", "", "Invalid File", "Error: (" + err + ") accessing ACCOUNTS.TPS.  Press OK to end this application."},
        {2, "ACCOUNTS.TPS", "", "Invalid Key", "ACCOUNTS.TPS key file is invalid.  Do you want to rebuild the key?"},
        {3, "ACCOUNTS.TPS", "", "Key Rebuild Error",
         "Error: (" + err + ") repairing key for ACCOUNTS.TPS.  Press OK to end this application."},
        {4, "ACCOUNTS.TPS", "", "File Creation Error", "Error: (" + err + ") creating ACCOUNTS.TPS.  Press OK to end this application."},
        {5, "ACCOUNTS.TPS", "", "File Creation Error",
         "Error: (" + err + ") opening created file:ACCOUNTS.TPS.  Press OK to end this application."},
        {10, "ACC:BillingDay", "1 and 28", "Range Error", "The value of ACC:BillingDay must be between 1 and 28."},
        {14, "", "", "Record Insert Error", "An error was experienced during the update of record.  Error: " + err + "."},
        {15, "Accounts", "", "Update Operation Error",
         "An error (" + err + ") was experienced when attempting to update a record from the file.  Probable Cause: Accounts."},
        {16, "", "", "Record Update Error", "An error was experienced changing this record.  Do you want to try to save again?"},
        {17, "Transactions", "", "Delete Operation Error",
         "An error (" + err + ") was experienced when attempting to delete a record from the file Transactions."},
        {18, "", "", "Record Update Error", "An error was experienced deleting this record.  Do you want to try to save again?"},
        {24, "ACC:SysIDKey", "", "Duplicate Key Error", "Adding this record creates a duplicate entry for the key:ACC:SysIDKey"},
        {25, "", "", "Auto Increment Error", "Attempts to automatically number this record have failed.  Error: " + err + "."},
        {30, "ACCOUNTS.TPS", "", "File Access Error", "File (ACCOUNTS.TPS) could not be opened.  Error: " + err + "."},
        {32, "", "", "Confirm Delete", "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record."},
        {34, "Delete", "Transactions", "Transaction Framing Error",
         "Error: (" + err + ") attempting to frame the delete transaction on Transactions.  Delete transaction cancelled."},
        {35, "Accounts", "", "Record Retrieval Error",
         "Error: (" + err + ") attempting to access a record from the Accounts file.  Returning to previous window."},
        {36, "", "", "View Open Error", "Error: (" + err + ") attempting to open the current VIEW. Filter and Range Limits ignored."},
        {38, "", "", "Record Was Not Updated",
         "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to "
         "recall your changes."},
    };
    for (const Case& c : cases) {
        const ComposedWarning w = composeWarning(c.id, QString::fromLatin1(c.first), QString::fromLatin1(c.second), e);
        EXPECT_EQ(w.message.title, QString::fromLatin1(c.title)) << c.id;
        EXPECT_EQ(w.message.text, c.text) << c.id;
    }
}

TEST(StandardWarningCatalogue, ButtonsDefaultsAndEndings)
{
    const FileError e = lockedError();
    auto w = [&](int id) { return composeWarning(id, QStringLiteral("X"), QStringLiteral("Y"), e); };
    EXPECT_EQ(w(2).message.buttons, Button::Yes | Button::No);
    EXPECT_EQ(w(2).message.defaultButton, Button::Yes);
    EXPECT_EQ(w(2).haltOnButton, Button::No);
    EXPECT_EQ(w(16).message.buttons, Button::Yes | Button::No | Button::Cancel);
    EXPECT_EQ(w(16).message.defaultButton, Button::Cancel);
    EXPECT_EQ(w(25).message.buttons, Button::Retry | Button::Cancel);
    EXPECT_EQ(w(32).message.buttons, Button::Ok | Button::Cancel);
    EXPECT_EQ(w(32).message.icon, platform::MessageIcon::Question);
    EXPECT_EQ(w(1).haltText, QStringLiteral("Invalid File!"));
    EXPECT_EQ(w(3).haltText, QStringLiteral("Error Rebuilding Key!"));
    EXPECT_EQ(w(4).haltText, QStringLiteral("File Creation Error!"));
    EXPECT_EQ(w(5).haltText, QStringLiteral("File Creation Error!"));
    EXPECT_TRUE(w(30).haltText.isEmpty()) << "the caller of 30 ends the program itself";
    EXPECT_TRUE(w(99).message.text.isEmpty());
}

TEST(StandardWarningCatalogue, TrailingBlanksAreRemovedFromTheInsertedTexts)
{
    const ComposedWarning w = composeWarning(10, QStringLiteral("ACC:BillingDay   "), QStringLiteral("1 and 28  "), {});
    EXPECT_EQ(w.message.text, QStringLiteral("The value of ACC:BillingDay must be between 1 and 28."));
}

TEST(StandardWarningCatalogue, UpdateWarningAfterAConflictIsTheShortText)
{
    const ComposedWarning conflict =
        composeWarning(15, QStringLiteral("Record Changed by Another Station"), {}, FileError::of(ChangedElsewhere));
    EXPECT_EQ(conflict.message.text, QStringLiteral("This record was changed by another station."));
    EXPECT_EQ(composeWarning(15, QStringLiteral("Accounts"), {}, {}).message.text,
              QStringLiteral("This record was changed by another station."));
}

TEST(StandardWarningCatalogue, FramingWarningForAnUpdateOnAccounts)
{
    const ComposedWarning w = composeWarning(34, QStringLiteral("Update"), QStringLiteral("Accounts"), lockedError());
    EXPECT_TRUE(w.message.text.contains(QStringLiteral("frame the update transaction on Accounts.")));
    EXPECT_TRUE(w.message.text.endsWith(QStringLiteral("Update transaction cancelled.")));
}

TEST(StandardWarningCatalogue, OperatingSystemErrorsShowTheSystemsTextAndNumber)
{
    const FileError e = FileError::fromErrno(ENOSPC);
    EXPECT_EQ(errorPart(e), QStringLiteral("No space left on device (28)"));
    FileError longOne = FileError::of(91, QString(300, u'x'));
    EXPECT_LE(errorPart(longOne).size(), 150);
}

class StandardWarningTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        files = std::make_unique<DataFiles>(dir());
    }
    void TearDown() override
    {
        files.reset();
        ProgramTest::TearDown();
    }
    std::unique_ptr<DataFiles> files;
};

TEST_F(StandardWarningTest, SavedErrorIsUsedOnceThenTheLastOperationsError)
{
    files->savedError.save(FileError::of(platform::ErrorCode::FileLocked));
    files->store.note(FileError::of(platform::ErrorCode::RecordNotFound));
    messages().answer(Button::Ok);
    messages().answer(Button::Ok);
    standardWarning(*files, 35, QStringLiteral("Accounts"));
    standardWarning(*files, 35, QStringLiteral("Accounts"));
    const QStringList texts = shownTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Error: (File Is Already Locked (32))")));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Error: (Record Not Found (35))")));
    EXPECT_FALSE(files->savedError.isSet());
    EXPECT_FALSE(texts[1].contains(QStringLiteral("damaged"))) << "a missing record is no damage";

    // A damaged file: the warning's own text, then the way out.
    files->savedError.save(FileError::of(platform::ErrorCode::KeysMustBeRebuilt));
    messages().answer(Button::Ok);
    standardWarning(*files, 35, QStringLiteral("Transactions"));
    EXPECT_TRUE(shownTexts().last().startsWith(
        QStringLiteral("Error: (Keys Need Rebuilding (46)) attempting to access a record from the Transactions file.")))
        << shownTexts().last();
    EXPECT_TRUE(shownTexts().last().contains(QStringLiteral("start it again: it rebuilds the keys")));
    EXPECT_TRUE(shownTexts().last().contains(QStringLiteral("restore the data files from your last backup with the backup utility")));
}

TEST_F(StandardWarningTest, ShowingAnyWarningClearsTheSavedError)
{
    files->savedError.save(FileError::of(platform::ErrorCode::FileLocked));
    messages().answer(Button::Cancel);
    EXPECT_EQ(standardWarning(*files, 32), Button::Cancel);
    EXPECT_FALSE(files->savedError.isSet());
}

TEST_F(StandardWarningTest, InvalidKeyNoEndsTheProgramYesReturns)
{
    messages().answer(Button::Yes);
    EXPECT_EQ(standardWarning(*files, 2, QStringLiteral("ACCOUNTS.TPS")), Button::Yes);
    EXPECT_FALSE(platform::Runtime::halted());
    messages().answer(Button::No);
    messages().answer(Button::Ok);
    EXPECT_EQ(standardWarning(*files, 2, QStringLiteral("ACCOUNTS.TPS")), Button::No);
    EXPECT_TRUE(platform::Runtime::halted());
    EXPECT_EQ(platform::Runtime::haltText(), QStringLiteral("Invalid Key!"));
}

} // namespace
