#include "shipped_nicknames.h"

#include <string>

const NicknameTable& shippedNicknames() {
    // Loaded once, whatever the number of runs in a process; the tests
    // hold that the text built in loads without a problem.
    static const NicknameTable table = [] {
        NicknameTable loaded;
        std::string problem;
        loaded.load(shippedNicknameCsv(), &problem);
        return loaded;
    }();
    return table;
}
