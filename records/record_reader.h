// Records of text input, one per line (TSV) or per CSV record, read in large
// blocks with bounded memory; their fields; and a table on top of them: a
// header, the fields that hold names found by number or by header name, and
// the names in the library's Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "latin_spelling.h"
#include "streams.h"

enum class TextFormat { TSV, CSV };

// How a record ended. LF, CR LF and a lone CR each end a record (outside
// CSV quotes); the last record of an input may have no end.
enum class LineEnd : uint8_t { NONE, LF, CRLF, CR };

struct Record {
    const char* data = nullptr;  // the record without its line end
    size_t size = 0;
    uint64_t line = 0;  // the number of its first line, from 1
    LineEnd end = LineEnd::NONE;
};

// Moves `record` past a leading UTF-8 byte order mark, which is no part of
// its first field; answers whether there was one.
bool skipByteOrderMark(Record* record);

// Where the first LF or CR lies in [from, to), or SIZE_MAX; the bytes up
// to `capacity` may be read. Eight bytes a step: a byte equal to LF or CR
// turns a zero byte of the XOR, and the lowest byte the carry test flags is
// the first such (bytes are little-endian on every target). A name is
// shorter than a word, so a whole word is read even past `to` and what
// lies there is ignored.
inline size_t findLineEnd(const char* base, size_t from, size_t to, size_t capacity) {
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    for (size_t i = from; i < to; i += 8) {
        if (i + 8 > capacity) {
            for (; i < to; ++i)
                if (base[i] == '\n' || base[i] == '\r') return i;
            return SIZE_MAX;
        }
        uint64_t v;
        std::memcpy(&v, base + i, 8);
        uint64_t lf = v ^ (ones * '\n'), cr = v ^ (ones * '\r');
        uint64_t hits = ((lf - ones) & ~lf & highs) | ((cr - ones) & ~cr & highs);
        if (hits) {
            size_t at = i + static_cast<size_t>(__builtin_ctzll(hits)) / 8;
            return at < to ? at : SIZE_MAX;
        }
    }
    return SIZE_MAX;
}

// The longest record a reader takes: one longer stops the reading, so that
// a file without line ends cannot take all memory.
const size_t kLongestRecord = 16 << 20;
// "a record longer than 16 MiB; stopped there"
std::string recordTooLongText();

class RecordReader {
public:
    enum Error { NONE, READ_FAILED, RECORD_TOO_LONG };

    // `blockSize` is the size of each read; a record longer than `maxRecord`
    // bytes stops the reading with RECORD_TOO_LONG.
    RecordReader(ByteSource& source, TextFormat format, size_t blockSize = 1 << 20, size_t maxRecord = kLongestRecord);

    // The next record, valid until the next call; false at the end of the
    // input and on an error.
    bool next(Record* record) {
        // The common record, a line of TSV that ends with LF, without a
        // call (map over a million names: a tenth less time outside the
        // library).
        if (format_ == TextFormat::TSV && error_ == NONE && scan_ == begin_) {
            const char* base = buffer_.data();
            size_t found = findLineEnd(base, begin_, end_, buffer_.size());
            if (found != SIZE_MAX && base[found] == '\n') {
                record->data = base + begin_;
                record->size = found - begin_;
                record->end = LineEnd::LF;
                record->line = line_++;
                unclosedQuote_ = false;
                begin_ = scan_ = found + 1;
                return true;
            }
        }
        return nextSlow(record);
    }

    Error error() const { return error_; }
    // The record ended inside a quoted CSV text, which only the end of the
    // input can do.
    bool unclosedQuote() const { return unclosedQuote_; }
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t line() const { return line_; }

private:
    bool nextSlow(Record* record);
    bool fill();

    ByteSource& source_;
    TextFormat format_;
    size_t maxRecord_;
    std::vector<char> buffer_;
    size_t begin_ = 0;  // start of the record being read
    size_t scan_ = 0;   // where the search for its end goes on
    size_t end_ = 0;    // end of the bytes read
    bool inQuotes_ = false;
    bool atFieldStart_ = true;  // the next byte begins a field
    bool justClosed_ = false;   // the byte before closed a quoted text
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

// How a command reads its input as a table.
struct TableSettings {
    TextFormat format = TextFormat::TSV;
    bool cp1252 = false;  // the bytes are Windows-1252 already; else UTF-8
    // The names spelled in Latin letters (latin_spelling.h), for the matching
    // of people: a character without a Windows-1252 form is spelled rather
    // than making its field unusable.
    bool latin = false;
    bool header = false;  // the first record is a header (a selector by name implies it)
    // The fields that hold names, in order: numbers from 1, or header names
    // (the exact name first, then the name in any ASCII case).
    std::vector<std::string> selectors;
    size_t blockSize = 1 << 20;
    size_t maxRecord = kLongestRecord;
};

// Checks one entry of the selectors: a field number from 1 or a name.
bool checkSelector(const std::string& selector, std::string* problem);

// The column of a header that `name` names, from 0: the first of that exact
// name, else the first of that name in any ASCII case; SIZE_MAX when none.
size_t findColumn(const std::vector<std::string>& header, const std::string& name);

// A name of a data record, in Windows-1252 and NUL-terminated, ready for
// the library; or why there is none.
struct NameField {
    enum Problem { NONE, ABSENT, EMPTY, UNREADABLE };
    std::vector<char> text;  // size() - 1 bytes and a NUL
    size_t size = 0;
    bool usable = false;
    Problem kind = NONE;  // no such field, an empty one, or one that cannot be passed (its encoding)
    std::string problem;  // "no field 2", "empty name in field 2", "invalid UTF-8 in field 1"
};

// A data record of a table: the record as it came, how its width compares
// with the header's, and its names.
struct TableRecord {
    Record record;  // a last record without a line end has the end of the one before (LF for the first)
    size_t fields = 0;   // its fields, counted up to one more than the header has
    size_t missing = 0;  // fields it lacks to be as wide as the header
    bool unclosedQuote = false;
    std::vector<NameField> names;  // one per selector
};

// Reads a table: the header, if any, then the data records with their names.
class TableReader {
public:
    TableReader(ByteSource& source, const TableSettings& settings);

    // Reads the header (when there is one) and finds the named fields. False
    // with `problem` set: an entry of the selectors that is not a field, a
    // header without the name, an input without a header, a read error.
    bool start(std::string* problem);
    // The next data record, valid until the next call; false at the end and
    // on an error (error() then says which).
    bool next(TableRecord* record);

    RecordReader::Error error() const { return reader_.error(); }
    uint64_t errorLine() const { return reader_.line(); }
    uint64_t bytesRead() const { return reader_.bytesRead(); }

    bool bom() const { return bom_; }              // the input began with a UTF-8 byte order mark (not in any record)
    bool hasHeader() const { return hasHeader_; }  // and header() is the header as it came
    const std::string& headerText() const { return headerText_; }
    LineEnd headerEnd() const { return headerEnd_; }
    bool headerUnclosedQuote() const { return headerUnclosedQuote_; }
    // The header's fields (unquoted), and their number: the width every data
    // line is filled out to; 0 without a header.
    const std::vector<std::string>& headerFields() const { return headerFields_; }
    size_t width() const { return headerFields_.size(); }
    // Without a header, the number of fields of the first data record.
    size_t firstWidth() const { return firstWidth_; }

    // Records narrower and wider than the header, and the first line of each.
    uint64_t shortRecords() const { return shortRecords_; }
    uint64_t firstShortLine() const { return firstShortLine_; }
    uint64_t longRecords() const { return longRecords_; }
    uint64_t firstLongLine() const { return firstLongLine_; }

private:
    void decodeNames(const Field* fields, size_t count, TableRecord* record);
    size_t spellInLatin(const Field& field, size_t length, NameField* name, EncodingProblem* encoding);

    RecordReader reader_;
    TableSettings settings_;
    std::vector<size_t> selected_;
    size_t splitCount_ = 0;  // fields split off each record
    bool started_ = false;
    bool first_ = true;
    bool bom_ = false;
    bool hasHeader_ = false;
    std::string headerText_;
    LineEnd headerEnd_ = LineEnd::NONE;
    bool headerUnclosedQuote_ = false;
    std::vector<std::string> headerFields_;
    std::vector<Field> fields_;
    std::vector<char> scratch_;
    LatinSpeller speller_;  // with settings.latin
    std::string spelled_;
    Record pending_;  // the first data record, read while looking for a header
    bool hasPending_ = false;
    size_t firstWidth_ = 0;
    LineEnd lastEnd_ = LineEnd::LF;
    uint64_t shortRecords_ = 0, firstShortLine_ = 0, longRecords_ = 0, firstLongLine_ = 0;
};

// The words for a record's width problems, for one warning each at the end
// of the input ("3 records have fewer fields than the header's 4 (the first
// on line 2); filled out with empty fields"); empty when there are none.
std::vector<std::pair<uint64_t, std::string>> widthWarnings(const TableReader& reader);
