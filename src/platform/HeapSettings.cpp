#include "platform/HeapSettings.h"

#include <malloc.h>

namespace tamo {

void giveLargeBlocksBackWhenFreed()
{
    constexpr int ownMappingFrom = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, ownMappingFrom);
}

void giveFreedHeapBack()
{
    malloc_trim(0);
}

} // namespace tamo
