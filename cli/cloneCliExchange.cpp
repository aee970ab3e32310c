#include "cli/cloneCliExchange.h"

#include "cli/cloneCliSession.h"
#include "cli/headlessDocument.h"
#include "clone/cloneFileSave.h"
#include "clone/cmcSettingsSnapshot.h"
#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "core/cmcFileReplace.h"
#include "core/csvTable.h"
#include "core/modelIdentity.h"
#include "document/indDocument.h"
#include "document/indMainCellContext.h"
#include "exchange/documentDiff.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "radio/imagePreparation.h"
#include "sheets/cmcEvMan.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <variant>

namespace {

using Args = std::vector<std::string>;

// A headless controller with its cell context: the settings (read only), a hub,
// and the model's controller, in expert mode when asked.
class DocumentSession {
public:
    explicit DocumentSession(bool expert) {
        cmcEvMan::SetApp(&hub_);
        std::vector<std::string> args{"marlo-clone"};
        if (expert)
            args.push_back("/expert");
        controller_ = std::make_unique<indDocument>(args);
        cmcStartHeadlessDocument(*controller_, settings_.Store().ModelType);
        cells_ = std::make_unique<indMainCellContext>(*controller_);
    }
    ~DocumentSession() {
        cells_.reset();
        controller_.reset();
        hub_.Shutdown();
        cmcEvMan::SetApp(nullptr);
    }
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    indDocument& Controller() { return *controller_; }
    indMainCellContext& Cells() { return *cells_; }

private:
    cmcSettingsSnapshot settings_;
    cmcEvMan hub_;
    std::unique_ptr<indDocument> controller_;
    std::unique_ptr<indMainCellContext> cells_;
};

// The options of export and import: the positional arguments, the list, -o and
// --expert (import only).
struct Options {
    std::vector<std::string> positional;
    const cmcExchangeList* list = nullptr;
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

std::optional<dstCsvTable> readTable(const std::string& path, const cmcExchangeList& list,
                                     int& status) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open() || !in) {
        std::fprintf(stderr, "marlo-clone: %s cannot be read\n", path.c_str());
        status = marloCloneExit::noInput;
        return std::nullopt;
    }
    dstCsvLimits limits;
    limits.maxRows = list.rows.size();
    auto read = cmcReadCsv(in, limits);
    if (const auto* problem = std::get_if<dstCsvProblem>(&read)) {
        std::fprintf(stderr, "marlo-clone: %s: nothing was imported:\n", path.c_str());
        const std::string column =
            problem->column > 0 ? ", column " + std::to_string(problem->column) : "";
        std::fprintf(stderr, "line %d%s: %s\n", problem->line, column.c_str(),
                     problem->reason.c_str());
        status = marloCloneExit::dataRefused;
        return std::nullopt;
    }
    return std::get<dstCsvTable>(std::move(read));
}

} // namespace

int cmcExportCommand(const Args& args) {
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
    indDocument& controller = session.Controller();
    const cmcVcfFile::Code opened = cmcOpenHeadlessDocument(controller, options->positional[0]);
    if (opened != cmcVcfFile::Ok)
        return marloCloneExit::fileBase + opened;
    const std::string text = exportListCsv(session.Cells(), controller.CurrentImage(),
                                           controller.ModelVariant(), *options->list);
    if (options->out.empty()) {
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        return written && std::fflush(stdout) == 0 ? 0 : marloCloneExit::cannotCreate;
    }
    if (cmcReplaceFile(options->out, text) != cmcReplaceResult::Ok) {
        std::fprintf(stderr, "marlo-clone: %s cannot be written\n", options->out.c_str());
        return marloCloneExit::cannotCreate;
    }
    return 0;
}

int cmcImportCommand(const Args& args) {
    const std::optional<Options> options = parseOptions(args, 2, true);
    if (!options)
        return -1;
    const std::string& file = options->positional[0];
    const std::string& csv = options->positional[1];
    DocumentSession session(options->expert);
    indDocument& controller = session.Controller();
    const cmcVcfFile::Code opened = cmcOpenHeadlessDocument(controller, file);
    if (opened != cmcVcfFile::Ok)
        return marloCloneExit::fileBase + opened;
    int status = 0;
    const std::optional<dstCsvTable> table = readTable(csv, *options->list, status);
    if (!table)
        return status;

    const std::vector<dstImportProblem> problems =
        importListTable(session.Cells(), controller.ModelVariant(), *options->list, *table);
    if (!problems.empty()) {
        std::fprintf(stderr, "marlo-clone: %s: nothing was imported:\n", csv.c_str());
        for (const dstImportProblem& p : problems)
            std::fprintf(stderr, "%s\n", describeImportProblem(p).c_str());
        return marloCloneExit::dataRefused;
    }
    // A table that changes nothing leaves FILE as it was, to the byte.
    cmcEeprom& document = controller.CurrentImage();
    if (options->out.empty() && document.Equals(controller.SavedImage()))
        return 0;
    // Saved as the desktop program saves a document.
    controller.PrepareImage(document, true);
    const cmcVcfFile::Code saved =
        cmcSaveDocumentFile(document, options->out.empty() ? file : options->out);
    return saved == cmcVcfFile::Ok ? 0 : marloCloneExit::fileBase + saved;
}

int cmcDiffCommand(const Args& args) {
    if (args.size() != 2 || (!args[0].empty() && args[0][0] == '-') ||
        (!args[1].empty() && args[1][0] == '-'))
        return -1;
    DocumentSession session(false);
    cmcEeprom images[2];
    int variants[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const cmcVcfFile::Code read = cmcReadDocumentFile(session.Controller(), args[i], images[i]);
        if (read != cmcVcfFile::Ok)
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
