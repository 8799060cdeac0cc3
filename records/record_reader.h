// Records of text input, one per line (TSV) or per CSV record, read in large
// blocks with bounded memory, and the fields written after them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "streams.h"

enum class TextFormat { TSV, CSV };

struct Record {
    const char* data = nullptr;  // the record without its line end
    size_t size = 0;
    uint64_t line = 0;   // the number of its first line, from 1
    bool crlf = false;   // it ended with CR LF
    bool ended = false;  // it had a line end (the last one may not)
};

// Moves `record` past a leading UTF-8 byte order mark, which is no part of
// its first field; answers whether there was one.
bool skipByteOrderMark(Record* record);

class RecordReader {
public:
    enum Error { NONE, READ_FAILED, RECORD_TOO_LONG };

    // `blockSize` is the size of each read; a record longer than `maxRecord`
    // bytes stops the reading with RECORD_TOO_LONG.
    RecordReader(ByteSource& source, TextFormat format, size_t blockSize = 1 << 20, size_t maxRecord = 16 << 20);

    // The next record, valid until the next call; false at the end of the
    // input and on an error.
    bool next(Record* record);

    Error error() const { return error_; }
    // The record ended inside a CSV quote (at the end of the input).
    bool unclosedQuote() const { return unclosedQuote_; }
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t line() const { return line_; }

private:
    bool fill();

    ByteSource& source_;
    TextFormat format_;
    size_t maxRecord_;
    std::vector<char> buffer_;
    size_t begin_ = 0;  // start of the record being read
    size_t scan_ = 0;   // where the search for its end goes on
    size_t end_ = 0;    // end of the bytes read
    bool inQuotes_ = false;
    uint64_t innerLines_ = 0;  // line ends inside the quotes of this record
    uint64_t line_ = 1;
    uint64_t bytesRead_ = 0;
    bool atEnd_ = false;
    bool unclosedQuote_ = false;
    Error error_ = NONE;
};

struct Field {
    const char* data;
    size_t size;
};

// Splits a record into at most `count` fields and answers how many it has
// (at least 1: an empty record is one empty field). CSV fields lose their
// quotes; their text may be built in `scratch`, which must outlive `fields`.
size_t splitFields(const Record& record, TextFormat format, size_t count, Field* fields, std::vector<char>& scratch);

// Writes `separator`, then one field of Windows-1252 text, turned into
// UTF-8 when `toUtf8` is set. CSV fields are quoted when they need it; in
// TSV, control characters that would break the row (TAB, CR, LF) become
// blanks.
void putField(Output& out, char separator, TextFormat format, const char* text, size_t size, bool toUtf8);
