#include "app/marloVersion.h"
#include "cli/cloneCliExchange.h"
#include "cli/cloneCliHelp.h"
#include "cli/cloneCliOptions.h"
#include "cli/cloneCliSession.h"
#include "cli/consoleTexts.h"
#include "cli/fleetRun.h"
#include "cli/stderrProgress.h"
#include "core/memoryImage.h"
#include "platform/prompter.h"
#include "platform/signalEnd.h"

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

namespace marlo {

namespace {

using Args = std::vector<std::string>;

// A command ended by signal N exits with 128 + N, as the shell reports it.
constexpr int signalExitBase = 128;

// The exit status is the clone file code; its box has gone to stderr already.
int checkCommand(const Args& args) {
    if (args.size() != 1)
        return -1;
    CloneCliOptions options;
    options.file = args[0];
    CloneCliSession session(options, nullptr);
    return session.Check();
}

// The radio commands: the clone result code, or 32 + the code of FILE.
int radioCommand(CloneCliCommand command, const char* label, const Args& args) {
    std::string problem;
    const std::optional<CloneCliOptions> options = parseCloneCliOptions(command, args, problem);
    if (!options) {
        std::fprintf(stderr, "marlo-clone: %s\n", problem.c_str());
        return -1;
    }
    StderrProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, label);
    ProgressPrompter prompter(progress);
    Prompter* const previous = Prompter::Install(&prompter);
    int status = 0;
    {
        CloneCliSession session(*options, &progress);
        // Ctrl+C or a kill: the port is closed (its exclusive hold released) when
        // the session ends, and no file is written.
        std::unique_ptr<SignalEnd> ending;
        ending = std::make_unique<SignalEnd>(
            [&session, &ending] { session.Abort(signalExitBase + ending->Signal()); });
        switch (command) {
        case CloneCliCommand::Info:
            status = session.Info(stdout);
            break;
        case CloneCliCommand::Read:
            status = session.Read();
            break;
        case CloneCliCommand::Write:
            status = session.Write();
            break;
        case CloneCliCommand::Diff:
            status = session.Diff(stdout);
            break;
        }
    }
    Prompter::Install(previous);
    return status;
}

int infoCommand(const Args& args) {
    return radioCommand(CloneCliCommand::Info, "marlo-clone: identifying", args);
}
int readCommand(const Args& args) {
    return radioCommand(CloneCliCommand::Read, "marlo-clone: reading", args);
}
int writeCommand(const Args& args) {
    return radioCommand(CloneCliCommand::Write, "marlo-clone: writing", args);
}

// Two files, or one file and the radio.
int diffCommand(const Args& args) {
    for (const std::string& arg : args)
        if (arg == "--radio")
            return radioCommand(CloneCliCommand::Diff, "marlo-clone: reading", args);
    return runDiffCommand(args);
}

struct Command {
    std::string_view name;
    int (*run)(const Args& args); // -1: a usage error
};

constexpr std::array<Command, 8> commands{{
    {"check", checkCommand},
    {"info", infoCommand},
    {"read", readCommand},
    {"write", writeCommand},
    {"export", runExportCommand},
    {"import", runImportCommand},
    {"diff", diffCommand},
    {"fleet", runFleetCommand},
}};

int usage(std::string_view command) {
    printCloneUsage(command, stderr);
    return marloCloneExit::usage;
}

} // namespace

} // namespace marlo

using namespace marlo;

int main(int argc, char* argv[]) {
    // The clone engine and the serial port run on the event loop's timers.
    QCoreApplication app(argc, argv);
    ConsoleTexts texts;

    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (args.size() == 2 &&
        (std::string_view(args[1]) == "-h" || args[1] == std::string_view("--help"))) {
        printCloneHelp(stdout);
        return 0;
    }
    if (args.size() == 2 && std::string_view(args[1]) == "--version") {
        std::fputs("marlo-clone " MARLO_VERSION "\n", stdout);
        return 0;
    }
    if (args.size() < 2) {
        std::fputs("marlo-clone: a command is needed\n", stderr);
        return usage({});
    }
    for (const Command& c : commands) {
        if (c.name == args[1]) {
            if (asksForHelp(argv + 2, argc - 2)) {
                printCloneCommandHelp(c.name, stdout);
                return 0;
            }
            texts.Overlay().RequireEndMarker(); // a broken installation ends here with status 3
            const int status = c.run(Args(args.begin() + 2, args.end()));
            return status < 0 ? usage(c.name) : status;
        }
    }
    std::fprintf(stderr, "marlo-clone: unknown command '%s'\n", args[1]);
    return usage({});
}
