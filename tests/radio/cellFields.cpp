#include "cellFields.h"

#include "radio/cellLabels.h"

using namespace marlo;

using namespace CellLabel;

namespace cellFields {
namespace {

std::vector<Region> channelRecords(std::int32_t slot) {
    return {{715 + 26 * slot, 26}, {13715 + 2 * slot, 2}, {14715 + slot, 1}, {32768 + slot, 1}};
}

} // namespace

std::vector<FieldCell> fieldCells() {
    std::vector<FieldCell> cells;
    for (std::int32_t label = CL_UCh_CH; label <= CL_UCh_Edit; ++label)
        cells.push_back({CT_UserCh, label, 5, channelRecords(5)});
    for (std::int32_t label : {CL_SelCall_Name, CL_SelCall_ID, CL_SelCall_CH})
        cells.push_back({CT_SelCallID, label, 5, {{21574 + 38 * 5, 38}}});
    for (std::int32_t label : {CL_Ale_ID, CL_Ale_IDN, CL_Ale_CH, CL_Ale_SlotT})
        cells.push_back({CT_AleID, label, 5, {{15454 + 51 * 5, 51}}});
    for (std::int32_t label : {CL_TelNumber_Name, CL_TelNumber_Number})
        cells.push_back({CT_TelNumber, label, 5, {{25374 + 23 * 5, 23}}});
    for (std::int32_t label : {CL_EdgeFreq_Low, CL_EdgeFreq_High}) {
        cells.push_back({CT_Edge_Rx, label, 0, {{15313, 8}}});
        cells.push_back({CT_Edge_Tx, label, 10, {{15321 + 80, 8}}});
    }
    for (std::int32_t label : {CL_ModeReg_Indication, CL_ModeReg_Use})
        cells.push_back({CT_ModeReg, label, 3, {{15289 + 3, 1}, {15409 + 15, 5}}});
    cells.push_back({CT_Null, CL_Comm_CloneComm, 0, {{699, 16}}});
    cells.push_back({CT_Null, CL_Comm_NmeaId, 0, {{15234, 1}}});
    cells.push_back({CT_Null, CL_Comm_LQAvarege, 0, {{15270, 1}}});
    cells.push_back({CT_Null, CL_Comm_CallTime, 0, {{15273, 1}}});
    cells.push_back({CT_Null, CL_Comm_AutoMute, 0, {{15280, 1}}});
    cells.push_back({CT_Null, CL_Comm_TxPwrSel, 0, {{15285, 1}}});
    cells.push_back({CT_Null, CL_Exp_Protect, 0, {{690, 1}}});
    cells.push_back({CT_Null, CL_EeDebugWin_3, 5, {{83, 1}}});
    cells.push_back({CT_Null, CL_Free_Byte_Dec, 100, {{100, 1}}});
    cells.push_back({CT_Null, CL_Free_DscId, 1000, {{1000, 5}}});
    return cells;
}

bool inside(const std::vector<Region>& regions, std::int32_t a) {
    for (const Region& r : regions) {
        if (a >= r.first && a < r.first + r.count)
            return true;
    }
    return false;
}

} // namespace cellFields
