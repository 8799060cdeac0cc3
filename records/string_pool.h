// Byte strings stored once each: the distinct names of a list, the words,
// codes and values of the matching.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "large_vector.h"

// Byte strings stored once each and numbered from 0 in order of first
// addition, found again by hashing.
class StringPool {
public:
    StringPool();
    // The number of the string: the one it had, or the next.
    uint32_t add(const char* data, size_t size);
    uint32_t add(const std::string& text) { return add(text.data(), text.size()); }

    uint32_t count() const { return static_cast<uint32_t>(offsets_.size() - 1); }
    const char* data(uint32_t id) const { return bytes_.data() + offsets_[id]; }
    size_t size(uint32_t id) const { return static_cast<size_t>(offsets_[id + 1] - offsets_[id]); }
    std::string text(uint32_t id) const { return std::string(data(id), size(id)); }

private:
    static uint32_t hash(const char* data, size_t size);
    void grow();

    LargeVector<char> bytes_;
    LargeVector<uint64_t> offsets_;  // of each string, and the end of the last
    LargeVector<uint32_t> hashes_;   // of each string
    LargeVector<uint32_t> slots_;    // string number + 1, or 0 for an empty slot
};

// No string of a pool: a record without a usable name.
const uint32_t kNoName = UINT32_MAX;
