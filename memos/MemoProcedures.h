#pragma once

namespace fundora::memos {

// Registers MemoBrowse with the procedure registry.
void registerMemoProcedures();

} // namespace fundora::memos
