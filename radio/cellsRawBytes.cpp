#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellCommands.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecDigits.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace marlo {

using namespace CellLabel;

// Cells on raw bytes of the current image: the debugging view of the whole image,
// 16 bytes a row, and single bytes named by their address.

namespace {

constexpr std::int32_t kBytesPerRow = 16;
// The difference search covers the image up to here.
constexpr std::int32_t kSearchSpan = 30832;
// What a self ID shows while it is not set.
constexpr auto kSelfIdSize = static_cast<std::int32_t>(codec::kSelfIdBytes);
constexpr const char* kSelfIdOffText = "GI_AppInd_Dsc_SelfIdOff";

// The bit editor is one of the windows behind the commands.
class BitEditorCommand : public codec::BitEditorOpener {
public:
    explicit BitEditorCommand(CellCommands& commands) : commands_(commands) {}
    void OpenBitEditor(CellRequest& request, std::uint8_t value,
                       std::string_view listKey) override {
        commands_.OpenBitEditor(request, value, listKey);
    }

private:
    CellCommands& commands_;
};

void rowAddress(CellEvaluation& ev) {
    char text[16];
    std::snprintf(text, sizeof text, "%4X", static_cast<unsigned>(ev.index) * kBytesPerRow);
    codec::showText(ev.request, text);
}

// F3 looks for the next byte that differs from the comparison image, wrapping at
// the end of the span; F4 for the previous one, down to the first byte.
void searchDifference(CellEvaluation& ev, std::int32_t address) {
    const MemoryImage& current = ev.context.CurrentImage();
    const MemoryImage& comparison = ev.context.ComparisonImage();
    const std::int32_t span = std::min({kSearchSpan, current.Size(), comparison.Size()});
    const auto differs = [&](std::int32_t a) {
        return current.GetByte(a) != comparison.GetByte(a);
    };
    if (span <= 0)
        return;
    std::int32_t found = -1;
    if (ev.request.action == CellRequest::kF3) {
        std::int32_t a = std::clamp(address, -1, span - 1);
        for (std::int32_t n = 0; n < span && found < 0; ++n) {
            a = a + 1 < span ? a + 1 : 0;
            if (differs(a))
                found = a;
        }
    } else {
        for (std::int32_t a = std::min(address, span) - 1; a >= 0 && found < 0; --a) {
            if (differs(a))
                found = a;
        }
    }
    if (found >= 0)
        NotificationHub::App().Post(evDifferenceFound, nullptr, found);
}

void rawByte(CellEvaluation& ev) {
    const std::int32_t column = ev.label - CL_EeDebugWin_0;
    const std::int64_t address64 = std::int64_t{ev.index} * kBytesPerRow + column;
    MemoryImage& current = ev.context.CurrentImage();
    if (address64 < 0 || address64 >= current.Size())
        return;
    const auto address = static_cast<std::int32_t>(address64);
    const MemoryImage& comparison = ev.context.ComparisonImage();
    const std::uint8_t compare =
        comparison.IsValidAddress(address) ? comparison.GetByte(address) : current.GetByte(address);

    std::uint8_t value = current.GetByte(address);
    CellCommands* commands = ev.context.Commands();
    std::optional<BitEditorCommand> bitEditor;
    if (commands != nullptr)
        bitEditor.emplace(*commands);
    if (codec::hexByte(ev.request, value, compare, bitEditor ? &*bitEditor : nullptr, ev.result)) {
        current.SetByte(address, value);
        NotificationHub::App().Post(evRepaintAll);
    }
    if (ev.request.action == CellRequest::kF3 || ev.request.action == CellRequest::kF4)
        searchDifference(ev, address);
}

void decimalByte(CellEvaluation& ev) {
    std::uint8_t value = 0;
    if (!ev.ReadByte(ev.index, value))
        return;
    codec::NumberForm form;
    form.lo = 0;
    form.hi = 255;
    if (codec::numberByte(ev.request, value, form, ev.result))
        ev.WriteByte(ev.index, value);
}

void selfId(CellEvaluation& ev) {
    MemoryImage& image = ev.context.CurrentImage();
    if (!image.IsValidAddress(ev.index) || !image.IsValidAddress(ev.index + kSelfIdSize - 1))
        return;
    std::array<std::uint8_t, codec::kSelfIdBytes> bytes{};
    image.Read(ev.index, bytes.data(), kSelfIdSize);
    if (codec::selfId(ev.request, bytes, ev.result))
        image.Write(ev.index, bytes.data(), kSelfIdSize);
    if (bytes[0] >= 100 && ev.result != codec::kResultOpenEditor)
        codec::showText(ev.request, ev.Texts().GetLine(kSelfIdOffText));
}

} // namespace

void addRawByteCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
    kinds[CL_EeDebugWin_Adr] = {rowAddress, 0, false};
    for (std::int32_t label = CL_EeDebugWin_0; label <= CL_EeDebugWin_F; ++label)
        kinds[static_cast<std::size_t>(label)] = {rawByte, 0, true};
    kinds[CL_Free_Byte_Dec] = {decimalByte, 0, false};
    kinds[CL_Free_DscId] = {selfId, 0, false};
    catalogue.UsesText(kSelfIdOffText);
}

} // namespace marlo
