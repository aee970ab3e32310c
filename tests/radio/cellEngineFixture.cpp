#include "cellEngineFixture.h"

#include "core/modelIdentity.h"
#include "core/periodicTask.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"

#include <algorithm>

using namespace marlo;

namespace {

constexpr std::uint8_t kFlushMessage = 200; // a type no part of the program uses

void addList(std::vector<std::string>& lines, const std::string& key, const std::string& label,
             const std::vector<std::pair<int, std::string>>& items) {
    lines.push_back("#" + key + "_Cells");
    for (const auto& [value, text] : items)
        lines.push_back("{(%" + label + "[" + std::to_string(value) + "])}" + text);
    lines.push_back("#");
}

std::vector<std::pair<int, std::string>> numbered(int count) {
    std::vector<std::pair<int, std::string>> items;
    for (int v = 0; v < count; ++v)
        items.emplace_back(v, "v" + std::to_string(v));
    return items;
}

} // namespace

std::vector<std::string> testOverlayLines() {
    std::vector<std::string> lines = {
        "#GI_Botttom_EditRestrected",
        "Restricted",
        "#GI_Botttom_TooLong",
        "At most %d",
        "#GI_Botttom_AleFull",
        "ALE full",
        "#GI_Sys_AppTitle",
        "Marlo",
        "#GI_AppMess_Conv_Overwrite",
        "Overwrite?",
        "#GI_AppMess_Conv_Clear",
        "Clear?",
        "#GI_AppMess_Conv_Delete",
        "Delete?",
        "#GI_AppMess_Conv_Overflow",
        "Overflow?",
        "#GI_AppMess_S_Copy",
        "Copied",
        "#GI_AppMess_S_Paste",
        "Pasted",
        "#GI_AppMess_S_Clear",
        "Cleared",
        "#GI_AppMess_S_Delete",
        "Deleted",
        "#GI_AppMess_S_Insert",
        "Inserted",
        "#GI_AppInd_DscRxTxNoUse",
        "No use",
        "#GI_AppInd_TimerAuto",
        "Auto",
        "#GI_AppInd_TimerOff",
        "Off",
        "#GI_AppInd_Dsc_SelfIdOff",
        "No ID",
        "#GI_AppInd_Model",
        " Model A",
        " Model B", // set off by a blank, as the program's overlay has them
        "#GI_Sys_MyHelpFile",
        "Marlo.html",
        "#GI_AppInd_Mode",
    };
    for (const char* mode : {"LSB", "USB", "AM", "AFSK", "FSK", "CW", "ALE-U", "ALE-L", "AME"})
        lines.emplace_back(mode);

    addList(lines, "GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}});
    addList(lines, "GI_Sheet_Sel_Misc_Enable_I", "Flex0", {{0, "Disable"}, {1, "Enable"}});
    for (const char* key :
         {"PwrSel",   "Tuner",     "FskTone",   "FskShift", "FskPolar",  "BkIn",     "RemoteMod",
          "NmeaIf",   "TunerJudg", "AtTunType", "NITuner",  "ModSel",    "UchScanG", "AutoScan",
          "IdLength", "SyncTime",  "TimeOut",   "RxTx",     "SInterval", "DispType"})
        addList(lines, std::string("GI_Sheet_Sel_Comm_") + key, "Flex0", numbered(4));
    addList(lines, "GI_Sheet_Sel_UchScanG", "Flex0", numbered(4));
    addList(lines, "GI_Sheet_Sel_UchFilt", "Flex0", numbered(4));
    addList(lines, "GI_Sheet_Sel_UchEdit", "Flex0", numbered(2));
    addList(lines, "GI_Sheet_Sel_ModeOk", "Flex0", {{0, "No"}, {1, "Yes"}});

    std::vector<std::pair<int, std::string>> modes;
    for (int m = 0; m < 9; ++m)
        modes.emplace_back(m, "");
    addList(lines, "GI_Sheet_Sel_Mode1_R", "CL_Sel_Mode_U", modes);
    addList(lines, "GI_Sheet_Sel_Ale1_R", "Flex0", {{255, "-----"}, {0, "1"}, {1, "2"}, {2, "3"}});
    const std::vector<std::pair<int, std::string>> calls = {
        {0, "Voice"}, {1, "Selcall"}, {2, "Telcall"}, {3, "ALE"}};
    addList(lines, "GI_Sheet_Sel_UchCallA", "CL_Sel_Call_U", calls);
    addList(lines, "GI_Sheet_Sel_UchCallO", "CL_Sel_Call_U", calls);
    addList(lines, "GI_Sheet_Sel_UchCallA_full", "CL_Sel_Call_U",
            {calls.begin(), calls.begin() + 3});
    addList(lines, "GI_Sheet_Sel_UchCallO_full", "CL_Sel_Call_U",
            {calls.begin(), calls.begin() + 3});
    for (const char* form : {"J3E", "A3E", "J2B", "F1B", "A1A", "J3EALE"})
        addList(lines, std::string("GI_Sheet_Sel_ModeIn_") + form, "Flex0",
                {{0, "first"}, {1, "second"}});
    lines.emplace_back("#End_Of_Ovl");
    return lines;
}

// The context.

TestCellContext::TestCellContext(OverlayTexts& overlay) : lists_(overlay, *this) {
    for (MemoryImage* image : {&current, &saved, &comparison})
        image->Resize(marloModel::imageSize);
}

std::string TestCellContext::RecentFile(int index) const {
    return index >= 0 && index < static_cast<int>(recent.size()) ? recent[index] : std::string();
}

// The fixture.

CellEngineTest::CellEngineTest()
    : overlayLines_(testOverlayLines()), previousOverlay_(&OverlayTexts::App()), context_(overlay_),
      engine_(context_) {
    for (const std::string& line : overlayLines_)
        overlayPointers_.push_back(line.c_str());
    overlay_.SetLines(overlayPointers_);
    OverlayTexts::SetApp(&overlay_);
    NotificationHub::SetApp(&hub_);
    hub_.Subscribe(record, this);
    context_.commands = &commands_;

    for (std::uint8_t type : {listUserChannel, listSelCallId, listAleId, listTelNumber}) {
        for (std::int32_t i = 0; i <= ListRecord::LastIndex(type); ++i) {
            ListRecord e(&context_.current);
            e.MakeBlank(type, i);
            e.Store(type, i);
        }
    }
    putEdge(listRxEdge, 0, 1'600'000, 29'999'999);
    putEdge(listTxEdge, 0, 7'000'000, 7'300'000);
    putEdge(listTxEdge, 1, 14'000'000, 14'350'000);
    for (std::int32_t i = 2; i <= ListRecord::LastStoredIndex(listTxEdge); ++i)
        putEdge(listTxEdge, i, -1, -1);
    const char* names[] = {"LSB  ", "USB  ", "AM   ", "AFSK ", "FSK  ",
                           "CW   ", "ALE-U", "ALE-L", "AME  "};
    for (std::int32_t m = 0; m < 9; ++m) {
        ListRecord e = entry(listModeReg, m);
        std::copy_n(names[m], 5, e.modeName.begin());
        e.modeUse = m == 8 ? 0 : 1;
        e.Store(listModeReg, m);
    }
    context_.saved.Assign(context_.current);
    context_.comparison.Assign(context_.current);
}

CellEngineTest::~CellEngineTest() {
    hub_.Unsubscribe(record, this);
    NotificationHub::SetApp(nullptr);
    OverlayTexts::SetApp(previousOverlay_);
    // The hub's timer task goes on its next tick; let it, so that no test leaves
    // one behind for the next.
    hub_.Shutdown();
    runEventLoopUntil([] { return PeriodicTask::LiveCount() == 0; });
}

void CellEngineTest::record(void* self, const HubMessage& message) {
    static_cast<CellEngineTest*>(self)->messages_.push_back(message);
}

void CellEngineTest::flushHub() {
    hub_.Post(kFlushMessage);
    ASSERT_TRUE(runEventLoopUntil([&] {
        return std::any_of(messages_.begin(), messages_.end(),
                           [](const HubMessage& m) { return m.type == kFlushMessage; });
    }));
    std::erase_if(messages_, [](const HubMessage& m) { return m.type == kFlushMessage; });
}

std::vector<HubMessage> CellEngineTest::delivered(std::uint8_t type) const {
    std::vector<HubMessage> found;
    std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(found),
                 [type](const HubMessage& m) { return m.type == type; });
    return found;
}

CellModel& CellEngineTest::newCell(std::int32_t category, std::int32_t label, std::int32_t index) {
    CellModel& cell = cells_.emplace_back();
    cell.category = category;
    cell.label = label;
    cell.index = index;
    return cell;
}

CellOutcome CellEngineTest::evaluate(CellModel& cell, CellRequest& request) {
    CellOutcome out;
    request.cell = &cell;
    request.onChange = {[](void* user, CellRequest&, std::uint8_t bits) {
                            static_cast<CellOutcome*>(user)->changeBits = bits;
                        },
                        &out};
    out.result = evaluateCell(engine_, request, true);
    out.text = request.text;
    out.status = request.status;
    out.action = request.action;
    out.redirected = request.redirected;
    out.outLabel = request.outLabel;
    out.outAction = request.outAction;
    out.selStart = request.selStart;
    out.selLength = request.selLength;
    out.fontColour = request.fontColour;
    out.layout = cell.layout;
    out.behaviour = cell.behaviour;
    return out;
}

namespace {
void* gridHandle() {
    static int grid;
    return &grid;
}
} // namespace

CellOutcome CellEngineTest::shown(std::int32_t category, std::int32_t label, std::int32_t index) {
    CellRequest request;
    return evaluate(newCell(category, label, index), request);
}

CellOutcome CellEngineTest::key(std::int32_t category, std::int32_t label, std::int32_t index,
                                std::int32_t action) {
    CellRequest request;
    request.grid = gridHandle();
    request.action = action;
    return evaluate(newCell(category, label, index), request);
}

CellOutcome CellEngineTest::typed(std::int32_t category, std::int32_t label, std::int32_t index,
                                  const std::string& text) {
    CellRequest request;
    request.grid = gridHandle();
    request.inputMode = CellRequest::kEditedText;
    request.inputText = text;
    return evaluate(newCell(category, label, index), request);
}

CellOutcome CellEngineTest::picked(std::int32_t category, std::int32_t label, std::int32_t index,
                                   std::int32_t itemLabel, std::int32_t itemIndex) {
    CellRequest item;
    item.cell = &newCell(CellModel::kNoCategory, itemLabel, itemIndex);
    CellRequest request;
    request.grid = gridHandle();
    request.inputMode = CellRequest::kChosen;
    request.partner = &item;
    return evaluate(newCell(category, label, index), request);
}

CellOutcome CellEngineTest::command(std::int32_t category, std::int32_t label, std::int32_t index,
                                    std::int32_t popupCommand) {
    CellRequest request;
    request.grid = gridHandle();
    request.popupCommand = popupCommand;
    return evaluate(newCell(category, label, index), request);
}

// The document.

ListRecord CellEngineTest::entry(std::uint8_t listType, std::int32_t index) {
    ListRecord e(&context_.current);
    e.Load(listType, index);
    return e;
}

void CellEngineTest::putChannel(std::int32_t slot, std::uint32_t number, std::int32_t rxHz,
                                std::int32_t txHz, std::uint8_t mode, std::uint8_t callKind,
                                std::uint8_t aleIndex) {
    ListRecord e(&context_.current);
    e.MakeBlank(listUserChannel, slot);
    e.channelNumber = number;
    e.rxFrequency = rxHz;
    e.txFrequency = txHz;
    e.state = static_cast<std::uint8_t>((rxHz == 0 ? ListRecord::stateRxEmpty : 0) |
                                        (txHz == 0 ? ListRecord::stateTxEmpty : 0));
    e.mode = mode;
    e.callKind = callKind;
    e.aleIndex = aleIndex;
    e.Store(listUserChannel, slot);
}

void CellEngineTest::putSelCallId(std::int32_t index, std::array<std::uint8_t, 3> id) {
    ListRecord e = entry(listSelCallId, index);
    e.callId = id;
    e.Store(listSelCallId, index);
}

void CellEngineTest::putAleAddress(std::int32_t index, const std::string& address, bool withIdn) {
    ListRecord e = entry(listAleId, index);
    e.aleAddress.fill(0xFF);
    std::copy(address.begin(), address.end(), e.aleAddress.begin());
    if (withIdn)
        e.aleIdn = e.aleAddress;
    e.Store(listAleId, index);
}

void CellEngineTest::putTelNumber(std::int32_t index, std::array<std::uint8_t, 8> number) {
    ListRecord e = entry(listTelNumber, index);
    e.telNumber = number;
    e.Store(listTelNumber, index);
}

void CellEngineTest::putEdge(std::uint8_t listType, std::int32_t index, std::int32_t low,
                             std::int32_t high) {
    ListRecord e = entry(listType, index);
    e.low = low;
    e.high = high;
    e.Store(listType, index);
}
