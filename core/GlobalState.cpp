#include "core/GlobalState.h"

#include "platform/Clock.h"

namespace fundora::core {

GlobalState& glo()
{
    static GlobalState state;
    return state;
}

void resetGlobalState()
{
    GlobalState& g = glo();
    g = GlobalState();
    const platform::DayNumber today = platform::Clock::current().today();
    g.runDate = today;
    g.lowDate = today - 30;
    g.highDate = today;
}

std::map<int, ToolbarButtonState> ToolbarTarget::helpOnly()
{
    std::map<int, ToolbarButtonState> state;
    for (int command = Command::Insert; command < Command::Help; ++command)
        state[command] = {false, {}};
    return state;
}

} // namespace fundora::core
