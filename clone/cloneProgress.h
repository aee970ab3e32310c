#pragma once

#include "core/rangeList.h"

#include <cstdint>

namespace marlo {

// How far a clone read or write has come, and who is told about it.

// The bar is drawn as 32 segments; 33 steps so that the last one only lights
// when every byte has moved.
inline constexpr int kProgressSegmentCount = 32;

// Memory bytes a read or write of `ranges` moves: the sum of their lengths, up to
// the terminator (or the end of the span). Never negative.
std::int32_t rangeBytes(RangeList ranges);

// Segments lit after `dataBytes` of `expectedBytes`: 33 x data / expected in
// integer arithmetic, 0 while nothing is expected. Not clamped: a full transfer
// gives 33, which still lights all 32.
int progressSegments(std::int32_t dataBytes, std::int32_t expectedBytes);

// The same as a whole percentage, 0..100.
int progressPercent(std::int32_t dataBytes, std::int32_t expectedBytes);

// Told by the clone manager how an operation goes. The desktop program disables
// its main window from start to end and shows the "Cloning" window during a
// transfer; marlo-clone prints a percentage. Calls come in the order
// OperationStarted, Progress..., OperationEnded, each on the GUI thread; a clone
// command chains two operations, so the sequence comes twice.
class CloneProgress {
public:
    virtual ~CloneProgress() = default;

    // `transfer`: a read or write (progress follows), not an information request.
    virtual void OperationStarted(bool transfer, std::int32_t expectedBytes) = 0;
    // Every 30 ms during a transfer.
    virtual void Progress(std::int32_t dataBytes, std::int32_t expectedBytes) = 0;
    // After the operation's message, before its completion runs.
    virtual void OperationEnded() = 0;
};

} // namespace marlo
