#pragma once

#include "core/DataFiles.h"
#include "platform/Dates.h"

#include <functional>
#include <memory>

namespace fundora::transactions {

// A figure a later feature shows beside an account's current transactions
// (the interest of the card's cycle, worked out from its statements). One is
// made for each window and holds the files it reads while the window is open;
// it is asked again whenever the window's totals are. With none installed the
// window shows its own figures only.
class AccountFigure {
public:
    struct Value {
        QString text;   // empty: not shown for this account
        QString detail; // what the figure is made of: the tooltip, and the description a screen reader gives
    };

    virtual ~AccountFigure() = default;
    virtual QString prompt() const = 0;
    // Nullopt when what the figure needs could not be read.
    virtual std::optional<Value> valueFor(const core::Account& account, platform::DayNumber today) = 0;

    using Maker = std::function<std::unique_ptr<AccountFigure>(core::DataFiles& files)>;
    static void install(Maker maker);
    static std::unique_ptr<AccountFigure> make(core::DataFiles& files);
};

} // namespace fundora::transactions
