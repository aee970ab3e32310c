#include "cli/cloneCliHelp.h"

#include "exchange/exchangeLists.h"

#include <array>
#include <string>

namespace marlo {

namespace {

struct Option {
    std::string_view name;
    std::string_view text;
};

struct CommandHelp {
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;
    std::array<Option, 10> options; // unused entries have no name
};

constexpr Option portOption{"--port N", "the serial port of the settings' port map, 1..256"};
constexpr Option deviceOption{"--device PATH", "the serial device, such as /dev/ttyUSB0"};
constexpr Option variantOption{"--variant V", "the model variant, 0 or 1 (default: the setting)"};

constexpr std::array<CommandHelp, 8> commands{{
    {"check", "FILE", "Checks that FILE is a clone file this program can open.", {}},
    {"info",
     "[--port N | --device PATH] [--variant V]",
     "Identifies the radio on the cable and prints what it reports.",
     {{portOption, deviceOption, variantOption}}},
    {"read",
     "[--port N | --device PATH] [--variant V] -o FILE",
     "Reads the radio's memory into the clone file FILE.",
     {{portOption, deviceOption, variantOption, {"-o FILE", "the clone file to write"}}}},
    {"write",
     "[--port N | --device PATH] [--variant V] [--backup FILE]\n"
     "        [--changes-from BASE] [--verify] FILE",
     "Writes the clone file FILE into the radio.",
     {{portOption,
       deviceOption,
       variantOption,
       {"--backup FILE", "first save the radio's memory to FILE"},
       {"--changes-from BASE", "send only the blocks that differ from BASE, the radio's memory"},
       {"--verify", "read the radio back afterwards and compare every byte sent"}}}},
    {"export",
     "FILE --list LIST [-o OUT.csv]",
     "Prints one list of the clone file FILE as CSV.",
     {{{"--list LIST", "the list to export"}, {"-o OUT.csv", "write to OUT.csv, not stdout"}}}},
    {"import",
     "FILE --list LIST CSV [-o OUT] [--expert]",
     "Reads the CSV table into one list of FILE and saves the result to FILE or OUT.",
     {{{"--list LIST", "the list to import into"},
       {"-o OUT", "save to OUT and leave FILE as it is"},
       {"--expert", "also change band edges, expert settings and mode spellings"}}}},
    {"diff",
     "A B | FILE --radio [--port N | --device PATH]",
     "Prints what differs between the clone files A and B, or between FILE and the\n"
     "radio's memory (read, nothing written).",
     {{{"--radio", "compare FILE with the radio on the cable"}, portOption, deviceOption}}},
    {"fleet",
     "PLAN --roster ROSTER.csv [--port N | --device PATH] [--variant V] [--backups DIR]\n"
     "        [--log LOG] [--verify] [--changes-only] [--next LABEL | --from LABEL]",
     "Writes the clone file PLAN to a roster of radios, each with its own fields.",
     {{{"--roster ROSTER.csv", "one row per radio: a label and the radio's own fields"},
       portOption,
       deviceOption,
       variantOption,
       {"--backups DIR", "where each radio's memory is saved first (default: .)"},
       {"--log LOG", "the JSON Lines log (default: DIR/marlo-fleet.jsonl)"},
       {"--verify", "read each radio back and compare every byte sent"},
       {"--changes-only", "send each radio only the blocks that differ from its backup"},
       {"--next LABEL", "program that row alone"},
       {"--from LABEL", "program that row and those after it"}}}},
}};

constexpr std::string_view exitStatus =
    "Exit status:\n"
    "  0       success\n"
    "  1..9    the clone file code (check); 1: the files differ (diff)\n"
    "  2, 4..17  the clone result code (info, read, write, diff --radio); 11\n"
    "          also: not the radio BASE came from (write --changes-from)\n"
    "  32+n    the clone file FILE has code n\n"
    "  64      usage error\n"
    "  65      the CSV was refused, nothing written (import); the document has\n"
    "          errors, nothing sent (write)\n"
    "  66      the CSV cannot be read (import); the radio differs from what was\n"
    "          sent (write --verify)\n"
    "  70      the operation could not start\n"
    "  73      the output cannot be written\n"
    "  75      fleet rows were skipped\n"
    "  130, 143  interrupted by SIGINT, SIGTERM\n";

void printView(std::string_view text, std::FILE* to) {
    std::fwrite(text.data(), 1, text.size(), to);
}

void printOption(std::string_view name, std::string_view text, std::FILE* to) {
    std::fprintf(to, "  %-16.*s %.*s\n", static_cast<int>(name.size()), name.data(),
                 static_cast<int>(text.size()), text.data());
}

void printSynopsis(const CommandHelp& c, std::FILE* to) {
    std::fprintf(to, "  marlo-clone %.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 static_cast<int>(c.synopsis.size()), c.synopsis.data());
}

const CommandHelp* findCommand(std::string_view name) {
    for (const CommandHelp& c : commands)
        if (c.name == name)
            return &c;
    return nullptr;
}

void printCommandList(std::FILE* to) {
    printView("Usage: marlo-clone COMMAND [OPTION]... [FILE]...\n", to);
    for (const CommandHelp& c : commands)
        printSynopsis(c, to);
}

} // namespace

void printCloneHelp(std::FILE* to) {
    printCommandList(to);
    printView("\nReads and writes the radio's memory over the clone cable, checks clone\n"
              "files and exchanges their lists with spreadsheets.\n",
              to);
    printView("\nOptions:\n", to);
    printOption("-h, --help", "show this help, or a command's, and exit", to);
    printOption("--version", "show the version and exit", to);
    std::fprintf(to, "\nLIST: %s.\n", exchangeListNames().c_str());
    printView("Run 'marlo-clone COMMAND --help' for the options of one command.\n\n", to);
    printView(exitStatus, to);
}

void printCloneUsage(std::string_view command, std::FILE* to) {
    const CommandHelp* c = findCommand(command);
    if (c == nullptr) {
        printCommandList(to);
        printView("Try 'marlo-clone --help' for more information.\n", to);
        return;
    }
    printView("Usage:\n", to);
    printSynopsis(*c, to);
    std::fprintf(to, "Try 'marlo-clone %.*s --help' for more information.\n",
                 static_cast<int>(c->name.size()), c->name.data());
}

bool printCloneCommandHelp(std::string_view command, std::FILE* to) {
    const CommandHelp* c = findCommand(command);
    if (c == nullptr)
        return false;
    printView("Usage:\n", to);
    printSynopsis(*c, to);
    std::fprintf(to, "%.*s\n", static_cast<int>(c->summary.size()), c->summary.data());
    printView("\nOptions:\n", to);
    for (const Option& o : c->options)
        if (!o.name.empty())
            printOption(o.name, o.text, to);
    printOption("-h, --help", "show this help and exit", to);
    if (c->name == "export" || c->name == "import")
        std::fprintf(to, "\nLIST: %s.\n", exchangeListNames().c_str());
    printView("\n", to);
    printView(exitStatus, to);
    return true;
}

bool asksForHelp(const char* const* args, int count) {
    constexpr std::array<std::string_view, 12> takesValue{
        "-o",       "--list",    "--port", "--device", "--variant", "--backup",
        "--roster", "--backups", "--log",  "--next",   "--from",    "--changes-from"};
    for (int i = 0; i < count; ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help")
            return true;
        for (std::string_view option : takesValue)
            if (arg == option) {
                ++i;
                break;
            }
    }
    return false;
}

} // namespace marlo
