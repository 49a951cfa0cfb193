#include "platform/HeapSettings.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace fundora::platform {

void keepLargeFreedBlocks()
{
#ifdef __GLIBC__
    constexpr int Threshold = 256 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, Threshold);
    mallopt(M_TRIM_THRESHOLD, Threshold);
#endif
}

} // namespace fundora::platform
