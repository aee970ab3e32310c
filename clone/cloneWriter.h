#pragma once

#include "core/rangeList.h"

#include <cstdint>
#include <functional>

namespace marlo {

class MemoryImage;

// What the controller needs of the clone manager to send the document. The
// manager implements it; a test may stand in for it.
class CloneWriter {
public:
    using Completion = std::function<void(int code)>;

    virtual ~CloneWriter() = default;
    virtual bool IsBusy() const = 0;
    virtual void SetImageSize(std::int32_t size) = 0;
    // Sends `image` (borrowed until `done` has been called) over `ranges`.
    virtual bool StartWrite(const MemoryImage& image, RangeList ranges, Completion done) = 0;
};

} // namespace marlo
