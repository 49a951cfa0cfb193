#pragma once

namespace fundora::app {

// Registers the procedures this build does not have yet with stand-in windows,
// so the frame starts as the finished program will: the accounts list first.
void registerStandInProcedures();

} // namespace fundora::app
