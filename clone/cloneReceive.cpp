#include "clone/cloneReceive.h"

#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/dst_CDrv_Result.h"

namespace cmcFrame {

bool TakeEcho(cmcBuff& received, cmcBuff& echo, bool& progress) {
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

cmcBuff TakeLastFrame(cmcBuff& received, cmcBuff& frame) {
    cmcBuff found;
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

int TakeReadFrames(cmcBuff& received, cmcBuff& frame, std::int32_t imageSize, cmcRangeList ranges,
                   std::uint32_t& frameCount, dst_CDrv_Result& result, std::int32_t& dataBytes,
                   bool& progress) {
    while (received.Count() > 0) {
        const Feed fed = FeedByte(frame, static_cast<std::uint8_t>(received.PopFront()));
        if (fed == Feed::pending)
            continue;
        int d = dst_CDrv_Result::codeBadFrame;
        if (fed == Feed::complete)
            d = CheckReadFrame(frame, imageSize, frameCount, result, dataBytes);
        if (d == 1) {
            ++frameCount;
            progress = true;
            frame.Resize(0);
            continue;
        }
        if (d == dst_CDrv_Result::codeSuccess)
            d = CheckCoverage(result.coverage, imageSize, ranges);
        return d;
    }
    return readGoesOn;
}

} // namespace cmcFrame
