#include "platform/FreedMemory.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Freed memory at the top of the heap stays until more than this lies free there.
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    // Blocks up to this size (a list's row array, SQLite's sort buffers) come from the heap, not
    // from mappings of their own that go back to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
#endif
}

} // namespace platform
