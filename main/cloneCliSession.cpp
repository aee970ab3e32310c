#include "main/cloneCliSession.h"

#include "clone/cloneFileSave.h"
#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "core/modelIdentity.h"
#include "main/headlessDocument.h"
#include "main/indMain.h"
#include "overlay/cmcGTex.h"
#include "radio/cloneWriteImage.h"

#include <QEventLoop>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

std::string printable(const std::uint8_t* bytes, int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += bytes[i] >= 0x20 && bytes[i] <= 0x7E ? static_cast<char>(bytes[i]) : ' ';
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A read can take half a minute at 9600 baud: find out before it that the file
// could not be written afterwards.
bool folderTakesFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::string cmcDescribeRadio(const dstRadioInfo& info) {
    const auto& block = info.block;
    const int variant = block[marloInfoBlock::variant];
    char line[96];
    std::string text;
    std::snprintf(line, sizeof line, "model code: %04X %04X\n", info.value1, info.value2);
    text += line;
    const std::string variantName = variant <= marloModel::variantLast
                                        ? cmcGTex::App().GetLine("GI_AppInd_Model", variant)
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

cmcCloneCliSession::cmcCloneCliSession(const dstCloneCliOptions& options,
                                       cmcCloneProgress* progress)
    : options_(options) {
    cmcEvMan::SetApp(&hub_);
    // Only the program's own name: the desktop program's switches mean nothing here.
    controller_ = std::make_unique<indMain>(std::vector<std::string>{"marlo-clone"});
    const int variant = options_.variant.value_or(settings_.Store().ModelType);
    cmcStartHeadlessDocument(*controller_, variant);
    indCloneMan& manager = controller_->CloneManager();
    manager.SetPort(options_.port);
    manager.SetProgress(progress);
    commands_ = std::make_unique<indCloneCommands>(*controller_);
}

cmcCloneCliSession::~cmcCloneCliSession() {
    commands_.reset();
    controller_.reset();
    hub_.Shutdown();
    cmcEvMan::SetApp(nullptr);
}

int cmcCloneCliSession::Run(bool (indCloneCommands::*start)(indCloneCommands::Done)) {
    QEventLoop loop;
    bool ended = false;
    int code = indCloneCommands::notStarted;
    const bool started = (commands_.get()->*start)([&](int result) {
        code = result;
        ended = true;
        loop.quit();
    });
    if (started && !ended)
        loop.exec();
    if (code == indCloneCommands::notStarted) {
        std::fputs("marlo-clone: the clone operation could not be started\n", stderr);
        return marloCloneExit::notStarted;
    }
    return code;
}

int cmcCloneCliSession::Info(std::FILE* out) {
    const int code = Run(&indCloneCommands::Info);
    if (code == 0)
        std::fputs(cmcDescribeRadio(controller_->RadioInfo).c_str(), out);
    return code;
}

int cmcCloneCliSession::Check() {
    cmcEeprom file;
    return controller_->OpenImage(options_.file, file);
}

int cmcCloneCliSession::Read() {
    if (!folderTakesFile(options_.file)) {
        cmcVcfFile::ShowMessage(cmcVcfFile::FileOpen);
        return marloCloneExit::fileBase + cmcVcfFile::FileOpen;
    }
    const int code = Run(&indCloneCommands::Read);
    if (code != 0)
        return code;
    // Saved as the desktop program saves a document.
    cmcEeprom& document = controller_->CurrentImage();
    controller_->PrepareImage(document, true);
    const cmcVcfFile::Code saved = cmcSaveDocumentFile(document, options_.file);
    return saved == cmcVcfFile::Ok ? 0 : marloCloneExit::fileBase + saved;
}

int cmcCloneCliSession::Write() {
    const cmcVcfFile::Code loaded = cmcOpenHeadlessDocument(*controller_, options_.file);
    if (loaded != cmcVcfFile::Ok)
        return marloCloneExit::fileBase + loaded;
    return Run(&indCloneCommands::Write);
}
