// Counts the bytes that global allocations hold, and the most they held; a
// separate file keeps the replaced allocator out of the callers' inlining.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> g_nLive{0};
std::atomic<long long> g_nPeak{0};
// Room for the size in front of each block, kept aligned for any type.
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace

long long LiveBytes() { return g_nLive; }
long long PeakBytes() { return g_nPeak; }
void ResetPeakBytes() { g_nPeak = g_nLive.load(); }

void* operator new(std::size_t size) {
    char* p = static_cast<char*>(std::malloc(size + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = size;
    const long long nLive = g_nLive += static_cast<long long>(size);
    for (long long nPeak = g_nPeak;
         nLive > nPeak && !g_nPeak.compare_exchange_weak(nPeak, nLive);) {
    }
    return p + kHeader;
}
void operator delete(void* pBlock) noexcept {
    if (!pBlock) return;
    char* p = static_cast<char*>(pBlock) - kHeader;
    g_nLive -= static_cast<long long>(*reinterpret_cast<std::size_t*>(p));
    std::free(p);
}
void operator delete(void* pBlock, std::size_t) noexcept { operator delete(pBlock); }
