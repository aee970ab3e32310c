#pragma once

#include "clone/cloneResult.h"
#include "core/memoryImage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace marlo;

// What the engine's completion callback delivered, copied out of the result.
struct CloneOutcome {
    int calls = 0;
    std::uint8_t operation = 0;
    std::uint8_t code = 0xFF;
    std::uint32_t identification1 = 0;
    std::uint32_t identification2 = 0;
    std::vector<std::uint8_t> information;
    MemoryImage image;
    PortFailure portFailure;
    // Runs inside the callback, after the copy.
    std::function<void(CloneResult&)> then;

    // Forgets the last outcome (not `then`), for the next operation.
    void Reset();

    static void Done(void* context, CloneResult& result);
    // Runs the event loop until the first call (false if none came), then a little
    // longer so that a second call would be seen.
    bool Wait(int limitMs = 30000);
};

// Engine time for the clone suites, for the engine and the simulated radio
// alike: it runs this many times faster than the wall clock, but a long pause
// of this process (a loaded machine) counts as a short one.
inline constexpr int kFastTimeScale = 4;
std::uint32_t fastClock();

// True when nobody holds the device: the engine closed its port.
bool portIsFree(const std::string& devicePath);

// True while this process still has a descriptor of `devicePath` after the device
// itself has gone (a pulled cable, a hung-up pty), which portIsFree cannot tell.
bool holdsVanishedDevice(const std::string& devicePath);
