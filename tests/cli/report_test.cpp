// --report: the page of a run holds the run's numbers, shows a record's
// text as text whatever it holds, and a page that cannot be written is a
// usage error, not a silent loss. (tests/report/ renders it in a browser.)
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../cli/command.h"
#include "../../cli/report.h"

namespace {

struct ReportedRun {
    int status;
    std::string out, err, page;
};

ReportedRun runWithReport(std::vector<std::string> arguments, const std::string& input, const std::string& page) {
    Library library;
    std::string error;
    EXPECT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    MemorySource in(input);
    MemorySink out, err;
    Console console{&in, &out, &err, false, false};
    std::remove(page.c_str());
    ReportedRun run;
    run.status = runCommand(library, arguments, console);
    run.out = out.text;
    run.err = err.text;
    std::ifstream file(page, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    run.page = text.str();
    return run;
}

// The number after `key` in `text` ("15 matched" -> 15 for " matched").
std::string numberBefore(const std::string& text, const std::string& key) {
    size_t end = text.find(key);
    if (end == std::string::npos) return "";
    size_t start = end;
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    return text.substr(start, end - start);
}

TEST(Report, EscapesRecordsAndCarriesTheRunsNumbers) {
    EXPECT_EQ(htmlEscaped("<b>&\"'"), "&lt;b&gt;&amp;&quot;&#39;");
    const std::string input =
        "id,given,surname,dob\n"
        "1,<script>alert(1)</script>,Smith,1984-03-07\n"
        "2,\"Jo \"\"&\"\" <b>\",Smith,1984-03-07\n"
        "3,Anna,O'Brien & Sons,1950-11-23\n"
        "4,Anna,OBrien,1950-11-23\n"
        "5,Peter,Nowak,1940-06-06\n";
    const std::string page = testing::TempDir() + "ovrin_report_test.html";
    ReportedRun run = runWithReport({"group", "--csv", "--field", "given,surname", "--with", "dob", "--all", "--report", page},
                            input, page);
    ASSERT_EQ(run.status, EXIT_DONE) << run.err;
    ASSERT_FALSE(run.page.empty());
    // No record's text runs: no script element, no markup from a record.
    EXPECT_EQ(run.page.find("<script"), std::string::npos);
    EXPECT_EQ(run.page.find("<b>"), std::string::npos);
    EXPECT_NE(run.page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(run.page.find("O&#39;Brien &amp; Sons"), std::string::npos);
    // The summary line and its counts, as stderr has them.
    const size_t line = run.err.find(" records: ");
    ASSERT_NE(line, std::string::npos) << run.err;
    const size_t start = run.err.rfind("ovrin: ", line) + 7;
    const std::string summary = run.err.substr(start, run.err.find('\n', start) - start);
    EXPECT_NE(run.page.find(htmlEscaped(summary)), std::string::npos) << summary;
    const std::string matched = numberBefore(summary, " matched");
    const std::string candidates = numberBefore(summary, " candidate pair");
    ASSERT_FALSE(matched.empty());
    EXPECT_NE(run.page.find("data-above=\"" + matched + "\""), std::string::npos);
    EXPECT_NE(run.page.find("<td id=\"candidates\">" + candidates + "</td>"), std::string::npos);
    EXPECT_NE(run.page.find("<svg id=\"weights\""), std::string::npos);
    EXPECT_NE(run.page.find("<svg id=\"group-sizes\""), std::string::npos);
}

TEST(Report, LinkAndTheTruth) {
    const std::string a = testing::TempDir() + "ovrin_report_a.csv";
    std::ofstream(a) << "id,who,given,surname,dob\n1,p1,Anna,Smith,1984-03-07\n2,p2,Peter,Nowak,1940-06-06\n"
                        "3,p3,Maria,Garcia,1977-01-15\n";
    const std::string page = testing::TempDir() + "ovrin_report_link.html";
    ReportedRun run = runWithReport({"link", "--csv", "--best", "--field", "given,surname", "--with", "dob", "--truth", "who",
                             "--report", page, a, "-"},
                            "id,who,given,surname,dob\n7,p1,Ana,Smith,1984-03-07\n8,p2,Piotr,Nowak,1940-06-06\n"
                            "9,p9,John,Taylor,1962-09-09\n",
                            page);
    ASSERT_EQ(run.status, EXIT_DONE) << run.err;
    EXPECT_NE(run.page.find("<svg id=\"truth-curve\""), std::string::npos);
    EXPECT_NE(run.page.find("<td id=\"matched\">" + numberBefore(run.err, " pairs written") + "</td>"),
              std::string::npos);
    // The run's own precision and recall, as stderr gives them.
    const size_t at = run.err.find("precision ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(run.page.find(run.err.substr(at, run.err.find(',', at) - at)), std::string::npos);
}

TEST(Report, UnwritableFileIsAUsageError) {
    ReportedRun run = runWithReport({"group", "--report", "/nonexistent-folder/r.html"}, "Anna Smith\nAna Smith\n",
                            "/nonexistent-folder/r.html");
    EXPECT_EQ(run.status, EXIT_USAGE);
    EXPECT_NE(run.err.find("ovrin: cannot write the report /nonexistent-folder/r.html: "), std::string::npos)
        << run.err;
}

}  // namespace
