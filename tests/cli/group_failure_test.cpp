// An error answer of the library in the middle of group or link (here a
// refused block, message 913) stops the command: the message names the
// function, nothing is written to stdout, the exit status is 1, and every
// block the library took has come back. Each allocation of the run fails
// in turn, until the run goes through.
#include <gtest/gtest.h>

#include "../../cli/command.h"
#include "../../platform/platform_test.h"

namespace {

struct Run {
    int status;
    std::string out, err;
};

Run runWith(const Library& library, const std::vector<std::string>& arguments, const std::string& input) {
    MemorySource in(input);
    MemorySink out, err;
    Console console{&in, &out, &err, false, false};
    Run run;
    run.status = runCommand(library, arguments, console);
    run.out = out.text;
    run.err = err.text;
    return run;
}

void failEachAllocation(const std::vector<std::string>& arguments, const std::string& input) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    Run clean = runWith(library, arguments, input);
    ASSERT_EQ(clean.status, EXIT_DONE) << clean.err;
    long failures = 0;
    for (long n = 1;; ++n) {
        long live = platform_test::liveBlocks();
        platform_test::failAllocation(n);
        long before = platform_test::allocationCalls();
        Run run = runWith(library, arguments, input);
        long calls = platform_test::allocationCalls() - before;
        platform_test::failAllocation(0);
        EXPECT_EQ(platform_test::liveBlocks(), live) << "allocation " << n;
        if (calls < n) {
            // No allocation was refused: the run is the clean one.
            EXPECT_EQ(run.status, EXIT_DONE);
            EXPECT_EQ(run.out, clean.out);
            break;
        }
        // Some refusals are answered with the neutral result, no message
        // (Double Metaphone's buffers: no code); those runs go on.
        if (run.err.find(" answered ") == std::string::npos) continue;
        ++failures;
        EXPECT_EQ(run.status, EXIT_FAULTS) << "allocation " << n;
        EXPECT_EQ(run.out, "") << "allocation " << n;
        EXPECT_NE(run.err.find(" answered 913:  Unable to allocate memory.; stopped\n"), std::string::npos)
            << "allocation " << n << ": " << run.err;
    }
    EXPECT_GT(failures, 0);
}

TEST(GroupFailure, RefusedBlockStopsGroup) {
    failEachAllocation({"group", "--key", "dmetaphone"}, "Meyer\nMaier\nSmith\nMeyer\nSmyth\n");
}

TEST(GroupFailure, RefusedBlockStopsLink) {
    failEachAllocation({"link", "-", std::string(OVRIN_SOURCE_DIR) + "/data/sample_group_b.txt"}, "Meyer\nSmith\n");
}

}  // namespace
