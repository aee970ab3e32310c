#include "core/csvTable.h"

#include <array>
#include <cstdint>
#include <optional>

namespace marlo {

namespace {

// Word processors and some spreadsheets turn "quotes" into curly ones, which
// quote nothing: a separator inside them splits the value.
std::string curlyQuoteHint(const std::vector<std::string>& fields) {
    for (const std::string& field : fields) {
        for (const std::string_view curly : {"\xE2\x80\x9C", "\xE2\x80\x9D"}) {
            if (field.find(curly) != std::string::npos)
                return " (a value in curly quotes \xE2\x80\x9C\xE2\x80\x9D: only straight quotes "
                       "\" "
                       "keep a separator inside a value)";
        }
    }
    return {};
}

constexpr int kEnd = -1;

// Bytes of the stream, with a look at the next one.
class Bytes {
public:
    explicit Bytes(std::istream& in) : in_(in) {}

    int Get() {
        if (at_ == size_ && !Fill())
            return kEnd;
        return static_cast<unsigned char>(buffer_[at_++]);
    }
    int Peek() {
        if (at_ == size_ && !Fill())
            return kEnd;
        return static_cast<unsigned char>(buffer_[at_]);
    }

private:
    bool Fill() {
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        size_ = static_cast<std::size_t>(in_.gcount());
        at_ = 0;
        return size_ > 0;
    }

    std::istream& in_;
    std::array<char, 65536> buffer_{};
    std::size_t size_ = 0;
    std::size_t at_ = 0;
};

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int more = 0;
        std::uint32_t code = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            code = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            code = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= text.size())
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (c & 0x3F);
        }
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

class Reader {
public:
    Reader(std::istream& in, const CsvLimits& limits) : bytes_(in), limits_(limits) {}

    std::variant<CsvTable, CsvProblem> Run() {
        if (!SkipByteOrderMark())
            return problem_;
        CsvTable table;
        if (!ReadRecord(table.header, table.headerLine))
            return problem_;
        if (table.header.empty())
            return CsvProblem{1, 0, "the file is empty: a header row is needed"};
        if (!separator_)
            separator_ = ',';
        table.separator = separator_;
        std::vector<std::string> fields;
        while (true) {
            int line = 0;
            if (!ReadRecord(fields, line))
                return problem_;
            if (fields.empty())
                break;
            if (fields.size() != table.header.size())
                return CsvProblem{line, 0,
                                  std::to_string(fields.size()) + " values, but the header has " +
                                      std::to_string(table.header.size()) + " columns" +
                                      curlyQuoteHint(fields)};
            if (table.rows.size() == limits_.maxRows)
                return CsvProblem{line, 0,
                                  "more rows than the list has (" +
                                      std::to_string(limits_.maxRows) + ")"};
            table.rows.push_back({line, std::move(fields)});
            fields = {};
        }
        return table;
    }

private:
    bool Fail(int line, int column, std::string reason) {
        problem_ = {line, column, std::move(reason)};
        return false;
    }

    bool SkipByteOrderMark() {
        const int first = bytes_.Peek();
        if (first == 0xEF) {
            bytes_.Get();
            if (bytes_.Get() != 0xBB || bytes_.Get() != 0xBF)
                return Fail(1, 0, "the file is not UTF-8 text");
        } else if (first == 0xFF || first == 0xFE) {
            return Fail(1, 0, "the file is UTF-16 text: save the table as UTF-8 CSV");
        }
        return true;
    }

    // The next record into `fields`; none (empty fields) at the end of the input.
    // The first record decides the separator.
    bool ReadRecord(std::vector<std::string>& fields, int& recordLine) {
        fields.clear();
        while (true) {
            recordLine = line_;
            std::string field;
            bool any = false;
            while (true) {
                int ended = 0;
                if (!ReadField(field, fields.size() + 1, ended))
                    return false;
                any = any || !field.empty() || ended == ',' || wasQuoted_;
                if (fields.size() == limits_.maxColumns)
                    return Fail(recordLine, 0,
                                "more than " + std::to_string(limits_.maxColumns) + " values");
                if (!isUtf8(field))
                    return Fail(recordLine, static_cast<int>(fields.size()) + 1,
                                "the value is not UTF-8 text");
                fields.push_back(std::move(field));
                field.clear();
                if (ended != ',')
                    break;
            }
            if (any)
                return true;
            fields.clear(); // a line without a single character
            if (atEnd_)
                return true;
        }
    }

    // One value; `ended` receives ',' when a separator followed, else 0.
    bool ReadField(std::string& field, std::size_t column, int& ended) {
        const int startLine = line_;
        quoted_ = bytes_.Peek() == '"';
        wasQuoted_ = quoted_;
        if (quoted_)
            bytes_.Get();
        while (true) {
            const int c = bytes_.Get();
            if (c == kEnd) {
                atEnd_ = true;
                if (quoted_)
                    return Fail(startLine, static_cast<int>(column),
                                "a quoted value is not closed");
                return true;
            }
            if (c == 0)
                return Fail(line_, 0, "the file holds binary data, not CSV text");
            if (!separator_ && !quoted_ && (c == ',' || c == ';' || c == '\t'))
                separator_ = static_cast<char>(c);
            if (quoted_) {
                if (c == '"') {
                    if (bytes_.Peek() != '"') {
                        quoted_ = false;
                        closedQuote_ = true;
                        continue;
                    }
                    bytes_.Get();
                }
                field += static_cast<char>(c);
                if (c == '\r' && bytes_.Peek() == '\n')
                    field += static_cast<char>(bytes_.Get());
                if (c == '\r' || c == '\n')
                    ++line_;
                if (field.size() > limits_.maxFieldBytes)
                    return Limit(field, startLine, column);
                continue;
            }
            if (c == Separator()) {
                ended = ',';
                closedQuote_ = false;
                return Limit(field, startLine, column);
            }
            if (c == '\r' || c == '\n') {
                CountLineEnd(c);
                closedQuote_ = false;
                return Limit(field, startLine, column);
            }
            if (closedQuote_)
                return Fail(startLine, static_cast<int>(column), "text after the closing quote");
            if (c == '"')
                return Fail(startLine, static_cast<int>(column),
                            "a quote inside a value that does not begin with one");
            field += static_cast<char>(c);
            if (field.size() > limits_.maxFieldBytes)
                return Limit(field, startLine, column);
        }
    }

    bool Limit(const std::string& field, int line, std::size_t column) {
        if (field.size() > limits_.maxFieldBytes)
            return Fail(line, static_cast<int>(column),
                        "the value is longer than " + std::to_string(limits_.maxFieldBytes) +
                            " bytes");
        return true;
    }

    // A line end: CR LF counts once.
    void CountLineEnd(int c) {
        if (c == '\r' && bytes_.Peek() == '\n')
            bytes_.Get();
        ++line_;
    }

    // Until the header has shown one, a comma.
    char Separator() const { return separator_ ? separator_ : ','; }

    Bytes bytes_;
    CsvLimits limits_;
    CsvProblem problem_;
    char separator_ = 0;
    int line_ = 1;
    bool quoted_ = false;
    bool wasQuoted_ = false;
    bool closedQuote_ = false;
    bool atEnd_ = false;
};

} // namespace

std::variant<CsvTable, CsvProblem> readCsv(std::istream& in, const CsvLimits& limits) {
    return Reader(in, limits).Run();
}

std::string csvField(std::string_view value, char separator) {
    const bool quote =
        value.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
        (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote)
        return std::string(value);
    std::string text = "\"";
    for (const char c : value) {
        if (c == '"')
            text += '"';
        text += c;
    }
    return text + '"';
}

std::string csvRecord(const std::vector<std::string>& fields, char separator) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += separator;
        text += csvField(fields[i], separator);
    }
    return text + "\r\n";
}

} // namespace marlo
