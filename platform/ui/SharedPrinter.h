#pragma once

class QPrinter;

namespace fundora::platform {

// The printer settings the whole program uses (Print Setup changes them).
QPrinter& sharedPrinter();

} // namespace fundora::platform
