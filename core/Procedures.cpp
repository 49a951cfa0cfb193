#include "core/Procedures.h"

#include <QHash>

namespace fundora::core {

namespace {
QHash<QString, ProcedureFactory>& registry()
{
    static QHash<QString, ProcedureFactory> r;
    return r;
}
ProcedureHost* g_host = nullptr;
} // namespace

void registerProcedure(const QString& name, ProcedureFactory factory)
{
    registry().insert(name, std::move(factory));
}

bool hasProcedure(const QString& name)
{
    return registry().contains(name);
}

QWidget* createProcedure(const QString& name)
{
    const auto it = registry().constFind(name);
    return it == registry().constEnd() ? nullptr : (*it)();
}

ProcedureHost* ProcedureHost::current()
{
    return g_host;
}

void ProcedureHost::setCurrent(ProcedureHost* host)
{
    g_host = host;
}

} // namespace fundora::core
