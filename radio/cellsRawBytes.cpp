#include "core/cmcEeprom.h"
#include "overlay/cmcGTex.h"
#include "radio/cellEval.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCommands.h"
#include "radio/codecChoice.h"
#include "radio/codecDigits.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "sheets/cmcEvMan.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

using namespace cmcCells;

// Cells on raw bytes of the current image: the debugging view of the whole image,
// 16 bytes a row, and single bytes named by their address.

namespace {

constexpr std::int32_t kBytesPerRow = 16;
// The difference search covers the image up to here.
constexpr std::int32_t kSearchSpan = 30832;
// What a self ID shows while it is not set.
constexpr auto kSelfIdSize = static_cast<std::int32_t>(cmcCodec::kSelfIdBytes);
constexpr const char* kSelfIdOffText = "GI_AppInd_Dsc_SelfIdOff";

// The bit editor is one of the windows behind the commands.
class BitEditorCommand : public cmcCodec::cmcBitEditorOpener {
public:
    explicit BitEditorCommand(cmcCellCommands& commands) : commands_(commands) {}
    void OpenBitEditor(cmcCellCapsule& request, std::uint8_t value,
                       std::string_view listKey) override {
        commands_.OpenBitEditor(request, value, listKey);
    }

private:
    cmcCellCommands& commands_;
};

void rowAddress(cmcCellEval& ev) {
    char text[16];
    std::snprintf(text, sizeof text, "%4X", static_cast<unsigned>(ev.index) * kBytesPerRow);
    cmcCodec::showText(ev.request, text);
}

// F3 looks for the next byte that differs from the comparison image, wrapping at
// the end of the span; F4 for the previous one, down to the first byte.
void searchDifference(cmcCellEval& ev, std::int32_t address) {
    const cmcEeprom& current = ev.context.CurrentImage();
    const cmcEeprom& comparison = ev.context.ComparisonImage();
    const std::int32_t span = std::min({kSearchSpan, current.Size(), comparison.Size()});
    const auto differs = [&](std::int32_t a) {
        return current.GetByte(a) != comparison.GetByte(a);
    };
    if (span <= 0)
        return;
    std::int32_t found = -1;
    if (ev.request.action == cmcCellCapsule::kF3) {
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
        cmcEvMan::App().Post(evDifferenceFound, nullptr, found);
}

void rawByte(cmcCellEval& ev) {
    const std::int32_t column = ev.label - CL_EeDebugWin_0;
    const std::int64_t address64 = std::int64_t{ev.index} * kBytesPerRow + column;
    cmcEeprom& current = ev.context.CurrentImage();
    if (address64 < 0 || address64 >= current.Size())
        return;
    const auto address = static_cast<std::int32_t>(address64);
    const cmcEeprom& comparison = ev.context.ComparisonImage();
    const std::uint8_t compare =
        comparison.IsValidAddress(address) ? comparison.GetByte(address) : current.GetByte(address);

    std::uint8_t value = current.GetByte(address);
    cmcCellCommands* commands = ev.context.Commands();
    std::optional<BitEditorCommand> bitEditor;
    if (commands != nullptr)
        bitEditor.emplace(*commands);
    if (cmcCodec::hexByte(ev.request, value, compare, bitEditor ? &*bitEditor : nullptr,
                          ev.result)) {
        current.SetByte(address, value);
        cmcEvMan::App().Post(evRepaintAll);
    }
    if (ev.request.action == cmcCellCapsule::kF3 || ev.request.action == cmcCellCapsule::kF4)
        searchDifference(ev, address);
}

void decimalByte(cmcCellEval& ev) {
    std::uint8_t value = 0;
    if (!ev.readByte(ev.index, value))
        return;
    cmcCodec::cmcNumberForm form;
    form.lo = 0;
    form.hi = 255;
    if (cmcCodec::numberByte(ev.request, value, form, ev.result))
        ev.writeByte(ev.index, value);
}

void selfId(cmcCellEval& ev) {
    cmcEeprom& image = ev.context.CurrentImage();
    if (!image.IsValidAddress(ev.index) || !image.IsValidAddress(ev.index + kSelfIdSize - 1))
        return;
    std::array<std::uint8_t, cmcCodec::kSelfIdBytes> bytes{};
    image.Read(ev.index, bytes.data(), kSelfIdSize);
    if (cmcCodec::selfId(ev.request, bytes, ev.result))
        image.Write(ev.index, bytes.data(), kSelfIdSize);
    if (bytes[0] >= 100 && ev.result != cmcCodec::kResultOpenEditor)
        cmcCodec::showText(ev.request, ev.texts().GetLine(kSelfIdOffText));
}

} // namespace

void addRawByteCells(cmcCellCatalogue& catalogue) {
    cmcCellKinds& kinds = catalogue.kinds;
    kinds[CL_EeDebugWin_Adr] = {rowAddress, 0, false};
    for (std::int32_t label = CL_EeDebugWin_0; label <= CL_EeDebugWin_F; ++label)
        kinds[static_cast<std::size_t>(label)] = {rawByte, 0, true};
    kinds[CL_Free_Byte_Dec] = {decimalByte, 0, false};
    kinds[CL_Free_DscId] = {selfId, 0, false};
    catalogue.usesText(kSelfIdOffText);
}
