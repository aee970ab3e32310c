#include "core/memoryImage.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecChoice.h"
#include "radio/codecDigits.h"
#include "radio/codecNumber.h"
#include "radio/codecSteps.h"
#include "radio/codecText.h"
#include "radio/settingFields.h"

#include <algorithm>
#include <array>

namespace marlo {

using namespace CellLabel;

// The common settings: one byte each of the current image, shown through a
// selection list, as a number, a timer or a text.

namespace {

enum class Form : std::uint8_t {
    List,       // item of the selection list `listKey`
    OnOffLoose, // On/Off list, but a stored value above 1 shows as the first item
    Number,     // lo..hi, shown as value + shownOffset with at least minDigits digits
    Timer,      // 0 shows the overlay's "auto" text
    CloneText,  // 16 printable characters
};

struct CommonCell {
    std::int32_t label;
    std::int32_t offset;
    Form form;
    const char* listKey = nullptr;
    std::int16_t lo = 0;
    std::int16_t hi = 0;
    std::int8_t shownOffset = 0;
    std::int8_t minDigits = 0;
};

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kRxTx = "GI_Sheet_Sel_Comm_RxTx";
constexpr std::int32_t kCloneCommentLength = 16;

constexpr CommonCell kCommonCells[] = {
    {CL_Comm_CloneComm, 699, Form::CloneText},
    {CL_Comm_TxPwrSel, 15285, Form::List, "GI_Sheet_Sel_Comm_PwrSel"},
    {CL_Comm_AntTuner, 15228, Form::List, "GI_Sheet_Sel_Comm_Tuner"},
    {CL_Comm_AtTunUse, 15229, Form::List, kOnOff},
    {CL_Comm_FskTone, 15230, Form::List, "GI_Sheet_Sel_Comm_FskTone"},
    {CL_Comm_FskShift, 15231, Form::List, "GI_Sheet_Sel_Comm_FskShift"},
    {CL_Comm_FskPolar, 15232, Form::List, "GI_Sheet_Sel_Comm_FskPolar"},
    {CL_Comm_CwBkIn, 15233, Form::List, "GI_Sheet_Sel_Comm_BkIn"},
    {CL_Comm_NmeaId, 15234, Form::Number, nullptr, 1, 99, 0, 2},
    {CL_Comm_MicKey, 15235, Form::List, kOnOff},
    {CL_Comm_TenKey, 15236, Form::List, kOnOff},
    {CL_Comm_RemoteMod, 15237, Form::List, "GI_Sheet_Sel_Comm_RemoteMod"},
    {CL_Comm_NmeaIf, 15238, Form::List, "GI_Sheet_Sel_Comm_NmeaIf"},
    {CL_Comm_TunerJudg, 15239, Form::List, "GI_Sheet_Sel_Comm_TunerJudg"},
    {CL_Comm_AtTunType, 15240, Form::List, "GI_Sheet_Sel_Comm_AtTunType"},
    {CL_Comm_NonVexaTuner, 15241, Form::List, "GI_Sheet_Sel_Comm_NITuner"},
    {CL_Comm_TxByPtt, 15242, Form::List, "GI_Sheet_Sel_Comm_ModSel"},
    {CL_Comm_TxByAcc, 15243, Form::List, "GI_Sheet_Sel_Comm_ModSel"},
    {CL_Comm_ScanEnable, 15244, Form::List, kOnOff},
    {CL_Comm_ScanSpeed, 15245, Form::Number, nullptr, 1, 10},
    {CL_Comm_ScanGroup, 15246, Form::List, "GI_Sheet_Sel_Comm_UchScanG"},
    {CL_Comm_ScanResume, 15247, Form::List, kOnOff},
    {CL_Comm_AutoScan, 15248, Form::List, "GI_Sheet_Sel_Comm_AutoScan"},
    {CL_Comm_IdLength, kIdLengthAddress, Form::List, "GI_Sheet_Sel_Comm_IdLength"},
    {CL_Comm_Silent, 15250, Form::List, kOnOff},
    {CL_Comm_SyncTime, 15251, Form::List, "GI_Sheet_Sel_Comm_SyncTime"},
    {CL_Comm_TimeOut, 15252, Form::List, "GI_Sheet_Sel_Comm_TimeOut"},
    {CL_Comm_SelcallE, 15253, Form::List, kRxTx},
    {CL_Comm_SelcallB, 15254, Form::List, kRxTx},
    {CL_Comm_GpsPos, 15255, Form::List, kRxTx},
    {CL_Comm_GpsBeacon, 15256, Form::List, kRxTx},
    {CL_Comm_TelcallE, 15257, Form::List, kRxTx},
    {CL_Comm_StatusCallE, 15258, Form::List, kRxTx},
    {CL_Comm_PageCallE, 15259, Form::List, kRxTx},
    {CL_Comm_EmerSelcallE, 15260, Form::List, kRxTx},
    {CL_Comm_AleE, 15261, Form::List, kRxTx},
    {CL_Comm_Sounding, 15262, Form::List, kOnOff},
    {CL_Comm_QDTime, 15263, Form::Number, nullptr, 1, 8},
    {CL_Comm_SSLength, 15264, Form::Number, nullptr, 5, 100},
    {CL_Comm_BerThre, 15265, Form::Number, nullptr, 0, 48},
    {CL_Comm_GolThre, 15266, Form::Number, nullptr, 0, 4},
    {CL_Comm_ErrThre, 15267, Form::Number, nullptr, 0, 4},
    {CL_Comm_SilentM, 15268, Form::List, kOnOff},
    {CL_Comm_CRLimit, 15269, Form::Number, nullptr, 0, 99},
    {CL_Comm_LQAvarege, 15270, Form::Number, nullptr, 0, 7, 1},
    {CL_Comm_SInterval, 15271, Form::List, "GI_Sheet_Sel_Comm_SInterval"},
    {CL_Comm_LQAreq, 15272, Form::List, kOnOff},
    {CL_Comm_CallTime, 15273, Form::Timer, nullptr, 0, 100},
    {CL_Comm_DispType, 15277, Form::List, "GI_Sheet_Sel_Comm_DispType"},
    {CL_Comm_Comment, 15278, Form::List, kOnOff},
    {CL_Comm_SpeechComp, 15279, Form::List, kOnOff},
    {CL_Comm_AutoMute, 15280, Form::OnOffLoose, kOnOff},
    {CL_Comm_RfdsT, 15286, Form::Number, nullptr, 30, 60},
    {CL_Comm_RfdsC, 15287, Form::List, kOnOff},
    {CL_Comm_PreAmp, 15288, Form::List, kOnOff},
    {CL_Comm_VolMin, 15298, Form::Number, nullptr, 0, 23},
    {CL_Comm_SimpleMode, 15299, Form::List, kOnOff},
};

const CommonCell* commonCellOf(std::int32_t label) {
    const auto* found = std::find_if(std::begin(kCommonCells), std::end(kCommonCells),
                                     [label](const CommonCell& c) { return c.label == label; });
    return found == std::end(kCommonCells) ? nullptr : found;
}

bool isList(Form form) {
    return form == Form::List || form == Form::OnOffLoose;
}

// Runs `codec` on a copy of the byte and writes the byte back when it changed.
template <typename Codec>
void onImageByte(CellEvaluation& ev, std::int32_t address, Codec codec) {
    std::uint8_t value = 0;
    if (!ev.ReadByte(address, value))
        return;
    if (codec(value))
        ev.WriteByte(address, value);
}

void cloneComment(CellEvaluation& ev, std::int32_t address) {
    std::array<std::uint8_t, kCloneCommentLength> field{};
    MemoryImage& image = ev.context.CurrentImage();
    if (!image.IsValidAddress(address) || !image.IsValidAddress(address + kCloneCommentLength - 1))
        return;
    image.Read(address, field.data(), kCloneCommentLength);
    if (codec::nameText(ev.request, field, ev.result))
        image.Write(address, field.data(), kCloneCommentLength);
}

void evaluateCommon(CellEvaluation& ev) {
    const CommonCell* c = commonCellOf(ev.label);
    if (c == nullptr)
        return;
    switch (c->form) {
    case Form::List:
        ev.SelectionOnByte(c->offset, {c->listKey, Flex0});
        break;
    case Form::OnOffLoose:
        onImageByte(ev, c->offset, [&](std::uint8_t& byte) {
            // Anything but 0 and 1 is shown, and stepped from, as 0.
            std::uint8_t shown = byte > 1 ? 0 : byte;
            const bool changed =
                codec::selectionByte(ev.request, {c->listKey, Flex0}, shown, ev.lists(), ev.result);
            if (changed)
                byte = shown;
            return changed;
        });
        break;
    case Form::Number:
        onImageByte(ev, c->offset, [&](std::uint8_t& byte) {
            codec::NumberForm form;
            form.lo = c->lo;
            form.hi = c->hi;
            form.offset = c->shownOffset;
            form.minDigits = c->minDigits;
            return codec::numberByte(ev.request, byte, form, ev.result);
        });
        break;
    case Form::Timer:
        onImageByte(ev, c->offset, [&](std::uint8_t& byte) {
            const codec::TimerForm form{1, c->lo, c->hi, codec::TimerKind::Auto, 0};
            return codec::timerByte(ev.request, byte, form, ev.Texts(), ev.result);
        });
        break;
    case Form::CloneText:
        cloneComment(ev, c->offset);
        break;
    }
}

// The radio's identity digits, never edited here.
void password(CellEvaluation& ev) {
    ev.RestrictEdit(false);
    const IdentityDigits digits = ev.context.Identity();
    codec::codeDisplay(ev.request, digits);
}

} // namespace

void addCommonCells(CellCatalogue& catalogue) {
    for (const CommonCell& c : kCommonCells) {
        catalogue.kinds[static_cast<std::size_t>(c.label)] = {evaluateCommon, 0, isList(c.form)};
        if (isList(c.form))
            catalogue.UsesList(c.listKey, Flex0);
        else if (c.form == Form::Timer)
            catalogue.UsesText(codec::kTimerAutoText);
    }
    catalogue.kinds[CL_Comm_Password] = {password, 0, false};
}

void addCommonSettingFields(std::vector<SettingField>& fields) {
    for (const CommonCell& c : kCommonCells) {
        SettingForm form = SettingForm::Choice;
        std::int32_t length = 1;
        if (c.form == Form::Number)
            form = SettingForm::Number;
        else if (c.form == Form::Timer)
            form = SettingForm::Timer;
        else if (c.form == Form::CloneText) {
            form = SettingForm::Text;
            length = kCloneCommentLength;
        }
        fields.push_back({c.label, c.offset, length, 0xFF, form});
    }
}

} // namespace marlo
