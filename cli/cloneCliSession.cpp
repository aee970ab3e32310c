#include "cli/cloneCliSession.h"

#include "cli/cloneCliExchange.h"
#include "cli/headlessDocument.h"
#include "clone/cloneFileSave.h"
#include "clone/cloneManager.h"
#include "clone/cloneResult.h"
#include "clone/cloneWriter.h"
#include "core/imageDifference.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/settingsStore.h"
#include "document/appCellContext.h"
#include "document/radioBase.h"
#include "document/radioDocument.h"
#include "exchange/documentDiff.h"
#include "overlay/overlayTexts.h"
#include "radio/cloneWriteImage.h"
#include "radio/imagePreparation.h"
#include "radio/warningCheck.h"

#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace marlo {

// What the controller sends, kept for the comparison after a verified write.
class RecordingWriter : public CloneWriter {
public:
    explicit RecordingWriter(CloneWriter& next) : next_(next) {}

    bool IsBusy() const override { return next_.IsBusy(); }
    void SetImageSize(std::int32_t size) override { next_.SetImageSize(size); }
    bool StartWrite(const MemoryImage& image, RangeList ranges, Completion done) override {
        sent.Assign(image);
        sentRanges.assign(ranges.begin(), ranges.end());
        return next_.StartWrite(image, ranges, std::move(done));
    }

    MemoryImage sent;
    std::vector<AddressRange> sentRanges;

private:
    CloneWriter& next_;
};

namespace {

std::string printable(const std::uint8_t* bytes, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += bytes[i] >= 0x20 && bytes[i] <= 0x7E ? static_cast<char>(bytes[i]) : ' ';
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The title of a sheet the warnings check names, as its tree node shows it.
std::string sheetTitle(const std::string& key) {
    const std::string style = OverlayTexts::App().GetLine(key + "_Style");
    const std::string tag = "(TitleString=";
    const std::size_t at = style.find(tag);
    if (style.empty() || at == std::string::npos)
        return key;
    const std::size_t from = at + tag.size();
    return style.substr(from, style.find(')', from) - from);
}

} // namespace

std::string describeRadio(const RadioInfo& info) {
    const auto& block = info.block;
    const int variant = block[marloInfoBlock::variant];
    char line[96];
    std::string text;
    std::snprintf(line, sizeof line, "model code: %04X %04X\n", info.value1, info.value2);
    text += line;
    const std::string variantName = variant <= marloModel::variantLast
                                        ? OverlayTexts::App().GetLine("GI_AppInd_Model", variant)
                                        : "";
    std::snprintf(line, sizeof line, "model variant: %d%s\n", variant, variantName.c_str());
    text += line;
    std::snprintf(line, sizeof line, "revision: %d.%d\n", block[marloInfoBlock::revision] >> 4,
                  block[marloInfoBlock::revision] & 0x0F);
    text += line;
    std::snprintf(line, sizeof line, "map revision: %d\n", block[marloInfoBlock::mapRevision]);
    text += line;
    text +=
        "firmware: " + printable(&block[marloInfoBlock::firmware], marloInfoBlock::firmwareLength) +
        "\n";
    text +=
        "comment: " + printable(&block[marloInfoBlock::comment], marloInfoBlock::commentLength) +
        "\n";
    return text;
}

bool pathTakesFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    // A file is saved beside its old self and then renamed over it.
    if (fs::exists(status) && !fs::is_regular_file(status))
        return false;
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

CloneCliSession::CloneCliSession(const CloneCliOptions& options, CloneProgress* progress,
                                 std::FILE* diagnostics)
    : options_(options), diagnostics_(diagnostics) {
    NotificationHub::SetApp(&hub_);
    // Only the program's own name: the desktop program's switches mean nothing here.
    controller_ = std::make_unique<RadioDocument>(std::vector<std::string>{"marlo-clone"});
    const int variant = options_.variant.value_or(settings_.Store().ModelType);
    startHeadlessDocument(*controller_, variant);
    CloneManager& manager = controller_->CloneManager();
    manager.SetPort(options_.port);
    manager.SetProgress(progress);
    commands_ = std::make_unique<CloneCommands>(*controller_);
    recorder_ = std::make_unique<RecordingWriter>(manager);
    controller_->SetCloneWriter(recorder_.get());
}

CloneCliSession::~CloneCliSession() {
    commands_.reset();
    controller_->SetCloneWriter(nullptr);
    recorder_.reset();
    controller_.reset();
    hub_.Shutdown();
    NotificationHub::SetApp(nullptr);
}

void CloneCliSession::Abort(int status) {
    if (abortStatus_ != 0)
        return;
    abortStatus_ = status;
    std::fputs("marlo-clone: interrupted; nothing was saved\n", diagnostics_);
    if (quitRunning_)
        quitRunning_();
}

int CloneCliSession::Run(const Start& start) {
    if (abortStatus_ != 0)
        return abortStatus_;
    QEventLoop loop;
    bool ended = false;
    int code = CloneCommands::notStarted;
    const bool started = start(*commands_, [&](int result) {
        code = result;
        ended = true;
        loop.quit();
    });
    if (started && !ended) {
        quitRunning_ = [&loop] { loop.quit(); };
        loop.exec();
        quitRunning_ = nullptr;
    }
    // Interrupted: the operation is left running for the session's end to close
    // its port; nothing after this may save or send.
    if (abortStatus_ != 0)
        return abortStatus_;
    if (code == CloneCommands::notStarted) {
        std::fputs("marlo-clone: the clone operation could not be started\n", diagnostics_);
        return marloCloneExit::notStarted;
    }
    return code;
}

int CloneCliSession::Info(std::FILE* out) {
    const int code = Run(std::mem_fn(&CloneCommands::Info));
    // A radio of another variant or map revision has told us who it is: say it,
    // so the user learns which variant to choose.
    if (code == CloneResult::codeSuccess || code == CloneResult::codeModelUnknown ||
        code == CloneResult::codeModelMismatch)
        std::fputs(describeRadio(controller_->LastRadioInfo).c_str(), out);
    return code;
}

int CloneCliSession::Check() {
    MemoryImage file;
    return controller_->OpenImage(options_.file, file);
}

int CloneCliSession::Read() {
    if (!pathTakesFile(options_.file)) {
        CloneFile::ShowMessage(CloneFile::FileOpen, options_.file);
        return marloCloneExit::fileBase + CloneFile::FileOpen;
    }
    const int code = Run(std::mem_fn(&CloneCommands::Read));
    if (code != 0)
        return code;
    // Saved as the desktop program saves a document.
    MemoryImage prepared;
    const CloneFile::Code saved =
        controller_->SavePreparedCopy(controller_->CurrentImage(), options_.file, prepared);
    return saved == CloneFile::Ok ? 0 : marloCloneExit::fileBase + saved;
}

// The document as the menu's Clone Write checks it.
int CloneCliSession::CheckDocument() {
    int errors = 0;
    int warnings = 0;
    controller_->CheckWarnings(errors, warnings);
    if (errors == 0)
        return 0;
    std::fprintf(diagnostics_, "marlo-clone: %s: the document has errors; nothing was sent\n",
                 options_.file.c_str());
    std::string listed;
    for (const CheckLine& line : controller_->LastWarningCheck().lines) {
        if (line.mark != CheckMark::Error || listed.find("|" + line.key + "|") != std::string::npos)
            continue;
        listed += "|" + line.key + "|";
        std::fprintf(diagnostics_, "  errors on the sheet: %s\n", sheetTitle(line.key).c_str());
    }
    return marloCloneExit::dataErrors;
}

// Reads the radio and saves its memory as the backup file. The read replaces
// the document: the caller opens its file again.
int CloneCliSession::Backup() {
    const int code = Run(std::mem_fn(&CloneCommands::Read));
    if (code != 0)
        return code;
    MemoryImage prepared;
    const CloneFile::Code saved =
        controller_->SavePreparedCopy(controller_->CurrentImage(), options_.backup, prepared);
    if (saved != CloneFile::Ok)
        return marloCloneExit::fileBase + saved;
    std::fprintf(diagnostics_, "marlo-clone: the radio's memory was saved as %s\n",
                 options_.backup.c_str());
    return 0;
}

// The radio's bytes as they arrive, before any preparation of a read image,
// against the bytes sent, over exactly the blocks written.
int CloneCliSession::Verify(const MemoryImage& expected, RangeList ranges) {
    MemoryImage radio;
    const int code = Run([&radio](CloneCommands& commands, CloneCommands::Done done) {
        return commands.ReadBack(radio, std::move(done));
    });
    if (code != 0)
        return code;
    const std::vector<AddressRange> differing = differingRanges(expected, radio, ranges);
    if (differing.empty())
        return 0;
    std::int64_t bytes = 0;
    for (const AddressRange& r : differing)
        bytes += r.last - r.first + 1;
    constexpr std::size_t shown = 8;
    std::fprintf(diagnostics_,
                 "marlo-clone: verify: the radio differs from what was sent at %lld bytes in %zu "
                 "blocks:",
                 static_cast<long long>(bytes), differing.size());
    for (std::size_t i = 0; i < differing.size() && i < shown; ++i) {
        if (differing[i].first == differing[i].last)
            std::fprintf(diagnostics_, " %04X", static_cast<unsigned>(differing[i].first));
        else
            std::fprintf(diagnostics_, " %04X-%04X", static_cast<unsigned>(differing[i].first),
                         static_cast<unsigned>(differing[i].last));
    }
    std::fputs(differing.size() > shown ? " ...\n" : "\n", diagnostics_);
    return marloCloneExit::verifyFailed;
}

int CloneCliSession::Write() {
    if (!options_.backup.empty() && !pathTakesFile(options_.backup)) {
        CloneFile::ShowMessage(CloneFile::FileOpen, options_.backup);
        return marloCloneExit::fileBase + CloneFile::FileOpen;
    }
    CloneFile::Code loaded = openHeadlessDocument(*controller_, options_.file);
    if (loaded != CloneFile::Ok)
        return marloCloneExit::fileBase + loaded;
    if (const int refused = CheckDocument(); refused != 0)
        return refused;
    if (!options_.changesFrom.empty()) {
        MemoryImage base;
        const CloneFile::Code opened = controller_->OpenImage(options_.changesFrom, base);
        if (opened != CloneFile::Ok)
            return marloCloneExit::fileBase + opened;
        controller_->SetRadioBase(base);
    }
    if (!options_.backup.empty()) {
        if (const int code = Backup(); code != 0)
            return code;
        loaded = openHeadlessDocument(*controller_, options_.file);
        if (loaded != CloneFile::Ok)
            return marloCloneExit::fileBase + loaded;
        if (const int refused = CheckDocument(); refused != 0)
            return refused;
    }
    if (options_.changesOnly)
        TakeRadioIdentity();
    if (!options_.changesFrom.empty() || options_.changesOnly)
        return WriteChanges();
    const int code = Run(std::mem_fn(&CloneCommands::Write));
    if (code != 0 || !options_.verify)
        return code;
    return Verify(recorder_->sent, recorder_->sentRanges);
}

std::string CloneCliSession::BaseName() const {
    return options_.changesFrom.empty() ? "the memory just read from it" : options_.changesFrom;
}

// Everything of the clone range that a write leaves out comes from the radio's
// memory just read, so that the document differs from it only where a write reaches.
void CloneCliSession::TakeRadioIdentity() {
    const RadioBase* base = controller_->RadioBase();
    MemoryImage& document = controller_->CurrentImage();
    if (base == nullptr || base->image.Size() != document.Size())
        return;
    MemoryImage radio;
    radio.Assign(base->image);
    forEachRange(controller_->MakeCloneWriteImage().ranges, document.Size(),
                 [&](std::int32_t first, std::int32_t last) {
                     radio.Write(first, document.Data() + first, last - first + 1);
                 });
    forEachRange(controller_->CloneRange(), document.Size(),
                 [&](std::int32_t first, std::int32_t last) {
                     document.Write(first, radio.Data() + first, last - first + 1);
                 });
}

int CloneCliSession::WriteChanges() {
    using C = CloneCommands;
    const int code = Run([this](C& commands, C::Done done) {
        return commands.WriteChanges(
            [this](const ChangedBlocks& changes) {
                changes_ = changes;
                std::fprintf(diagnostics_,
                             "marlo-clone: writing %d blocks (%ld bytes) that differ from %s; "
                             "the rest of the radio's memory is left as it is\n",
                             changes.blocks, static_cast<long>(changes.bytes), BaseName().c_str());
                return true;
            },
            std::move(done));
    });
    if (code == C::otherRadio) {
        const std::string which =
            options_.changesFrom.empty() ? "just read" : options_.changesFrom + " came from";
        std::fprintf(diagnostics_,
                     "marlo-clone: the radio is not the one %s (its variant or identity "
                     "differs); nothing was sent. Write the whole file instead.\n",
                     which.c_str());
        return marloCloneExit::otherRadio;
    }
    if (code == C::nothingToSend)
        changes_ = ChangedBlocks{};
    if (changes_) {
        // The document was prepared for sending: this is the whole image sent.
        CloneWriteImage full = controller_->MakeCloneWriteImage();
        image_ = std::move(full.image);
        imageRanges_.assign(full.ranges.begin(), full.ranges.end());
    }
    if (code == C::nothingToSend)
        std::fprintf(diagnostics_, "marlo-clone: the radio already holds %s; nothing was sent\n",
                     options_.file.c_str());
    else if (code != 0)
        return code;
    if (!options_.verify || controller_->RadioBase() == nullptr)
        return 0;
    // What the radio should now hold everywhere a write reaches, sent or not;
    // a copy, since reading the radio back replaces the base.
    MemoryImage expected;
    expected.Assign(controller_->RadioBase()->image);
    return Verify(expected, imageRanges_);
}

int CloneCliSession::Diff(std::FILE* out) {
    MemoryImage file;
    CloneFile::Code loaded = readDocumentFile(*controller_, options_.file, file);
    // As the document, the file decides which variant the radio must be.
    if (loaded == CloneFile::Ok)
        loaded = openHeadlessDocument(*controller_, options_.file);
    if (loaded != CloneFile::Ok)
        return marloCloneExit::fileBase + loaded;
    MemoryImage radio;
    const int code = Run([&radio](CloneCommands& commands, CloneCommands::Done done) {
        return commands.ReadBack(radio, std::move(done));
    });
    if (code != 0)
        return code;
    AppCellContext cells(*controller_);
    const int variant = file.GetByte(marloImageMap::variantAddress);
    const std::vector<std::string> lines =
        diffDocuments(cells, {file, variant}, {radio, variant}, marloModel::cloneRange);
    for (const std::string& line : lines)
        std::fprintf(out, "%s\n", line.c_str());
    return lines.empty() ? 0 : marloCloneExit::different;
}

namespace {

std::vector<std::uint8_t> bytesOver(const MemoryImage& image, RangeList ranges) {
    std::vector<std::uint8_t> bytes;
    forEachRange(ranges, image.Size(), [&](std::int32_t first, std::int32_t last) {
        bytes.insert(bytes.end(), image.Data() + first, image.Data() + last + 1);
    });
    return bytes;
}

} // namespace

std::vector<std::uint8_t> CloneCliSession::SentBytes() const {
    return bytesOver(recorder_->sent, recorder_->sentRanges);
}

std::vector<std::uint8_t> CloneCliSession::ImageBytes() const {
    return image_ ? bytesOver(*image_, imageRanges_) : SentBytes();
}

} // namespace marlo
