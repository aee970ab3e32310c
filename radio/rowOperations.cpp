#include "radio/rowOperations.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "radio/cellContext.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/listRecord.h"
#include "radio/rowClipboard.h"
#include "radio/statusLine.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace marlo {

using namespace CellLabel;

namespace {

void postStatus(const char* key) {
    statusLine::Post(OverlayTexts::App().GetLine(key));
}

// The warning box with OK and Cancel; true when the user chose OK.
bool confirmed(const char* key) {
    OverlayTexts& texts = OverlayTexts::App();
    return Prompter::Current().Message(texts.GetLine("GI_Sys_AppTitle"), texts.GetText(key),
                                       PromptIcon::Warning,
                                       PromptButtons::OkCancel) == PromptAnswer::Ok;
}

// One operation on the rows first..last of a list lo..hi.
struct RowWork {
    CellContext& context;
    CellRequest& request;
    ListRecord& entry;
    std::uint8_t type;
    std::int32_t lo;
    std::int32_t hi;
    std::int32_t first;
    std::int32_t last;

    MemoryImage& image() const { return context.CurrentImage(); }
    std::int32_t count() const { return last - first + 1; }

    bool anyUsed(std::int32_t from, std::int32_t to) const {
        ListRecord row;
        row.Bind(&image());
        for (std::int32_t i = std::max(from, lo); i <= std::min(to, hi); ++i) {
            row.Load(type, i);
            if (row.isUsed())
                return true;
        }
        return false;
    }

    // Rows from..from+n-1 written to..to+n-1; both blocks lie inside the list.
    void moveRows(std::int32_t from, std::int32_t n, std::int32_t to) const {
        ProgramRowClipboard block;
        block.CopyFrom(image(), type, from, n);
        block.PasteTo(image(), type, to, n);
    }

    void clearRows(std::int32_t from, std::int32_t to) const {
        ProgramRowClipboard blank;
        blank.FillBlank(image(), type, from, to - from + 1);
        blank.PasteTo(image(), type, from, to - from + 1);
        for (std::int32_t i = from; i <= to; ++i)
            NotificationHub::App().Post(evRepaintIndex, nullptr, i);
    }

    void selectAfter(std::int32_t from, std::int32_t to) const {
        request.block.flags |= CellBlock::NewBlock;
        request.block.first = from;
        request.block.last = to;
    }

    void cursorTo(std::int32_t row) const {
        request.outIndex = row;
        request.redirected = 1;
    }
};

void copyRows(RowWork& w) {
    const std::int32_t first = std::max(w.first, w.lo);
    const std::int32_t last = std::min(w.last, w.hi);
    if (w.entry.index < w.lo || w.entry.index > w.hi || last < first)
        return;
    w.context.Clipboard().CopyFrom(w.image(), w.type, first, last - first + 1);
    w.selectAfter(first, last);
    postStatus("GI_AppMess_S_Copy");
}

// ALE channels in use once rows r..r+n-1 hold the clipboard's first n entries.
int aleChannelsAfterPaste(const RowWork& w, const RowClipboard& clipboard, std::int32_t r,
                          std::int32_t n) {
    ListRecord row;
    row.Bind(&w.image());
    int count = 0;
    for (std::int32_t i = w.lo; i <= w.hi; ++i) {
        const ListRecord* channel = &row;
        if (i >= r && i < r + n)
            channel = &clipboard.Held(i - r);
        else
            row.Load(listUserChannel, i);
        if (channel->isUsed() && channel->callKind == ListRecord::aleCallKind)
            ++count;
    }
    return count;
}

void pasteRows(RowWork& w) {
    RowClipboard& clipboard = w.context.Clipboard();
    const std::int32_t r = w.entry.index;
    if (r < w.lo || r > w.hi || !clipboard.Accepts(w.type))
        return;
    const std::int32_t n = std::min(clipboard.heldCount(), w.hi - r + 1);
    if (n < 1)
        return;
    if (w.type == listUserChannel &&
        aleChannelsAfterPaste(w, clipboard, r, n) > ListRecord::aleChannelLimit) {
        statusLine::PostWarning(OverlayTexts::App().GetLine("GI_Botttom_AleFull"));
        return;
    }
    if (w.anyUsed(r, r + n - 1) && !confirmed("GI_AppMess_Conv_Overwrite"))
        return;
    clipboard.PasteTo(w.image(), w.type, r, n);
    if (n == 1)
        NotificationHub::App().Post(evRepaintIndex, nullptr, r);
    else
        NotificationHub::App().Post(evRepaintAll);
    w.entry.Reload();
    w.selectAfter(r, r + n - 1);
    postStatus("GI_AppMess_S_Paste");
}

void carryRows(RowWork& w, std::int32_t d) {
    if (d > 0 ? w.last >= w.hi : w.first <= w.lo)
        return;
    const std::int32_t neighbour = d > 0 ? w.last + 1 : w.first - 1;
    ProgramRowClipboard beside;
    ProgramRowClipboard block;
    beside.CopyFrom(w.image(), w.type, neighbour, 1);
    block.CopyFrom(w.image(), w.type, w.first, w.count());
    block.PasteTo(w.image(), w.type, w.first + d, w.count());
    beside.PasteTo(w.image(), w.type, d > 0 ? w.first : w.last, 1);
    w.selectAfter(w.first + d, w.last + d);
    w.cursorTo(d > 0 ? w.last + d : w.first + d);
    NotificationHub::App().Post(evRepaintAll);
}

void clearRows(RowWork& w) {
    if (!confirmed("GI_AppMess_Conv_Clear"))
        return;
    w.clearRows(w.first, w.last);
    postStatus("GI_AppMess_S_Clear");
}

void deleteRows(RowWork& w) {
    const std::int32_t k = w.count();
    if (w.anyUsed(w.first, w.last) && !confirmed("GI_AppMess_Conv_Delete"))
        return;
    if (w.last < w.hi)
        w.moveRows(w.last + 1, w.hi - w.last, w.first);
    w.clearRows(w.hi - k + 1, w.hi);
    w.request.block.flags &= static_cast<std::uint8_t>(~CellBlock::NewBlock);
    w.cursorTo(w.first);
    NotificationHub::App().Post(evRepaintAll);
    postStatus("GI_AppMess_S_Delete");
}

void insertRows(RowWork& w) {
    const std::int32_t k = w.count();
    if (w.anyUsed(w.hi - k + 1, w.hi) && !confirmed("GI_AppMess_Conv_Overflow"))
        return;
    if (w.last < w.hi)
        w.moveRows(w.first, w.hi - w.last, w.last + 1);
    w.clearRows(w.first, w.last);
    NotificationHub::App().Post(evRepaintAll);
    w.selectAfter(w.first, w.last);
    postStatus("GI_AppMess_S_Insert");
}

} // namespace

void runRowOperation(std::int32_t command, CellContext& context, CellRequest& request,
                     ListRecord& entry, std::int32_t lo, std::int32_t hi) {
    const bool block = (request.block.flags & CellBlock::Selected) != 0;
    RowWork w{context,
              request,
              entry,
              entry.type,
              lo,
              hi,
              block ? request.block.first : entry.index,
              block ? request.block.last : entry.index};
    if (w.type == listNone || lo > hi)
        return;
    if (command == CL_PMenu_Copy) {
        copyRows(w);
        return;
    }
    if (command == CL_PMenu_Paste) {
        pasteRows(w);
        return;
    }
    // The moves work on whole rows of the list only: a block reaching outside it
    // is refused rather than cut, so that nothing beyond the list is touched.
    if (!ListRecord::CanMoveRows(w.type) || w.first > w.last || w.first < lo || w.last > hi)
        return;
    switch (command) {
    case CL_PMenu_CarryUp:
        carryRows(w, -1);
        break;
    case CL_PMenu_CarryDown:
        carryRows(w, +1);
        break;
    case CL_PMenu_Clear:
        clearRows(w);
        break;
    case CL_PMenu_Delete:
        deleteRows(w);
        break;
    case CL_PMenu_Insert:
        insertRows(w);
        break;
    default:
        break;
    }
}

void sortUserChannels(MemoryImage& image) {
    const std::int32_t lo = ListRecord::FirstIndex(listUserChannel);
    const std::int32_t hi = ListRecord::LastIndex(listUserChannel);
    MemoryImage sorted;
    sorted.Assign(image);

    ListRecord channel;
    channel.Bind(&image);
    std::vector<std::int32_t> order(static_cast<std::size_t>(hi - lo + 1));
    std::iota(order.begin(), order.end(), lo);
    std::vector<std::uint32_t> numbers;
    numbers.reserve(order.size());
    for (std::int32_t slot : order)
        numbers.push_back(channel.ChannelNumberOf(slot));
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return numbers[static_cast<std::size_t>(a - lo)] <
               numbers[static_cast<std::size_t>(b - lo)];
    });

    for (std::size_t i = 0; i < order.size(); ++i) {
        channel.Load(listUserChannel, order[i]);
        channel.Bind(&sorted);
        channel.Store(listUserChannel, lo + static_cast<std::int32_t>(i));
        channel.Bind(&image);
    }
    image.Assign(sorted);
}

} // namespace marlo
