#pragma once

namespace fundora::app {

// Registers the windows of every feature under their procedure names, as the program starts them.
void registerFeatureProcedures();

} // namespace fundora::app
