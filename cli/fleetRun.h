#pragma once

#include "cli/cloneCliOptions.h"
#include "cli/fleetRoster.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace marlo {

class CloneCliSession;
class CloneProgress;
class MemoryImage;

// marlo-clone fleet: one plan written to many radios, each with its own
// fields from a roster row.
//
//   fleet PLAN --roster ROSTER.csv [--port N | --device PATH] [--variant V]
//         [--backups DIR] [--log LOG] [--verify] [--changes-only]
//         [--next LABEL | --from LABEL]
namespace marloCloneExit {
inline constexpr int fleetIncomplete = 75; // fleet: rows were skipped, none failed
} // namespace marloCloneExit

struct FleetOptions {
    CloneCliOptions write; // port, variant, verify, changes-only; file: PLAN
    std::string roster;
    std::string backups = "."; // each radio's memory is saved here first
    std::string log;           // default: BACKUPS/marlo-fleet.jsonl
    std::string next;          // this row alone
    std::string from;          // this row and the rows after it
};

std::optional<FleetOptions> parseFleetOptions(const std::vector<std::string>& args,
                                              std::string& problem);

// Where the operator answers and where the run speaks; tests replace them.
struct FleetIo {
    int input = 0;           // the operator's answers, a line per radio
    std::FILE* out = stderr; // prompts, per-radio results and the summary
    CloneProgress* progress = nullptr;
    // Called with each radio's session before it is used.
    std::function<void(CloneCliSession&)> onSession;
};

// One fleet run. Every row's image is built and checked before any radio is
// spoken to; then, radio by radio, the operator connects it and presses Enter
// ("s" skips the row, "q" or the end of the input stops), and the radio is
// backed up, written (in full, or only the blocks that differ from its backup)
// and verified when asked, and logged. Needs a Qt application and the
// overlay store, as the radio commands do.
class FleetRun {
public:
    FleetRun(FleetOptions options, FleetIo io);
    ~FleetRun();
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    // The exit status: 0 only when every chosen row was written.
    int Run();
    // Ctrl+C or a kill: the radio being written is abandoned (its record says
    // so) and no other is touched; Run then returns `status`.
    void Interrupt(int status);

private:
    struct Counts {
        int written = 0;
        int failed = 0;
        int skipped = 0;
    };

    int Prepare();
    std::optional<std::string> Answer();
    int Attempt(std::size_t row);
    std::string BackupPath(const std::string& label) const;

    FleetOptions options_;
    FleetIo io_;
    FleetRoster roster_;
    std::string planHash_;
    std::string imageFolder_;
    std::vector<std::string> imageFiles_;
    CloneCliSession* running_ = nullptr;
    int interrupted_ = 0;
};

// The command as main runs it: the arguments after "fleet"; -1 for a usage error.
int runFleetCommand(const std::vector<std::string>& args);

} // namespace marlo
