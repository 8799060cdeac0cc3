// std::vector over allocateLarge: the arrays of a big list (its records'
// text, the matcher's words and bounds, the candidate pairs).
#pragma once

#include <cstddef>
#include <vector>

#include "system.h"

template <class T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* block, size_t n) { freeLarge(block, n * sizeof(T)); }
};

template <class T, class U>
bool operator==(const LargeAllocator<T>&, const LargeAllocator<U>&) {
    return true;
}
template <class T, class U>
bool operator!=(const LargeAllocator<T>&, const LargeAllocator<U>&) {
    return false;
}

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;
