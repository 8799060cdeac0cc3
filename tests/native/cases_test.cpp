// Runs the shared table of cases in-process, checking also that every call
// released each block it took.
#include <gtest/gtest.h>

#include "../../extender/exports.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/entry_checks.h"

namespace {

TEST(CaseTable, EveryCasePassesInProcess) {
    std::vector<std::string> files = listCaseFiles(OVRIN_CASES_DIR);
    ASSERT_FALSE(files.empty());
    long baseline = platform_test::liveBlocks();
    auto blocksReleased = [baseline]() -> std::string {
        long live = platform_test::liveBlocks();
        return live == baseline ? "" : std::to_string(live - baseline) + " scratch blocks not released";
    };
    for (const std::string& file : files) {
        std::vector<std::string> errors;
        std::vector<Case> cases = readCaseFile(file, WILExtender2, errors);
        for (const std::string& e : errors) ADD_FAILURE() << e;
        EXPECT_FALSE(cases.empty()) << file;
        EXPECT_EQ(runCases(cases, WILExtender2, stderr, blocksReleased), 0) << file;
    }
}

TEST(EntryPoints, DiscoveryAnswersInProcess) {
    CheckCount count = runEntryChecks(WILExtender2, WILExtenderQuery, stderr);
    EXPECT_EQ(count.failed, 0);
    EXPECT_GT(count.passed, 0);
}

}  // namespace
