// A table of given names and their nicknames (ROBERT: BOB, ROBBIE, ROB):
// which two words of a name are one given name written two ways. It is
// read from CSV text, rows `name,has_nickname,nickname` under the header
// `name1,relationship,name2`, and holds every name in the form the
// matching compares (cleanWords of prepare.h: Windows-1252 upper case,
// apostrophes and dots dropped), so that the words of a record are looked
// up as they are.
//
// Each canonical name (a name of the first column) has a number, from 0 in
// the order the text first gives it; a word belongs to the canonical name
// itself and to every name it is a nickname of. Two words are related when
// they share one: a name and its nickname, or two nicknames of one name
// (BOB and ROBBIE by ROBERT). Lookups hash the word and allocate nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class NicknameTable {
public:
    // Reads `csv`, Windows-1252 bytes: the header first, then one row a
    // line; line ends LF or CR LF, blank lines skipped, blanks around a
    // field ignored, names in any case. A name whose clean form has several
    // words ("Mary Ann", "Mary-Ann") is kept as those words joined
    // (MARYANN), as the matching also compares the parts of a name joined.
    // False with `problem` set ("line 3: ...", lines counted from 1, blank
    // ones too) on the first malformed line; the table is then empty.
    // Replaces what the table held.
    bool load(std::string_view csv, std::string* problem);

    // True when one word is a nickname of the other, or both are of one
    // canonical name; false for a word and itself, and for a word the
    // table lacks. Words are looked up exactly as given: in the matching's
    // clean upper-case form.
    bool related(std::string_view a, std::string_view b) const;

    // The numbers of the canonical names `word` belongs to, as the name
    // itself or as a nickname, ascending, in `out` (cleared first; empty
    // for a word the table lacks).
    void groupsOf(std::string_view word, std::vector<uint32_t>* out) const;

    // How many canonical names there are, and the clean form of one by its
    // number (below names()).
    size_t names() const { return canonical_.size(); }
    std::string_view name(uint32_t group) const { return wordText(canonical_[group]); }
    // How many distinct words, names and nicknames.
    size_t words() const { return words_.size(); }
    bool empty() const { return words_.empty(); }

private:
    struct Word {
        uint32_t offset, size;    // in text_
        uint32_t first, count;    // its canonical names: groups_[first] to groups_[first + count]
        uint32_t hash;
    };
    std::string text_;             // every word's bytes, one after another
    std::vector<Word> words_;
    std::vector<uint32_t> groups_;  // each word's canonical names, ascending
    std::vector<uint32_t> canonical_;  // per canonical name, its word in words_
    std::vector<uint32_t> slots_;   // open addressing: a word's index + 1, 0 for none; a power of two long

    static uint32_t hashOf(std::string_view word);
    std::string_view wordText(uint32_t index) const {
        return std::string_view(text_.data() + words_[index].offset, words_[index].size);
    }
    // The word's entry, or null when the table lacks it.
    const Word* find(std::string_view word) const;
    void clear();
};
