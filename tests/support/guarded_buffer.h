// A host-owned argument string: a buffer of exactly its length + 1 followed by
// a guard. Under AddressSanitizer the guard is poisoned, so a write past the
// NUL stops at once; elsewhere (the Wine host) the guard is checked after.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "../../extender/host_value.h"

#if defined(__SANITIZE_ADDRESS__)
#define OV_HAS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OV_HAS_ASAN 1
#endif
#endif
#ifdef OV_HAS_ASAN
#include <sanitizer/asan_interface.h>
#endif

class GuardedBuffer {
public:
    explicit GuardedBuffer(const std::string& text) : size_(text.size() + 1) {
        data_ = static_cast<char*>(std::malloc(size_ + kGuard));
        std::memcpy(data_, text.c_str(), size_);
        std::memset(data_ + size_, kGuardByte, kGuard);
#ifdef OV_HAS_ASAN
        ASAN_POISON_MEMORY_REGION(data_ + size_, kGuard);
#endif
    }
    ~GuardedBuffer() {
#ifdef OV_HAS_ASAN
        ASAN_UNPOISON_MEMORY_REGION(data_ + size_, kGuard);
#endif
        std::free(data_);
    }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    char* data() { return data_; }
    // True while nothing was written past the buffer and a NUL still ends
    // the text inside it.
    bool intact() const {
#ifdef OV_HAS_ASAN
        ASAN_UNPOISON_MEMORY_REGION(data_ + size_, kGuard);
#endif
        bool ok = std::memchr(data_, 0, size_) != nullptr;
        for (size_t g = 0; g < kGuard; ++g)
            if (static_cast<unsigned char>(data_[size_ + g]) != kGuardByte) ok = false;
#ifdef OV_HAS_ASAN
        ASAN_POISON_MEMORY_REGION(data_ + size_, kGuard);
#endif
        return ok;
    }

private:
    static const size_t kGuard = 16;
    static const unsigned char kGuardByte = 0xA5;
    char* data_;
    size_t size_;
};

// A host argument of `type` and `intValue`; with `text`, its string lives in
// a new guarded buffer held by `buffer`. `floatValue` fills the field the
// library never reads.
inline HostValue guardedArg(int32_t type, int32_t intValue, const std::string* text, double floatValue,
                            std::unique_ptr<GuardedBuffer>& buffer) {
    HostValue value;
    value.floatValue = floatValue;
    value.intValue = intValue;
    value.type = type;
    value.stringValue = nullptr;
    if (text) {
        buffer.reset(new GuardedBuffer(*text));
        value.stringValue = buffer->data();
    }
    return value;
}
