// Byte streams under the command: the process's standard streams and files,
// or memory when the tests run the command inside their own process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end, -1 on a read error.
    virtual long read(char* buffer, size_t size) = 0;
    // The size of the whole input when it is a regular file, else -1.
    virtual int64_t knownSize() const { return -1; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False on a write error.
    virtual bool write(const char* data, size_t size) = 0;
    // The system's error number of the first failed write, or 0.
    virtual int errorNumber() const { return 0; }
};

// A FILE, left open for its owner to close.
class FileSource : public ByteSource {
public:
    explicit FileSource(FILE* file) : file_(file) {}
    long read(char* buffer, size_t size) override;
    int64_t knownSize() const override;

private:
    FILE* file_;
};

// The input a command names: a file, opened here and closed with this, or
// for "-" the standard input it is given.
class NamedInput {
public:
    NamedInput() = default;
    NamedInput(const NamedInput&) = delete;
    NamedInput& operator=(const NamedInput&) = delete;
    ~NamedInput();
    // False when the file cannot be opened; errno says why.
    bool open(const std::string& path, ByteSource* standardInput);
    ByteSource& source() { return *source_; }
    // The size of the file opened when it is a regular file, else -1: a
    // hint for the memory that reading it whole will take.
    int64_t fileSize() const;

private:
    FILE* file_ = nullptr;
    FileSource fileSource_{nullptr};
    ByteSource* source_ = nullptr;
};

class FileSink : public ByteSink {
public:
    explicit FileSink(FILE* file) : file_(file) {}
    bool write(const char* data, size_t size) override;
    int errorNumber() const override { return error_; }

private:
    FILE* file_;
    int error_ = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string data) : data_(std::move(data)) {}
    long read(char* buffer, size_t size) override;

private:
    std::string data_;
    size_t position_ = 0;
};

class MemorySink : public ByteSink {
public:
    bool write(const char* data, size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// Buffered writing to a sink in large blocks; the first error sticks.
class Output {
public:
    explicit Output(ByteSink& sink, size_t capacity = 1 << 20);
    ~Output() { flush(); }
    void put(const char* data, size_t size) {
        if (size > capacity_ - used_) {
            if (!flush() || size > capacity_) {
                if (!failed_ && !sink_.write(data, size)) failed_ = true;
                return;
            }
        }
        char* to = buffer_.data() + used_;
        // Names and codes are short: two overlapping fixed-size copies are
        // plain moves, where a call of memcpy costs more than the copy.
        if (size >= 8 && size <= 16) {
            std::memcpy(to, data, 8);
            std::memcpy(to + size - 8, data + size - 8, 8);
        } else if (size >= 4 && size < 8) {
            std::memcpy(to, data, 4);
            std::memcpy(to + size - 4, data + size - 4, 4);
        } else {
            std::memcpy(to, data, size);
        }
        used_ += size;
    }
    void put(const std::string& text) { put(text.data(), text.size()); }
    void put(char c) {
        if (used_ == capacity_) flush();
        buffer_[used_++] = c;
    }
    bool flush();
    bool failed() const { return failed_; }
    int errorNumber() const { return sink_.errorNumber(); }

private:
    ByteSink& sink_;
    std::vector<char> buffer_;
    size_t capacity_;
    size_t used_ = 0;
    bool failed_ = false;
};

// The standard streams as the command reads and writes them. A Windows
// console is read and written in UTF-16, turned to and from UTF-8 (or
// Windows-1252 with `cp1252`), so that it shows the text right; everything
// else passes bytes as they are.
std::unique_ptr<ByteSource> standardInput(bool cp1252);
std::unique_ptr<ByteSink> standardOutput(FILE* stream, bool cp1252);

// The command's standard streams.
struct Console {
    ByteSource* in;
    ByteSink* out;
    ByteSink* err;
    bool errIsTerminal;  // a progress bar may be drawn on err
    bool outIsTerminal;  // and output then shares its terminal
};
