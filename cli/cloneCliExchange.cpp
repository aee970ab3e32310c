#include "cli/cloneCliExchange.h"

#include "cli/cloneCliSession.h"
#include "cli/headlessDocument.h"
#include "cli/settingsSnapshot.h"
#include "clone/cloneFileSave.h"
#include "core/csvTable.h"
#include "core/fileReplace.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "document/appCellContext.h"
#include "document/radioDocument.h"
#include "exchange/documentDiff.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "radio/imagePreparation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <variant>

namespace marlo {

namespace {

using Args = std::vector<std::string>;

// A headless controller with its cell context: the settings (read only), a hub,
// and the model's controller, in expert mode when asked.
class DocumentSession {
public:
    explicit DocumentSession(bool expert) {
        NotificationHub::SetApp(&hub_);
        std::vector<std::string> args{"marlo-clone"};
        if (expert)
            args.push_back("/expert");
        controller_ = std::make_unique<RadioDocument>(args);
        startHeadlessDocument(*controller_, settings_.Store().ModelType);
        cells_ = std::make_unique<AppCellContext>(*controller_);
    }
    ~DocumentSession() {
        cells_.reset();
        controller_.reset();
        hub_.Shutdown();
        NotificationHub::SetApp(nullptr);
    }
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    RadioDocument& Controller() { return *controller_; }
    AppCellContext& Cells() { return *cells_; }

private:
    SettingsSnapshot settings_;
    NotificationHub hub_;
    std::unique_ptr<RadioDocument> controller_;
    std::unique_ptr<AppCellContext> cells_;
};

// The options of export and import: the positional arguments, the list, -o and
// --expert (import only).
struct Options {
    std::vector<std::string> positional;
    const ExchangeList* list = nullptr;
    std::string out;
    bool expert = false;
};

std::optional<Options> parseOptions(const Args& args, std::size_t positionals, bool import) {
    Options options;
    bool listSeen = false;
    bool outSeen = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--list" && !listSeen) || (arg == "-o" && !outSeen)) {
            if (i + 1 == args.size()) {
                std::fprintf(stderr, "marlo-clone: %s needs a value\n", arg.c_str());
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "-o") {
                // An empty name would quietly mean "no -o" (stdout, or FILE itself).
                if (value.empty()) {
                    std::fputs("marlo-clone: -o needs a file name\n", stderr);
                    return std::nullopt;
                }
                outSeen = true;
                options.out = value;
                continue;
            }
            listSeen = true;
            options.list = findExchangeList(value);
            if (options.list == nullptr) {
                std::fprintf(stderr, "marlo-clone: --list takes one of %s\n",
                             exchangeListNames().c_str());
                return std::nullopt;
            }
        } else if (arg == "--expert" && import && !options.expert) {
            options.expert = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "marlo-clone: unknown or repeated option %s\n", arg.c_str());
            return std::nullopt;
        } else {
            options.positional.push_back(arg);
        }
    }
    if (options.list == nullptr || options.positional.size() != positionals) {
        std::fprintf(stderr, "marlo-clone: %s\n",
                     options.list == nullptr ? "--list LIST is needed" : "wrong number of files");
        return std::nullopt;
    }
    return options;
}

std::optional<CsvTable> readTable(const std::string& path, const ExchangeList& list, int& status) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open() || !in) {
        std::fprintf(stderr, "marlo-clone: %s cannot be read\n", path.c_str());
        status = marloCloneExit::noInput;
        return std::nullopt;
    }
    CsvLimits limits;
    limits.maxRows = importRowLimit(list);
    auto read = readCsv(in, limits);
    if (const auto* problem = std::get_if<CsvProblem>(&read)) {
        std::fprintf(stderr, "marlo-clone: %s: nothing was imported:\n", path.c_str());
        const std::string column =
            problem->column > 0 ? ", column " + std::to_string(problem->column) : "";
        std::fprintf(stderr, "line %d%s: %s\n", problem->line, column.c_str(),
                     problem->reason.c_str());
        status = marloCloneExit::dataRefused;
        return std::nullopt;
    }
    return std::get<CsvTable>(std::move(read));
}

} // namespace

int runExportCommand(const Args& args) {
    const std::optional<Options> options = parseOptions(args, 1, false);
    if (!options)
        return -1;
    std::error_code error;
    if (!options->out.empty() &&
        std::filesystem::equivalent(options->out, options->positional[0], error)) {
        std::fputs("marlo-clone: -o names the clone file itself\n", stderr);
        return -1;
    }
    DocumentSession session(false);
    RadioDocument& controller = session.Controller();
    const CloneFile::Code opened = openHeadlessDocument(controller, options->positional[0]);
    if (opened != CloneFile::Ok)
        return marloCloneExit::fileBase + opened;
    const std::string text = exportListCsv(session.Cells(), controller.CurrentImage(),
                                           controller.ModelVariant(), *options->list);
    if (options->out.empty()) {
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        return written && std::fflush(stdout) == 0 ? 0 : marloCloneExit::cannotCreate;
    }
    if (replaceFile(options->out, text) != ReplaceResult::Ok) {
        std::fprintf(stderr, "marlo-clone: %s cannot be written\n", options->out.c_str());
        return marloCloneExit::cannotCreate;
    }
    return 0;
}

int runImportCommand(const Args& args) {
    const std::optional<Options> options = parseOptions(args, 2, true);
    if (!options)
        return -1;
    const std::string& file = options->positional[0];
    const std::string& csv = options->positional[1];
    std::error_code error;
    if (!options->out.empty() && std::filesystem::equivalent(options->out, csv, error)) {
        std::fputs("marlo-clone: -o names the table being read\n", stderr);
        return -1;
    }
    DocumentSession session(options->expert);
    RadioDocument& controller = session.Controller();
    const CloneFile::Code opened = openHeadlessDocument(controller, file);
    if (opened != CloneFile::Ok)
        return marloCloneExit::fileBase + opened;
    int status = 0;
    const std::optional<CsvTable> table = readTable(csv, *options->list, status);
    if (!table)
        return status;

    std::vector<std::string> standing;
    const std::vector<ImportProblem> problems = importListTable(
        session.Cells(), controller.ModelVariant(), *options->list, *table, &standing);
    if (!standing.empty()) {
        std::fprintf(stderr, "marlo-clone: %s already had errors before the import:\n",
                     file.c_str());
        for (const std::string& line : standing)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!problems.empty()) {
        std::fprintf(stderr, "marlo-clone: %s: nothing was imported:\n", csv.c_str());
        for (const ImportProblem& p : problems)
            std::fprintf(stderr, "%s\n", describeImportProblem(p).c_str());
        return marloCloneExit::dataRefused;
    }
    // A table that changes nothing leaves FILE as it was, to the byte.
    MemoryImage& document = controller.CurrentImage();
    if (options->out.empty() && document.Equals(controller.SavedImage()))
        return 0;
    // Saved as the desktop program saves a document.
    MemoryImage prepared;
    const CloneFile::Code saved =
        controller.SavePreparedCopy(document, options->out.empty() ? file : options->out, prepared);
    return saved == CloneFile::Ok ? 0 : marloCloneExit::fileBase + saved;
}

int runDiffCommand(const Args& args) {
    if (args.size() != 2 || (!args[0].empty() && args[0][0] == '-') ||
        (!args[1].empty() && args[1][0] == '-'))
        return -1;
    DocumentSession session(false);
    MemoryImage images[2];
    int variants[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const CloneFile::Code read = readDocumentFile(session.Controller(), args[i], images[i]);
        if (read != CloneFile::Ok)
            return marloCloneExit::fileBase + read;
        variants[i] = images[i].GetByte(marloImageMap::variantAddress);
    }
    const std::vector<std::string> lines =
        diffDocuments(session.Cells(), {images[0], variants[0]}, {images[1], variants[1]},
                      marloModel::cloneRange);
    for (const std::string& line : lines)
        std::fprintf(stdout, "%s\n", line.c_str());
    return lines.empty() ? 0 : marloCloneExit::different;
}

} // namespace marlo
