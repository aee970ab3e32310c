#pragma once

#include "core/memoryImage.h"
#include "radio/cloneWriteImage.h"

#include <optional>

namespace marlo {

// What one radio's memory is known to hold: the image last read from it or
// written to it in this run, and that radio's answer to the identification at
// the time (none for a base taken from a file). Write Changes sends only what differs from it, so
// it must never outlive a write that may have left the radio half-written.
struct RadioBase {
    MemoryImage image;
    std::optional<RadioInfo> radio;
};

} // namespace marlo
