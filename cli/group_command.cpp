// ovrin group [options] [FILE]: the records of one list whose names are
// probably the same name spelled differently, in numbered groups.
// ovrin link [options] FILE_A FILE_B: for each record of A, the records of
// B whose names are. Both read and match as matching.h describes and write
// TSV (or CSV) rows or JSON lines; a summary goes to stderr.
#include <algorithm>
#include <cstring>
#include <functional>
#include <queue>

#include "command_parts.h"
#include "../records/encoding.h"
#include "matching.h"
#include "name_list.h"

namespace {

std::string counted(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Where the text of a record goes: as it came (TSV, CSV) or as a JSON
// string, in the output's encoding.
class Writer {
public:
    Writer(const CommandContext& context, Output& out)
        : out_(out),
          separator_(context.options.format == TextFormat::CSV ? ',' : '\t'),
          format_(context.options.format),
          toUtf8_(!context.options.cp1252) {}

    void raw(const char* data, size_t size) { out_.put(data, size); }
    void raw(const std::string& text) { out_.put(text); }
    void separator() { out_.put(separator_); }
    // A field of Windows-1252 text from the library, after a separator.
    void field(const std::string& libraryText) {
        putField(out_, separator_, format_, libraryText.data(), libraryText.size(), toUtf8_);
    }
    void number(uint64_t n) {
        char digits[20];
        char* p = digits + sizeof digits;
        do {
            *--p = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n);
        out_.put(p, static_cast<size_t>(digits + sizeof digits - p));
    }
    void lineEnd(bool crlf) { out_.put(crlf ? "\r\n" : "\n", crlf ? 2 : 1); }

    // A JSON string of input text: UTF-8 checked (invalid bytes become
    // U+FFFD), or Windows-1252 bytes as they are.
    void jsonInput(const char* data, size_t size) { jsonString(data, size, toUtf8_); }
    // A JSON string of Windows-1252 text from the library.
    void jsonLibrary(const std::string& text) {
        if (!toUtf8_) {
            jsonString(text.data(), text.size(), false);
            return;
        }
        std::string utf8(text.size() * 3, '\0');
        utf8.resize(cp1252ToUtf8(text.data(), text.size(), &utf8[0]));
        jsonString(utf8.data(), utf8.size(), true);
    }

    bool failed() const { return out_.failed(); }
    bool flush() { return out_.flush(); }

private:
    void jsonString(const char* data, size_t size, bool checkUtf8) {
        out_.put('"');
        for (size_t i = 0; i < size;) {
            unsigned char c = static_cast<unsigned char>(data[i]);
            if (c == '"' || c == '\\') {
                out_.put('\\');
                out_.put(static_cast<char>(c));
            } else if (c == '\t') {
                out_.put("\\t", 2);
            } else if (c == '\n') {
                out_.put("\\n", 2);
            } else if (c == '\r') {
                out_.put("\\r", 2);
            } else if (c < 0x20 || c == 0x7F) {
                char escape[8];
                static const char hex[] = "0123456789abcdef";
                std::memcpy(escape, "\\u00", 4);
                escape[4] = hex[c >> 4];
                escape[5] = hex[c & 15];
                out_.put(escape, 6);
            } else if (c >= 0x80 && checkUtf8) {
                size_t length = utf8Length(data + i, size - i);
                if (length == 0) {
                    out_.put("\\ufffd", 6);
                    ++i;
                    continue;
                }
                out_.put(data + i, length);
                i += length;
                continue;
            } else {
                out_.put(static_cast<char>(c));
            }
            ++i;
        }
        out_.put('"');
    }

    // The length of the valid UTF-8 sequence of 2 to 4 bytes at `s`, or 0.
    static size_t utf8Length(const char* s, size_t left) {
        const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
        size_t length;
        uint32_t c, least;
        if (u[0] >= 0xC2 && u[0] <= 0xDF) length = 2, c = u[0] & 0x1F, least = 0x80;
        else if (u[0] >= 0xE0 && u[0] <= 0xEF) length = 3, c = u[0] & 0x0F, least = 0x800;
        else if (u[0] >= 0xF0 && u[0] <= 0xF4) length = 4, c = u[0] & 0x07, least = 0x10000;
        else return 0;
        if (left < length) return 0;
        for (size_t k = 1; k < length; ++k) {
            if ((u[k] & 0xC0) != 0x80) return 0;
            c = (c << 6) | (u[k] & 0x3F);
        }
        return c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0 : length;
    }

    Output& out_;
    char separator_;
    TextFormat format_;
    bool toUtf8_;
};

// Reports the records that take no part, in record order: those without a
// usable name, and those whose name the encoder gives no code.
void reportRecords(const CommandContext& context, const NameList& list, const ClassList& classes, KeyKind key,
                   const std::string& consequence, RecordWarnings& warnings) {
    size_t next = 0;
    for (size_t r = 0; r < list.records.size(); ++r) {
        bool noted = false;
        while (next < list.problems.size() && list.problems[next].first == r) {
            warnings.warn(list.where, list.records[r].line, list.problems[next++].second + "; " + consequence);
            noted = true;
        }
        const NameRecord& record = list.records[r];
        if (record.name == kNoName) {
            if (!noted) warnings.warn(list.where, record.line, "no usable name; " + consequence);
        } else if (classes.classOfName[record.name] == kNoCode) {
            warnings.warn(list.where, record.line,
                          quotedName(context, list.names.data(record.name), list.names.size(record.name)) +
                              " has no " + keyTitle(key) + " code; " + consequence);
        }
    }
}

uint64_t countWithoutCode(const NameList& list, const ClassList& classes) {
    uint64_t n = 0;
    for (const NameRecord& r : list.records)
        if (r.name != kNoName && classes.classOfName[r.name] == kNoCode) ++n;
    return n;
}

// {"line":N,"name":"...","record":"..."}
void jsonRecord(Writer& w, const NameList& list, const NameRecord& r) {
    w.raw("{\"line\":");
    w.number(r.line);
    w.raw(",\"name\":");
    if (r.name == kNoName) w.raw("null");
    else w.jsonLibrary(list.names.text(r.name));
    w.raw(",\"record\":");
    w.jsonInput(list.recordText(r), r.size);
    w.raw("}");
}

struct Prepared {
    MatchSettings settings;
    std::vector<std::string> selectors;
};

int prepare(CommandContext& context, size_t lists, Prepared* prepared) {
    int status = readMatchSettings(context, &prepared->settings);
    if (status != EXIT_DONE) return status;
    prepared->selectors = context.options.fields;
    if (prepared->selectors.empty()) prepared->selectors.push_back("1");
    if (prepared->selectors.size() > lists)
        return context.usage(std::string(lists == 1 ? "group reads one field" : "link reads one field of each file") +
                             ", --field gives " + std::to_string(prepared->selectors.size()));
    if (prepared->selectors.size() < lists) prepared->selectors.push_back(prepared->selectors[0]);
    return EXIT_DONE;
}

}  // namespace

int runGroup(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() > 2) return context.usage("group takes one file at most: ovrin group [options] [FILE]");
    Prepared prepared;
    int status = prepare(context, 1, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);

    NameList list;
    list.input = words.size() > 1 ? words[1] : "-";
    status = readNameList(context, prepared.selectors[0], &list);
    if (status != EXIT_DONE) return status;
    ClassList classes;
    Grouping grouping;
    if (!matcher.classify(list, &classes) || !groupNames(matcher, list, classes, &grouping)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    RecordWarnings warnings(context);
    reportRecords(context, list, classes, prepared.settings.key, "it stands alone", warnings);

    // The records of each group, in input order.
    const size_t recordCount = list.records.size();
    const size_t groupCount = grouping.groupKey.size() - 1;
    std::vector<uint32_t> groupStart(groupCount + 2, 0);
    for (uint32_t g : grouping.groupOfRecord)
        if (g) ++groupStart[g + 1];
    for (size_t g = 1; g <= groupCount; ++g) groupStart[g + 1] += groupStart[g];
    std::vector<uint32_t> members(groupStart[groupCount + 1]);
    {
        std::vector<uint32_t> next(groupStart.begin(), groupStart.end());
        for (size_t r = 0; r < recordCount; ++r)
            if (grouping.groupOfRecord[r]) members[next[grouping.groupOfRecord[r]]++] = static_cast<uint32_t>(r);
    }

    Output out(*context.console.out);
    Writer w(context, out);
    const StringPool& keys = matcher.catalog().keys;
    if (!options.json) {
        if (list.bom) w.raw("\xEF\xBB\xBF", 3);
        if (list.hasHeader) {
            w.raw(list.recordText(list.header), list.header.size);
            w.field("group");
            w.field("key");
            w.lineEnd(list.header.crlf);
        }
    }
    // Groups and, with --all, the records alone, in order of their first
    // records.
    uint32_t nextGroup = 1;
    for (size_t r = 0; r < recordCount && !w.failed(); ++r) {
        uint32_t g = grouping.groupOfRecord[r];
        if (g == 0 && !options.all) continue;
        if (g != 0 && g != nextGroup) continue;  // written with its group
        size_t from = g ? groupStart[g] : 0, to = g ? groupStart[g + 1] : 1;
        std::string key = g ? keys.text(static_cast<uint32_t>(grouping.groupKey[g])) : std::string();
        if (options.json) {
            w.raw("{\"group\":");
            if (g) w.number(g);
            else w.raw("null");
            w.raw(",\"key\":");
            if (g) w.jsonLibrary(key);
            else w.raw("null");
            w.raw(",\"records\":[");
            for (size_t i = from; i < to; ++i) {
                if (i > from) w.raw(",");
                jsonRecord(w, list, list.records[g ? members[i] : r]);
            }
            w.raw("]}\n");
        } else {
            for (size_t i = from; i < to; ++i) {
                const NameRecord& record = list.records[g ? members[i] : r];
                w.raw(list.recordText(record), record.size);
                w.separator();
                if (g) w.number(g);
                w.field(key);
                w.lineEnd(record.crlf);
            }
        }
        if (g) ++nextGroup;
    }
    w.flush();
    if (w.failed()) return context.usage("cannot write the output");

    uint64_t withoutCode = grouping.withoutCode;
    context.message(counted(recordCount, "record", "records") + ": " + std::to_string(grouping.grouped) + " in " +
                    counted(groupCount, "group", "groups") + ", " +
                    std::to_string(recordCount - grouping.grouped) + " alone (" + std::to_string(list.withoutName) +
                    " without a name, " + std::to_string(withoutCode) + " without a code)");
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

int runLink(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() != 3) return context.usage("link needs two files: ovrin link [options] FILE_A FILE_B");
    if (words[1] == "-" && words[2] == "-") return context.usage("only one of the two files can be stdin (-)");
    Prepared prepared;
    int status = prepare(context, 2, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);

    NameList a, b;
    a.input = words[1];
    b.input = words[2];
    status = readNameList(context, prepared.selectors[0], &a);
    if (status == EXIT_DONE) status = readNameList(context, prepared.selectors[1], &b);
    if (status != EXIT_DONE) return status;

    // B's classes and their codes first; A's codes that B lacks find nothing.
    ClassList aClasses, bClasses;
    KeyIndex bIndex;
    if (!matcher.classify(b, &bClasses)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    buildKeyIndex(matcher.catalog(), bClasses, &bIndex);
    if (!matcher.classify(a, &aClasses)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    RecordWarnings warnings(context);
    reportRecords(context, a, aClasses, prepared.settings.key, "it is not matched", warnings);
    reportRecords(context, b, bClasses, prepared.settings.key, "it is not matched", warnings);

    // The records of each class of B, in input order.
    const size_t bClassCount = bClasses.form.size();
    std::vector<uint32_t> bStart(bClassCount + 1, 0);
    for (const NameRecord& r : b.records)
        if (r.name != kNoName && bClasses.classOfName[r.name] != kNoCode) ++bStart[bClasses.classOfName[r.name] + 1];
    for (size_t c = 0; c < bClassCount; ++c) bStart[c + 1] += bStart[c];
    std::vector<uint32_t> bMembers(bStart[bClassCount]);
    {
        std::vector<uint32_t> next(bStart.begin(), bStart.end() - 1);
        for (size_t r = 0; r < b.records.size(); ++r) {
            uint32_t name = b.records[r].name;
            if (name != kNoName && bClasses.classOfName[name] != kNoCode)
                bMembers[next[bClasses.classOfName[name]]++] = static_cast<uint32_t>(r);
        }
    }

    // The matches of each class of A, all found before anything is written,
    // so that an error answer leaves no output.
    const size_t aClassCount = aClasses.form.size();
    std::vector<uint32_t> matchStart(1, 0);
    std::vector<LinkMatch> matches, found;
    matchStart.reserve(aClassCount + 1);
    for (uint32_t c = 0; c < aClassCount; ++c) {
        if (!linkClass(matcher, aClasses, c, bClasses, bIndex, &found)) {
            context.message(matcher.error() + "; stopped");
            return EXIT_FAULTS;
        }
        if (options.best && !found.empty()) {
            // The highest percentage, then the lowest distance, then the
            // first in B (classes are in order of first records).
            LinkMatch best = found[0];
            for (const LinkMatch& m : found)
                if (m.percent > best.percent || (m.percent == best.percent && m.distance < best.distance)) best = m;
            found.assign(1, best);
        }
        matches.insert(matches.end(), found.begin(), found.end());
        matchStart.push_back(static_cast<uint32_t>(matches.size()));
    }

    Output out(*context.console.out);
    Writer w(context, out);
    const StringPool& keys = matcher.catalog().keys;
    if (!options.json) {
        if (a.bom) w.raw("\xEF\xBB\xBF", 3);
        if (a.hasHeader || b.hasHeader) {
            if (a.hasHeader) w.raw(a.recordText(a.header), a.header.size);
            w.separator();
            if (b.hasHeader) w.raw(b.recordText(b.header), b.header.size);
            w.field("line_a");
            w.field("line_b");
            w.field("key");
            w.field("guth_percent");
            w.field("levenshtein");
            w.lineEnd(a.hasHeader ? a.header.crlf : b.header.crlf);
        }
    }
    // What each line is made of, formatted once: for each match its tail
    // (key, percentage and distance), for each record of A its head (its
    // text, or its JSON object) and its line number.
    std::vector<std::string> tails;
    auto render = [&](const std::function<void(Writer&)>& write) {
        MemorySink sink;
        {
            Output buffer(sink, 256);
            Writer text(context, buffer);
            write(text);
        }
        return sink.text;
    };
    auto tailOf = [&](const LinkMatch* m) {
        return render([&](Writer& t) {
            if (options.json) {
                t.raw(",\"key\":");
                if (m) t.jsonLibrary(keys.text(static_cast<uint32_t>(m->key)));
                else t.raw("null");
                t.raw(",\"guth_percent\":" + (m ? std::to_string(m->percent) : std::string("null")));
                t.raw(",\"levenshtein\":" + (m ? std::to_string(m->distance) : std::string("null")) + "}");
            } else {
                t.field(m ? keys.text(static_cast<uint32_t>(m->key)) : std::string());
                t.separator();
                if (m) t.raw(std::to_string(m->percent));
                t.separator();
                if (m) t.raw(std::to_string(m->distance));
            }
        });
    };
    const std::string noMatchTail = tailOf(nullptr);
    tails.reserve(matches.size());
    for (const LinkMatch& m : matches) tails.push_back(tailOf(&m));
    std::string head, middle;
    auto writePair = [&](const NameRecord& ra, const NameRecord* rb, const std::string& tail) {
        w.raw(head);
        if (options.json) {
            if (rb) jsonRecord(w, b, *rb);
            else w.raw("null");
        } else {
            if (rb) w.raw(b.recordText(*rb), rb->size);
            w.raw(middle);
            if (rb) w.number(rb->line);
        }
        w.raw(tail);
        w.lineEnd(options.json ? false : ra.crlf);
    };

    uint64_t matched = 0, pairs = 0;
    typedef std::pair<uint32_t, uint32_t> Cursor;  // B record, index of its match
    std::priority_queue<Cursor, std::vector<Cursor>, std::greater<Cursor>> merge;
    std::vector<uint32_t> cursor;
    for (const NameRecord& ra : a.records) {
        if (w.failed()) break;
        uint32_t c = ra.name == kNoName ? kNoCode : aClasses.classOfName[ra.name];
        size_t from = 0, to = 0;
        if (c != kNoCode) {
            from = matchStart[c];
            to = matchStart[c + 1];
        }
        if (from == to && !options.all) continue;
        head = render([&](Writer& t) {
            if (options.json) {
                t.raw("{\"a\":");
                jsonRecord(t, a, ra);
                t.raw(",\"b\":");
            } else {
                t.raw(a.recordText(ra), ra.size);
                t.separator();
            }
        });
        middle = render([&](Writer& t) {
            t.separator();
            t.number(ra.line);
            t.separator();
        });
        if (from == to) {
            writePair(ra, nullptr, noMatchTail);
            continue;
        }
        ++matched;
        if (options.best) {
            const LinkMatch& m = matches[from];
            writePair(ra, &b.records[bMembers[bStart[m.bClass]]], tails[from]);
            ++pairs;
            continue;
        }
        // The B records of all matched classes, in input order.
        cursor.assign(to - from, 0);
        for (size_t i = from; i < to; ++i)
            merge.push(Cursor(bMembers[bStart[matches[i].bClass]], static_cast<uint32_t>(i - from)));
        while (!merge.empty()) {
            Cursor top = merge.top();
            merge.pop();
            const LinkMatch& m = matches[from + top.second];
            writePair(ra, &b.records[top.first], tails[from + top.second]);
            ++pairs;
            uint32_t& at = cursor[top.second];
            if (bStart[m.bClass] + ++at < bStart[m.bClass + 1])
                merge.push(Cursor(bMembers[bStart[m.bClass] + at], top.second));
        }
    }
    w.flush();
    if (w.failed()) return context.usage("cannot write the output");

    uint64_t aWithoutCode = countWithoutCode(a, aClasses), bWithoutCode = countWithoutCode(b, bClasses);
    context.message("A: " + counted(a.records.size(), "record", "records") + ", " + std::to_string(matched) +
                    " matched, " + std::to_string(a.records.size() - matched) + " not (" +
                    std::to_string(a.withoutName) + " without a name, " + std::to_string(aWithoutCode) +
                    " without a code); B: " + counted(b.records.size(), "record", "records") + " (" +
                    std::to_string(b.withoutName) + " without a name, " + std::to_string(bWithoutCode) +
                    " without a code); " + counted(pairs, "pair", "pairs") + " written");
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
