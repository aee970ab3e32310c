#include "cli/fleetRun.h"

#include "cli/cloneCliExchange.h"
#include "cli/cloneCliSession.h"
#include "cli/fleetLog.h"
#include "cli/headlessDocument.h"
#include "cli/stderrProgress.h"
#include "clone/cloneFileSave.h"
#include "core/memoryImage.h"
#include "document/radioDocument.h"
#include "platform/prompter.h"
#include "platform/signalEnd.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

namespace marlo {

namespace {

namespace fs = std::filesystem;

// A command ended by signal N exits with 128 + N, as the shell reports it.
constexpr int signalExitBase = 128;

// Passes every box on and keeps the head line of the last one for the log.
class RememberingPrompter : public Prompter {
public:
    explicit RememberingPrompter(Prompter& next) : next_(next) {}
    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override {
        last = text.substr(0, text.find('\n'));
        return next_.Message(caption, text, icon, buttons);
    }
    std::optional<std::string> OpenFileName(const std::string& c, const std::string& f,
                                            const std::string& filter) override {
        return next_.OpenFileName(c, f, filter);
    }
    std::optional<std::string> SaveFileName(const std::string& c, const std::string& s,
                                            const std::string& filter,
                                            const std::string& suffix) override {
        return next_.SaveFileName(c, s, filter, suffix);
    }

    std::string last;

private:
    Prompter& next_;
};

// The words for a result the command line reports without a box.
std::string resultMessage(int status, const CloneCliOptions& options, const std::string& box,
                          const std::optional<ChangedBlocks>& changes) {
    const std::string verified = options.verify ? " and verified" : "";
    if (status == 0 && changes && changes->Empty())
        return options.verify ? "nothing differed, nothing was sent; verified"
                              : "nothing differed, nothing was sent";
    if (status == 0 && changes)
        return std::to_string(changes->blocks) + " changed blocks (" +
               std::to_string(changes->bytes) + " bytes) written" + verified;
    if (status == 0)
        return "written" + verified;
    if (!box.empty())
        return box;
    if (status == marloCloneExit::otherRadio && options.changesOnly)
        return "not the radio just read (its variant or identity differs); nothing was sent";
    if (status == marloCloneExit::dataErrors)
        return "the image has errors; nothing was sent";
    if (status == marloCloneExit::verifyFailed)
        return "verify: the radio differs from what was sent";
    if (status == marloCloneExit::notStarted)
        return "the clone operation could not be started";
    if (status >= signalExitBase)
        return "interrupted";
    if (status > marloCloneExit::fileBase)
        return "a file could not be read or saved";
    return "failed";
}

// A label as part of a file name: letters, digits, '-', '_' and '.' kept.
std::string fileSafe(const std::string& label) {
    std::string name;
    for (const char c : label)
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.'
                    ? c
                    : '_';
    return name;
}

std::string lineOf(const std::string& description, const std::string& name) {
    const std::size_t at = description.find(name + ": ");
    if (at == std::string::npos)
        return "";
    const std::size_t from = at + name.size() + 2;
    return description.substr(from, description.find('\n', from) - from);
}

std::string oneLine(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, "; ");
    return text;
}

} // namespace

std::optional<FleetOptions> parseFleetOptions(const std::vector<std::string>& args,
                                              std::string& problem) {
    FleetOptions options;
    std::vector<std::string> rest;
    std::vector<std::string> seen;
    bool changesOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string* value = nullptr;
        if (args[i] == "--roster")
            value = &options.roster;
        else if (args[i] == "--backups")
            value = &options.backups;
        else if (args[i] == "--log")
            value = &options.log;
        else if (args[i] == "--next")
            value = &options.next;
        else if (args[i] == "--from")
            value = &options.from;
        else if (args[i] == "--backup") {
            problem = "fleet saves each radio's memory in --backups DIR";
            return std::nullopt;
        } else if (args[i] == "--changes-from") {
            problem = "fleet --changes-only compares each radio with its own memory just read";
            return std::nullopt;
        } else if (args[i] == "--changes-only") {
            changesOnly = true;
            continue;
        }
        if (value == nullptr) {
            rest.push_back(args[i]);
            continue;
        }
        if (std::find(seen.begin(), seen.end(), args[i]) != seen.end() || i + 1 == args.size() ||
            args[i + 1].empty()) {
            problem = args[i] + " is repeated or has no value";
            return std::nullopt;
        }
        seen.push_back(args[i]);
        *value = args[++i];
    }
    const std::optional<CloneCliOptions> write =
        parseCloneCliOptions(CloneCliCommand::Write, rest, problem);
    if (!write)
        return std::nullopt;
    options.write = *write;
    options.write.changesOnly = changesOnly;
    if (options.roster.empty()) {
        problem = "fleet needs --roster ROSTER.csv";
        return std::nullopt;
    }
    if (!options.next.empty() && !options.from.empty()) {
        problem = "--next and --from cannot be given together";
        return std::nullopt;
    }
    if (options.log.empty())
        options.log = (fs::path(options.backups) / "marlo-fleet.jsonl").string();
    return options;
}

FleetRun::FleetRun(FleetOptions options, FleetIo io)
    : options_(std::move(options)), io_(std::move(io)) {}

FleetRun::~FleetRun() {
    if (!imageFolder_.empty()) {
        std::error_code ignored;
        fs::remove_all(imageFolder_, ignored);
    }
}

void FleetRun::Interrupt(int status) {
    if (interrupted_ != 0)
        return;
    interrupted_ = status;
    if (running_ != nullptr)
        running_->Abort(status);
}

// Reads the roster, builds and checks every row's image and keeps each as a
// file for its write; nothing here speaks to a radio.
int FleetRun::Prepare() {
    std::vector<FleetProblem> problems = readFleetRoster(options_.roster, roster_);
    std::vector<std::unique_ptr<MemoryImage>> images;
    if (problems.empty()) {
        CloneCliOptions planOptions = options_.write;
        CloneCliSession session(planOptions, nullptr, io_.out);
        RadioDocument& controller = session.Controller();
        const CloneFile::Code opened = openHeadlessDocument(controller, options_.write.file);
        if (opened != CloneFile::Ok)
            return marloCloneExit::fileBase + opened;
        problems = buildFleetImages(controller, roster_, images);
    }
    if (!problems.empty()) {
        std::fprintf(io_.out, "marlo-clone: fleet: nothing was sent to any radio:\n");
        for (const FleetProblem& p : problems)
            std::fprintf(io_.out, "  %s\n", describeFleetProblem(options_.roster, p).c_str());
        return marloCloneExit::dataErrors;
    }
    planHash_ = fileSha256Hex(options_.write.file).value_or("");

    std::error_code error;
    if (!fs::is_directory(options_.backups, error) ||
        ::access(options_.backups.c_str(), W_OK | X_OK) != 0) {
        std::fprintf(io_.out, "marlo-clone: fleet: the backup folder %s cannot be written\n",
                     options_.backups.c_str());
        return marloCloneExit::cannotCreate;
    }
    if (!FleetLog(options_.log).Usable()) {
        std::fprintf(io_.out, "marlo-clone: fleet: the log %s cannot be appended to\n",
                     options_.log.c_str());
        return marloCloneExit::cannotCreate;
    }
    std::string folder = (fs::temp_directory_path(error) / "marlo-fleet-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::fputs("marlo-clone: fleet: no room for the radios' images\n", io_.out);
        return marloCloneExit::cannotCreate;
    }
    imageFolder_ = folder;
    for (std::size_t r = 0; r < images.size(); ++r) {
        imageFiles_.push_back(
            (fs::path(folder) / ("row" + std::to_string(r + 1) + ".vcf")).string());
        if (saveDocumentFile(*images[r], imageFiles_.back()) != CloneFile::Ok) {
            std::fputs("marlo-clone: fleet: no room for the radios' images\n", io_.out);
            return marloCloneExit::cannotCreate;
        }
    }
    return 0;
}

// One line from the operator, the event loop running meanwhile so that Ctrl+C
// is heard; nothing at the end of the input or on an interruption.
std::optional<std::string> FleetRun::Answer() {
    std::string line;
    constexpr int waitMs = 50;
    for (;;) {
        QCoreApplication::processEvents();
        if (interrupted_ != 0)
            return std::nullopt;
        pollfd ready{io_.input, POLLIN, 0};
        const int n = ::poll(&ready, 1, waitMs);
        if (n < 0 && errno != EINTR)
            return std::nullopt;
        if (n <= 0)
            continue;
        char c = 0;
        const ssize_t got = ::read(io_.input, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (c == '\n')
            return line;
        line += c;
    }
}

std::string FleetRun::BackupPath(const std::string& label) const {
    const std::string stem = fileSafe(label) + "-" + utcTimeNow(true);
    std::string path = (fs::path(options_.backups) / (stem + ".vcf")).string();
    for (int n = 2; fs::exists(path); ++n)
        path = (fs::path(options_.backups) / (stem + "-" + std::to_string(n) + ".vcf")).string();
    return path;
}

// Backs up, writes (all, or only what differs from the backup) and logs the
// radio of one row; its status.
int FleetRun::Attempt(std::size_t row) {
    const FleetRow& entry = roster_.rows[row];
    CloneCliOptions options = options_.write;
    options.file = imageFiles_[row];
    options.backup = BackupPath(entry.label);
    RememberingPrompter prompter(Prompter::Current());
    Prompter* const previous = Prompter::Install(&prompter);

    FleetRecord record;
    record.label = entry.label;
    record.row = static_cast<int>(row) + 1;
    record.planSha256 = planHash_;
    std::optional<ChangedBlocks> changes;
    {
        CloneCliSession session(options, io_.progress, io_.out);
        if (io_.onSession)
            io_.onSession(session);
        running_ = &session;
        record.result = session.Write();
        running_ = nullptr;
        const RadioInfo& info = session.Controller().LastRadioInfo;
        if (info.value1 != 0) {
            const std::string description = describeRadio(info);
            record.firmware = lineOf(description, "firmware");
            record.radio = oneLine(description);
        }
        const std::vector<std::uint8_t> image = session.ImageBytes();
        if (!image.empty())
            record.imageSha256 = sha256Hex(image);
        changes = session.ChangesSent();
    }
    Prompter::Install(previous);
    if (fs::exists(options.backup))
        record.backup = options.backup;
    record.changesOnly = options.changesOnly;
    if (changes) {
        record.blocks = changes->blocks;
        record.bytes = changes->bytes;
    }
    record.message = resultMessage(record.result, options, prompter.last, changes);
    if (record.result >= signalExitBase && !record.imageSha256.empty())
        record.message += "; the radio's memory may be incomplete";
    record.time = utcTimeNow(false);
    if (!FleetLog(options_.log).Append(record)) {
        std::fprintf(io_.out, "marlo-clone: fleet: the log %s cannot be appended to; stopping\n",
                     options_.log.c_str());
        Interrupt(marloCloneExit::cannotCreate);
    }
    std::fprintf(io_.out, "marlo-clone: fleet: row %d, %s: %s\n", record.row, entry.label.c_str(),
                 record.message.c_str());
    return record.result;
}

int FleetRun::Run() {
    if (const int refused = Prepare(); refused != 0)
        return refused;
    std::size_t first = 0;
    std::size_t end = roster_.rows.size();
    const std::string& picked = options_.next.empty() ? options_.from : options_.next;
    if (!picked.empty()) {
        const auto at = std::find_if(roster_.rows.begin(), roster_.rows.end(),
                                     [&](const FleetRow& r) { return r.label == picked; });
        if (at == roster_.rows.end()) {
            std::fprintf(io_.out, "marlo-clone: fleet: the roster has no row labelled %s\n",
                         picked.c_str());
            return marloCloneExit::usage;
        }
        first = static_cast<std::size_t>(at - roster_.rows.begin());
        if (!options_.next.empty())
            end = first + 1;
    }
    Counts counts;
    int firstFailure = 0;
    for (std::size_t row = first; row < end; ++row) {
        const FleetRow& entry = roster_.rows[row];
        std::fprintf(io_.out,
                     "connect the radio for row %zu, %s, and press Enter (s skips it, q stops): ",
                     row + 1, entry.label.c_str());
        std::fflush(io_.out);
        const std::optional<std::string> answer = Answer();
        std::fputc('\n', io_.out);
        if (!answer || *answer == "q") {
            counts.skipped += static_cast<int>(end - row);
            break;
        }
        if (*answer == "s") {
            ++counts.skipped;
            continue;
        }
        const int status = Attempt(row);
        if (status == 0) {
            ++counts.written;
        } else {
            ++counts.failed;
            if (firstFailure == 0)
                firstFailure = status;
        }
        if (interrupted_ != 0) {
            counts.skipped += static_cast<int>(end - row - 1);
            break;
        }
    }
    std::fprintf(io_.out, "marlo-clone: fleet: %d written, %d failed, %d skipped; log %s\n",
                 counts.written, counts.failed, counts.skipped, options_.log.c_str());
    if (interrupted_ != 0)
        return interrupted_;
    if (firstFailure != 0)
        return firstFailure;
    return counts.skipped > 0 ? marloCloneExit::fleetIncomplete : 0;
}

int runFleetCommand(const std::vector<std::string>& args) {
    std::string problem;
    const std::optional<FleetOptions> options = parseFleetOptions(args, problem);
    if (!options) {
        std::fprintf(stderr, "marlo-clone: %s\n", problem.c_str());
        return -1;
    }
    StderrProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, "marlo-clone: fleet");
    ProgressPrompter prompter(progress);
    Prompter* const previous = Prompter::Install(&prompter);
    int status = 0;
    {
        FleetIo io;
        io.input = STDIN_FILENO;
        io.progress = &progress;
        FleetRun run(*options, io);
        std::unique_ptr<SignalEnd> ending;
        ending = std::make_unique<SignalEnd>(
            [&run, &ending] { run.Interrupt(signalExitBase + ending->Signal()); });
        status = run.Run();
    }
    Prompter::Install(previous);
    return status;
}

} // namespace marlo
