#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace fundora::core {

// Procedures that open a window of their own (a list, a report, a picker) are
// started by name; the frame shows each as a child window. Feature modules
// register their procedures, the frame hosts them. A factory may give no
// window: a report shows its own windows once it needs them.
using ProcedureFactory = std::function<QWidget*()>;

void registerProcedure(const QString& name, ProcedureFactory factory);
bool hasProcedure(const QString& name);
QWidget* createProcedure(const QString& name);

// Closes a procedure's window, with the child-window frame around it when it has one.
void closeProcedureWindow(QWidget& window);

// What hosts the procedures' windows: the main frame.
class ProcedureHost {
public:
    virtual ~ProcedureHost() = default;
    // Starts the procedure as a child window and returns at once; false if there is no such procedure.
    virtual bool startProcedure(const QString& name) = 0;
    // Enables or disables one of the frame's toolbar buttons (2015 to 2018).
    virtual void setToolbarButtonEnabled(int command, bool enabled) = 0;
    virtual bool isToolbarButtonEnabled(int command) const = 0;
    // Shows a window that a procedure opened (a form over its list) as a child window.
    virtual void showChild(QWidget* window) = 0;
    // The active child's toolbar wishes changed: apply them again.
    virtual void refreshToolbar() = 0;

    static ProcedureHost* current();
    static void setCurrent(ProcedureHost* host);
};

} // namespace fundora::core
