#pragma once

#include "core/cmcRangeList.h"

#include <cstdint>
#include <functional>

class cmcEeprom;

// What the controller needs of the clone manager to send the document. The
// manager implements it; a test may stand in for it.
class cmcCloneWriter {
public:
    using Completion = std::function<void(int code)>;

    virtual ~cmcCloneWriter() = default;
    virtual bool IsBusy() const = 0;
    virtual void SetImageSize(std::int32_t size) = 0;
    // Sends `image` (borrowed until `done` has been called) over `ranges`.
    virtual bool StartWrite(const cmcEeprom& image, cmcRangeList ranges, Completion done) = 0;
};
