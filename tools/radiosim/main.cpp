// marlo-radiosim: a simulated radio on a pseudo-terminal, for trying the clone
// commands without hardware. See README.md beside this file.

#include "cli/consoleTexts.h"
#include "tools/radiosim/radioSim.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace marlo {

namespace {

constexpr int usageError = 64; // EX_USAGE

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void printUsage(std::FILE* to) {
    std::fputs("usage: marlo-radiosim [--image FILE] [--variant V] [--firmware XXXX]\n"
               "                      [--baud N] [--fault NAME] [--dump FILE]\n"
               "\n"
               "Serves a simulated radio on a pseudo-terminal and prints the device to\n"
               "use as the serial port on its first line. Runs until interrupted.\n"
               "\n"
               "  --image FILE     the radio's memory, from a clone file (default: blank)\n"
               "  --variant V      model variant reported by the radio (default: the image's)\n"
               "  --firmware XXXX  firmware characters reported (default 3400)\n"
               "  --baud N         pace the line at N baud (default 0: no pacing)\n"
               "  --fault NAME     misbehave in one way, see below\n"
               "  --dump FILE      save the memory as a clone file after every write\n"
               "\n"
               "faults:\n",
               to);
    for (const RadioSim::FaultInfo& info : RadioSim::Faults())
        std::fprintf(to, "  %-20.*s %.*s\n", static_cast<int>(info.name.size()), info.name.data(),
                     static_cast<int>(info.help.size()), info.help.data());
}

int usage(const char* problem) {
    std::fprintf(stderr, "marlo-radiosim: %s\n", problem);
    printUsage(stderr);
    return usageError;
}

std::optional<long> number(const char* text, long low, long high) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return value;
}

bool installSignalHandlers() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace

} // namespace marlo

using namespace marlo;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ConsoleTexts texts;

    RadioSim sim;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "-h" || option == "--help") {
            printUsage(stdout);
            return 0;
        }
        if (i + 1 >= argc)
            return usage("an option needs a value");
        const char* value = argv[++i];
        if (option == "--image") {
            if (!sim.LoadImage(value)) {
                std::fprintf(stderr, "marlo-radiosim: the image %s cannot be used\n", value);
                return 1; // the reason has gone to stderr already
            }
        } else if (option == "--variant") {
            const auto v = number(value, 0, 255);
            if (!v)
                return usage("--variant needs a number 0..255");
            sim.SetVariant(static_cast<int>(*v));
        } else if (option == "--firmware") {
            if (std::string_view(value).size() != 4)
                return usage("--firmware needs four characters");
            sim.SetFirmware(value);
        } else if (option == "--baud") {
            const auto v = number(value, 0, 1000000);
            if (!v)
                return usage("--baud needs a number 0..1000000");
            sim.SetBaud(static_cast<unsigned>(*v));
        } else if (option == "--fault") {
            const auto fault = RadioSim::FaultFromName(value);
            if (!fault)
                return usage("unknown fault");
            sim.SetFault(*fault);
        } else if (option == "--dump") {
            sim.SetDumpPath(value);
        } else {
            return usage("unknown option");
        }
    }

    if (!installSignalHandlers()) {
        std::perror("marlo-radiosim: signals");
        return 1;
    }
    QSocketNotifier stopper(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopper, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    if (!sim.Start()) {
        std::fprintf(stderr, "marlo-radiosim: %s\n", sim.ErrorText().c_str());
        return 1;
    }
    sim.SetReopenedCallback([](const std::string& path) {
        std::fprintf(stderr, "marlo-radiosim: line dropped; now serving %s\n", path.c_str());
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    });
    std::printf("%s\n", sim.DevicePath().c_str());
    std::fflush(stdout);

    const int status = app.exec();
    const RadioSim::Counters& c = sim.Stats();
    std::fprintf(stderr,
                 "marlo-radiosim: %d information, %d read, %d write requests; %d frames sent, "
                 "%d accepted, %d rejected\n",
                 c.informationRequests, c.readRequests, c.writeRequests, c.framesSent,
                 c.framesAccepted, c.framesRejected);
    sim.Stop();
    return status;
}
