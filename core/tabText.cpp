#include "core/tabText.h"

namespace marlo {

std::vector<std::vector<std::string>> readTabText(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;    // inside a quoted value
    bool wasQuoted = false; // the value began with a quote
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == '"' && field.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == '\t') {
            row.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            row.push_back(std::move(field));
            rows.push_back(std::move(row));
            row.clear();
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty() || wasQuoted) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string tabText(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string& value = row[i];
            if (i > 0)
                out += '\t';
            if (value.find_first_of("\t\r\n\"") == std::string::npos) {
                out += value;
                continue;
            }
            out += '"';
            for (const char c : value)
                out += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += '"';
        }
        out += '\n';
    }
    return out;
}

} // namespace marlo
