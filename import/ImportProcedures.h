#pragma once

namespace fundora::importing {

// Registers ImportStatement with the procedures the frame and the lists start.
void registerImportProcedures();

} // namespace fundora::importing
