#include "person_matcher.h"

#include <algorithm>
#include <cstring>

void PersonMatcher::sortUnique(std::vector<uint32_t>* numbers) {
    std::sort(numbers->begin(), numbers->end());
    numbers->erase(std::unique(numbers->begin(), numbers->end()), numbers->end());
}

uint32_t PersonMatcher::word(const std::string& text) {
    uint32_t id = words_.add(text);
    if (id == facts_.size()) facts_.emplace_back();
    return id;
}

bool PersonMatcher::add(const PeopleColumns& people) {
    const size_t firstNew = records();
    if (firstNew == 0) {
        withCount_ = people.values.empty() ? 0 : static_cast<int>(people.values[0].size());
        // Values read by no kind are compared as codes: equal, or one edit.
        kinds_ = people.kinds;
        kinds_.resize(withCount_, ValueKind::CODE);
        valueHolders_.assign(withCount_, {});
    }
    std::vector<uint32_t> held;
    size_t wordCount = 0;
    for (const PersonName& name : people.names) wordCount += name.given.size() + name.surname.size();
    recordStart_.reserve(recordStart_.size() + people.names.size());
    recordWords_.reserve(recordWords_.size() + 3 * people.names.size() + wordCount);
    values_.reserve(values_.size() + people.names.size() * withCount_);
    std::string joined;
    for (size_t r = 0; r < people.names.size(); ++r) {
        const PersonName& name = people.names[r];
        const std::vector<std::string>* parts[2] = {&name.given, &name.surname};
        recordStart_.push_back(static_cast<uint32_t>(recordWords_.size()));
        const size_t at = recordWords_.size();
        recordWords_.insert(recordWords_.end(), {0, kNoWord, kNoWord});
        held.clear();
        for (int p = 0; p < kParts; ++p) {
            joined.clear();
            uint32_t count = 0;
            for (const std::string& text : *parts[p]) {
                if (parts[p]->size() > 1) joined += text;
                if (isParticle(text) && parts[p]->size() > 1) continue;
                recordWords_.push_back(word(text));
                held.push_back(recordWords_.back());
                ++count;
            }
            recordWords_[at] |= std::min<uint32_t>(count, 0xFFFF) << (16 * p);
            if (parts[p]->size() > 1) {
                recordWords_[at + 1 + p] = word(joined);
                held.push_back(recordWords_[at + 1 + p]);
            }
        }
        // Each word the name holds counts the record once.
        sortUnique(&held);
        for (uint32_t id : held) ++facts_[id].holders;
        for (int f = 0; f < withCount_; ++f) {
            const std::string& value = people.values[r][f];
            const uint32_t id = value.empty() ? kNoWord : valueTexts_.add(value);
            values_.push_back(id);
            if (id == kNoWord) continue;
            if (id >= valueHolders_[f].size()) valueHolders_[f].resize(valueTexts_.count(), 0);
            ++valueHolders_[f][id];
        }
    }
    // The codes of the new words, asked once each.
    std::string first, second;
    std::vector<uint32_t> groups;
    for (; coded_ < facts_.size(); ++coded_) {
        const uint32_t id = static_cast<uint32_t>(coded_);
        if (!calls_.codes(words_.data(id), words_.size(id), &first, &second)) return false;
        WordFacts& f = facts_[id];
        f.length = static_cast<uint32_t>(words_.size(id));
        f.first = f.length ? words_.data(id)[0] : 0;
        f.letters = letterProfile(words_.data(id), words_.size(id));
        if (f.length <= WordFacts::kInline) std::memcpy(f.text, words_.data(id), f.length);
        if (nicknames_) {
            nicknames_->groupsOf(std::string_view(words_.data(id), words_.size(id)), &groups);
            nickGroups_.insert(nickGroups_.end() - 1, groups.begin(), groups.end());
            f.nicknamed = !groups.empty();
        }
        nickStart_.push_back(static_cast<uint32_t>(nickGroups_.size() - 1));
        if (first.empty()) continue;
        f.code[0] = codeTexts_.add(first);
        f.code[1] = second.empty() ? f.code[0] : codeTexts_.add(second);
        codeHolders_.resize(codeTexts_.count(), 0);
    }
    // The records holding each code, each record once.
    for (size_t r = firstNew; r < records(); ++r) {
        const NameWords n = nameOf(static_cast<uint32_t>(r));
        held.clear();
        for (int p = 0; p < kParts; ++p) {
            for (uint32_t i = 0; i < n.count[p]; ++i) held.push_back(facts_[n.part[p][i]].code[0]);
            if (n.whole[p] != kNoWord) held.push_back(facts_[n.whole[p]].code[0]);
        }
        sortUnique(&held);
        for (uint32_t code : held)
            if (code != kNoWord) ++codeHolders_[code];
    }
    for (WordFacts& f : facts_) f.codeHolders = f.code[0] == kNoWord ? 0 : codeHolders_[f.code[0]];
    levels_.reserveFor(records());
    rankWords();
    return true;
}

void PersonMatcher::rankWords() {
    const uint32_t count = words_.count();
    std::vector<uint32_t> byText(count);
    for (uint32_t w = 0; w < count; ++w) byText[w] = w;
    std::sort(byText.begin(), byText.end(), [&](uint32_t a, uint32_t b) {
        return std::string_view(words_.data(a), words_.size(a)) < std::string_view(words_.data(b), words_.size(b));
    });
    textRank_.resize(count);
    for (uint32_t place = 0; place < count; ++place) textRank_[byText[place]] = place;
}
