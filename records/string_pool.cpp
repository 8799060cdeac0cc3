#include "string_pool.h"

#include <cstring>

StringPool::StringPool() : offsets_(1, 0), slots_(1024, 0) {}

uint32_t StringPool::hash(const char* data, size_t size) {
    // FNV-1a, folded to 32 bits.
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 1099511628211ull;
    }
    return static_cast<uint32_t>(h ^ (h >> 32));
}

uint32_t StringPool::add(const char* data, size_t size) {
    uint32_t h = hash(data, size);
    size_t mask = slots_.size() - 1;
    size_t i = h & mask;
    for (;; i = (i + 1) & mask) {
        uint32_t slot = slots_[i];
        if (slot == 0) break;
        uint32_t id = slot - 1;
        if (hashes_[id] == h && this->size(id) == size && std::memcmp(this->data(id), data, size) == 0) return id;
    }
    uint32_t id = count();
    bytes_.insert(bytes_.end(), data, data + size);
    offsets_.push_back(bytes_.size());
    hashes_.push_back(h);
    slots_[i] = id + 1;
    // Kept at most half full, so that probes stay short.
    if (2 * (static_cast<size_t>(id) + 1) > slots_.size()) grow();
    return id;
}

void StringPool::grow() {
    LargeVector<uint32_t> slots(slots_.size() * 2, 0);
    size_t mask = slots.size() - 1;
    for (uint32_t id = 0; id < count(); ++id) {
        size_t i = hashes_[id] & mask;
        while (slots[i] != 0) i = (i + 1) & mask;
        slots[i] = id + 1;
    }
    slots_.swap(slots);
}
