#include "core/csvTable.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <variant>
#include <vector>

using namespace marlo;

namespace {

using Fields = std::vector<std::string>;

// What a read gave, as one text: the separator and every record with its line,
// or the problem.
std::string outcome(const std::string& input, CsvLimits limits = {}) {
    std::istringstream in(input);
    const auto read = readCsv(in, limits);
    if (const auto* p = std::get_if<CsvProblem>(&read))
        return "problem " + std::to_string(p->line) + ":" + std::to_string(p->column) + " " +
               p->reason;
    const auto& table = std::get<CsvTable>(read);
    std::string text = std::string(1, table.separator) + " " + std::to_string(table.headerLine);
    auto add = [&](int line, const Fields& fields) {
        text += " |" + std::to_string(line);
        for (const std::string& f : fields)
            text += "[" + f + "]";
    };
    add(table.headerLine, table.header);
    for (const CsvRow& row : table.rows)
        add(row.line, row.fields);
    return text;
}

struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

class CsvRead : public ::testing::TestWithParam<Case> {};

TEST_P(CsvRead, GivesTheTableOrWhereItFails) {
    EXPECT_EQ(outcome(GetParam().input), GetParam().expected);
}

const Case kCases[] = {
    {"CrLf", "a,b\r\n1,2\r\n", ", 1 |1[a][b] |2[1][2]"},
    {"LfAndLoneCr", "a,b\n1,2\r3,4", ", 1 |1[a][b] |2[1][2] |3[3][4]"},
    {"QuotedSeparatorAndQuotes", "a,b\r\n\"x,y\",\"say \"\"hi\"\"\"\r\n",
     ", 1 |1[a][b] |2[x,y][say \"hi\"]"},
    {"LineBreakInQuotesKeepsCounting", "a,b\r\n\"two\r\nlines\",x\r\n3,4\r\n",
     ", 1 |1[a][b] |2[two\r\nlines][x] |4[3][4]"},
    {"EmptyValuesAndEmptyLines", "\r\na,b\r\n\r\n,\r\n\r\n", ", 2 |2[a][b] |4[][]"},
    {"ByteOrderMarkSkipped", "\xEF\xBB\xBFslot,n\r\n1,2\r\n", ", 1 |1[slot][n] |2[1][2]"},
    {"SemicolonFromTheHeader", "slot;rx_khz\r\n1;7053,4\r\n", "; 1 |1[slot][rx_khz] |2[1][7053,4]"},
    {"TabsFromTheHeader", "slot\tname\r\n1\tA, B;C\r\n", "\t 1 |1[slot][name] |2[1][A, B;C]"},
    {"CommaHeaderKeepsSemicolonsInValues", "a,b\r\nx;y,z\r\n", ", 1 |1[a][b] |2[x;y][z]"},
    {"Utf8Kept", "name\r\nCaf\xC3\xA9\r\n", ", 1 |1[name] |2[Caf\xC3\xA9]"},
    {"Empty", "", "problem 1:0 the file is empty: a header row is needed"},
    {"Utf16", "\xFF\xFEs\0l\0", "problem 1:0 the file is UTF-16 text: save the table as UTF-8 CSV"},
    {"Binary", std::string("a,b\r\n1,\0\x01\r\n", 10),
     "problem 2:0 the file holds binary data, not CSV text"},
    {"NotUtf8", "a,b\r\n1,\xE9t\xE9\r\n", "problem 2:2 the value is not UTF-8 text"},
    {"UnclosedQuote", "a,b\r\n1,\"open\r\n2,3\r\n", "problem 2:2 a quoted value is not closed"},
    {"TextAfterClosingQuote", "a,b\r\n\"x\"y,2\r\n", "problem 2:1 text after the closing quote"},
    {"QuoteInsideValue", "a,b\r\n1,x\"y\r\n",
     "problem 2:2 a quote inside a value that does not begin with one"},
    {"RaggedShort", "a,b,c\r\n1,2\r\n", "problem 2:0 2 values, but the header has 3 columns"},
    {"RaggedLong", "a,b\r\n1,2,3\r\n", "problem 2:0 3 values, but the header has 2 columns"},
    {"CurlyQuotesSplitAValue", "a,b\r\n1,\xE2\x80\x9Cx,y\xE2\x80\x9D\r\n",
     "problem 2:0 3 values, but the header has 2 columns (a value in curly quotes "
     "\xE2\x80\x9C\xE2\x80\x9D: only straight quotes \" keep a separator inside a value)"},
};

INSTANTIATE_TEST_SUITE_P(Table, CsvRead, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// An input that never ends: the reader gives up within its limits.
class Endless : public std::streambuf {
public:
    explicit Endless(std::string pattern) : pattern_(std::move(pattern)) {}
    std::size_t served = 0;

protected:
    int_type underflow() override {
        buffer_ = pattern_;
        while (buffer_.size() < 4096)
            buffer_ += pattern_;
        served += buffer_.size();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    std::string pattern_;
    std::string buffer_;
};

TEST(CsvLimits, EndlessInputIsRefusedAfterABoundedRead) {
    CsvLimits limits;
    limits.maxRows = 500;
    struct Input {
        std::string pattern;
        std::string problem;
    };
    const Input inputs[] = {
        {"1,2\r\n", "line 502: more rows than the list has (500)"},
        {"x", "line 1, value 1: the value is longer than 1024 bytes"},
        {",", "line 1: more than 64 values"},
        {"\"", "line 1, value 1: the value is longer than 1024 bytes"},
    };
    for (const Input& input : inputs) {
        Endless source(input.pattern);
        std::istream in(&source);
        const auto read = readCsv(in, limits);
        ASSERT_TRUE(std::holds_alternative<CsvProblem>(read)) << input.pattern;
        const auto& p = std::get<CsvProblem>(read);
        const std::string where = "line " + std::to_string(p.line) +
                                  (p.column > 0 ? ", value " + std::to_string(p.column) : "");
        EXPECT_EQ(where + ": " + p.reason, input.problem);
        EXPECT_LT(source.served, 1u << 20) << input.pattern;
    }
}

TEST(CsvWrite, WhatIsWrittenReadsBackTheSame) {
    const Fields values{"plain", "a,b", "say \"hi\"", "two\r\nlines", " padded ", "", "7053,4"};
    for (const char separator : {',', ';'}) {
        const std::string text =
            csvRecord(Fields(values.size(), "h"), separator) + csvRecord(values, separator);
        std::istringstream in(text);
        const auto read = readCsv(in, {});
        ASSERT_TRUE(std::holds_alternative<CsvTable>(read)) << text;
        const auto& table = std::get<CsvTable>(read);
        EXPECT_EQ(table.separator, separator);
        ASSERT_EQ(table.rows.size(), 1u);
        EXPECT_EQ(table.rows[0].fields, values);
    }
    EXPECT_EQ(csvRecord({"1", "a,b", "x"}), "1,\"a,b\",x\r\n");
}

} // namespace
