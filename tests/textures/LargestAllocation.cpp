// Kept in a file of its own so that the compiler does not inline these into their callers.
#include "LargestAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> largestRequest{0};

void* track(size_t n) {
    size_t seen = largestRequest.load();
    while (n > seen && !largestRequest.compare_exchange_weak(seen, n)) {
    }
    return std::malloc(n == 0 ? 1 : n);
}
} // namespace

namespace allocation {
void resetLargest() {
    largestRequest = 0;
}
size_t largest() {
    return largestRequest.load();
}
} // namespace allocation

void* operator new(size_t n) {
    if (void* p = track(n)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t n) {
    return operator new(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return track(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return track(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
