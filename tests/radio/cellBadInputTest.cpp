#include "cellEngineFixture.h"

#include "radio/cellLabels.h"

#include <random>

using namespace cmcCells;

namespace {

struct Region {
    std::int32_t first;
    std::int32_t count;
};

struct FieldCell {
    std::int32_t category;
    std::int32_t label;
    std::int32_t index;
    std::vector<Region> regions; // the bytes the cell may change
};

std::vector<Region> channelRecords(std::int32_t slot) {
    return {{715 + 26 * slot, 26}, {13715 + 2 * slot, 2}, {14715 + slot, 1}, {32768 + slot, 1}};
}

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

// Whatever is typed, keyed or picked, a cell changes only its own field.
TEST_F(CellEngineTest, RandomInputChangesOnlyTheCellsOwnBytes) {
    context_.expert = true;
    putChannel(5, 10, 7'100'000, 7'100'000);
    putSelCallId(5, {1, 2, 3});
    putAleAddress(5, "GOLF", true);
    putTelNumber(5, {0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});

    std::mt19937 random(1234);
    const auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const std::int32_t specialKeys[] = {0,
                                        8,
                                        13,
                                        32,
                                        '0',
                                        '5',
                                        '9',
                                        '.',
                                        '-',
                                        '=',
                                        'a',
                                        'o',
                                        256,
                                        cmcCellCapsule::kF3,
                                        cmcCellCapsule::kF4};
    cmcEeprom before;
    for (const FieldCell& field : fieldCells()) {
        for (int round = 0; round < 40; ++round) {
            before.Assign(context_.current);
            switch (uniform(0, 2)) {
            case 0: {
                std::string text(static_cast<std::size_t>(uniform(0, 3000)), ' ');
                for (char& c : text)
                    c = static_cast<char>(uniform(1, 255));
                typed(field.category, field.label, field.index, text);
                break;
            }
            case 1:
                key(field.category, field.label, field.index,
                    uniform(0, 1) ? specialKeys[uniform(0, std::size(specialKeys) - 1)]
                                  : uniform(1, 126));
                break;
            default:
                picked(field.category, field.label, field.index, uniform(0, 10),
                       uniform(-5, 1 << 27));
                break;
            }
            for (std::int32_t a = 0; a < before.Size(); ++a) {
                if (before.GetByte(a) != context_.current.GetByte(a) && !inside(field.regions, a))
                    FAIL() << "label " << field.label << " changed byte " << a;
            }
        }
    }
}

} // namespace
