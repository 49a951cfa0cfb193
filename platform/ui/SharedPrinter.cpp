#include "platform/ui/SharedPrinter.h"

#include <QPrinter>

namespace fundora::platform {

QPrinter& sharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace fundora::platform
