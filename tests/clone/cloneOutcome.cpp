#include "cloneOutcome.h"

#include "clone/serialLink.h"
#include "platform/monotonicClock.h"
#include "support/eventLoop.h"

#include <algorithm>
#include <filesystem>

using namespace marlo;

void CloneOutcome::Done(void* context, CloneResult& result) {
    auto* self = static_cast<CloneOutcome*>(context);
    ++self->calls;
    self->operation = result.operation;
    self->code = result.code;
    self->identification1 = result.identification1;
    self->identification2 = result.identification2;
    self->information.assign(result.information.Data(),
                             result.information.Data() + result.information.Count());
    self->image.Assign(result.image);
    self->portFailure = result.portFailure;
    if (self->then)
        self->then(result);
}

void CloneOutcome::Reset() {
    calls = 0;
    operation = 0;
    code = 0xFF;
    identification1 = identification2 = 0;
    information.clear();
    image.Resize(0);
    portFailure = {};
}

bool CloneOutcome::Wait(int limitMs) {
    const bool called = runEventLoopUntil([this] { return calls > 0; }, limitMs);
    runEventLoopFor(50); // twenty engine steps
    return called;
}

bool portIsFree(const std::string& devicePath) {
    SerialLink probe;
    const bool opened = probe.OpenDevice(devicePath, "9600,N,8,1");
    probe.Close();
    return opened;
}

bool holdsVanishedDevice(const std::string& devicePath) {
    namespace fs = std::filesystem;
    // The kernel shows a descriptor of a removed device node as "<path> (deleted)".
    const std::string gone = devicePath + " (deleted)";
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        if (fs::read_symlink(fd.path(), linkError).string() == gone)
            return true;
    }
    return false;
}

std::uint32_t fastClock() {
    // The engine and the simulated radio run in this process: while it is not
    // scheduled neither can act, so such a gap must not pass for the radio's
    // silence. A gap counts as a few steps of the engine at most.
    constexpr std::uint32_t longestGapMs = 20;
    static std::uint32_t lastLook = monotonicMs();
    static std::uint32_t engineTime = 0;
    const std::uint32_t look = monotonicMs();
    engineTime +=
        std::min(look - lastLook, longestGapMs) * static_cast<std::uint32_t>(kFastTimeScale);
    lastLook = look;
    return engineTime;
}
