#include "reports/ReportDisplayStrings.h"

#include "platform/IniFile.h"

namespace fundora::reports {

ReportDisplayStrings ReportDisplayStrings::load(const QString& iniFile, const CallerDefaults& defaults)
{
    const platform::IniFile ini = platform::IniFile::load(iniFile.isEmpty() ? QStringLiteral("WIN.INI") : iniFile);
    ReportDisplayStrings s;
    s.progWinUsrText = defaults.userText;
    s.askPrvwDialogTitle = defaults.askPreviewTitle;
    s.askPrvwDialogText = defaults.askPreviewText;
    const QString section = QStringLiteral("DISPLAY STRINGS 2.0");
    const std::pair<const char*, QString*> keys[] = {
        {"ProgWinTitlePrvw", &s.progWinTitlePrvw},
        {"ProgWinTitlePrnt", &s.progWinTitlePrnt},
        {"ProgWinPctText", &s.progWinPctText},
        {"ProgWinRecText", &s.progWinRecText},
        {"ProgWinUsrText", &s.progWinUsrText},
        {"PrinterDlgTitle", &s.printerDlgTitle},
        {"AskPrvwDialogTitle", &s.askPrvwDialogTitle},
        {"AskPrvwDialogText", &s.askPrvwDialogText},
        {"CancelAreYouSureTitle", &s.cancelAreYouSureTitle},
        {"CancelAreYouSureText", &s.cancelAreYouSureText},
        {"CancelPrvwPartialTitle", &s.cancelPrvwPartialTitle},
        {"CancelPrvwPartialText", &s.cancelPrvwPartialText},
        {"NoDfltPrtrTitle", &s.noDfltPrtrTitle},
        {"NoDfltPrtrText", &s.noDfltPrtrText},
        {"NothingToPrvwTitle", &s.nothingToPrvwTitle},
        {"NothingToPrvwText", &s.nothingToPrvwText},
        {"NothingToPrntTitle", &s.nothingToPrntTitle},
        {"NothingToPrntText", &s.nothingToPrntText},
        {"AsciiOutTitle", &s.asciiOutTitle},
        {"AsciiOutMasks", &s.asciiOutMasks},
        {"DynLblErrTitle", &s.dynLblErrTitle},
        {"DynLblErrText1", &s.dynLblErrText1},
        {"DynLblErrText2", &s.dynLblErrText2},
    };
    for (const auto& [key, text] : keys)
        *text = ini.value(section, QString::fromLatin1(key), *text);
    // Program-wide texts of 64 characters; two of them hold more.
    for (const auto& [key, text] : keys) {
        const int limit = text == &s.cancelPrvwPartialText ? 128 : text == &s.noDfltPrtrText ? 255 : 64;
        text->truncate(limit);
    }
    return s;
}

} // namespace fundora::reports
