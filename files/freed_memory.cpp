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
    // One arena for every thread. A thread's first allocation, or first
    // free, would otherwise reserve 64 MiB of address space for an arena of
    // its own at whatever moment it comes, so that where memory runs out
    // would depend on the timing of threads, not on the work.
    mallopt(M_ARENA_MAX, 1);
#endif
}
