#include "radio/cellEngine.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/errorCells.h"
#include "radio/frequencyChecks.h"

#include <array>

namespace marlo {

using namespace CellLabel;

// The checks behind the warnings of the navigation tree: each walks the cells of
// one list and reports whether any of them is invalid or duplicated, stopping as
// soon as it has found all it can report.

namespace {

// Labels of one walk, padded with CL_None.
using WalkLabels = std::array<std::int32_t, 5>;

struct CheckWalk {
    std::int32_t label;
    std::int32_t category;
    std::int32_t last; // rows 0..last
    WalkLabels invalidLabels;
    WalkLabels duplicateLabels;
};

constexpr WalkLabels kNone{CL_None, CL_None, CL_None, CL_None, CL_None};

constexpr CheckWalk kWalks[] = {
    {CL_Check_UserCh, CT_UserCh, 499,
     WalkLabels{CL_UCh_CH, CL_UCh_FreqR, CL_UCh_FreqT, CL_UCh_Mode, CL_UCh_Call},
     WalkLabels{CL_UCh_Ale, CL_None, CL_None, CL_None, CL_None}},
    {CL_Check_SelCallId, CT_SelCallID, 99, kNone,
     WalkLabels{CL_SelCall_ID, CL_None, CL_None, CL_None, CL_None}},
    {CL_Check_AleId, CT_AleID, ListRecord::lastAleEntry, kNone,
     WalkLabels{CL_Ale_ID, CL_Ale_IDN, CL_None, CL_None, CL_None}},
    {CL_Check_TelNumber, CT_TelNumber, 99, kNone,
     WalkLabels{CL_TelNumber_Number, CL_None, CL_None, CL_None, CL_None}},
    {CL_Check_ModeReg, CT_ModeReg, ListRecord::modeRows - 1, kNone,
     WalkLabels{CL_ModeReg_Indication, CL_None, CL_None, CL_None, CL_None}},
};

bool any(const WalkLabels& labels) {
    return labels.front() != CL_None;
}

void walkRows(CellEvaluation& ev, const CheckWalk& walk) {
    bool invalid = false;
    bool duplicate = false;
    const bool wantsInvalid = any(walk.invalidLabels);
    const bool wantsDuplicate = any(walk.duplicateLabels);
    for (std::int32_t row = 0; row <= walk.last; ++row) {
        for (std::int32_t label : walk.invalidLabels) {
            if (!invalid && label != CL_None)
                invalid = cellIsInvalid(ev.engine, walk.category, label, row);
        }
        for (std::int32_t label : walk.duplicateLabels) {
            if (!duplicate && label != CL_None)
                duplicate = cellIsDuplicate(ev.engine, walk.category, label, row);
        }
        if (invalid == wantsInvalid && duplicate == wantsDuplicate)
            break;
    }
    ev.MarkInvalid(invalid);
    ev.MarkDuplicate(duplicate);
}

void listCheck(CellEvaluation& ev) {
    for (const CheckWalk& walk : kWalks) {
        if (walk.label == ev.label)
            walkRows(ev, walk);
    }
}

// The receive edge and every transmit range.
void frequencyRangeCheck(CellEvaluation& ev) {
    const auto edgeInvalid = [&](std::int32_t category, std::int32_t row) {
        return cellIsInvalid(ev.engine, category, CL_EdgeFreq_Low, row) ||
               cellIsInvalid(ev.engine, category, CL_EdgeFreq_High, row);
    };
    bool invalid = edgeInvalid(CT_Edge_Rx, 0);
    for (std::int32_t range = 0; range < rangeCheck::kTransmitRanges && !invalid; ++range)
        invalid = edgeInvalid(CT_Edge_Tx, range);
    ev.MarkInvalid(invalid);
}

} // namespace

std::vector<ErrorCell> errorCells(CellEngine& engine) {
    std::vector<ErrorCell> found;
    const auto check = [&](std::int32_t category, std::int32_t label, std::int32_t row) {
        if (cellIsInvalid(engine, category, label, row))
            found.push_back({category, label, row});
    };
    for (const CheckWalk& walk : kWalks) {
        for (std::int32_t row = 0; row <= walk.last; ++row) {
            for (const std::int32_t label : walk.invalidLabels) {
                if (label != CL_None)
                    check(walk.category, label, row);
            }
        }
    }
    for (const std::int32_t label : {CL_EdgeFreq_Low, CL_EdgeFreq_High}) {
        check(CT_Edge_Rx, label, 0);
        for (std::int32_t range = 0; range < rangeCheck::kTransmitRanges; ++range)
            check(CT_Edge_Tx, label, range);
    }
    return found;
}

void addCheckCells(CellCatalogue& catalogue) {
    for (const CheckWalk& walk : kWalks)
        catalogue.kinds[static_cast<std::size_t>(walk.label)] = {listCheck, 0, false};
    catalogue.kinds[CL_Check_FreqRange] = {frequencyRangeCheck, 0, false};
}

} // namespace marlo
