#include "cli/cloneCliOptions.h"

#include <charconv>

namespace marlo {

namespace {

constexpr int lowestPort = 1;
constexpr int highestPort = 256;
constexpr int lowestVariant = 0;
constexpr int highestVariant = 1;

// The whole text as a decimal number within low..high.
std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end || value < low || value > high)
        return std::nullopt;
    return value;
}

class Parser {
public:
    Parser(CloneCliCommand command, const std::vector<std::string>& args, std::string& problem)
        : command_(command), args_(args), problem_(problem) {}

    std::optional<CloneCliOptions> Run() {
        for (i_ = 0; i_ < args_.size(); ++i_) {
            if (!Take(args_[i_]))
                return std::nullopt;
        }
        if (options_.port.number > 0 && !options_.port.device.empty())
            return Fail("--port and --device cannot be given together");
        if (command_ == CloneCliCommand::Diff && !radio_)
            return Fail("diff with one FILE needs --radio");
        if (command_ != CloneCliCommand::Info && options_.file.empty())
            return Fail(command_ == CloneCliCommand::Read    ? "read needs -o FILE"
                        : command_ == CloneCliCommand::Write ? "write needs the FILE to send"
                                                             : "diff needs the FILE to compare");
        if (!options_.backup.empty() && options_.backup == options_.file)
            return Fail("--backup must not name the file to send");
        if (!options_.backup.empty() && options_.backup == options_.changesFrom)
            return Fail("--backup must not name the --changes-from file");
        return options_;
    }

private:
    bool Take(const std::string& arg) {
        if (arg == "--port")
            return Value(seenPort_, [&](const std::string& v) {
                const auto n = number(v, lowestPort, highestPort);
                options_.port.number = n.value_or(0);
                return n ? "" : "--port needs a port number 1..256";
            });
        if (arg == "--device")
            return Value(seenDevice_, [&](const std::string& v) {
                options_.port.device = v;
                return v.empty() ? "--device needs a device path" : "";
            });
        if (arg == "--radio" && command_ == CloneCliCommand::Diff) {
            if (radio_)
                return Problem("--radio is given twice");
            radio_ = true;
            return true;
        }
        if (arg == "--variant" && command_ != CloneCliCommand::Diff)
            return Value(seenVariant_, [&](const std::string& v) {
                options_.variant = number(v, lowestVariant, highestVariant);
                return options_.variant ? "" : "--variant needs 0 or 1";
            });
        if (arg == "-o" && command_ == CloneCliCommand::Read)
            return Value(seenFile_, [&](const std::string& v) {
                options_.file = v;
                return v.empty() ? "-o needs a file name" : "";
            });
        if (arg == "--backup" && command_ == CloneCliCommand::Write)
            return Value(seenBackup_, [&](const std::string& v) {
                options_.backup = v;
                return v.empty() ? "--backup needs a file name" : "";
            });
        if (arg == "--changes-from" && command_ == CloneCliCommand::Write)
            return Value(seenChangesFrom_, [&](const std::string& v) {
                options_.changesFrom = v;
                return v.empty() ? "--changes-from needs a file name" : "";
            });
        if (arg == "--verify" && command_ == CloneCliCommand::Write) {
            if (options_.verify)
                return Problem("--verify is given twice");
            options_.verify = true;
            return true;
        }
        if (arg.size() > 1 && arg[0] == '-')
            return Problem("unknown option " + arg);
        const bool takesFile =
            command_ == CloneCliCommand::Write || command_ == CloneCliCommand::Diff;
        if (!takesFile || seenFile_)
            return Problem("unexpected argument " + arg);
        seenFile_ = true;
        options_.file = arg;
        return true;
    }

    // An option's value: the next argument, once per option.
    template <typename Apply>
    bool Value(bool& seen, Apply apply) {
        const std::string& option = args_[i_];
        if (seen)
            return Problem(option + " is given twice");
        if (i_ + 1 >= args_.size())
            return Problem(option + " needs a value");
        seen = true;
        const std::string failure = apply(args_[++i_]);
        return failure.empty() || Problem(failure);
    }

    bool Problem(std::string text) {
        problem_ = std::move(text);
        return false;
    }
    std::nullopt_t Fail(std::string text) {
        problem_ = std::move(text);
        return std::nullopt;
    }

    CloneCliCommand command_;
    const std::vector<std::string>& args_;
    std::string& problem_;
    CloneCliOptions options_;
    std::size_t i_ = 0;
    bool seenPort_ = false;
    bool seenDevice_ = false;
    bool seenVariant_ = false;
    bool seenFile_ = false;
    bool seenBackup_ = false;
    bool seenChangesFrom_ = false;
    bool radio_ = false;
};

} // namespace

std::optional<CloneCliOptions> parseCloneCliOptions(CloneCliCommand command,
                                                    const std::vector<std::string>& args,
                                                    std::string& problem) {
    return Parser(command, args, problem).Run();
}

} // namespace marlo
