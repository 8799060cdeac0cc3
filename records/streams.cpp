#include "streams.h"

#include <cerrno>
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

int64_t NamedInput::fileSize() const { return file_ ? regularFileSize(file_) : -1; }

bool FileSink::write(const char* data, size_t size) {
    // Each write is flushed, so that a full disk or a closed pipe is known
    // at once, and the output of a command never waits in two buffers.
    if (std::fwrite(data, 1, size, file_) == size && std::fflush(file_) == 0) return true;
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
    return false;
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

namespace {

// Writes UTF-8 (or Windows-1252) text to a console. A UTF-8 sequence cut by
// the end of one write waits for the next.
class ConsoleSink : public ByteSink {
public:
    ConsoleSink(FILE* stream, bool cp1252) : stream_(stream), cp1252_(cp1252) {}
    bool write(const char* data, size_t size) override {
        pending_.append(data, size);
        size_t complete = pending_.size();
        if (!cp1252_) {
            // Back up over a lead byte whose sequence is not all there yet.
            size_t back = 0;
            while (back < 3 && back < complete && (static_cast<unsigned char>(pending_[complete - 1 - back]) & 0xC0) == 0x80)
                ++back;
            if (back < complete) {
                unsigned char lead = static_cast<unsigned char>(pending_[complete - 1 - back]);
                size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                if (need > back + 1) complete -= back + 1;
            }
        }
        bool written = writeConsole(stream_, pending_.data(), complete, cp1252_);
        pending_.erase(0, complete);
        return written;
    }

private:
    FILE* stream_;
    bool cp1252_;
    std::string pending_;
};

// Reads what is typed at a console.
class ConsoleSource : public ByteSource {
public:
    ConsoleSource(FILE* stream, bool cp1252) : stream_(stream), cp1252_(cp1252) {}
    long read(char* buffer, size_t size) override {
        while (pending_.empty() && !ended_)
            if (!readConsole(stream_, cp1252_, &pending_, &ended_)) return -1;
        size_t n = pending_.size() < size ? pending_.size() : size;
        pending_.copy(buffer, n);
        pending_.erase(0, n);
        return static_cast<long>(n);
    }

private:
    FILE* stream_;
    bool cp1252_;
    std::string pending_;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> standardInput(bool cp1252) {
    if (isConsole(stdin)) return std::unique_ptr<ByteSource>(new ConsoleSource(stdin, cp1252));
    return std::unique_ptr<ByteSource>(new FileSource(stdin));
}

std::unique_ptr<ByteSink> standardOutput(FILE* stream, bool cp1252) {
    if (isConsole(stream)) {
        std::fflush(stream);
        return std::unique_ptr<ByteSink>(new ConsoleSink(stream, cp1252));
    }
    return std::unique_ptr<ByteSink>(new FileSink(stream));
}
