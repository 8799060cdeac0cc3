#include "by_code.h"

#include <algorithm>
#include <cstring>

#include "../records/bucket_index.h"

namespace {

const int32_t kNotAsked = INT32_MIN;

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

bool Matcher::classify(const StringPool& names, ClassList* classes) {
    classTuples_ = StringPool();
    classes->classOfName.assign(names.count(), kNoCode);
    std::string first, second, form;
    for (uint32_t id = 0; id < names.count(); ++id) {
        const char* name = names.data(id);
        size_t size = names.size(id);
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

const uint32_t kNone = UINT32_MAX;

uint32_t findRoot(std::vector<uint32_t>& parent, uint32_t c) {
    while (parent[c] != c) {
        parent[c] = parent[parent[c]];
        c = parent[c];
    }
    return c;
}

// Each class's first two records.
struct ClassRecords {
    std::vector<uint32_t> first, second;
};

ClassRecords firstRecords(const std::vector<uint32_t>& nameOf, const ClassList& classes, Grouping* grouping) {
    const size_t classCount = classes.form.size();
    ClassRecords records{std::vector<uint32_t>(classCount, kNone), std::vector<uint32_t>(classCount, kNone)};
    for (size_t r = 0; r < nameOf.size(); ++r) {
        uint32_t name = nameOf[r];
        if (name == kNoName) continue;
        uint32_t c = classes.classOfName[name];
        if (c == kNoCode) {
            ++grouping->withoutCode;
            continue;
        }
        if (records.first[c] == kNone) records.first[c] = static_cast<uint32_t>(r);
        else if (records.second[c] == kNone) records.second[c] = static_cast<uint32_t>(r);
    }
    return records;
}

// How the classes joined: in sets under their first class (parent), and
// for each class whether it joined another or its records each other, and
// its earliest partner with the code they met under.
struct Joins {
    std::vector<uint32_t> parent;
    std::vector<char> joined;      // joined to another class or to itself
    std::vector<char> selfJoined;  // its records join each other
    std::vector<uint32_t> partner;
    std::vector<int32_t> partnerKey;
};

// Each class in turn is compared with the later classes that share a code
// with it. A pair already in one group needs no verdict: joining it again
// would change no group. The first class of a group is alone when its turn
// comes (an earlier class joined to it would belong to its group), so its
// earliest partner is found before any pair of its is passed over.
bool joinClasses(Matcher& matcher, const ClassList& classes, const ClassRecords& records, Joins* joins) {
    const size_t classCount = classes.form.size();
    KeyIndex index;
    buildKeyIndex(matcher.catalog(), classes, &index);
    joins->parent.resize(classCount);
    for (uint32_t c = 0; c < classCount; ++c) joins->parent[c] = c;
    joins->joined.assign(classCount, 0);
    joins->selfJoined.assign(classCount, 0);
    joins->partner.assign(classCount, kNone);
    joins->partnerKey.assign(classCount, kNoKey);
    std::vector<uint32_t>& parent = joins->parent;
    for (uint32_t a = 0; a < classCount; ++a) {
        bool yes;
        int32_t distance;
        if (records.second[a] != kNone) {
            if (!matcher.confirmed(classes.form[a], classes.form[a], &yes, &distance)) return false;
            joins->selfJoined[a] = yes;
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
                joins->joined[a] = joins->joined[b] = 1;
                if (b < joins->partner[a]) {
                    joins->partner[a] = b;
                    joins->partnerKey[a] = k;
                }
            }
        }
    }
    return true;
}

// Groups are numbered by their first records.
void numberGroups(const std::vector<uint32_t>& nameOf, const ClassList& classes, const ClassRecords& records,
                  Joins& joins, Grouping* grouping) {
    const size_t classCount = classes.form.size();
    std::vector<char> rootJoined(classCount, 0);
    for (uint32_t c = 0; c < classCount; ++c)
        if (joins.joined[c] || joins.selfJoined[c]) rootJoined[findRoot(joins.parent, c)] = 1;
    std::vector<uint32_t> groupOfRoot(classCount, 0);
    grouping->groupOfRecord.assign(nameOf.size(), 0);
    grouping->groupKey.assign(1, kNoKey);
    for (size_t r = 0; r < nameOf.size(); ++r) {
        uint32_t name = nameOf[r];
        if (name == kNoName || classes.classOfName[name] == kNoCode) continue;
        uint32_t root = findRoot(joins.parent, classes.classOfName[name]);
        if (!rootJoined[root]) continue;
        if (groupOfRoot[root] == 0) {
            groupOfRoot[root] = static_cast<uint32_t>(grouping->groupKey.size());
            // The code that joined the first record to its earliest
            // look-alike: the next record of its class, or the first record
            // of its earliest partner class.
            uint32_t other = joins.partner[root] == kNone ? kNone : records.first[joins.partner[root]];
            bool self = joins.selfJoined[root] && (other == kNone || records.second[root] < other);
            grouping->groupKey.push_back(self || other == kNone ? classes.keys[0][root] : joins.partnerKey[root]);
        }
        grouping->groupOfRecord[r] = groupOfRoot[root];
        ++grouping->grouped;
    }
}

}  // namespace

bool groupNames(Matcher& matcher, const std::vector<uint32_t>& nameOf, const ClassList& classes, Grouping* grouping) {
    const ClassRecords records = firstRecords(nameOf, classes, grouping);
    Joins joins;
    if (!joinClasses(matcher, classes, records, &joins)) return false;
    numberGroups(nameOf, classes, records, joins, grouping);
    return true;
}

void buildKeyIndex(const Catalog& catalog, const ClassList& classes, KeyIndex* index) {
    const size_t classCount = classes.form.size();
    index->position[0].assign(classCount, 0);
    index->position[1].assign(classCount, 0);
    bucketIndex(catalog.keys.count(), [&](auto place) {
        for (uint32_t c = 0; c < classCount; ++c)
            for (int s = 0; s < 2; ++s) {
                const int32_t k = classes.keys[s][c];
                if (k == kNoKey) continue;
                const KeyEntry e{c, {classes.keys[0][c], classes.keys[1][c]}, catalog.shape[classes.form[c]]};
                index->position[s][c] = static_cast<uint32_t>(place(static_cast<size_t>(k), e));
            }
    }, &index->start, &index->entries);
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

bool linkClasses(Matcher& matcher, const ClassList& aClasses, const ClassList& bClasses, const KeyIndex& bIndex,
                 bool best, LinkMatches* out) {
    const size_t aClassCount = aClasses.form.size();
    out->start.assign(1, 0);
    out->start.reserve(aClassCount + 1);
    out->matches.clear();
    std::vector<LinkMatch> found;
    for (uint32_t c = 0; c < aClassCount; ++c) {
        if (!linkClass(matcher, aClasses, c, bClasses, bIndex, &found)) return false;
        if (best && !found.empty()) {
            LinkMatch top = found[0];
            for (const LinkMatch& m : found)
                if (m.percent > top.percent || (m.percent == top.percent && m.distance < top.distance)) top = m;
            found.assign(1, top);
        }
        out->matches.insert(out->matches.end(), found.begin(), found.end());
        out->start.push_back(static_cast<uint32_t>(out->matches.size()));
    }
    return true;
}
