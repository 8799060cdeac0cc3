// Reading records in blocks (every split of a record over two reads must
// give the same records), splitting fields, writing result fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../records/record_reader.h"
#include "../../records/record_writer.h"

namespace {

// "line:text" for each record, with "+crlf", "+cr" and "+open" (no line
// end).
std::vector<std::string> readAll(const std::string& input, TextFormat format, size_t blockSize,
                                 RecordReader::Error* error = nullptr, size_t maxRecord = 1 << 20) {
    MemorySource source(input);
    RecordReader reader(source, format, blockSize, maxRecord);
    std::vector<std::string> records;
    Record r;
    while (reader.next(&r)) {
        std::string text = std::to_string(r.line) + ":" + std::string(r.data, r.size);
        if (r.end == LineEnd::CRLF) text += "+crlf";
        if (r.end == LineEnd::CR) text += "+cr";
        if (r.end == LineEnd::NONE) text += "+open";
        if (reader.unclosedQuote()) text += "+unclosed";
        records.push_back(text);
    }
    if (error) *error = reader.error();
    return records;
}

TEST(RecordReader, LinesOverAnyBlockSize) {
    std::string input = "Robert\nLee\r\n\n\r\nMüller\tx\nlast";
    std::vector<std::string> expected = {"1:Robert", "2:Lee+crlf", "3:", "4:+crlf", "5:Müller\tx", "6:last+open"};
    for (size_t block : {1, 2, 3, 5, 7, 64, 1 << 20}) EXPECT_EQ(readAll(input, TextFormat::TSV, block), expected);
}

TEST(RecordReader, EachLineEndEndsARecordAndIsKept) {
    // A lone CR ends a record as LF and CR LF do, also when the CR is the
    // last byte of one read and the LF the first of the next.
    std::string input = "Meyer\rMaier\r\nMayer\n\r\r\nlast\r";
    std::vector<std::string> expected = {"1:Meyer+cr", "2:Maier+crlf", "3:Mayer", "4:+cr", "5:+crlf", "6:last+cr"};
    for (size_t block : {1, 2, 3, 5, 6, 7, 64}) {
        EXPECT_EQ(readAll(input, TextFormat::TSV, block), expected) << "block " << block;
        EXPECT_EQ(readAll(input, TextFormat::CSV, block), expected) << "block " << block;
    }
    // Inside CSV quotes every kind of line end is text and counts a line.
    std::string quoted = "1,\"a\rb\r\nc\nd\"\r2,x\r\n";
    for (size_t block : {1, 2, 4, 64})
        EXPECT_EQ(readAll(quoted, TextFormat::CSV, block),
                  (std::vector<std::string>{"1:1,\"a\rb\r\nc\nd\"+cr", "5:2,x+crlf"}))
            << "block " << block;
}

TEST(RecordReader, EmptyInputAndALoneLineEnd) {
    EXPECT_TRUE(readAll("", TextFormat::TSV, 4).empty());
    EXPECT_EQ(readAll("\n", TextFormat::TSV, 4), std::vector<std::string>{"1:"});
    EXPECT_EQ(readAll("a\n", TextFormat::CSV, 1), std::vector<std::string>{"1:a"});
}

TEST(RecordReader, CsvRecordsSpanLinesInsideQuotes) {
    std::string input = "1,\"multi\nline\",x\r\n2,\"say \"\"hi\"\"\"\n3,\"a\r\nb\nc\"\n4,end";
    std::vector<std::string> expected = {"1:1,\"multi\nline\",x+crlf", "3:2,\"say \"\"hi\"\"\"",
                                         "4:3,\"a\r\nb\nc\"", "7:4,end+open"};
    for (size_t block : {1, 2, 3, 4, 11, 1 << 20}) EXPECT_EQ(readAll(input, TextFormat::CSV, block), expected);
}

TEST(RecordReader, UnclosedQuoteEndsWithTheInput) {
    for (size_t block : {1, 3, 1 << 20}) {
        EXPECT_EQ(readAll("a\n\"open\nLee\n", TextFormat::CSV, block),
                  (std::vector<std::string>{"1:a", "2:\"open\nLee+unclosed"}));
        EXPECT_EQ(readAll("\"open", TextFormat::CSV, block), std::vector<std::string>{"1:\"open+open+unclosed"});
        EXPECT_EQ(readAll("\"open\rLee\r", TextFormat::CSV, block),
                  std::vector<std::string>{"1:\"open\rLee+cr+unclosed"});
        EXPECT_EQ(readAll("\"open\r\n", TextFormat::CSV, block), std::vector<std::string>{"1:\"open+crlf+unclosed"});
    }
}

TEST(RecordReader, TooLongARecordStopsTheReading) {
    RecordReader::Error error;
    std::vector<std::string> records = readAll("short\n" + std::string(100, 'x') + "\nafter\n", TextFormat::TSV, 4, &error, 32);
    EXPECT_EQ(records, std::vector<std::string>{"1:short"});
    EXPECT_EQ(error, RecordReader::RECORD_TOO_LONG);
    // A record of just under the limit is fine.
    EXPECT_EQ(readAll(std::string(31, 'x') + "\n", TextFormat::TSV, 4, &error, 32).size(), 1u);
    EXPECT_EQ(error, RecordReader::NONE);
}

class FailingSource : public ByteSource {
public:
    long read(char* buffer, size_t size) override {
        if (calls_++ == 0) {
            buffer[0] = 'a';
            buffer[1] = '\n';
            return size >= 2 ? 2 : 0;
        }
        return -1;
    }

private:
    int calls_ = 0;
};

TEST(RecordReader, ReadErrorIsReported) {
    FailingSource source;
    RecordReader reader(source, TextFormat::TSV, 16);
    Record r;
    ASSERT_TRUE(reader.next(&r));
    EXPECT_EQ(std::string(r.data, r.size), "a");
    EXPECT_FALSE(reader.next(&r));
    EXPECT_EQ(reader.error(), RecordReader::READ_FAILED);
}

std::vector<std::string> split(const std::string& text, TextFormat format, size_t count = 10) {
    Record r;
    r.data = text.data();
    r.size = text.size();
    std::vector<Field> fields(count);
    std::vector<char> scratch;
    size_t n = splitFields(r, format, count, fields.data(), scratch);
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) out.emplace_back(fields[i].data, fields[i].size);
    return out;
}

TEST(SplitFields, Tsv) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split("", TextFormat::TSV), V{""});
    EXPECT_EQ(split("a", TextFormat::TSV), V{"a"});
    EXPECT_EQ(split("a\t\tc\t", TextFormat::TSV), (V{"a", "", "c", ""}));
    EXPECT_EQ(split("a,\"b\"", TextFormat::TSV), V{"a,\"b\""});
    EXPECT_EQ(split("a\tb\tc", TextFormat::TSV, 2), (V{"a", "b"}));
}

TEST(SplitFields, Csv) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split("", TextFormat::CSV), V{""});
    EXPECT_EQ(split("a,,c,", TextFormat::CSV), (V{"a", "", "c", ""}));
    EXPECT_EQ(split("\"Lee, Jr.\",x", TextFormat::CSV), (V{"Lee, Jr.", "x"}));
    EXPECT_EQ(split("\"say \"\"hi\"\"\"", TextFormat::CSV), V{"say \"hi\""});
    EXPECT_EQ(split("\"\"\"\",\"\"", TextFormat::CSV), (V{"\"", ""}));
    EXPECT_EQ(split("\"multi\nline\",y", TextFormat::CSV), (V{"multi\nline", "y"}));
    EXPECT_EQ(split("\"ab\"cd,e", TextFormat::CSV), (V{"abcd", "e"}));  // text after the closing quote is kept
    EXPECT_EQ(split("\"open,x", TextFormat::CSV), V{"open,x"});
    EXPECT_EQ(split("a\tb,c", TextFormat::CSV), (V{"a\tb", "c"}));
    EXPECT_EQ(split("\"a\",\"b\",c", TextFormat::CSV, 2), (V{"a", "b"}));
}

std::string field(TextFormat format, const std::string& text, bool toUtf8) {
    MemorySink sink;
    {
        Output out(sink, 8);
        putField(out, format == TextFormat::CSV ? ',' : '\t', format, text.data(), text.size(), toUtf8);
    }
    return sink.text;
}

TEST(PutField, TsvKeepsTheRowWhole) {
    EXPECT_EQ(field(TextFormat::TSV, "R163", true), "\tR163");
    EXPECT_EQ(field(TextFormat::TSV, "", true), "\t");
    EXPECT_EQ(field(TextFormat::TSV, "a\tb\rc\nd", true), "\ta b c d");
    EXPECT_EQ(field(TextFormat::TSV, "\"x\",y", true), "\t\"x\",y");
    EXPECT_EQ(field(TextFormat::TSV, "\xD1" "200", true), "\tÑ200");
    EXPECT_EQ(field(TextFormat::TSV, "\xD1" "200", false), "\t\xD1" "200");
}

TEST(PutField, CsvQuotesWhatNeedsIt) {
    EXPECT_EQ(field(TextFormat::CSV, "R163", true), ",R163");
    EXPECT_EQ(field(TextFormat::CSV, ",616", true), ",\",616\"");
    EXPECT_EQ(field(TextFormat::CSV, "\"230", true), ",\"\"\"230\"");
    EXPECT_EQ(field(TextFormat::CSV, "a\nb", true), ",\"a\nb\"");
    EXPECT_EQ(field(TextFormat::CSV, "a\rb", true), ",\"a\rb\"");  // a lone CR ends a record too
    EXPECT_EQ(field(TextFormat::CSV, "\x80" "600", true), ",€600");
    EXPECT_EQ(field(TextFormat::CSV, "a\tb", true), ",a\tb");
}

TEST(Output, WritesInBlocksAndPassesLongTextStraightThrough) {
    MemorySink sink;
    {
        Output out(sink, 4);
        out.put("ab", 2);
        out.put("cdefghij", 8);
        out.put('k');
        out.put("lmn", 3);
    }
    EXPECT_EQ(sink.text, "abcdefghijklmn");
}

}  // namespace
