#include "import/ImportRecords.h"

namespace fundora::importing {

using core::byteField;
using core::decimalField;
using core::longField;
using core::shortField;
using core::stringField;

const RecordLayout<ImportedLine>& importedLineLayout()
{
    static const RecordLayout<ImportedLine> layout(
        QStringLiteral("ImportedLines"), QStringLiteral("IML"), QStringLiteral("IMPORTED"), 1,
        {
            {longField("IML:SysID"), &ImportedLine::sysId},
            {stringField("IML:BankID", 255), &ImportedLine::bankId},
            {longField("IML:LineDate"), &ImportedLine::lineDate},
            {decimalField("IML:LineAmount", 4, 2), &ImportedLine::lineAmount},
            {longField("IML:TransactionRow"), &ImportedLine::transactionRow},
            {byteField("IML:Outcome"), &ImportedLine::outcome},
            {longField("IML:ImportDate"), &ImportedLine::importDate},
            {longField("IML:ImportTime"), &ImportedLine::importTime},
            {stringField("IML:SourceName", 80), &ImportedLine::sourceName},
        },
        {
            {QStringLiteral("IML:SysIDBankKey"), {QStringLiteral("IML:SysID"), QStringLiteral("IML:BankID")}, false, false},
            {QStringLiteral("IML:RowKey"), {QStringLiteral("IML:TransactionRow")}, false, false},
            {QStringLiteral("IML:SysIDKey"), {QStringLiteral("IML:SysID")}, false, false},
        });
    return layout;
}

const RecordLayout<ImportSettings>& importSettingsLayout()
{
    static const RecordLayout<ImportSettings> layout(QStringLiteral("ImportSettings"), QStringLiteral("IMS"), QStringLiteral("IMPSET"), 1,
                                                     {
                                                         {longField("IMS:SysID"), &ImportSettings::sysId},
                                                         {byteField("IMS:FlipSigns"), &ImportSettings::flipSigns},
                                                         {shortField("IMS:SkipLines"), &ImportSettings::skipLines},
                                                         {stringField("IMS:Delimiter", 1), &ImportSettings::delimiter},
                                                         {shortField("IMS:DateColumn"), &ImportSettings::dateColumn},
                                                         {shortField("IMS:DescriptionColumn"), &ImportSettings::descriptionColumn},
                                                         {shortField("IMS:AmountColumn"), &ImportSettings::amountColumn},
                                                         {shortField("IMS:DebitColumn"), &ImportSettings::debitColumn},
                                                         {shortField("IMS:CreditColumn"), &ImportSettings::creditColumn},
                                                         {shortField("IMS:TypeColumn"), &ImportSettings::typeColumn},
                                                         {stringField("IMS:DateFormat", 12), &ImportSettings::dateFormat},
                                                         {byteField("IMS:DecimalComma"), &ImportSettings::decimalComma},
                                                     },
                                                     {
                                                         {QStringLiteral("IMS:SysIDKey"), {QStringLiteral("IMS:SysID")}, true, false},
                                                     });
    return layout;
}

core::FileId importedLinesFile()
{
    static const core::FileId id = core::declareFile(importedLineLayout(), ImlSysIDKey, ImlRowKey);
    return id;
}

core::FileId importSettingsFile()
{
    static const core::FileId id = core::declareFile(importSettingsLayout(), ImsSysIDKey);
    return id;
}

core::TypedFile<ImportedLine>& importedLinesOf(core::DataFiles& files)
{
    return files.typed<ImportedLine>(importedLinesFile());
}

core::TypedFile<ImportSettings>& importSettingsOf(core::DataFiles& files)
{
    return files.typed<ImportSettings>(importSettingsFile());
}

} // namespace fundora::importing
