#include "nickname_tables.h"

#include <algorithm>
#include <cstdint>

#include "../records/encoding.h"

bool loadNicknameText(std::string_view text, bool cp1252, NicknameTable* table, std::string* problem) {
    if (cp1252) return table->load(text, problem);
    // A UTF-8 file may begin with a byte order mark, as records may.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
    EncodingProblem encoding;
    std::string converted(text.size(), '\0');
    size_t length = utf8ToCp1252(text.data(), text.size(), &converted[0], &encoding);
    if (length == SIZE_MAX) {
        const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + encoding.offset, '\n'));
        *problem = "line " + std::to_string(line) + ": " + describeProblem(encoding);
        *table = NicknameTable();
        return false;
    }
    converted.resize(length);
    return table->load(converted, problem);
}

const NicknameTable& shippedNicknames() {
    // Loaded once, whatever the number of runs in a process.
    static const NicknameTable table = [] {
        NicknameTable loaded;
        std::string problem;
        loadNicknameText(shippedNicknameCsv(), false, &loaded, &problem);
        return loaded;
    }();
    return table;
}
