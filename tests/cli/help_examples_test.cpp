// The example in each function's help prints what the help says it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "../../cli/command.h"
#include "../../cli/command_parts.h"
#include "../../cli/function_notes.h"
#include "../../host/host_calls.h"
#include "../../extender/function_ids.h"

namespace {

TEST(HelpExamples, EveryFunctionHasOneAndItHolds) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    std::vector<FunctionRow> table = readFunctionTable(library);
    ASSERT_EQ(table.size(), static_cast<size_t>(FUNCTION_COUNT));
    for (const FunctionRow& row : table) {
        const FunctionNote* note = findNote(row.name);
        ASSERT_NE(note, nullptr) << row.name;
        std::vector<std::string> arguments = {row.name};
        std::istringstream words(note->example);
        for (std::string word; words >> word;) arguments.push_back(word);
        MemorySource in("");
        MemorySink out, err;
        Console console{&in, &out, &err, false, false};
        EXPECT_EQ(runCommand(library, arguments, console), EXIT_DONE) << row.name;
        EXPECT_EQ(out.text, std::string(note->exampleShows) + "\n") << row.name << " " << note->example;
        EXPECT_EQ(err.text, "") << row.name;
    }
}

// The examples in the help of map, group and link, run from the source folder:
// the lines shown are the first lines of the output.
TEST(HelpExamples, MapGroupAndLinkShowTheirFirstLines) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    for (const char* command : {"map", "group", "link"}) {
        std::string help = commandHelp(command);
        size_t at = help.find("Example:\n  $ ovrin ");
        ASSERT_NE(at, std::string::npos) << command;
        std::istringstream lines(help.substr(at + 9));
        std::string line;
        std::getline(lines, line);
        std::vector<std::string> arguments;
        std::istringstream words(line.substr(std::string("  $ ovrin ").size()));
        for (std::string word; words >> word;) {
            if (word.compare(0, 5, "data/") == 0) word = std::string(OVRIN_SOURCE_DIR) + "/" + word;
            arguments.push_back(word);
        }
        std::string shown;
        while (std::getline(lines, line) && line != "  ...") shown += line.substr(2) + "\n";
        ASSERT_FALSE(shown.empty()) << command;
        MemorySource in("");
        MemorySink out, err;
        Console console{&in, &out, &err, false, false};
        EXPECT_EQ(runCommand(library, arguments, console), EXIT_DONE) << command;
        EXPECT_EQ(out.text.substr(0, shown.size()), shown) << command;
    }
}

}  // namespace
