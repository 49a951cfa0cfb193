#include "memos/MemoProcedures.h"

#include "core/Procedures.h"
#include "memos/MemoBrowseWindow.h"

namespace fundora::memos {

void registerMemoProcedures()
{
    core::registerProcedure(QStringLiteral("MemoBrowse"), [] { return new MemoBrowseWindow(core::DataFiles::current()); });
}

} // namespace fundora::memos
