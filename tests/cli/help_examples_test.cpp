// The example in each function's help prints what the help says it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "../../cli/command.h"
#include "../../cli/function_notes.h"
#include "../../cli/host_calls.h"

namespace {

TEST(HelpExamples, EveryFunctionHasOneAndItHolds) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    std::vector<FunctionRow> table = readFunctionTable(library);
    ASSERT_EQ(table.size(), 10u);
    for (const FunctionRow& row : table) {
        const FunctionNote* note = findNote(row.name);
        ASSERT_NE(note, nullptr) << row.name;
        std::vector<std::string> arguments = {row.name};
        std::istringstream words(note->example);
        for (std::string word; words >> word;) arguments.push_back(word);
        MemorySource in("");
        MemorySink out, err;
        Console console{&in, &out, &err, false};
        EXPECT_EQ(runCommand(library, arguments, console), EXIT_DONE) << row.name;
        EXPECT_EQ(out.text, std::string(note->exampleShows) + "\n") << row.name << " " << note->example;
        EXPECT_EQ(err.text, "") << row.name;
    }
}

}  // namespace
