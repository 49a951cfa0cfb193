#pragma once

#include <QRect>
#include <QString>

#include <array>

namespace fundora::core {

// What the phone dialer is given: up to three numbers with optional labels,
// and a prefix and suffix put around the chosen number.
struct DialRequest {
    std::array<QString, 3> numbers;
    std::array<QString, 3> labels;
    // What a screen reader says each number is, where the window shows no label.
    std::array<QString, 3> spoken;
    QString prefix;
    QString suffix;
};

// The selection window's layout, in dialog units, worked out from a request.
struct SelectionLayout {
    std::array<QString, 3> rowTexts; // with "&" before each row's access key
    std::array<QChar, 3> keys;       // blank when a row has none
    std::array<bool, 3> rowVisible{};
    std::array<int, 3> rowY{}; // y of each row's button and prompt
    QRect window;              // position and size of the window
    QRect cancel;              // the Cancel button
};

namespace DialerDesign {
inline constexpr int WindowWidth = 285;
inline constexpr int WindowHeight = 73;
inline constexpr int ButtonX = 30;
inline constexpr int PromptX = 44;
inline constexpr std::array<int, 3> RowY = {10, 24, 38};
inline constexpr int CancelX = 30;
inline constexpr int CancelY = 56;
inline constexpr int CancelWidth = 36;
inline constexpr int CancelHeight = 12;
inline constexpr int MinimumWidth = 100;
inline constexpr int DialStringLimit = 70;
inline constexpr int CalledPartyLimit = 40;
} // namespace DialerDesign

// Whether the selection window is needed at all (a second or third number).
bool needsSelection(const DialRequest& request);
// The row text before access keys: "Label:  Number" or the number alone.
QString rowText(const DialRequest& request, int row);
// Access keys of the three row texts, each distinct from the earlier ones without regard to case.
std::array<QChar, 3> accessKeys(const std::array<QString, 3>& texts);
// `widestPrompt(text)` gives a prompt's width in dialog units. `origin` is the
// designed window's top-left corner (centred by the caller).
SelectionLayout layoutSelection(const DialRequest& request, QPoint origin, int (*widestPrompt)(const QString&));
// The dial string for row `row` (0-based): prefix, number and suffix without trailing blanks, at most 70 characters.
QString dialString(const DialRequest& request, int row);
QString calledParty(const DialRequest& request, int row);
// The verification window's description line.
QString verifyDescription(const DialRequest& request, int row);

} // namespace fundora::core
