#include "core/cloneFileCheck.h"
#include "core/cmcEeprom.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"
#include "platform/programPath.h"

#include <array>
#include <cstdio>
#include <span>
#include <string_view>

namespace {

constexpr int usageError = 64; // EX_USAGE

// The exit status is the clone file code; its box has gone to stderr already.
int checkCommand(std::span<char* const> args) {
    cmcEeprom image;
    return cmcCheckCloneFile(args[0], image);
}

struct Command {
    std::string_view name;
    std::string_view arguments;
    std::size_t argumentCount;
    int (*run)(std::span<char* const> args);
};

constexpr std::array<Command, 1> commands{{
    {"check", "FILE", 1, checkCommand},
}};

void printUsage(std::FILE* to) {
    std::fputs("usage:\n", to);
    for (const Command& c : commands)
        std::fprintf(to, "  marlo-clone %.*s %.*s\n", static_cast<int>(c.name.size()),
                     c.name.data(), static_cast<int>(c.arguments.size()), c.arguments.data());
}

int usage() {
    printUsage(stderr);
    return usageError;
}

} // namespace

int main(int argc, char* argv[]) {
    cmcStderrPrompter prompter;
    cmcPrompter::install(&prompter);
    cmcGTex overlay;
    overlay.SetFile(programDir() + "Marlo" + ".OVL");
    cmcGTex::SetApp(&overlay);

    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (args.size() == 2 &&
        (std::string_view(args[1]) == "-h" || args[1] == std::string_view("--help"))) {
        printUsage(stdout);
        return 0;
    }
    if (args.size() < 2)
        return usage();
    for (const Command& c : commands) {
        if (c.name == args[1])
            return args.size() - 2 == c.argumentCount ? c.run(args.subspan(2)) : usage();
    }
    return usage();
}
