#pragma once

#include <QString>

namespace fundora::reports {

// The texts the report runs show, read at every report start from section
// "DISPLAY STRINGS 2.0" of an INI file; a key that is missing keeps its default.
struct ReportDisplayStrings {
    QString progWinTitlePrvw = QStringLiteral("Generating Report");
    QString progWinTitlePrnt = QStringLiteral("Printing Report");
    QString progWinPctText = QStringLiteral("% Completed");
    QString progWinRecText = QStringLiteral("Records Read");
    QString progWinUsrText;
    QString printerDlgTitle = QStringLiteral("Report Destination");
    QString askPrvwDialogTitle;
    QString askPrvwDialogText;
    QString cancelAreYouSureTitle = QStringLiteral("Question");
    QString cancelAreYouSureText = QStringLiteral("Are you sure you want to CANCEL this Report?");
    QString cancelPrvwPartialTitle = QStringLiteral("Question");
    QString cancelPrvwPartialText = QStringLiteral("Report Cancellation Requested!||Preview Report generated so far?");
    QString noDfltPrtrTitle = QStringLiteral("WARNING!");
    QString noDfltPrtrText =
        QStringLiteral("Warning:  No DEFAULT Printer Driver Found!||Printing may not occur correctly (or at all)|without a Default printer "
                       "assigned.||Use CONTROL PANEL (PRINTERS) to set a|printer as your Default.||Continue with report anyway?");
    QString nothingToPrvwTitle = QStringLiteral("NOTE...");
    QString nothingToPrvwText = QStringLiteral("Nothing to Preview.");
    QString nothingToPrntTitle = QStringLiteral("NOTE...");
    QString nothingToPrntText = QStringLiteral("Nothing to Print.");
    QString asciiOutTitle = QStringLiteral("Save to what Filename?");
    QString asciiOutMasks = QStringLiteral("Text|*.TXT|All Files|*.*");
    QString dynLblErrTitle = QStringLiteral("Problem!");
    QString dynLblErrText1 = QStringLiteral("Sorry!||");
    QString dynLblErrText2 = QStringLiteral("||Does not support paper type:");

    // What each report passes for the three texts whose defaults are the caller's.
    struct CallerDefaults {
        QString userText;
        QString askPreviewTitle = QStringLiteral("Preview");
        QString askPreviewText = QStringLiteral("Do you wish to PREVIEW this Report?");
    };

    // Reads `iniFile` (relative names are in the program directory; empty means "WIN.INI").
    static ReportDisplayStrings load(const QString& iniFile, const CallerDefaults& defaults);
};

inline const QString ReportDisplayStringsFile = QStringLiteral("VIDURERI.INI");

} // namespace fundora::reports
