#include "HeapPeak.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <malloc.h>
#include <unistd.h>

// The C library's own allocator, under the names it exports for those that
// count around it.
extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* p);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<long long> used{0};
std::atomic<long long> highest{0};

long long sizeOf(void* p)
{
    return p ? static_cast<long long>(malloc_usable_size(p)) : 0;
}

void grew(long long bytes)
{
    const long long now = used.fetch_add(bytes, std::memory_order_relaxed) + bytes;
    long long top = highest.load(std::memory_order_relaxed);
    while (now > top && !highest.compare_exchange_weak(top, now, std::memory_order_relaxed)) {
    }
}

void* counted(void* p)
{
    grew(sizeOf(p));
    return p;
}

} // namespace

namespace heappeak {

long long inUse()
{
    return used.load(std::memory_order_relaxed);
}

long long resetPeak()
{
    const long long now = inUse();
    highest.store(now, std::memory_order_relaxed);
    return now;
}

long long peak()
{
    return highest.load(std::memory_order_relaxed);
}

} // namespace heappeak

extern "C" {

void* malloc(size_t size) noexcept
{
    return counted(__libc_malloc(size));
}

void free(void* p) noexcept
{
    used.fetch_sub(sizeOf(p), std::memory_order_relaxed);
    __libc_free(p);
}

void* calloc(size_t count, size_t size) noexcept
{
    return counted(__libc_calloc(count, size));
}

void* realloc(void* p, size_t size) noexcept
{
    const long long before = sizeOf(p);
    void* q = __libc_realloc(p, size);
    // A failed move leaves the old block; a size of 0 frees it.
    if (q || size == 0)
        grew(sizeOf(q) - before);
    return q;
}

void* memalign(size_t alignment, size_t size) noexcept
{
    return counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    return counted(__libc_memalign(alignment, size));
}

int posix_memalign(void** out, size_t alignment, size_t size) noexcept
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = counted(p);
    return 0;
}

void* valloc(size_t size) noexcept
{
    return counted(__libc_memalign(size_t(sysconf(_SC_PAGESIZE)), size));
}

void* pvalloc(size_t size) noexcept
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return counted(__libc_memalign(page, (size + page - 1) / page * page));
}

} // extern "C"
