#include "cellEngineFixture.h"

#include "radio/cellLabels.h"
#include "radio/listRecord.h"
#include "radio/rowOperations.h"
#include "support/scriptedPrompter.h"

#include <gtest/gtest.h>

using namespace marlo;

using namespace CellLabel;

namespace {

// The row operations as a list sheet runs them: a context-menu command on the
// cursor's row, with or without a selected block of rows.
class RowOperationsTest : public CellEngineTest {
protected:
    // Runs `op` on row `row` of the user channels, on rows first..last when given.
    CellRequest run(std::int32_t op, std::int32_t row, std::int32_t first = -1,
                    std::int32_t last = -1, std::int32_t category = CT_UserCh,
                    std::int32_t label = CL_UCh_FreqR) {
        CellRequest request;
        request.grid = &request;
        request.popupCommand = op;
        if (first >= 0) {
            request.block.flags = CellBlock::Selected;
            request.block.first = first;
            request.block.last = last;
        }
        evaluate(newCell(category, label, row), request);
        return request;
    }

    std::uint32_t number(std::int32_t slot) { return entry(listUserChannel, slot).channelNumber; }
    // Channel numbers slot, slot+1, ... as one list; empty slots read 0xFFFF.
    std::vector<std::uint32_t> numbers(std::int32_t slot, std::int32_t count) {
        std::vector<std::uint32_t> out;
        for (std::int32_t i = 0; i < count; ++i)
            out.push_back(number(slot + i));
        return out;
    }
    void channels(std::int32_t slot, std::vector<std::uint32_t> numbersFrom) {
        for (std::uint32_t n : numbersFrom)
            putChannel(slot++, n, 7'100'000, 7'100'000);
    }
    std::string lastStatus() {
        flushHub();
        const auto texts = delivered(evStatusText);
        return texts.empty() ? std::string() : std::string(texts.back().Text());
    }

    static constexpr std::uint32_t empty = ListRecord::noChannel;
    ScriptedPrompter prompter_;
};

TEST_F(RowOperationsTest, CopyOfABlockPartlyOutsideTheListCopiesTheRowsInside) {
    channels(497, {1, 2, 3});
    const CellRequest request = run(CL_PMenu_Copy, 498, 497, 505);
    EXPECT_EQ(context_.clipboard.heldFirst(), 497);
    EXPECT_EQ(context_.clipboard.heldCount(), 3);
    EXPECT_TRUE(request.block.flags & CellBlock::NewBlock);
    EXPECT_EQ(request.block.last, 499);
    EXPECT_EQ(lastStatus(), "Copied");
}

TEST_F(RowOperationsTest, PasteAsksOnlyOverUsedRowsAndStopsAtTheListEnd) {
    channels(0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    run(CL_PMenu_Copy, 0, 0, 9);
    // Ten held at hi - 2: three are written, onto empty rows, without a question.
    CellRequest request = run(CL_PMenu_Paste, 497);
    EXPECT_EQ(numbers(497, 3), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(request.block.first, 497);
    EXPECT_EQ(request.block.last, 499);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(lastStatus(), "Pasted");

    // Onto used rows it asks; Cancel writes nothing.
    MemoryImage before;
    before.Assign(context_.current);
    prompter_.answerNext(PromptAnswer::Cancel);
    run(CL_PMenu_Paste, 5);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), "Overwrite?");
    EXPECT_FALSE(context_.current.Differs(before));
    prompter_.answerNext(PromptAnswer::Ok);
    run(CL_PMenu_Paste, 5);
    EXPECT_EQ(numbers(5, 5), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(RowOperationsTest, PasteMayBringTheAleChannelsToOneHundredButNotBeyond) {
    for (std::int32_t slot = 0; slot < 99; ++slot)
        putChannel(slot, static_cast<std::uint32_t>(slot + 1), 7'100'000, 7'100'000, 6,
                   ListRecord::aleCallKind);
    run(CL_PMenu_Copy, 0, 0, 1);

    run(CL_PMenu_Paste, 300); // 101
    EXPECT_EQ(number(300), empty);
    EXPECT_EQ(lastStatus(), "ALE full");

    prompter_.answerNext(PromptAnswer::Ok); // row 98 is in use
    run(CL_PMenu_Paste, 98);                // 100
    EXPECT_EQ(numbers(98, 2), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(lastStatus(), "Pasted");
}

TEST_F(RowOperationsTest, EmptiedAleChannelsDoNotCountTowardsTheLimit) {
    for (std::int32_t slot = 0; slot < 100; ++slot)
        putChannel(slot, static_cast<std::uint32_t>(slot + 1), 7'100'000, 7'100'000, 6,
                   ListRecord::aleCallKind);
    ListRecord channel = entry(listUserChannel, 50);
    channel.channelNumber = ListRecord::noChannel;
    channel.Store(listUserChannel, 50);
    EXPECT_EQ(channel.AleChannelCount(), 99);
}

TEST_F(RowOperationsTest, CarryMovesTheBlockAndTheCursorFollows) {
    channels(3, {1, 2, 3});
    CellRequest request = run(CL_PMenu_CarryDown, 3, 3, 4);
    EXPECT_EQ(numbers(3, 3), (std::vector<std::uint32_t>{3, 1, 2}));
    EXPECT_EQ(request.block.first, 4);
    EXPECT_EQ(request.block.last, 5);
    EXPECT_EQ(request.redirected, 1);
    EXPECT_EQ(request.outIndex, 5);

    request = run(CL_PMenu_CarryUp, 4, 4, 5);
    EXPECT_EQ(numbers(3, 3), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(request.outIndex, 3);

    // At the ends of the list nothing moves.
    channels(499, {9});
    request = run(CL_PMenu_CarryDown, 499);
    EXPECT_EQ(number(499), 9u);
    EXPECT_EQ(request.redirected, 0);
    channels(0, {8});
    run(CL_PMenu_CarryUp, 0);
    EXPECT_EQ(number(0), 8u);
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(RowOperationsTest, ClearAlwaysAsksAndCancelKeepsTheRows) {
    channels(10, {1, 2});
    prompter_.answerNext(PromptAnswer::Cancel);
    run(CL_PMenu_Clear, 10, 10, 11);
    EXPECT_EQ(numbers(10, 2), (std::vector<std::uint32_t>{1, 2}));
    prompter_.answerNext(PromptAnswer::Ok);
    run(CL_PMenu_Clear, 10, 10, 11);
    EXPECT_EQ(numbers(10, 2), (std::vector<std::uint32_t>{empty, empty}));
    EXPECT_EQ(prompter_.lastText(), "Clear?");
    EXPECT_EQ(lastStatus(), "Cleared");
}

TEST_F(RowOperationsTest, DeleteMovesTheRowsBelowUp) {
    channels(10, {1, 2, 3, 4});
    channels(499, {7});
    prompter_.answerNext(PromptAnswer::Ok);
    const CellRequest request = run(CL_PMenu_Delete, 10, 10, 11);
    EXPECT_EQ(prompter_.lastText(), "Delete?");
    EXPECT_EQ(numbers(10, 3), (std::vector<std::uint32_t>{3, 4, empty}));
    EXPECT_EQ(numbers(497, 3), (std::vector<std::uint32_t>{7, empty, empty}));
    EXPECT_FALSE(request.block.flags & CellBlock::NewBlock);
    EXPECT_EQ(request.outIndex, 10);

    // On the last row only that row is cleared; an empty row asks nothing.
    prompter_.clear();
    channels(499, {5});
    channels(498, {6});
    prompter_.answerNext(PromptAnswer::Ok);
    run(CL_PMenu_Delete, 499);
    EXPECT_EQ(numbers(497, 3), (std::vector<std::uint32_t>{7, 6, empty}));
    run(CL_PMenu_Delete, 499);
    EXPECT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(lastStatus(), "Deleted");
}

TEST_F(RowOperationsTest, InsertPushesRowsDownAndAsksWhenUsedRowsFallOff) {
    channels(10, {1, 2});
    run(CL_PMenu_Insert, 10, 10, 11);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(numbers(10, 4), (std::vector<std::uint32_t>{empty, empty, 1, 2}));

    channels(498, {5, 6});
    prompter_.answerNext(PromptAnswer::Cancel);
    run(CL_PMenu_Insert, 20);
    EXPECT_EQ(prompter_.lastText(), "Overflow?");
    EXPECT_EQ(number(499), 6u);

    // A block reaching the last row is only cleared.
    prompter_.answerNext(PromptAnswer::Ok);
    const CellRequest request = run(CL_PMenu_Insert, 498, 498, 499);
    EXPECT_EQ(numbers(496, 4), (std::vector<std::uint32_t>{empty, empty, empty, empty}));
    EXPECT_EQ(request.block.first, 498);
    EXPECT_EQ(lastStatus(), "Inserted");
}

TEST_F(RowOperationsTest, MovesNeverReachOutsideTheirList) {
    putTelNumber(99, {0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    MemoryImage before;
    before.Assign(context_.current);
    for (std::int32_t op : {CL_PMenu_CarryDown, CL_PMenu_Insert, CL_PMenu_Delete, CL_PMenu_Clear})
        run(op, 99, 98, 102, CT_TelNumber, CL_TelNumber_Name);
    EXPECT_FALSE(context_.current.Differs(before));
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(RowOperationsTest, SortIsStableAndPutsEmptySlotsLast) {
    // Slots 0..3 hold 5, empty, 2, 5; the two 5s told apart by their frequency.
    putChannel(0, 5, 7'100'000, 7'100'000);
    putChannel(2, 2, 7'200'000, 7'200'000);
    putChannel(3, 5, 7'300'000, 7'300'000);
    sortUserChannels(context_.current);
    EXPECT_EQ(numbers(0, 4), (std::vector<std::uint32_t>{2, 5, 5, empty}));
    EXPECT_EQ(entry(listUserChannel, 1).rxFrequency, 7'100'000);
    EXPECT_EQ(entry(listUserChannel, 2).rxFrequency, 7'300'000);
}

} // namespace
