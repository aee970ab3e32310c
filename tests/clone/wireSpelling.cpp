#include "wireSpelling.h"

#include <cstdlib>

std::vector<std::uint8_t> spellBytes(const std::string& text) {
    std::vector<std::uint8_t> out;
    bool quoted = false;
    std::string hex;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            out.push_back(static_cast<std::uint8_t>(c));
        } else if (c != ' ') {
            hex += c;
            if (hex.size() == 2) {
                out.push_back(static_cast<std::uint8_t>(std::strtoul(hex.c_str(), nullptr, 16)));
                hex.clear();
            }
        }
    }
    return out;
}
