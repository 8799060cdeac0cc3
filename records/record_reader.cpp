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

bool RecordReader::nextSlow(Record* record) {
    if (error_ != NONE) return false;
    for (;;) {
        const char* base = buffer_.data();
        size_t found = SIZE_MAX;  // where the line end begins
        size_t i = scan_;
        if (format_ == TextFormat::TSV) {
            found = findLineEnd(base, i, end_, buffer_.size());
            if (found == SIZE_MAX) i = end_;
        } else {
            // A quote opens a quoted text only at the start of a field (or
            // right after the quote that closed one: a doubled quote), as
            // splitFields reads it; elsewhere it is a plain character.
            for (; i < end_; ++i) {
                char c = base[i];
                if (inQuotes_) {
                    if (c == '"') {
                        inQuotes_ = false;
                        justClosed_ = true;
                    } else if (c == '\n' || c == '\r') {
                        if (c == '\r') {
                            // Whether CR LF or a lone CR: the next byte tells.
                            if (i + 1 == end_ && !atEnd_) break;
                            if (i + 1 < end_ && base[i + 1] == '\n') continue;
                        }
                        ++innerLines_;
                    }
                    continue;
                }
                if (c == '\n' || c == '\r') {
                    found = i;
                    break;
                }
                if (c == '"' && (atFieldStart_ || justClosed_)) inQuotes_ = true;
                justClosed_ = false;
                atFieldStart_ = c == ',';
            }
        }
        // A CR at the end of the bytes read may be the first of a CR LF.
        if (found != SIZE_MAX && base[found] == '\r' && found + 1 == end_ && !atEnd_) {
            i = found;
            found = SIZE_MAX;
        }
        if (found != SIZE_MAX || (atEnd_ && begin_ < end_)) {
            size_t stop = found != SIZE_MAX ? found : end_;
            size_t after = stop;
            LineEnd lineEnd = LineEnd::NONE;
            unclosedQuote_ = found == SIZE_MAX && inQuotes_;
            if (found != SIZE_MAX) {
                bool crlf = base[found] == '\r' && found + 1 < end_ && base[found + 1] == '\n';
                lineEnd = base[found] == '\n' ? LineEnd::LF : crlf ? LineEnd::CRLF : LineEnd::CR;
                after = found + (crlf ? 2 : 1);
            } else if (unclosedQuote_ && stop > begin_ && (base[stop - 1] == '\n' || base[stop - 1] == '\r')) {
                // The input's last line end, swallowed by the open quote.
                bool crlf = base[stop - 1] == '\n' && stop - begin_ >= 2 && base[stop - 2] == '\r';
                lineEnd = crlf ? LineEnd::CRLF : base[stop - 1] == '\n' ? LineEnd::LF : LineEnd::CR;
                stop -= crlf ? 2 : 1;
                --innerLines_;
            }
            record->data = base + begin_;
            record->size = stop - begin_;
            record->end = lineEnd;
            record->line = line_;
            line_ += 1 + innerLines_;
            innerLines_ = 0;
            inQuotes_ = false;
            justClosed_ = false;
            atFieldStart_ = true;
            begin_ = scan_ = after;
            return true;
        }
        scan_ = i;
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

bool skipByteOrderMark(Record* record) {
    if (record->size < 3 || std::memcmp(record->data, "\xEF\xBB\xBF", 3) != 0) return false;
    record->data += 3;
    record->size -= 3;
    return true;
}

namespace {

bool isFieldNumber(const std::string& selector) {
    return !selector.empty() && selector.find_first_not_of("0123456789") == std::string::npos;
}

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Out of line, so that the common path of decodeNames stays short.
__attribute__((noinline)) void unusable(NameField* name, NameField::Problem kind, const std::string& problem,
                                        size_t field) {
    name->problem = problem + std::to_string(field + 1);
    name->kind = kind;
    name->usable = false;
}

std::string countedRecords(uint64_t n) { return std::to_string(n) + (n == 1 ? " record has" : " records have"); }

}  // namespace

bool checkSelector(const std::string& selector, std::string* problem) {
    if (selector.empty()) {
        *problem = "--field has an empty entry";
        return false;
    }
    if (isFieldNumber(selector) && (selector.size() > 9 || std::stoul(selector) == 0)) {
        *problem = "field numbers count from 1 (--field " + selector + ")";
        return false;
    }
    return true;
}

TableReader::TableReader(ByteSource& source, const TableSettings& settings)
    : reader_(source, settings.format, settings.blockSize, settings.maxRecord), settings_(settings) {}

bool TableReader::start(std::string* problem) {
    started_ = true;
    bool byName = false;
    size_t widest = 0;
    for (const std::string& selector : settings_.selectors) {
        if (!checkSelector(selector, problem)) return false;
        size_t field = SIZE_MAX;
        if (isFieldNumber(selector)) {
            size_t n = static_cast<size_t>(std::stoul(selector));
            field = n - 1;
            if (n > widest) widest = n;
        } else {
            byName = true;
        }
        selected_.push_back(field);
    }
    hasHeader_ = settings_.header || byName;

    Record first;
    if (!reader_.next(&first)) {
        if (reader_.error() != RecordReader::NONE) return true;  // the caller reports it
        hasHeader_ = false;
        for (const std::string& selector : settings_.selectors)
            if (!isFieldNumber(selector)) {
                *problem = "the input is empty: no header to find \"" + selector + "\" in";
                return false;
            }
        return true;
    }
    if (!settings_.cp1252) bom_ = skipByteOrderMark(&first);
    if (hasHeader_) {
        std::vector<Field> all(first.size + 1);
        size_t n = splitFields(first, settings_.format, all.size(), all.data(), scratch_);
        for (size_t i = 0; i < n; ++i) headerFields_.emplace_back(all[i].data, all[i].size);
        headerText_.assign(first.data, first.size);
        headerEnd_ = first.end;
        headerUnclosedQuote_ = reader_.unclosedQuote();
        if (first.end != LineEnd::NONE) lastEnd_ = first.end;
        for (size_t k = 0; k < selected_.size(); ++k) {
            const std::string& selector = settings_.selectors[k];
            if (isFieldNumber(selector)) continue;
            selected_[k] = findColumn(headerFields_, selector);
            if (selected_[k] == SIZE_MAX) {
                std::string names;
                for (size_t i = 0; i < n; ++i) names += (i ? ", " : "") + headerFields_[i];
                *problem = "no column named \"" + selector + "\" in the header (" + names + ")";
                return false;
            }
            if (selected_[k] + 1 > widest) widest = selected_[k] + 1;
        }
    } else {
        pending_ = first;
        hasPending_ = true;
        std::vector<Field> all(first.size + 1);
        firstWidth_ = splitFields(first, settings_.format, all.size(), all.data(), scratch_);
    }
    // Only the fields up to the last one read are split off, and with a
    // header one more than it has, to tell a record that is too wide.
    splitCount_ = hasHeader_ && width() + 1 > widest ? width() + 1 : widest;
    if (splitCount_ == 0) splitCount_ = 1;
    fields_.resize(splitCount_);
    return true;
}

bool TableReader::next(TableRecord* record) {
    // Read in place: a copy of a record just written field by field would
    // wait for those stores.
    Record& r = record->record;
    if (hasPending_) {
        r = pending_;
        hasPending_ = false;
    } else if (!started_ || !reader_.next(&r)) {
        return false;
    }
    if (r.end == LineEnd::NONE) r.end = lastEnd_;
    lastEnd_ = r.end;
    record->unclosedQuote = reader_.unclosedQuote();
    size_t n = splitFields(r, settings_.format, splitCount_, fields_.data(), scratch_);
    record->fields = n;
    record->missing = 0;
    if (hasHeader_) {
        if (n < width()) {
            record->missing = width() - n;
            if (shortRecords_++ == 0) firstShortLine_ = r.line;
        } else if (n > width()) {
            if (longRecords_++ == 0) firstLongLine_ = r.line;
        }
    }
    decodeNames(fields_.data(), n, record);
    return true;
}

void TableReader::decodeNames(const Field* fields, size_t count, TableRecord* record) {
    if (record->names.size() != selected_.size()) record->names.resize(selected_.size());
    NameField* names = record->names.data();
    for (size_t k = 0; k < selected_.size(); ++k) {
        NameField& name = names[k];
        size_t f = selected_[k];
        if (f < count && fields[f].size > 0) {
            const Field& field = fields[f];
            if (name.text.size() <= field.size) name.text.resize(field.size + 1);
            char* text = name.text.data();
            EncodingProblem encoding;
            size_t length;
            if (!settings_.cp1252) {
                length = utf8ToCp1252(field.data, field.size, text, &encoding);
            } else if (std::memchr(field.data, '\0', field.size)) {
                encoding.kind = EncodingProblem::NUL_BYTE;
                length = SIZE_MAX;
            } else {
                std::memcpy(text, field.data, field.size);
                length = field.size;
            }
            // An ASCII field (its form as long as its UTF-8) needs no spelling.
            if (settings_.latin && (length != field.size || settings_.cp1252)) {
                length = spellInLatin(field, length, &name, &encoding);
                text = name.text.data();
            }
            if (length != SIZE_MAX) {
                text[length] = '\0';
                name.size = length;
                name.usable = true;
                name.kind = NameField::NONE;
                continue;
            }
            unusable(&name, NameField::UNREADABLE, describeProblem(encoding) + " in field ", f);
        } else if (f < count) {
            unusable(&name, NameField::EMPTY, "empty name in field ", f);
        } else {
            unusable(&name, NameField::ABSENT, "no field ", f);
        }
    }
}

// With settings.latin: the field spelled in Latin letters, in place of the
// `length` bytes of its Windows-1252 form in `name->text` (SIZE_MAX when it
// has none, `encoding` saying why). A field of Windows-1252 only changes if
// it holds one of the eleven letters; ICU is asked only for a character
// that Windows-1252 lacks. Answers the new length, or SIZE_MAX with
// `encoding` set.
size_t TableReader::spellInLatin(const Field& field, size_t length, NameField* name, EncodingProblem* encoding) {
    if (length != SIZE_MAX) {
        if (!hasLettersToRespell(name->text.data(), length)) return length;
        respellLetters(name->text.data(), length, &spelled_);
    } else if (encoding->kind != EncodingProblem::UNENCODABLE ||
               !speller_.spell(field.data, field.size, &spelled_, encoding)) {
        return SIZE_MAX;
    }
    if (name->text.size() <= spelled_.size()) name->text.resize(spelled_.size() + 1);
    std::memcpy(name->text.data(), spelled_.data(), spelled_.size());
    return spelled_.size();
}

std::vector<std::pair<uint64_t, std::string>> widthWarnings(const TableReader& reader) {
    std::vector<std::pair<uint64_t, std::string>> warnings;
    std::string width = std::to_string(reader.width());
    if (reader.shortRecords() > 0)
        warnings.emplace_back(reader.firstShortLine(), countedRecords(reader.shortRecords()) +
                                                           " fewer fields than the header's " + width +
                                                           " (the first here); filled out with empty fields");
    if (reader.longRecords() > 0)
        warnings.emplace_back(reader.firstLongLine(), countedRecords(reader.longRecords()) +
                                                          " more fields than the header's " + width +
                                                          " (the first here); the new columns follow the last");
    return warnings;
}

std::string recordTooLongText() {
    return "a record longer than " + std::to_string(kLongestRecord >> 20) + " MiB; stopped there";
}

size_t findColumn(const std::vector<std::string>& header, const std::string& name) {
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] == name) return i;
    for (size_t i = 0; i < header.size(); ++i)
        if (sameIgnoringAsciiCase(header[i], name)) return i;
    return SIZE_MAX;
}
