#include "document/commandLine.h"

namespace marlo {

namespace {

// ASCII only: bytes of multi-byte characters are left as they are.
std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isSwitch(const std::string& arg) {
    const std::string word = lowerCase(arg);
    return word == "/expert" || word == "/factory" || word == "/gene";
}

} // namespace

std::string commandLineFile(const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!args[i].empty() && !isSwitch(args[i]))
            return args[i];
    }
    return {};
}

ModeSwitches readModeSwitches(const std::vector<std::string>& args,
                              const std::function<std::string()>& expertText, std::uint32_t seed) {
    ModeSwitches modes;
    for (const std::string& arg : args) {
        const std::string word = lowerCase(arg);
        if (word == "/expert") {
            modes.expert = 1;
            modes.modeText += expertText();
        } else if (word == "/factory") {
            modes.factory = 1;
            modes.modeText += "[ FACTORY ]";
            // A second "/factory" must not repeat the first one's digits.
            drawIdentityDigits(modes.identity, seed++);
        } else if (word == "/gene") {
            modes.gene = 1;
            modes.modeText += "[ GENE ]";
        }
    }
    return modes;
}

} // namespace marlo
