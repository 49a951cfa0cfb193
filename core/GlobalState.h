#pragma once

#include "platform/Dates.h"

#include <QString>

#include <cstdint>
#include <map>

class QWidget;

namespace fundora::core {

// What a caller asks of the list or form it starts, and what it hands back.
enum class Request { None = 0, Insert = 1, Change = 2, Delete = 3, Select = 4 };
enum class Response { None = 0, Completed = 1, Cancelled = 2 };

// Toolbar command numbers shared by the frame, the lists and the forms.
namespace Command {
inline constexpr int Insert = 2000, Change = 2001, Delete = 2002, Select = 2003, LastPage = 2004, FirstPage = 2005, NextPage = 2006,
                     PreviousPage = 2007, NextRecord = 2008, PreviousRecord = 2009, Locate = 2010, Ditto = 2011, Help = 2012,
                     Calculator = 2013, Calendar = 2014, Payment = 2015, History = 2016, Current = 2017, Report = 2018, PrintAll = 2019,
                     Exit = 2020;
inline constexpr bool isForwarded(int c)
{
    return c >= Insert && c <= Help;
}
} // namespace Command

// The toolbar command with which the user left a form, for its list to move
// on (None: the form's own OK or Cancel).
enum class Navigation {
    None = 0,
    Insert = Command::Insert,
    LastPage = Command::LastPage,
    FirstPage = Command::FirstPage,
    NextPage = Command::NextPage,
    PreviousPage = Command::PreviousPage,
    NextRecord = Command::NextRecord,
    PreviousRecord = Command::PreviousRecord,
};

// The program-wide state all windows share (GLO:). Requests, responses and
// navigation codes are not kept here: lists and forms hand them to each other
// through their calls and completion callbacks.
struct GlobalState {
    std::int32_t currentSysid = 0;
    // The statement a statement report prints (STM:StatementID).
    std::int32_t currentStatementId = 0;
    platform::DayNumber lowDate = 0;
    platform::DayNumber highDate = 0;
    platform::DayNumber runDate = 0;
    std::uint8_t paymentRequest = 0;
    // The highlighted account's card type as the accounts list shows it ("VISA CARD"), for other windows' titles.
    QString cardTypeDescription;
    QWidget* frameWindow = nullptr;
};

GlobalState& glo();
// Back to the state of a program that just started (dates from today).
void resetGlobalState();

// How a child window wants one of the toolbar buttons 2000 to 2012 while it is active.
struct ToolbarButtonState {
    bool enabled = true;
    QString tip; // empty: the button's own tip
};

// A window that the frame's toolbar commands 2000 to 2012 reach.
class ToolbarTarget {
public:
    virtual ~ToolbarTarget() = default;
    virtual void onToolbarCommand(int command) = 0;
    // The buttons as this window wants them; buttons not named keep their defaults.
    virtual std::map<int, ToolbarButtonState> toolbarState() const { return {}; }
    // The window became the active child window.
    virtual void windowActivated() {}
    // The help context F1 opens while this window is active (empty: the frame's).
    virtual QString helpContext() const { return {}; }
    // Whether the frame's "Record a Payment" button works while this window is active.
    virtual bool offersPayment() const { return false; }

    // The toolbar of a window that is no list of records: every record command off, Help on.
    static std::map<int, ToolbarButtonState> helpOnly();
};

} // namespace fundora::core
