#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace marlo {

// Comma-separated tables as spreadsheets exchange them: UTF-8 text, one header
// row, records ended by CR LF (LF and a lone CR are read too), values in double
// quotes where they hold the separator, a quote or a line break, a quote inside
// quotes doubled.
//
//   slot,number,rx_khz,name
//   1,12,7053.4,"HARBOUR ""NORTH"""
//   2,,,
//
// A spreadsheet in a locale that writes decimal commas separates with ';'
// instead, and a tab-separated file is often saved under a .csv name; the
// reader takes the separator (',', ';' or a tab) from the header line.

struct CsvRow {
    int line = 0; // where the record begins, from 1
    std::vector<std::string> fields;
};

struct CsvTable {
    char separator = ',';
    int headerLine = 1;
    std::vector<std::string> header; // the first record
    std::vector<CsvRow> rows;        // every later record; lines without a character are skipped
};

// Why a file cannot be read as a table. `column` counts from 1; 0 means the
// whole line.
struct CsvProblem {
    int line = 0;
    int column = 0;
    std::string reason;
};

// What a reader will take before it gives up, so that a huge or endless input
// is refused after a bounded amount of reading.
struct CsvLimits {
    std::size_t maxRows = 1000;       // records after the header
    std::size_t maxColumns = 64;      // values in one record
    std::size_t maxFieldBytes = 1024; // bytes of one value
};

// Reads a whole table. A UTF-8 byte order mark is skipped. Refused: NUL bytes,
// UTF-16 text, bytes that are not UTF-8, an unclosed quote, text after a
// closing quote, a quote inside an unquoted value, a record whose number of
// values differs from the header's, and anything beyond the limits.
std::variant<CsvTable, CsvProblem> readCsv(std::istream& in, const CsvLimits& limits);

// One value as a record holds it: quoted when it must be.
std::string csvField(std::string_view value, char separator = ',');
// One record with its CR LF.
std::string csvRecord(const std::vector<std::string>& fields, char separator = ',');

} // namespace marlo
