#include "files/freed_memory.h"

#include <cstdlib> // defines __GLIBC__ where it is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void Keep_Freed_Memory()
{
#if defined(__GLIBC__)
    // Blocks up to 32 MiB (the most glibc allows) from the heap, and up to
    // 1 GiB of its top kept when freed.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}
