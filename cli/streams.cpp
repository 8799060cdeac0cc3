#include "streams.h"

#include <cstring>

#include "system.h"

long FileSource::read(char* buffer, size_t size) {
    size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(got);
}

int64_t FileSource::knownSize() const { return regularFileSize(file_); }

NamedInput::~NamedInput() {
    if (file_) std::fclose(file_);
}

bool NamedInput::open(const std::string& path, ByteSource* standardInput) {
    if (path == "-") {
        source_ = standardInput;
        return true;
    }
    file_ = openForReading(path);
    if (!file_) return false;
    fileSource_ = FileSource(file_);
    source_ = &fileSource_;
    return true;
}

bool FileSink::write(const char* data, size_t size) {
    return std::fwrite(data, 1, size, file_) == size && std::fflush(file_) == 0;
}

long MemorySource::read(char* buffer, size_t size) {
    size_t n = data_.size() - position_ < size ? data_.size() - position_ : size;
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
}

Output::Output(ByteSink& sink, size_t capacity) : sink_(sink), buffer_(capacity), capacity_(capacity) {}

bool Output::flush() {
    if (used_ && !failed_ && !sink_.write(buffer_.data(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}
