#include "cli/cloneCliExchange.h"
#include "cli/cloneCliSession.h"
#include "cli/fleetRun.h"
#include "clone/cloneCliOptions.h"
#include "clone/cmcStderrProgress.h"
#include "core/cmcConsoleTexts.h"
#include "core/cmcEeprom.h"
#include "platform/cmcPrompter.h"
#include "platform/cuiSignalEnd.h"

#include <QCoreApplication>

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// A command ended by signal N exits with 128 + N, as the shell reports it.
constexpr int signalExitBase = 128;

// The exit status is the clone file code; its box has gone to stderr already.
int checkCommand(const Args& args) {
    if (args.size() != 1)
        return -1;
    dstCloneCliOptions options;
    options.file = args[0];
    cmcCloneCliSession session(options, nullptr);
    return session.Check();
}

// The radio commands: the clone result code, or 32 + the code of FILE.
int radioCommand(cmcCloneCliCommand command, const char* label, const Args& args) {
    std::string problem;
    const std::optional<dstCloneCliOptions> options =
        cmcParseCloneCliOptions(command, args, problem);
    if (!options) {
        std::fprintf(stderr, "marlo-clone: %s\n", problem.c_str());
        return -1;
    }
    cmcStderrProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, label);
    cmcProgressPrompter prompter(progress);
    cmcPrompter* const previous = cmcPrompter::install(&prompter);
    int status = 0;
    {
        cmcCloneCliSession session(*options, &progress);
        // Ctrl+C or a kill: the port is closed (its exclusive hold released) when
        // the session ends, and no file is written.
        std::unique_ptr<cuiSignalEnd> ending;
        ending = std::make_unique<cuiSignalEnd>(
            [&session, &ending] { session.Abort(signalExitBase + ending->Signal()); });
        switch (command) {
        case cmcCloneCliCommand::Info:
            status = session.Info(stdout);
            break;
        case cmcCloneCliCommand::Read:
            status = session.Read();
            break;
        case cmcCloneCliCommand::Write:
            status = session.Write();
            break;
        }
    }
    cmcPrompter::install(previous);
    return status;
}

int infoCommand(const Args& args) {
    return radioCommand(cmcCloneCliCommand::Info, "marlo-clone: identifying", args);
}
int readCommand(const Args& args) {
    return radioCommand(cmcCloneCliCommand::Read, "marlo-clone: reading", args);
}
int writeCommand(const Args& args) {
    return radioCommand(cmcCloneCliCommand::Write, "marlo-clone: writing", args);
}

struct Command {
    std::string_view name;
    std::string_view arguments;
    int (*run)(const Args& args); // -1: a usage error
};

constexpr std::array<Command, 8> commands{{
    {"check", "FILE", checkCommand},
    {"info", "[--port N | --device PATH] [--variant V]", infoCommand},
    {"read", "[--port N | --device PATH] [--variant V] -o FILE", readCommand},
    {"write", "[--port N | --device PATH] [--variant V] [--backup FILE] [--verify] FILE",
     writeCommand},
    {"export", "FILE --list LIST [-o OUT.csv]", cmcExportCommand},
    {"import", "FILE --list LIST CSV [-o OUT] [--expert]", cmcImportCommand},
    {"diff", "A B", cmcDiffCommand},
    {"fleet",
     "PLAN --roster ROSTER.csv [--port N | --device PATH] [--variant V] [--backups DIR]\n"
     "        [--log LOG] [--verify] [--next LABEL | --from LABEL]",
     cmcFleetCommand},
}};

void printUsage(std::FILE* to) {
    std::fputs("usage:\n", to);
    for (const Command& c : commands)
        std::fprintf(to, "  marlo-clone %.*s %.*s\n", static_cast<int>(c.name.size()),
                     c.name.data(), static_cast<int>(c.arguments.size()), c.arguments.data());
    std::fputs("\nLIST: channels, selcall, ale, phone, modes, edges or settings.\n"
               "\nexit status: 0 success; 1..9 the clone file code (check); 2, 4..17 the clone\n"
               "result code (info, read, write); 1 the files differ (diff); 32 + the clone\n"
               "file code of FILE; 64 usage; 65 the CSV was refused, nothing written (import),\n"
               "the document has errors, nothing sent (write); 66 the CSV cannot be read\n"
               "(import), the radio differs from what was sent (write --verify); 70 the\n"
               "operation could not start; 73 the output cannot be written; 75 fleet rows were\n"
               "skipped; 130, 143 interrupted by SIGINT, SIGTERM. fleet: 0 only when every\n"
               "row was written, else the first failed radio's status; 65 a roster value or\n"
               "the plan was refused, nothing sent to any radio\n",
               to);
}

int usage() {
    printUsage(stderr);
    return marloCloneExit::usage;
}

} // namespace

int main(int argc, char* argv[]) {
    // The clone engine and the serial port run on the event loop's timers.
    QCoreApplication app(argc, argv);
    cmcConsoleTexts texts;

    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (args.size() == 2 &&
        (std::string_view(args[1]) == "-h" || args[1] == std::string_view("--help"))) {
        printUsage(stdout);
        return 0;
    }
    if (args.size() < 2)
        return usage();
    for (const Command& c : commands) {
        if (c.name == args[1]) {
            texts.Overlay().RequireEndMarker(); // a broken installation ends here with status 3
            const int status = c.run(Args(args.begin() + 2, args.end()));
            return status < 0 ? usage() : status;
        }
    }
    return usage();
}
