#include "clone/cloneReceive.h"

#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/cloneResult.h"

namespace marlo {

namespace cloneFrame {

bool TakeEcho(ByteQueue& received, ByteQueue& echo, bool& progress) {
    progress = false;
    while (received.Count() > 0 && echo.Count() > 0) {
        if (*received.Data() != *echo.Data())
            return true;
        received.PopFront();
        echo.PopFront();
        progress = true;
    }
    if (echo.Count() == 0)
        echo.Clear();
    return false;
}

ByteQueue TakeLastFrame(ByteQueue& received, ByteQueue& frame) {
    ByteQueue found;
    while (received.Count() > 0) {
        switch (FeedByte(frame, static_cast<std::uint8_t>(received.PopFront()))) {
        case Feed::complete:
            found.Assign(frame);
            frame.Resize(0);
            break;
        case Feed::overflow:
            frame.Clear();
            found.AssignBytes("", 1);
            return found;
        case Feed::pending:
            break;
        }
    }
    return found;
}

int TakeReadFrames(ByteQueue& received, ByteQueue& frame, std::int32_t imageSize, RangeList ranges,
                   std::uint32_t& frameCount, CloneResult& result, std::int32_t& dataBytes,
                   bool& progress) {
    while (received.Count() > 0) {
        const Feed fed = FeedByte(frame, static_cast<std::uint8_t>(received.PopFront()));
        if (fed == Feed::pending)
            continue;
        int d = CloneResult::codeBadFrame;
        if (fed == Feed::complete)
            d = CheckReadFrame(frame, imageSize, frameCount, result, dataBytes);
        if (d == 1) {
            ++frameCount;
            progress = true;
            frame.Resize(0);
            continue;
        }
        if (d == CloneResult::codeSuccess)
            d = CheckCoverage(result.coverage, imageSize, ranges);
        return d;
    }
    return readGoesOn;
}

} // namespace cloneFrame

} // namespace marlo
