#include "golden_calls.h"

#include <cinttypes>
#include <cstring>
#include <functional>

#include "../../extender/exports.h"
#include "../../extender/function_table.h"
#include "../../platform/platform_test.h"

namespace {

// Bytes after each argument string's NUL, part of what a call must leave as
// it found it.
const size_t kGuardBytes = 8;
const unsigned char kGuard = 0xA5;

struct Arg {
    bool isString;
    std::string text;
    int32_t value;
};

Arg S(const std::string& text) { return Arg{true, text, 0}; }
Arg I(int32_t value) { return Arg{false, std::string(), value}; }

struct Call {
    int32_t number;
    std::vector<Arg> args;
};

// What the host's callback saw.
struct Delivered {
    int32_t flag;
    int32_t type;
    int32_t intValue;
    std::string text;
} delivered;

int32_t OV_STDCALL receive(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    delivered.flag = flag;
    delivered.type = value->type;
    delivered.intValue = value->type == TYPE_INTEGER ? value->intValue : 0;
    delivered.text = value->type == TYPE_STRING ? std::string(value->stringValue) : std::string();
    return 7 + flag;
}

class Fnv1a {
public:
    void bytes(const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash_ ^= p[i];
            hash_ *= 0x100000001B3ull;
        }
    }
    void number(int64_t value) { bytes(&value, sizeof value); }
    void text(const std::string& value) {
        number(static_cast<int64_t>(value.size()));
        bytes(value.data(), value.size());
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string describe(const std::vector<Arg>& args) {
    std::string out;
    for (size_t k = 0; k < args.size(); ++k) {
        if (k) out += ", ";
        out += args[k].isString ? "\"" + escaped(args[k].text) + "\"" : std::to_string(args[k].value);
    }
    return out;
}

class Runner {
public:
    Runner(FILE* dump, const std::string& dumpVariant) : dump_(dump), dumpVariant_(dumpVariant) {}

    void variant(const std::string& name, const std::function<void(const std::function<void(const Call&)>&)>& make) {
        GoldenVariant result;
        result.name = name;
        Fnv1a hash;
        bool dumping = dump_ && name == dumpVariant_;
        make([&](const Call& call) {
            run(call, hash, dumping ? dump_ : nullptr, result.calls);
            if (result.calls % GOLDEN_BLOCK_CALLS == 0) result.blocks.push_back(static_cast<uint32_t>(hash.value()));
        });
        if (result.calls % GOLDEN_BLOCK_CALLS != 0) result.blocks.push_back(static_cast<uint32_t>(hash.value()));
        result.hash = hash.value();
        variants.push_back(result);
    }

    std::vector<GoldenVariant> variants;

private:
    void run(const Call& call, Fnv1a& hash, FILE* dump, uint64_t& calls) {
        // Each string in a buffer of its length + 1 and the guard.
        std::vector<std::vector<char>> buffers(call.args.size());
        std::vector<HostValue> values(call.args.size() + 1);
        for (size_t k = 0; k < call.args.size(); ++k) {
            const Arg& arg = call.args[k];
            if (arg.isString) {
                buffers[k].assign(arg.text.size() + 1 + kGuardBytes, static_cast<char>(kGuard));
                std::memcpy(buffers[k].data(), arg.text.c_str(), arg.text.size() + 1);
                values[k] = HostValue{0.0, 0, TYPE_STRING, buffers[k].data()};
            } else {
                values[k] = HostValue{0.0, arg.value, TYPE_INTEGER, nullptr};
            }
        }
        HostValue result{0.0, -99, 0, nullptr};
        delivered = Delivered{0, 0, 0, std::string()};
        long liveBefore = platform_test::liveBlocks();
        platform_test::startAllocationLog();
        platform_test::startReleaseLog();
        int32_t answer = WILExtender2(0, 0, 11, call.number, receive, 13, 0, values.data(),
                                      static_cast<int32_t>(call.args.size()), &result);
        const std::vector<platform_test::Allocation>& allocations = platform_test::allocationLog();
        const std::vector<const void*>& releases = platform_test::releaseLog();
        ++calls;

        hash.number(call.number);
        hash.number(answer);
        hash.number(delivered.flag);
        hash.number(delivered.type);
        hash.number(delivered.intValue);
        hash.text(delivered.text);
        std::string after;
        for (size_t k = 0; k < call.args.size(); ++k) {
            hash.number(values[k].type);
            hash.number(values[k].intValue);
            std::string bytes(buffers[k].begin(), buffers[k].end());
            hash.text(bytes);
            if (dump) {
                if (k) after += ", ";
                after += "t" + std::to_string(values[k].type) + ":" +
                         (call.args[k].isString ? "\"" + escaped(bytes) + "\"" : std::to_string(values[k].intValue));
            }
        }
        std::string heap;
        hash.number(static_cast<int64_t>(allocations.size()));
        for (const platform_test::Allocation& allocation : allocations) {
            hash.number(static_cast<int64_t>(allocation.bytes));
            hash.number(allocation.block != nullptr);
            if (dump) heap += " " + std::to_string(allocation.bytes) + (allocation.block ? "" : "!");
        }
        // Releases as indices into the allocations, so the order is kept
        // whatever the addresses.
        heap += " /";
        hash.number(static_cast<int64_t>(releases.size()));
        for (const void* block : releases) {
            int64_t index = -1;
            for (size_t a = 0; a < allocations.size(); ++a)
                if (allocations[a].block == block) index = static_cast<int64_t>(a);
            hash.number(index);
            if (dump) heap += " " + std::to_string(index);
        }
        hash.number(platform_test::liveBlocks() - liveBefore);

        if (dump)
            std::fprintf(dump, "%" PRIu64 "\t%d(%s)\t=> %d flag %d t%d %d \"%s\"\targs %s\theap%s\n", calls,
                         call.number, describe(call.args).c_str(), answer, delivered.flag, delivered.type,
                         delivered.intValue, escaped(delivered.text).c_str(), after.c_str(), heap.c_str());
    }

    FILE* dump_;
    std::string dumpVariant_;
};

std::string lower(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(lowerCaseMap[static_cast<unsigned char>(c)]);
    return out;
}

// Names joined by blanks and cut to 236 to 275 bytes: across the lengths at
// which Double Metaphone's blanks no longer fit (250) and Levenshtein refuses
// a name (255). One for every eighth name.
std::vector<std::string> longNames(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (size_t i = 0; i < names.size(); i += 8) {
        size_t target = 236 + (i / 8) % 40;
        std::string text;
        for (size_t k = i; text.size() < target; k = (k + 1) % names.size()) text += names[k] + " ";
        out.push_back(text.substr(0, target));
    }
    return out;
}

}  // namespace

std::vector<GoldenVariant> computeGolden(const std::vector<std::string>& names, FILE* dump,
                                         const std::string& dumpVariant) {
    typedef std::function<void(const Call&)> Emit;
    Runner runner(dump, dumpVariant);
    const size_t count = names.size();
    std::vector<std::string> lowered;
    for (const std::string& name : names) lowered.push_back(lower(name));
    const std::vector<std::string> longs = longNames(names);
    auto next = [&](size_t i, size_t step) -> const std::string& { return names[(i + step) % count]; };

    // One call per name: `make` gives the call of name i.
    auto perName = [&](const std::string& variant, const std::function<Call(size_t)>& make) {
        runner.variant(variant, [&](const Emit& emit) {
            for (size_t i = 0; i < count; ++i) emit(make(i));
        });
    };
    auto perLong = [&](const std::string& variant, size_t step, const std::function<Call(size_t)>& make) {
        runner.variant(variant, [&](const Emit& emit) {
            for (size_t k = 0; k < longs.size(); k += step) emit(make(k));
        });
    };

    runner.variant("info", [&](const Emit& emit) {
        for (int32_t mode = -1; mode <= 3; ++mode) emit(Call{FN_EXTENDER_INFO, {I(mode)}});
    });

    perName("soundex.0", [&](size_t i) { return Call{FN_SOUNDEX, {S(names[i]), I(0)}}; });
    perName("soundex.1", [&](size_t i) { return Call{FN_SOUNDEX, {S(names[i]), I(1)}}; });
    perName("soundex.lower", [&](size_t i) { return Call{FN_SOUNDEX, {S(lowered[i]), I(-2)}}; });
    perName("soundex.blanks", [&](size_t i) { return Call{FN_SOUNDEX, {S("  " + names[i] + " \t"), I(5)}}; });
    perLong("soundex.long", 1, [&](size_t k) { return Call{FN_SOUNDEX, {S(longs[k]), I(k & 1)}}; });

    perName("metaphone.4", [&](size_t i) { return Call{FN_METAPHONE, {S(names[i]), I(4)}}; });
    perName("metaphone.1", [&](size_t i) { return Call{FN_METAPHONE, {S(names[i]), I(1)}}; });
    perName("metaphone.8", [&](size_t i) { return Call{FN_METAPHONE, {S(names[i]), I(8)}}; });
    perName("metaphone.lower", [&](size_t i) { return Call{FN_METAPHONE, {S(lowered[i]), I(5)}}; });
    perLong("metaphone.long", 1, [&](size_t k) { return Call{FN_METAPHONE, {S(longs[k]), I(300)}}; });

    perName("phonex", [&](size_t i) { return Call{FN_PHONEX, {S(names[i])}}; });
    perName("phonex.lower", [&](size_t i) { return Call{FN_PHONEX, {S(lowered[i])}}; });
    perName("phonex.blanks", [&](size_t i) { return Call{FN_PHONEX, {S("  " + lowered[i] + "\t ")}}; });
    perLong("phonex.long", 1, [&](size_t k) { return Call{FN_PHONEX, {S(longs[k])}}; });

    perName("guth.1", [&](size_t i) { return Call{FN_GUTH_MATCH, {S(names[i]), S(next(i, 1)), I(1)}}; });
    perName("guth.2", [&](size_t i) { return Call{FN_GUTH_MATCH, {S(names[i]), S(next(i, 1)), I(2)}}; });
    perName("guth.3", [&](size_t i) { return Call{FN_GUTH_MATCH, {S(names[i]), S(next(i, 1)), I(3)}}; });
    perName("guth.lower", [&](size_t i) { return Call{FN_GUTH_MATCH, {S(lowered[i]), S(names[i]), I(7)}}; });
    perName("guth.skip", [&](size_t i) { return Call{FN_GUTH_MATCH, {S(names[i]), S(lowered[(i + 2) % count]), I(2)}}; });
    perLong("guth.long", 1, [&](size_t k) { return Call{FN_GUTH_MATCH, {S(longs[k]), S(longs[(k + 1) % longs.size()]), I(3)}}; });

    perName("levenshtein", [&](size_t i) { return Call{FN_LEVENSHTEIN, {S(names[i]), S(next(i, 1))}}; });
    perName("levenshtein.lower", [&](size_t i) { return Call{FN_LEVENSHTEIN, {S(lowered[i]), S(next(i, 2))}}; });
    perLong("levenshtein.long", 8, [&](size_t k) {
        return Call{FN_LEVENSHTEIN, {S(longs[k]), S(longs[(k + 1) % longs.size()])}};
    });

    const int32_t limits[] = {1, 4, 6, 12, 255, 300};
    for (int32_t limit : limits)
        perName("dm." + std::to_string(limit),
                [&](size_t i) { return Call{FN_DOUBLE_METAPHONE, {S(names[i]), I(limit)}}; });
    perName("dm.lower", [&](size_t i) { return Call{FN_DOUBLE_METAPHONE, {S(lowered[i]), I(4)}}; });
    perLong("dm.long", 1, [&](size_t k) { return Call{FN_DOUBLE_METAPHONE, {S(longs[k]), I(k & 1 ? 255 : 4)}}; });

    auto prefix = [&](size_t i) { return names[i].substr(0, (names[i].size() + 1) / 2); };
    perName("abbrev.next.0", [&](size_t i) { return Call{FN_IS_ABBREV, {S(names[i]), S(next(i, 1)), I(0)}}; });
    perName("abbrev.next.3", [&](size_t i) { return Call{FN_IS_ABBREV, {S(names[i]), S(next(i, 1)), I(3)}}; });
    perName("abbrev.prefix.0", [&](size_t i) { return Call{FN_IS_ABBREV, {S(names[i]), S(prefix(i)), I(0)}}; });
    perName("abbrev.prefix.2", [&](size_t i) { return Call{FN_IS_ABBREV, {S(names[i]), S(prefix(i)), I(2)}}; });
    perName("abbrev.lower", [&](size_t i) { return Call{FN_IS_ABBREV, {S(names[i]), S(lower(prefix(i))), I(-1)}}; });
    perName("abbrev.over", [&](size_t i) {
        return Call{FN_IS_ABBREV, {S(names[i]), S(prefix(i)), I(static_cast<int32_t>(prefix(i).size()) + 1)}};
    });

    // Every position of each name, and one either side of it.
    auto perPosition = [&](const std::string& variant, const std::function<Call(size_t, int32_t)>& make) {
        runner.variant(variant, [&](const Emit& emit) {
            for (size_t i = 0; i < count; ++i)
                for (int32_t p = 0; p <= static_cast<int32_t>(names[i].size()) + 1; ++p) emit(make(i, p));
        });
    };
    perPosition("consonant", [&](size_t i, int32_t p) { return Call{FN_IS_CONSONANT, {S(names[i]), I(p)}}; });
    perPosition("consonant.lower", [&](size_t i, int32_t p) { return Call{FN_IS_CONSONANT, {S(lowered[i]), I(p)}}; });
    perPosition("vowel.0", [&](size_t i, int32_t p) { return Call{FN_IS_VOWEL, {S(names[i]), I(p), I(0)}}; });
    perPosition("vowel.1", [&](size_t i, int32_t p) { return Call{FN_IS_VOWEL, {S(names[i]), I(p), I(1)}}; });
    perPosition("vowel.lower", [&](size_t i, int32_t p) { return Call{FN_IS_VOWEL, {S(lowered[i]), I(p), I(-3)}}; });

    platform_test::stopHeapLogs();
    return runner.variants;
}

void writeGoldenFile(FILE* out, const std::vector<GoldenVariant>& variants) {
    std::fprintf(out, "# variant calls fnv1a64: made by golden_tool over data/names.txt\n");
    for (const GoldenVariant& variant : variants)
        std::fprintf(out, "%s %" PRIu64 " %016" PRIx64 "\n", variant.name.c_str(), variant.calls, variant.hash);
}

bool readGoldenFile(const char* path, std::vector<GoldenVariant>& variants) {
    FILE* in = std::fopen(path, "r");
    if (!in) return false;
    char line[256];
    bool ok = true;
    while (std::fgets(line, sizeof line, in)) {
        if (line[0] == '#' || line[0] == '\n') continue;
        char name[128];
        GoldenVariant variant;
        if (std::sscanf(line, "%127s %" SCNu64 " %" SCNx64, name, &variant.calls, &variant.hash) != 3) {
            ok = false;
            break;
        }
        variant.name = name;
        variants.push_back(variant);
    }
    std::fclose(in);
    return ok;
}

void writeGoldenBlocks(FILE* out, const std::vector<GoldenVariant>& variants) {
    for (const GoldenVariant& variant : variants) {
        std::fprintf(out, "%s", variant.name.c_str());
        for (size_t b = 0; b < variant.blocks.size(); ++b) std::fprintf(out, "%s%08" PRIx32, b ? "" : " ", variant.blocks[b]);
        std::fprintf(out, "\n");
    }
}

bool readGoldenBlocks(const char* path, std::vector<GoldenVariant>& variants) {
    FILE* in = std::fopen(path, "r");
    if (!in) return false;
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        size_t blank = line.find(' ');
        std::string name = line.substr(0, blank);
        for (GoldenVariant& variant : variants) {
            if (variant.name != name || blank == std::string::npos) continue;
            variant.blocks.clear();
            for (size_t at = blank + 1; at + 8 <= line.size(); at += 8)
                variant.blocks.push_back(static_cast<uint32_t>(std::stoul(line.substr(at, 8), nullptr, 16)));
        }
        line.clear();
    }
    std::fclose(in);
    return true;
}

long firstDifferingBlock(const GoldenVariant& want, const GoldenVariant& got) {
    size_t common = want.blocks.size() < got.blocks.size() ? want.blocks.size() : got.blocks.size();
    for (size_t b = 0; b < common; ++b)
        if (want.blocks[b] != got.blocks[b]) return static_cast<long>(b);
    if (want.blocks.size() != got.blocks.size()) return static_cast<long>(common);
    return -1;
}
