#include "name_list.h"

#include <cerrno>
#include <cstring>

#include "../records/encoding.h"
#include "../records/system.h"

namespace {

const size_t kMaxRecord = 16 << 20;
const uint64_t kWarningsShown = 100;

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isFieldNumber(const std::string& selector) {
    return !selector.empty() && selector.find_first_not_of("0123456789") == std::string::npos;
}

// Notes a problem of the record being read.
void note(NameList* list, const std::string& problem) {
    if (list->problems.size() <= kWarningsShown) list->problems.emplace_back(list->records.size(), problem);
}

}  // namespace

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

uint32_t StringPool::find(const char* data, size_t size) const {
    uint32_t h = hash(data, size);
    size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        uint32_t slot = slots_[i];
        if (slot == 0) return kNone;
        uint32_t id = slot - 1;
        if (hashes_[id] == h && this->size(id) == size && std::memcmp(this->data(id), data, size) == 0) return id;
    }
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
    std::vector<uint32_t> slots(slots_.size() * 2, 0);
    size_t mask = slots.size() - 1;
    for (uint32_t id = 0; id < count(); ++id) {
        size_t i = hashes_[id] & mask;
        while (slots[i] != 0) i = (i + 1) & mask;
        slots[i] = id + 1;
    }
    slots_.swap(slots);
}

void RecordWarnings::warn(const std::string& where, uint64_t line, const std::string& what) {
    ++count_;
    if (count_ > kWarningsShown + 1) return;
    if (count_ > kWarningsShown) context_.message("further warnings are not shown");
    else context_.message(where + ":" + std::to_string(line) + ": " + what);
}

std::string quotedName(const CommandContext& context, const char* name, size_t size) {
    return "\"" + context.toConsole(std::string(name, size)) + "\"";
}

int readNameList(const CommandContext& context, const std::string& selector, NameList* list) {
    const Options& options = context.options;
    list->where = list->input == "-" ? "stdin" : list->input;
    bool byName = !isFieldNumber(selector);
    if (selector.empty()) return context.usage("--field has an empty entry");
    if (!byName) {
        size_t n = selector.size() > 9 ? 0 : static_cast<size_t>(std::stoul(selector));
        if (n == 0) return context.usage("field numbers count from 1 (--field " + selector + ")");
        list->field = n - 1;
    }
    bool header = options.header || byName;

    NamedInput input;
    if (!input.open(list->input, context.console.in))
        return context.usage("cannot read " + list->input + ": " + std::strerror(errno));
    ByteSource* source = &input.source();

    // The records' text is kept whole; room for all of it at once spares
    // the copies of a growing buffer.
    int64_t size = source->knownSize();
    if (size > 0 && static_cast<uint64_t>(size) < SIZE_MAX / 2) list->text.reserve(static_cast<size_t>(size));

    const TextFormat format = options.format;
    const bool fromUtf8 = !options.cp1252;
    RecordReader reader(*source, format, 1 << 20, kMaxRecord);
    std::vector<Field> fields;
    std::vector<char> scratch;
    std::vector<char> name(256);
    bool first = true;
    bool crlfSeen = false;
    Record record;
    while (reader.next(&record)) {
        Record parsed = record;
        if (first) {
            first = false;
            // The mark is written at the start of the output again.
            if (fromUtf8 && skipByteOrderMark(&parsed)) list->bom = true;
            if (header) {
                if (byName) {
                    std::vector<Field> all(parsed.size + 1);
                    size_t n = splitFields(parsed, format, all.size(), all.data(), scratch);
                    size_t found = SIZE_MAX;
                    for (size_t i = 0; i < n && found == SIZE_MAX; ++i)
                        if (std::string(all[i].data, all[i].size) == selector) found = i;
                    for (size_t i = 0; i < n && found == SIZE_MAX; ++i)
                        if (lowerAscii(std::string(all[i].data, all[i].size)) == lowerAscii(selector)) found = i;
                    if (found == SIZE_MAX) {
                        std::string names;
                        for (size_t i = 0; i < n; ++i) names += (i ? ", " : "") + std::string(all[i].data, all[i].size);
                        return context.usage(list->where + ": no column named \"" + selector + "\" in the header (" +
                                             names + ")");
                    }
                    list->field = found;
                }
                list->hasHeader = true;
                list->header.offset = list->text.size();
                list->header.size = static_cast<uint32_t>(parsed.size);
                list->header.line = record.line;
                list->header.crlf = record.crlf;
                crlfSeen = record.crlf;
                list->text.insert(list->text.end(), parsed.data, parsed.data + parsed.size);
                continue;
            }
        }
        if (fields.empty()) fields.resize(list->field + 1);
        NameRecord r;
        r.offset = list->text.size();
        r.size = static_cast<uint32_t>(parsed.size);
        r.line = record.line;
        crlfSeen = crlfSeen || record.crlf;
        r.crlf = record.crlf || (!record.ended && crlfSeen);
        list->text.insert(list->text.end(), parsed.data, parsed.data + parsed.size);
        if (reader.unclosedQuote()) note(list, "a quote is not closed before the end of the input");

        size_t count = splitFields(parsed, format, fields.size(), fields.data(), scratch);
        std::string problem;
        if (list->field >= count) {
            problem = "no field " + std::to_string(list->field + 1);
        } else {
            const Field& field = fields[list->field];
            if (name.size() < field.size + 1) name.resize(field.size + 1);
            size_t length;
            EncodingProblem encoding;
            if (field.size == 0) {
                problem = "empty name in field " + std::to_string(list->field + 1);
            } else if (fromUtf8) {
                length = utf8ToCp1252(field.data, field.size, name.data(), &encoding);
                if (length == SIZE_MAX)
                    problem = describeProblem(encoding) + " in field " + std::to_string(list->field + 1);
                else r.name = list->names.add(name.data(), length);
            } else if (std::memchr(field.data, '\0', field.size)) {
                encoding.kind = EncodingProblem::NUL_BYTE;
                problem = describeProblem(encoding) + " in field " + std::to_string(list->field + 1);
            } else {
                r.name = list->names.add(field.data, field.size);
            }
        }
        if (r.name == kNoName) {
            ++list->withoutName;
            note(list, problem);
        }
        list->records.push_back(r);
    }
    if (reader.error() == RecordReader::READ_FAILED)
        return context.usage("cannot read " + list->where + ": " + std::strerror(errno));
    if (reader.error() == RecordReader::RECORD_TOO_LONG)
        return context.usage(list->where + ":" + std::to_string(reader.line()) +
                             ": a record longer than 16 MiB; stopped there");
    if (first && byName)
        return context.usage(list->where + ": the input is empty: no header to find \"" + selector + "\" in");
    return EXIT_DONE;
}
