#include "core/Procedures.h"

#include <QHash>
#include <QMdiSubWindow>

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

void closeProcedureWindow(QWidget& window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget()))
        frame->close(); // closes the window inside first
    else
        window.close();
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
