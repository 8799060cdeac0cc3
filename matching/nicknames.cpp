#include "nicknames.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "prepare.h"

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool sameAsciiLower(std::string_view s, std::string_view lower) {
    if (s.size() != lower.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] + 32) : s[i];
        if (c != lower[i]) return false;
    }
    return true;
}

// The fields of a line split at commas, trimmed.
void splitFields(std::string_view line, std::vector<std::string_view>* fields) {
    fields->clear();
    for (;;) {
        size_t comma = line.find(',');
        fields->push_back(trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) return;
        line.remove_prefix(comma + 1);
    }
}

// Text of a line in quotes for a message, cut short when long (a file
// that is no table at all may have lines of any length).
std::string quoted(std::string_view text) {
    const size_t kShown = 60;
    return "\"" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...\"" : "\"");
}

// A name's words as the matching cleans them, joined; empty when it has
// no letter or digit.
std::string cleanName(std::string_view field) {
    std::string joined;
    for (const std::string& word : cleanWords(field.data(), field.size())) joined += word;
    return joined;
}

}  // namespace

uint32_t NicknameTable::hashOf(std::string_view word) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (char c : word) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

void NicknameTable::clear() {
    text_.clear();
    words_.clear();
    groups_.clear();
    canonical_.clear();
    slots_.clear();
}

bool NicknameTable::load(std::string_view csv, std::string* problem) {
    clear();
    if (csv.size() >= std::numeric_limits<uint32_t>::max()) {
        *problem = "the table is too large (4 GB or more)";
        return false;
    }
    std::unordered_map<std::string, uint32_t> indexOf;      // word -> its index in words_
    std::unordered_map<uint32_t, uint32_t> groupOf;         // word index of a canonical name -> its number
    std::vector<std::vector<uint32_t>> memberships;         // per word, its canonical names
    auto wordIndex = [&](std::string&& word) {
        auto found = indexOf.find(word);
        if (found != indexOf.end()) return found->second;
        const uint32_t index = static_cast<uint32_t>(words_.size());
        words_.push_back(Word{static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(word.size()), 0, 0,
                              hashOf(word)});
        text_ += word;
        memberships.emplace_back();
        indexOf.emplace(std::move(word), index);
        return index;
    };

    std::vector<std::string_view> fields;
    bool header = false;
    size_t lineNumber = 0;
    auto fail = [&](const std::string& text) {
        *problem = "line " + std::to_string(lineNumber) + ": " + text;
        clear();
        return false;
    };
    std::string_view rest = csv;
    while (!rest.empty()) {
        ++lineNumber;
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trimmed(line).empty()) continue;
        splitFields(line, &fields);
        if (!header) {
            if (fields.size() != 3 || !sameAsciiLower(fields[0], "name1") ||
                !sameAsciiLower(fields[1], "relationship") || !sameAsciiLower(fields[2], "name2"))
                return fail("the table begins with the header name1,relationship,name2, not " +
                            quoted(trimmed(line)));
            header = true;
            continue;
        }
        if (fields.size() != 3)
            return fail(std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields") +
                        " where a row has 3: name,has_nickname,nickname");
        if (!sameAsciiLower(fields[1], "has_nickname"))
            return fail("the relationship is " + quoted(fields[1]) + ", where only has_nickname is known");
        std::string name = cleanName(fields[0]), nickname = cleanName(fields[2]);
        if (name.empty() || nickname.empty()) {
            std::string_view field = name.empty() ? fields[0] : fields[2];
            return fail(std::string(name.empty() ? "the name" : "the nickname") +
                        (field.empty() ? " is empty" : " " + quoted(field) + " has no letter or digit"));
        }
        const uint32_t n = wordIndex(std::move(name));
        const uint32_t nick = wordIndex(std::move(nickname));
        auto group = groupOf.emplace(n, static_cast<uint32_t>(canonical_.size()));
        if (group.second) canonical_.push_back(n);
        memberships[n].push_back(group.first->second);
        memberships[nick].push_back(group.first->second);
    }
    if (!header) {
        *problem = "the table is empty: it begins with the header name1,relationship,name2";
        clear();
        return false;
    }

    for (size_t w = 0; w < words_.size(); ++w) {
        std::vector<uint32_t>& m = memberships[w];
        std::sort(m.begin(), m.end());
        m.erase(std::unique(m.begin(), m.end()), m.end());
        words_[w].first = static_cast<uint32_t>(groups_.size());
        words_[w].count = static_cast<uint32_t>(m.size());
        groups_.insert(groups_.end(), m.begin(), m.end());
    }
    // At most half the slots full, so that a probe ends soon.
    size_t slots = 1;
    while (slots < words_.size() * 2) slots *= 2;
    slots_.assign(words_.empty() ? 0 : slots, 0);
    const uint32_t mask = static_cast<uint32_t>(slots_.size() - 1);
    for (uint32_t w = 0; w < words_.size(); ++w) {
        uint32_t i = words_[w].hash & mask;
        while (slots_[i]) i = (i + 1) & mask;
        slots_[i] = w + 1;
    }
    return true;
}

const NicknameTable::Word* NicknameTable::find(std::string_view word) const {
    if (slots_.empty()) return nullptr;
    const uint32_t hash = hashOf(word);
    const uint32_t mask = static_cast<uint32_t>(slots_.size() - 1);
    for (uint32_t i = hash & mask;; i = (i + 1) & mask) {
        const uint32_t slot = slots_[i];
        if (!slot) return nullptr;
        const Word& w = words_[slot - 1];
        if (w.hash == hash && w.size == word.size() && std::memcmp(text_.data() + w.offset, word.data(), w.size) == 0)
            return &w;
    }
}

bool NicknameTable::related(std::string_view a, std::string_view b) const {
    if (a == b) return false;
    const Word* x = find(a);
    if (!x) return false;
    const Word* y = find(b);
    if (!y) return false;
    // Both lists are short and ascending: walk them side by side.
    const uint32_t *p = groups_.data() + x->first, *pEnd = p + x->count;
    const uint32_t *q = groups_.data() + y->first, *qEnd = q + y->count;
    while (p != pEnd && q != qEnd) {
        if (*p == *q) return true;
        if (*p < *q) ++p;
        else ++q;
    }
    return false;
}

void NicknameTable::groupsOf(std::string_view word, std::vector<uint32_t>* out) const {
    out->clear();
    if (const Word* w = find(word)) out->assign(groups_.begin() + w->first, groups_.begin() + w->first + w->count);
}
