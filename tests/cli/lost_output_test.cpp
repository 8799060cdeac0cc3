// Output that cannot be written (a full disk, a closed pipe) is never
// reported as success: every command checks its writes and its last flush,
// says why on stderr and exits with status 2. The sink here takes the
// first `room` bytes and then fails as a full disk does.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "../../cli/command.h"

namespace {

class FullSink : public ByteSink {
public:
    explicit FullSink(size_t room) : room_(room) {}
    bool write(const char* data, size_t size) override {
        if (size > room_) return false;
        room_ -= size;
        text.append(data, size);
        return true;
    }
    int errorNumber() const override { return ENOSPC; }
    std::string text;

private:
    size_t room_;
};

TEST(LostOutput, EveryCommandExitsWithTwoAndSaysWhy) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    const std::string names = "Meyer\nMaier\nMayer\nSmith\nSmyth\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
    } cases[] = {
        {{"soundex", "Robert", "0"}, ""},
        {{"ovSoundex(\"Robert\", 0)"}, ""},
        {{"info"}, ""},
        {{"help"}, ""},
        {{"--help"}, ""},
        {{"help", "soundex"}, ""},
        {{"help", "map"}, ""},
        {{"map", "soundex", "0"}, names},
        {{"map", "doublemetaphone", "4", "--csv", "--header"}, "name\n" + names},
        {{"group", "--confirm", "levenshtein:2"}, names},
        {{"group", "--confirm", "levenshtein:2", "--json"}, names},
        {{"link", "--confirm", "levenshtein:2", "-", OVRIN_SOURCE_DIR "/data/sample_group.txt"}, names},
        {{"link", "--key", "soundex", "--all", "--json", "-", OVRIN_SOURCE_DIR "/data/sample_group.txt"}, names},
        {{"group", "--csv", "--field", "given,surname", "--with", "dob", OVRIN_SOURCE_DIR "/data/sample_people.csv"},
         ""},
        {{"group", "--csv", "--pairs", "--json", "--field", "given,surname", OVRIN_SOURCE_DIR "/data/sample_people.csv"},
         ""},
        {{"link", "--csv", "--all", "--explain", "--field", "given,surname", "--with", "dob",
          OVRIN_SOURCE_DIR "/data/sample_people_b.csv", OVRIN_SOURCE_DIR "/data/sample_people.csv"},
         ""},
    };
    const std::string message = std::string("ovrin: cannot write the output: ") + std::strerror(ENOSPC) + "\n";
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.arguments) line += a + " ";
        size_t whole;
        {
            MemorySource in(c.input);
            MemorySink out, err;
            Console console{&in, &out, &err, false, false};
            runCommand(library, c.arguments, console);
            whole = out.text.size();
            ASSERT_GT(whole, 0u) << line;
        }
        // No room at all, room for half and for all but the last byte: the
        // failure may come at the first write, a later one or the last.
        for (size_t room : {size_t(0), whole / 2, whole - 1}) {
            MemorySource in(c.input);
            FullSink out(room);
            MemorySink err;
            Console console{&in, &out, &err, false, false};
            EXPECT_EQ(runCommand(library, c.arguments, console), EXIT_USAGE) << line << "room " << room;
            EXPECT_NE(err.text.find(message), std::string::npos) << line << "room " << room << ": " << err.text;
        }
    }
}

}  // namespace
