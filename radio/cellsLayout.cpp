#include "overlay/overlayTexts.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/cloneWriteImage.h"
#include "radio/codecSteps.h"
#include "sheets/cellModel.h"

#include <string>

namespace marlo {

using namespace CellLabel;

// Cells that shape a sheet rather than edit a value: row numbers, marks drawn in
// the cell, cells that may never be edited, the clone information the radio
// reported, and the labels not handled yet.

namespace {

constexpr Colour kGrey = 0x808080;

constexpr int kModelVariants = 2;
constexpr const char* kModelNames = "GI_AppInd_Model";

void rowNumber(CellEvaluation& ev) {
    std::string text = std::to_string(ev.label == CL_Misc_ChNo_0Base ? std::int64_t{ev.index}
                                                                     : std::int64_t{ev.index} + 1);
    if (ev.label == CL_Misc_ChNo_1Base_Self)
        text.insert(0, "S");
    else if (ev.label == CL_Misc_ChNo_1Base_Tel)
        text.insert(0, "T");
    codec::showText(ev.request, std::move(text));
}

CellCanvas* canvasOf(const CellEvaluation& ev) {
    return static_cast<CellCanvas*>(ev.request.canvas);
}

// A grey box over the lower 30 % of the cell.
void quarterPillar(CellEvaluation& ev) {
    CellCanvas* canvas = canvasOf(ev);
    if (canvas == nullptr || !ev.request.rect)
        return;
    CellRect box = *ev.request.rect;
    box.top = box.bottom - (box.bottom - box.top) * 3 / 10;
    canvas->FillBox(box, kGrey);
}

// Struck through with a grey line.
void cannotEdit(CellEvaluation& ev) {
    ev.RestrictEdit(false);
    CellCanvas* canvas = canvasOf(ev);
    if (canvas == nullptr || !ev.request.rect)
        return;
    const CellRect& r = *ev.request.rect;
    canvas->DrawLine(r.right - 1, r.top, r.left, r.bottom - 1, kGrey);
}

void dummy(CellEvaluation& ev) {
    ev.RestrictEdit(false);
    codec::showText(ev.request, ev.cell.Text());
}

void cloneInfo(CellEvaluation& ev) {
    const auto& block = ev.context.LastRadioInfo().block;
    if (ev.label == CL_CloneInfo_Model) {
        const int model = block[marloInfoBlock::variant];
        // The names carry the blank that sets them off after the title.
        if (model < kModelVariants)
            codec::showText(ev.request, codec::trimSpaces(ev.Texts().GetLine(kModelNames, model)));
    } else if (ev.label == CL_CloneInfo_Revision) {
        const int revision = block[marloInfoBlock::revision];
        codec::showText(ev.request,
                        std::to_string(revision >> 4) + "." + std::to_string(revision & 0x0F));
    } else {
        std::string comment;
        for (int i = 0; i < marloInfoBlock::commentLength; ++i) {
            const std::uint8_t c = block[static_cast<std::size_t>(marloInfoBlock::comment + i)];
            comment += c >= 32 && c <= 126 ? static_cast<char>(c) : ' ';
        }
        codec::showText(ev.request, codec::trimSpaces(comment));
        ev.request.action = CellRequest::kNoAction;
    }
}

void notYet(CellEvaluation& ev) {
    codec::showText(ev.request, std::to_string(ev.label) + " *Yet*");
}

void nothing(CellEvaluation&) {}

} // namespace

void addLayoutCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
    catalogue.UsesText(kModelNames);
    for (std::int32_t label :
         {CL_Misc_ChNo_0Base, CL_Misc_ChNo_1Base, CL_Misc_ChNo_1Base_Self, CL_Misc_ChNo_1Base_Tel})
        kinds[static_cast<std::size_t>(label)] = {rowNumber, 0, false};
    kinds[CL_Misc_QuarterPillar] = {quarterPillar, 0, false};
    kinds[CL_CannotEdit] = {cannotEdit, 0, false};
    kinds[CL_Dummy] = {dummy, 0, false};
    for (std::int32_t label : {CL_CloneInfo_Model, CL_CloneInfo_Revision, CL_CloneInfo_Comment})
        kinds[static_cast<std::size_t>(label)] = {cloneInfo, 0, false};

    kinds[CL_Null] = {nothing, 0, false};
    kinds[CL_Free_Byte_Hex] = {nothing, 0, false};
    const auto yet = [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t label = first; label <= last; ++label)
            kinds[static_cast<std::size_t>(label)] = {notYet, 0, false};
    };
    yet(CL_FBits, CL_FBits);
    yet(CL_Menu_Port_SpeedHigh, CL_Menu_Port_SpeedHigh);
    yet(CL_Menu_Debug_Compare, CL_Menu_Debug_EeWindow);
    yet(CL_Debug_Mtx_AbsCtrl, CL_Debug_Mtx_Podn);
    yet(CL_Ale_Comment, CL_Ale_Comment);
    yet(CL_Deb_Index, CL_Deb_RxFrqNo);
}

} // namespace marlo
