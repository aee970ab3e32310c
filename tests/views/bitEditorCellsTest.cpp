#include "cellEngineFixture.h"

#include "radio/cellLabels.h"
#include "views/bitEditorCells.h"

using namespace marlo;

using namespace CellLabel;

namespace {

using bitEditorCells::EvaluateBit;

struct BitRow {
    const char* name;
    std::int32_t bit;
    std::int32_t action;
    bool withGrid;
    std::uint8_t after;
    const char* text;
};

TEST(BitCells, ShowAndTakeKeysOnOneBitOfTheByte) {
    constexpr std::uint8_t before = 0b0000'0101;
    const BitRow rows[] = {
        {"shows a set bit", 0, 0, true, before, "1"},
        {"shows a clear bit", 1, 0, true, before, "0"},
        {"space flips", 1, CellRequest::kSpace, true, 0b0000'0111, "1"},
        {"backspace flips", 2, CellRequest::kBackspace, true, 0b0000'0001, "0"},
        {"enter is the window's", 7, CellRequest::kEnter, true, before, "0"},
        {"a click flips", 0, CellRequest::kClick, true, 0b0000'0100, "0"},
        {"0 clears", 0, '0', true, 0b0000'0100, "0"},
        {"1 sets", 3, '1', true, 0b0000'1101, "1"},
        {"1 on a set bit", 2, '1', true, before, "1"},
        {"other keys do nothing", 1, 'x', true, before, "0"},
        {"no grid, no key", 1, CellRequest::kSpace, false, before, "0"},
        {"no ninth bit", 8, CellRequest::kSpace, true, before, ""},
        {"no bit below 0", -1, CellRequest::kSpace, true, before, ""},
    };
    int grid = 0;
    for (const BitRow& row : rows) {
        SCOPED_TRACE(row.name);
        CellModel cell;
        cell.index = row.bit;
        CellRequest request;
        request.cell = &cell;
        request.action = row.action;
        request.grid = row.withGrid ? &grid : nullptr;
        std::uint8_t value = before;
        EXPECT_EQ(EvaluateBit(request, value), row.after != before);
        EXPECT_EQ(value, row.after);
        EXPECT_EQ(request.text, row.text);
    }
}

class BitDelivery : public CellEngineTest {};

TEST_F(BitDelivery, TheChosenByteReachesTheRawByteCellAsAPick) {
    setByte(0x23, 0x5A);
    CellModel& cell = newCell(CT_Null, CL_EeDebugWin_3, 2);
    CellRequest owner;
    owner.cell = &cell;
    owner.action = CellRequest::kEnter; // the request that opened the editor
    std::vector<std::uint8_t> changes;
    owner.onChange = {[](void* user, CellRequest&, std::uint8_t bits) {
                          static_cast<std::vector<std::uint8_t>*>(user)->push_back(bits);
                      },
                      &changes};

    for (std::uint8_t value : {std::uint8_t{0xA5}, std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        bitEditorCells::Deliver(
            [this](CellRequest& r, bool notify) { return evaluateCell(engine_, r, notify); }, owner,
            value);
        EXPECT_EQ(byteAt(0x23), value);
    }
    EXPECT_EQ(byteAt(0x22), 0);
    EXPECT_EQ(byteAt(0x24), 0);
    EXPECT_EQ(changes.size(), 3u);
    flushHub();
    EXPECT_FALSE(delivered(evRepaintAll).empty());
    EXPECT_TRUE(context_.modified);
}

} // namespace
