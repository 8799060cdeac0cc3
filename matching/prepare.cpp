#include "prepare.h"

#include <string_view>

#include "../platform/cp1252_case.h"

namespace {

bool isLetterOrDigit(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == 0x8A || c == 0x8C || c == 0x8E ||
           c == 0x9F || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0xDF;
}

}  // namespace

std::vector<std::string> cleanWords(const char* text, size_t size) {
    std::vector<std::string> words;
    appendCleanWords(text, size, &words);
    return words;
}

void appendCleanWords(const char* text, size_t size, std::vector<std::string>* words) {
    char word[256];
    size_t length = 0;
    std::string longWord;  // past 256 bytes, rare
    for (size_t i = 0; i <= size; ++i) {
        unsigned char c = i < size ? cp1252Upper(static_cast<unsigned char>(text[i])) : ' ';
        if (isLetterOrDigit(c)) {
            if (length == sizeof word) longWord.append(word, length), length = 0;
            word[length++] = static_cast<char>(c);
        } else if (c == ' ' || c == '\t' || c == '-' || c == ',' || c == '/' || c == 0xA0 || c == 0x96 ||
                   c == 0x97) {
            if (length || !longWord.empty()) {
                words->emplace_back(longWord.append(word, length));
                longWord.clear();
                length = 0;
            }
        }
        // Anything else (apostrophes, dots, quotes, brackets) is dropped
        // and joins what stands around it.
    }
}

PersonName personName(const std::vector<std::string>& fields) {
    PersonName name;
    if (fields.size() != 1) {
        for (size_t f = 0; f < fields.size(); ++f)
            appendCleanWords(fields[f].data(), fields[f].size(), f + 1 == fields.size() ? &name.surname : &name.given);
        return name;
    }
    const std::string& text = fields[0];
    size_t comma = text.find(',');
    if (comma != std::string::npos) {
        std::vector<std::string> before = cleanWords(text.data(), comma);
        std::vector<std::string> after = cleanWords(text.data() + comma + 1, text.size() - comma - 1);
        if (!before.empty() && !after.empty()) {
            name.given = after;
            name.surname = before;
            return name;
        }
    }
    std::vector<std::string> words = cleanWords(text.data(), text.size());
    if (words.size() > 1) name.given.assign(words.begin(), words.begin() + 1);
    if (!words.empty()) name.surname.assign(words.begin() + (words.size() > 1), words.end());
    return name;
}

bool isParticle(const std::string& word) {
    static const std::string_view kParticles[] = {"VAN", "VON", "DE", "DEN", "DER", "DI", "DA", "DEL", "DELLA", "LA",
                                                  "LE",  "DU",  "DOS", "DAS", "TER", "TEN", "Y",  "ST",  "AF"};
    if (word.size() > 5) return false;  // most words: no particle is longer
    for (std::string_view p : kParticles)
        if (word == p) return true;
    return false;
}

std::string plainValue(const char* text, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 32);
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80) out += c;
    }
    return out;
}

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += plainValue(w.data(), w.size());
    return out;
}

// A field whose value is a part of the record's name (its surname again,
// given as a --with field) in nine records in ten: left out.
void leaveOutRepeatedNames(const std::vector<PeopleColumns*>& lists, size_t f, ValueColumn* column) {
    uint64_t both = 0, same[3] = {0, 0, 0};
    for (PeopleColumns* list : lists)
        for (size_t r = 0; r < list->names.size(); ++r) {
            const std::string& value = list->values[r][f];
            const PersonName& name = list->names[r];
            if (value.empty() || name.empty()) continue;
            ++both;
            const std::string plain = plainValue(value.data(), value.size());
            const std::string given = joined(name.given), surname = joined(name.surname);
            same[0] += plain == surname;
            same[1] += plain == given;
            same[2] += plain == given + surname || plain == surname + given;
        }
    static const char* const kParts[] = {"surname", "given names", "name"};
    for (int part = 0; part < 3 && column->repeats.empty(); ++part)
        if (both > 0 && same[part] * 10 >= both * 9) column->repeats = kParts[part];
    if (column->repeats.empty()) return;
    for (PeopleColumns* list : lists)
        for (std::vector<std::string>& values : list->values) values[f].clear();
}

}  // namespace

void prepareValues(const std::vector<PeopleColumns*>& lists, std::vector<ValueColumn>* columns) {
    // A sample of each field's values tells its kind: the first ten
    // thousand present, and then every hundredth, so that a list sorted
    // by the field is seen through.
    const size_t kSampled = 10000, kEvery = 100;
    for (size_t f = 0; f < columns->size(); ++f) {
        ValueColumn& column = (*columns)[f];
        std::vector<std::string_view> sample;
        size_t seen = 0;
        for (PeopleColumns* list : lists)
            for (const std::vector<std::string>& values : list->values)
                if (!values[f].empty() && (seen++ < kSampled || seen % kEvery == 0)) sample.push_back(values[f]);
        guessColumn(sample, &column);
        for (PeopleColumns* list : lists)
            for (std::vector<std::string>& values : list->values) {
                std::string& value = values[f];
                if (value.empty()) continue;
                ++column.present;
                std::string form = valueForm(column.kind, column.order, value);
                if (form.empty() && column.unfit++ == 0) column.firstUnfit = value;
                value.swap(form);
            }
    }
    for (size_t f = 0; f < columns->size(); ++f) leaveOutRepeatedNames(lists, f, &(*columns)[f]);
    for (PeopleColumns* list : lists) {
        list->kinds.clear();
        for (const ValueColumn& column : *columns) list->kinds.push_back(column.kind);
    }
}
