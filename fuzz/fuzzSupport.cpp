#include "fuzzSupport.h"

#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

using namespace marlo;

namespace fuzzSupport {
namespace {

int fatalAnswered = 0;

std::string scratchFolder() {
    static const std::string folder = [] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error))
            base = std::filesystem::temp_directory_path();
        const auto path = base / ("marlo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path, error);
        if (error)
            Broken("cannot make the scratch folder " + path.string());
        static const std::string removeAtExit = path.string();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return path.string();
    }();
    return folder;
}

} // namespace

FatalIsAnswer::FatalIsAnswer() {
    ++fatalAnswered;
}

FatalIsAnswer::~FatalIsAnswer() {
    --fatalAnswered;
}

bool FatalIsAnswered() {
    return fatalAnswered > 0;
}

void Broken(const std::string& what) {
    std::fprintf(stderr, "fuzz: invariant broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

CountingPrompter::CountingPrompter() : previous_(Prompter::Install(this)) {}

CountingPrompter::~CountingPrompter() {
    Prompter::Install(previous_);
}

PromptAnswer CountingPrompter::Message(const std::string&, const std::string&, PromptIcon,
                                       PromptButtons buttons) {
    ++shown_;
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        break;
    }
    return PromptAnswer::No;
}

std::string ScratchPath(const std::string& name) {
    return scratchFolder() + "/" + name;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out)
        Broken("cannot write the scratch file " + path);
}

void InstallOverlay() {
    static OverlayTexts overlay;
    static const bool installed = [] {
        overlay.SetFile(programDir() + marloModel::overlayBaseName + ".OVL");
        overlay.RequireEndMarker();
        OverlayTexts::SetApp(&overlay);
        return true;
    }();
    (void)installed;
}

void StartQt() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "marlo-fuzz";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace fuzzSupport
