#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"
#include "platform/programPath.h"

#include <cstdio>
#include <string>

namespace {

constexpr int usageError = 64;

int usage() {
    std::fputs("usage: marlo-clone check FILE\n", stderr);
    return usageError;
}

} // namespace

int main(int argc, char* argv[]) {
    cmcStderrPrompter prompter;
    cmcPrompter::install(&prompter);
    cmcGTex overlay;
    overlay.SetFile(programDir() + "Marlo" + ".OVL");
    cmcGTex::SetApp(&overlay);

    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    (void)command;
    return usage();
}
