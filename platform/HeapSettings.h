#pragma once

namespace fundora::platform {

// Keeps the memory a large free() gives back in the process for the next
// allocation, instead of returning it to the system and taking it again:
// Qt's PDF writer allocates and frees blocks of the same large size for every
// page, and with the C library's defaults each one was mapped, zeroed and
// trimmed again (a 6,667-page PDF: 6.3 s, 3.1 s with them kept; the peak is
// the same). Call once at the start, before any thread. Does nothing where the
// C library has no such settings.
void keepLargeFreedBlocks();

} // namespace fundora::platform
