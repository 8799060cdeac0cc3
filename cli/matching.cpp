#include "matching.h"

#include <algorithm>
#include <cstring>

#include "function_notes.h"
#include "text.h"

namespace {

const int32_t kNotAsked = INT32_MIN;

// The row of a function that takes the given parameter types (a string of
// 's' and 'i'), or null with `problem` set.
const FunctionRow* findRow(const CommandContext& context, const char* name, const char* types, std::string* problem) {
    const FunctionRow* row = context.findFunction(name);
    if (!row) {
        *problem = std::string("the library has no function ") + name;
        return nullptr;
    }
    bool fits = row->paramCount == static_cast<int32_t>(std::strlen(types));
    for (int i = 0; fits && types[i]; ++i)
        fits = row->paramType(i) == (types[i] == 's' ? PARAM_STRING : PARAM_INTEGER);
    if (!fits) {
        *problem = takesText(*row) + ", which the matching cannot use";
        return nullptr;
    }
    return row;
}

}  // namespace

const char* keyTitle(KeyKind key) {
    switch (key) {
    case KeyKind::DMETAPHONE: return "Double Metaphone";
    case KeyKind::METAPHONE: return "Metaphone";
    case KeyKind::SOUNDEX: return "Soundex";
    case KeyKind::SOUNDEX5: return "Soundex (5)";
    case KeyKind::PHONEX: return "Phonex";
    }
    return "";
}

int readMatchSettings(const CommandContext& context, MatchSettings* settings) {
    const Options& options = context.options;
    std::string key = asciiLower(options.key);
    if (key.empty() || key == "dmetaphone" || key == "doublemetaphone") settings->key = KeyKind::DMETAPHONE;
    else if (key == "metaphone") settings->key = KeyKind::METAPHONE;
    else if (key == "soundex") settings->key = KeyKind::SOUNDEX;
    else if (key == "soundex5") settings->key = KeyKind::SOUNDEX5;
    else if (key == "phonex") settings->key = KeyKind::PHONEX;
    else return context.usage("unknown key \"" + options.key + "\": dmetaphone, metaphone, soundex, soundex5 or phonex");

    if (!options.limit.empty()) {
        if (settings->key != KeyKind::DMETAPHONE && settings->key != KeyKind::METAPHONE)
            return context.usage("--limit sets the code length of dmetaphone and metaphone only");
        int32_t limit;
        if (!parseInt32(options.limit, &limit) || limit < 1 || limit > 255)
            return context.usage("--limit takes a code length from 1 to 255, not \"" + options.limit + "\"");
        settings->limit = limit;
    }

    std::string confirm = asciiLower(options.confirm);
    if (confirm.empty() || confirm == "levenshtein") {
        settings->confirm = ConfirmKind::LEVENSHTEIN;
    } else if (confirm.compare(0, 12, "levenshtein:") == 0) {
        int32_t k;
        if (!parseInt32(confirm.substr(12), &k) || k < 0 || confirm[12] == '+' || confirm[12] == '-')
            return context.usage("levenshtein:K takes a distance of 0 or more, not \"" + options.confirm + "\"");
        settings->confirm = ConfirmKind::LEVENSHTEIN;
        settings->maxDistance = k;
    } else if (confirm == "guth") {
        settings->confirm = ConfirmKind::GUTH;
    } else if (confirm == "none") {
        settings->confirm = ConfirmKind::NONE;
    } else {
        return context.usage("unknown confirmation \"" + options.confirm + "\": levenshtein:K, guth or none");
    }
    return EXIT_DONE;
}

bool MatchCalls::open(const CommandContext& context, const MatchSettings& settings, std::string* problem) {
    context_ = &context;
    library_ = &context.library;
    settings_ = settings;
    const char* name = settings.key == KeyKind::DMETAPHONE ? "ovdoublemetaphone"
                       : settings.key == KeyKind::METAPHONE ? "ovmetaphone"
                       : settings.key == KeyKind::PHONEX    ? "ovphonex"
                                                            : "ovsoundex";
    const FunctionRow* encoder = findRow(context, name, settings.key == KeyKind::PHONEX ? "s" : "si", problem);
    const FunctionRow* levenshtein = encoder ? findRow(context, "ovlevenshtein", "ss", problem) : nullptr;
    const FunctionRow* guth = levenshtein ? findRow(context, "ovguthmatch", "ssi", problem) : nullptr;
    if (!guth) return false;
    encoder_ = encoder->id;
    encoderName_ = displayName(encoder->name);
    levenshtein_ = levenshtein->id;
    guth_ = guth->id;
    std::memset(args_, 0, sizeof args_);
    outcome_.text.reserve(256);
    return true;
}

void MatchCalls::setName(int i, std::vector<char>& buffer, const char* name, size_t size) {
    // A fresh copy for every call: the library rewrites some arguments.
    if (buffer.size() < size + 1) buffer.resize(size + 1);
    std::memcpy(buffer.data(), name, size);
    buffer[size] = '\0';
    args_[i].type = TYPE_STRING;
    args_[i].stringValue = buffer.data();
}

bool MatchCalls::call(int32_t number, const std::string& function, int argCount) {
    callFunction(*library_, number, args_, argCount, &outcome_);
    if (outcome_.delivered && outcome_.flag == 0 && (outcome_.type == TYPE_STRING || outcome_.type == TYPE_INTEGER))
        return true;
    error_ = function + " answered " +
             (!outcome_.delivered   ? std::string("no result")
              : outcome_.flag != 0 ? context_->toConsole(outcome_.text)
                                   : "a value of type " + std::to_string(outcome_.type));
    return false;
}

bool MatchCalls::codes(const char* name, size_t size, std::string* first, std::string* second) {
    setName(0, first_, name, size);
    int argCount = 1;
    if (settings_.key != KeyKind::PHONEX) {
        args_[1].type = TYPE_INTEGER;
        args_[1].intValue = settings_.key == KeyKind::SOUNDEX    ? 0
                            : settings_.key == KeyKind::SOUNDEX5 ? 1
                                                                 : settings_.limit;
        argCount = 2;
    }
    if (!call(encoder_, encoderName_, argCount)) return false;
    const std::string& text = outcome_.text;
    size_t tab = settings_.key == KeyKind::DMETAPHONE ? text.find('\t') : std::string::npos;
    first->assign(text, 0, tab);
    if (tab == std::string::npos) second->clear();
    else second->assign(text, tab + 1, std::string::npos);
    return true;
}

bool MatchCalls::reduce(const char* name, size_t size, std::string* form, bool* reduced) {
    setName(0, first_, name, size);
    setName(1, second_, "A", 1);
    if (!call(levenshtein_, "ovLevenshtein", 2)) return false;
    form->assign(first_.data());
    // -1: a name the library does not compare (over 255 bytes), left as it was.
    *reduced = outcome_.intValue >= 0;
    return true;
}

bool MatchCalls::levenshtein(const char* a, size_t aSize, const char* b, size_t bSize, int32_t* distance) {
    setName(0, first_, a, aSize);
    setName(1, second_, b, bSize);
    if (!call(levenshtein_, "ovLevenshtein", 2)) return false;
    *distance = outcome_.intValue;
    return true;
}

bool MatchCalls::guth(const char* a, size_t aSize, const char* b, size_t bSize, int32_t mode, int32_t* value) {
    setName(0, first_, a, aSize);
    setName(1, second_, b, bSize);
    args_[2].type = TYPE_INTEGER;
    args_[2].intValue = mode;
    if (!call(guth_, "ovGuthMatch", 3)) return false;
    *value = outcome_.intValue;
    return true;
}

bool Matcher::classify(const NameList& list, ClassList* classes) {
    classTuples_ = StringPool();
    classes->classOfName.assign(list.names.count(), kNoCode);
    std::string first, second, form;
    for (uint32_t id = 0; id < list.names.count(); ++id) {
        const char* name = list.names.data(id);
        size_t size = list.names.size(id);
        if (!calls_.codes(name, size, &first, &second)) return false;
        if (first.empty()) first.swap(second);
        if (second == first) second.clear();
        if (first.empty()) continue;
        int32_t keys[2] = {static_cast<int32_t>(catalog_.keys.add(first)),
                           second.empty() ? kNoKey : static_cast<int32_t>(catalog_.keys.add(second))};
        // A name the library does not reduce (over 255 bytes) keeps its own
        // bytes as its form, which no reduced form (255 letters at most)
        // can equal.
        bool reduced;
        if (!calls_.reduce(name, size, &form, &reduced)) return false;
        if (!reduced) form.assign(name, size);
        uint32_t formId = catalog_.forms.add(form);
        if (formId == catalog_.samples.count()) {
            catalog_.samples.add(name, size);
            FormShape shape;
            shape.reduced = reduced;
            if (reduced) {
                shape.length = static_cast<uint16_t>(form.size());
                for (char c : form)
                    if (c >= 'A' && c <= 'Z') shape.letters |= 1u << (c - 'A');
            }
            catalog_.shape.push_back(shape);
            catalog_.selfVerdict.push_back(-1);
        }
        int32_t tuple[3] = {static_cast<int32_t>(formId), keys[0], keys[1]};
        uint32_t c = classTuples_.add(reinterpret_cast<const char*>(tuple), sizeof tuple);
        if (c == classes->form.size()) {
            classes->form.push_back(formId);
            classes->keys[0].push_back(keys[0]);
            classes->keys[1].push_back(keys[1]);
        }
        classes->classOfName[id] = c;
    }
    return true;
}

bool Matcher::confirmed(uint32_t formA, uint32_t formB, bool* yes, int32_t* distance) {
    if (!mayJoin(catalog_.shape[formA], catalog_.shape[formB])) {
        *distance = kNotAsked;
        *yes = false;
        return true;
    }
    return confirmedUntested(formA, formB, yes, distance);
}

bool Matcher::confirmedUntested(uint32_t formA, uint32_t formB, bool* yes, int32_t* distance) {
    *distance = kNotAsked;
    if (settings_.confirm == ConfirmKind::NONE) {
        *yes = true;
        return true;
    }
    if (formA == formB && catalog_.selfVerdict[formA] >= 0) {
        *yes = catalog_.selfVerdict[formA] == 1;
        return true;
    }
    const char* a = catalog_.samples.data(formA);
    const char* b = catalog_.samples.data(formB);
    size_t aSize = catalog_.samples.size(formA);
    size_t bSize = catalog_.samples.size(formB);
    if (settings_.confirm == ConfirmKind::LEVENSHTEIN) {
        if (!calls_.levenshtein(a, aSize, b, bSize, distance)) return false;
        *yes = *distance >= 0 && *distance <= settings_.maxDistance;
    } else {
        // The Guth walk is not symmetric (Maier against Meyer matches,
        // Meyer against Maier does not): names match when they match in
        // both orders, so that no verdict depends on which came first.
        int32_t flag;
        if (!calls_.guth(a, aSize, b, bSize, 1, &flag)) return false;
        if (flag == 1 && formA != formB && !calls_.guth(b, bSize, a, aSize, 1, &flag)) return false;
        *yes = flag == 1;
    }
    if (formA == formB) catalog_.selfVerdict[formA] = *yes ? 1 : 0;
    return true;
}

bool Matcher::measure(uint32_t formA, uint32_t formB, int32_t* percent, int32_t* distance) {
    const char* a = catalog_.samples.data(formA);
    const char* b = catalog_.samples.data(formB);
    size_t aSize = catalog_.samples.size(formA);
    size_t bSize = catalog_.samples.size(formB);
    if (!calls_.guth(a, aSize, b, bSize, 2, percent)) return false;
    return *distance != kNotAsked || calls_.levenshtein(a, aSize, b, bSize, distance);
}

namespace {

uint32_t findRoot(std::vector<uint32_t>& parent, uint32_t c) {
    while (parent[c] != c) {
        parent[c] = parent[parent[c]];
        c = parent[c];
    }
    return c;
}

}  // namespace

bool groupNames(Matcher& matcher, const NameList& list, const ClassList& classes, Grouping* grouping) {
    const uint32_t none = UINT32_MAX;
    const size_t classCount = classes.form.size();
    const size_t recordCount = list.records.size();

    // Each class's first two records.
    std::vector<uint32_t> firstRecord(classCount, none), secondRecord(classCount, none);
    for (size_t r = 0; r < recordCount; ++r) {
        uint32_t name = list.records[r].name;
        if (name == kNoName) continue;
        uint32_t c = classes.classOfName[name];
        if (c == kNoCode) {
            ++grouping->withoutCode;
            continue;
        }
        if (firstRecord[c] == none) firstRecord[c] = static_cast<uint32_t>(r);
        else if (secondRecord[c] == none) secondRecord[c] = static_cast<uint32_t>(r);
    }

    KeyIndex index;
    buildKeyIndex(matcher.catalog(), classes, &index);

    // Each class in turn is compared with the later classes that share a
    // code with it. A pair already in one group needs no verdict: joining
    // it again would change no group. The first class of a group is alone
    // when its turn comes (an earlier class joined to it would belong to
    // its group), so its earliest partner is found before any pair of its
    // is passed over.
    std::vector<uint32_t> parent(classCount);
    for (uint32_t c = 0; c < classCount; ++c) parent[c] = c;
    std::vector<char> joined(classCount, 0);      // joined to another class or to itself
    std::vector<char> selfJoined(classCount, 0);  // its records join each other
    std::vector<uint32_t> partner(classCount, none);
    std::vector<int32_t> partnerKey(classCount, kNoKey);
    for (uint32_t a = 0; a < classCount; ++a) {
        bool yes;
        int32_t distance;
        if (secondRecord[a] != none) {
            if (!matcher.confirmed(classes.form[a], classes.form[a], &yes, &distance)) return false;
            selfJoined[a] = yes;
        }
        const FormShape& shape = matcher.catalog().shape[classes.form[a]];
        const int32_t firstKey = classes.keys[0][a];
        uint32_t ra = findRoot(parent, a);
        for (int s = 0; s < 2; ++s) {
            int32_t k = classes.keys[s][a];
            if (k == kNoKey) continue;
            const KeyEntry* end = index.entries.data() + index.start[static_cast<size_t>(k) + 1];
            for (const KeyEntry* e = index.entries.data() + index.position[s][a] + 1; e < end; ++e) {
                // A class that also has a's first code was met under it.
                if (s == 1 && (e->keys[0] == firstKey || e->keys[1] == firstKey)) continue;
                if (!matcher.mayJoin(shape, e->shape)) continue;
                uint32_t b = e->cls;
                uint32_t rb = findRoot(parent, b);
                if (ra == rb) continue;
                if (!matcher.confirmedUntested(classes.form[a], classes.form[b], &yes, &distance)) return false;
                if (!yes) continue;
                // The root of a group is its first class.
                if (ra < rb) {
                    parent[rb] = ra;
                } else {
                    parent[ra] = rb;
                    ra = rb;
                }
                joined[a] = joined[b] = 1;
                if (b < partner[a]) {
                    partner[a] = b;
                    partnerKey[a] = k;
                }
            }
        }
    }

    std::vector<char> rootJoined(classCount, 0);
    for (uint32_t c = 0; c < classCount; ++c)
        if (joined[c] || selfJoined[c]) rootJoined[findRoot(parent, c)] = 1;

    // Groups are numbered by their first records.
    std::vector<uint32_t> groupOfRoot;
    groupOfRoot.assign(classCount, 0);
    grouping->groupOfRecord.assign(recordCount, 0);
    grouping->groupKey.assign(1, kNoKey);
    for (size_t r = 0; r < recordCount; ++r) {
        uint32_t name = list.records[r].name;
        if (name == kNoName || classes.classOfName[name] == kNoCode) continue;
        uint32_t root = findRoot(parent, classes.classOfName[name]);
        if (!rootJoined[root]) continue;
        if (groupOfRoot[root] == 0) {
            groupOfRoot[root] = static_cast<uint32_t>(grouping->groupKey.size());
            // The code that joined the first record to its earliest
            // look-alike: the next record of its class, or the first record
            // of its earliest partner class.
            uint32_t other = partner[root] == none ? none : firstRecord[partner[root]];
            bool self = selfJoined[root] && (other == none || secondRecord[root] < other);
            grouping->groupKey.push_back(self || other == none ? classes.keys[0][root] : partnerKey[root]);
        }
        grouping->groupOfRecord[r] = groupOfRoot[root];
        ++grouping->grouped;
    }
    return true;
}

void buildKeyIndex(const Catalog& catalog, const ClassList& classes, KeyIndex* index) {
    const size_t keyCount = catalog.keys.count();
    const size_t classCount = classes.form.size();
    index->start.assign(keyCount + 1, 0);
    for (int s = 0; s < 2; ++s)
        for (int32_t k : classes.keys[s])
            if (k != kNoKey) ++index->start[static_cast<size_t>(k) + 1];
    for (size_t k = 0; k < keyCount; ++k) index->start[k + 1] += index->start[k];
    index->entries.assign(index->start[keyCount], KeyEntry());
    index->position[0].assign(classCount, 0);
    index->position[1].assign(classCount, 0);
    std::vector<uint32_t> next(index->start.begin(), index->start.end() - 1);
    for (uint32_t c = 0; c < classCount; ++c)
        for (int s = 0; s < 2; ++s) {
            int32_t k = classes.keys[s][c];
            if (k == kNoKey) continue;
            uint32_t at = next[static_cast<size_t>(k)]++;
            KeyEntry& e = index->entries[at];
            e.cls = c;
            e.keys[0] = classes.keys[0][c];
            e.keys[1] = classes.keys[1][c];
            e.shape = catalog.shape[classes.form[c]];
            index->position[s][c] = at;
        }
}

bool linkClass(Matcher& matcher, const ClassList& aClasses, uint32_t a, const ClassList& bClasses,
               const KeyIndex& bIndex, std::vector<LinkMatch>* matches) {
    matches->clear();
    const FormShape& shape = matcher.catalog().shape[aClasses.form[a]];
    const int32_t firstKey = aClasses.keys[0][a];
    for (int s = 0; s < 2; ++s) {
        int32_t k = aClasses.keys[s][a];
        // A code that B lacks came in after B's index was built.
        if (k == kNoKey || static_cast<size_t>(k) + 1 >= bIndex.start.size()) continue;
        const KeyEntry* end = bIndex.entries.data() + bIndex.start[static_cast<size_t>(k) + 1];
        for (const KeyEntry* e = bIndex.entries.data() + bIndex.start[static_cast<size_t>(k)]; e < end; ++e) {
            // Met under A's first code already.
            if (s == 1 && (e->keys[0] == firstKey || e->keys[1] == firstKey)) continue;
            if (!matcher.mayJoin(shape, e->shape)) continue;
            bool yes;
            LinkMatch m{e->cls, k, 0, 0};
            if (!matcher.confirmedUntested(aClasses.form[a], bClasses.form[e->cls], &yes, &m.distance)) return false;
            if (!yes) continue;
            if (!matcher.measure(aClasses.form[a], bClasses.form[e->cls], &m.percent, &m.distance)) return false;
            matches->push_back(m);
        }
    }
    std::sort(matches->begin(), matches->end(),
              [](const LinkMatch& x, const LinkMatch& y) { return x.bClass < y.bClass; });
    return true;
}
