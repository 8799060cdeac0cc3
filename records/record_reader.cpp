#include "record_reader.h"

#include <cstring>

#include "encoding.h"

RecordReader::RecordReader(ByteSource& source, TextFormat format, size_t blockSize, size_t maxRecord)
    : source_(source), format_(format), maxRecord_(maxRecord), buffer_(blockSize) {}

bool RecordReader::fill() {
    // Move the unfinished record to the front, and grow only when it fills
    // the whole buffer: memory stays bounded by the longest record.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        scan_ -= begin_;
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        if (end_ >= maxRecord_) {
            error_ = RECORD_TOO_LONG;
            return false;
        }
        buffer_.resize(buffer_.size() * 2 < maxRecord_ ? buffer_.size() * 2 : maxRecord_);
    }
    long got = source_.read(buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) {
        error_ = READ_FAILED;
        return false;
    }
    if (got == 0) atEnd_ = true;
    end_ += static_cast<size_t>(got);
    bytesRead_ += static_cast<uint64_t>(got);
    return true;
}

bool RecordReader::next(Record* record) {
    if (error_ != NONE) return false;
    for (;;) {
        const char* base = buffer_.data();
        size_t found = SIZE_MAX;
        if (format_ == TextFormat::TSV) {
            const void* p = std::memchr(base + scan_, '\n', end_ - scan_);
            if (p) found = static_cast<size_t>(static_cast<const char*>(p) - base);
        } else {
            // A doubled quote toggles twice, so counting quotes is enough.
            for (size_t i = scan_; i < end_; ++i) {
                char c = base[i];
                if (c == '"') {
                    inQuotes_ = !inQuotes_;
                } else if (c == '\n') {
                    if (!inQuotes_) {
                        found = i;
                        break;
                    }
                    ++innerLines_;
                }
            }
        }
        if (found != SIZE_MAX || (atEnd_ && begin_ < end_)) {
            size_t stop = found != SIZE_MAX ? found : end_;
            record->data = base + begin_;
            record->size = stop - begin_;
            record->ended = found != SIZE_MAX;
            unclosedQuote_ = !record->ended && inQuotes_;
            if (unclosedQuote_ && record->size > 0 && record->data[record->size - 1] == '\n') {
                // The input's last line end, swallowed by the open quote.
                --record->size;
                --innerLines_;
                record->ended = true;
            }
            record->crlf = record->ended && record->size > 0 && record->data[record->size - 1] == '\r';
            if (record->crlf) --record->size;
            record->line = line_;
            line_ += 1 + innerLines_;
            innerLines_ = 0;
            inQuotes_ = false;
            begin_ = scan_ = found != SIZE_MAX ? stop + 1 : stop;
            return true;
        }
        scan_ = end_;
        if (atEnd_ || !fill()) return false;
    }
}

size_t splitFields(const Record& record, TextFormat format, size_t count, Field* fields, std::vector<char>& scratch) {
    const char* data = record.data;
    size_t size = record.size;
    size_t n = 0;
    size_t pos = 0;
    if (format == TextFormat::TSV) {
        while (n < count) {
            const void* tab = std::memchr(data + pos, '\t', size - pos);
            size_t stop = tab ? static_cast<size_t>(static_cast<const char*>(tab) - data) : size;
            fields[n++] = Field{data + pos, stop - pos};
            if (!tab) break;
            pos = stop + 1;
        }
        return n;
    }
    // CSV: unquoted text up to a comma, or a quoted text in which "" stands
    // for one quote; anything after the closing quote up to the comma is
    // kept too. Quoted texts are copied into scratch, which never needs
    // more room than the record.
    if (scratch.size() < size) scratch.resize(size);
    size_t written = 0;
    while (n < count) {
        if (pos < size && data[pos] == '"') {
            size_t start = written;
            ++pos;
            for (;;) {
                const void* q = std::memchr(data + pos, '"', size - pos);
                size_t stop = q ? static_cast<size_t>(static_cast<const char*>(q) - data) : size;
                std::memcpy(scratch.data() + written, data + pos, stop - pos);
                written += stop - pos;
                if (!q) {
                    pos = size;
                    break;
                }
                if (stop + 1 < size && data[stop + 1] == '"') {
                    scratch[written++] = '"';
                    pos = stop + 2;
                } else {
                    pos = stop + 1;
                    break;
                }
            }
            while (pos < size && data[pos] != ',') scratch[written++] = data[pos++];
            fields[n++] = Field{scratch.data() + start, written - start};
        } else {
            const void* comma = std::memchr(data + pos, ',', size - pos);
            size_t stop = comma ? static_cast<size_t>(static_cast<const char*>(comma) - data) : size;
            fields[n++] = Field{data + pos, stop - pos};
            pos = stop;
        }
        if (pos >= size) break;
        ++pos;  // the comma
    }
    return n;
}

void putField(Output& out, char separator, TextFormat format, const char* text, size_t size, bool toUtf8) {
    out.put(separator);
    bool plain = true;
    for (size_t i = 0; i < size && plain; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        plain = c >= 0x20 && c < 0x7F && c != '"' && c != ',';
    }
    if (plain) {
        out.put(text, size);
        return;
    }
    if (format == TextFormat::TSV) {
        for (size_t i = 0; i < size; ++i) {
            char c = text[i];
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
            if (toUtf8 && (c & 0x80)) {
                char utf8[3];
                out.put(utf8, cp1252ToUtf8(&c, 1, utf8));
            } else {
                out.put(c);
            }
        }
        return;
    }
    bool quote = false;
    for (size_t i = 0; i < size && !quote; ++i) quote = text[i] == '"' || text[i] == ',' || text[i] == '\r' || text[i] == '\n';
    if (quote) out.put('"');
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c == '"') out.put('"');
        if (toUtf8 && (c & 0x80)) {
            char utf8[3];
            out.put(utf8, cp1252ToUtf8(&c, 1, utf8));
        } else {
            out.put(c);
        }
    }
    if (quote) out.put('"');
}

bool skipByteOrderMark(Record* record) {
    if (record->size < 3 || std::memcmp(record->data, "\xEF\xBB\xBF", 3) != 0) return false;
    record->data += 3;
    record->size -= 3;
    return true;
}
