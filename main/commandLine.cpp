#include "main/commandLine.h"

namespace {

// ASCII only: bytes of multi-byte characters are left as they are.
std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

dstModeSwitches cmcReadModeSwitches(const std::vector<std::string>& args,
                                    const std::function<std::string()>& expertText,
                                    std::uint32_t seed) {
    dstModeSwitches modes;
    for (const std::string& arg : args) {
        const std::string word = lowerCase(arg);
        if (word == "/expert") {
            modes.expert = 1;
            modes.modeText += expertText();
        } else if (word == "/factory") {
            modes.factory = 1;
            modes.modeText += "[ FACTORY ]";
            // A second "/factory" must not repeat the first one's digits.
            cmcDrawIdentityDigits(modes.identity, seed++);
        } else if (word == "/gene") {
            modes.gene = 1;
            modes.modeText += "[ GENE ]";
        }
    }
    return modes;
}
