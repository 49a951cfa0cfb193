#include "import/ImportProcedures.h"

#include "core/Procedures.h"
#include "import/ImportStatementWindow.h"

namespace fundora::importing {

void registerImportProcedures()
{
    core::registerProcedure(QStringLiteral("ImportStatement"), [] { return new ImportStatementWindow(core::DataFiles::current()); });
}

} // namespace fundora::importing
