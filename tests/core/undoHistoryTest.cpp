#include "core/undoHistory.h"
#include "core/memoryImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

constexpr std::int32_t kSize = 1024;

// A blank image of the test's size.
struct Blank : MemoryImage {
    Blank() { Resize(kSize); }
};

std::vector<std::uint8_t> bytesOf(const MemoryImage& image) {
    return {image.Data(), image.Data() + image.Size()};
}

// One command: the bytes it writes, framed as the program frames a command.
bool command(UndoHistory& history, MemoryImage& image, const std::string& name,
             std::vector<std::pair<std::int32_t, std::uint8_t>> writes) {
    history.Begin(image, name, {"sheet", 1, 2});
    for (auto [address, value] : writes)
        image.SetByte(address, value);
    return history.End(image);
}

TEST(UndoHistory, StepsUndoAndRedoExactlyAndTheSavedPointFollows) {
    UndoHistory history;
    Blank image;
    std::vector<std::vector<std::uint8_t>> states{bytesOf(image)};
    // Scattered bytes, a run, bytes at both ends, and one over an earlier change.
    EXPECT_TRUE(command(history, image, "a", {{3, 1}, {500, 2}, {kSize - 1, 3}}));
    states.push_back(bytesOf(image));
    EXPECT_TRUE(command(history, image, "b", {{0, 9}, {1, 9}, {2, 9}, {3, 9}, {12, 9}}));
    states.push_back(bytesOf(image));
    history.MarkSaved();
    EXPECT_TRUE(command(history, image, "c", {{500, 0}}));
    states.push_back(bytesOf(image));
    EXPECT_FALSE(command(history, image, "same", {{500, 0}})) << "no change, no step";
    EXPECT_EQ(history.StepCount(), 3u);

    EXPECT_EQ(history.UndoName(), "c");
    EXPECT_FALSE(history.AtSavedPoint());
    for (std::size_t p = 3; p > 0; --p) {
        ASSERT_TRUE(history.Undo(image));
        EXPECT_EQ(bytesOf(image), states[p - 1]) << "undo to " << p - 1;
        EXPECT_EQ(history.AtSavedPoint(), p - 1 == 2);
        EXPECT_EQ(history.LastPlace().row, 2);
    }
    EXPECT_FALSE(history.Undo(image));
    EXPECT_EQ(history.RedoName(), "a");
    for (std::size_t p = 1; p <= 3; ++p) {
        ASSERT_TRUE(history.Redo(image));
        EXPECT_EQ(bytesOf(image), states[p]) << "redo to " << p;
    }
    EXPECT_FALSE(history.Redo(image));

    // A new step after undoing past the saved point leaves it unreachable.
    history.Undo(image);
    history.Undo(image);
    EXPECT_TRUE(command(history, image, "d", {{7, 7}}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.AtSavedPoint());
    history.Undo(image);
    EXPECT_FALSE(history.AtSavedPoint());
    EXPECT_EQ(bytesOf(image), states[1]);
}

TEST(UndoHistory, FramesNestCancelAndAResetDropsTheOpenCommand) {
    UndoHistory history;
    Blank image;
    history.Begin(image, "outer", {});
    image.SetByte(1, 1);
    history.Begin(image, "inner", {});
    image.SetByte(2, 2);
    EXPECT_FALSE(history.End(image)) << "the inner frame records nothing";
    EXPECT_TRUE(history.End(image));
    EXPECT_EQ(history.StepCount(), 1u);
    EXPECT_EQ(history.UndoName(), "outer");

    history.Begin(image, "failed", {});
    history.Cancel();
    EXPECT_FALSE(history.InCommand());
    history.Begin(image, "open", {});
    image.SetByte(3, 3);
    history.Reset(); // the command opened another document
    EXPECT_FALSE(history.End(image));
    EXPECT_EQ(history.StepCount(), 0u);
    EXPECT_TRUE(history.AtSavedPoint());

    // Undo run as a command: its frame records nothing, the next frame does.
    command(history, image, "e", {{4, 4}});
    history.Begin(image, "Undo", {});
    EXPECT_TRUE(history.Undo(image));
    EXPECT_FALSE(history.End(image));
    EXPECT_EQ(history.RedoName(), "e");
    EXPECT_TRUE(command(history, image, "f", {{5, 5}}));

    history.Reset(false); // a document read from a radio was never saved
    EXPECT_FALSE(history.AtSavedPoint());
}

// A save inside a command (Open's save question commits a typed cell, then
// saves): undoing what came after the save comes back to the saved bytes.
TEST(UndoHistory, ASaveInsideACommandStandsWhereTheSavedBytesAre) {
    UndoHistory history;
    Blank image;
    history.Begin(image, "Open", {});
    image.SetByte(1, 1); // the typed cell, committed inside the command
    history.MarkSaved(image);
    const auto saved = bytesOf(image);
    history.End(image);
    EXPECT_TRUE(history.AtSavedPoint());
    command(history, image, "e", {{2, 2}});
    EXPECT_FALSE(history.AtSavedPoint());
    ASSERT_TRUE(history.Undo(image));
    EXPECT_TRUE(history.AtSavedPoint());
    EXPECT_EQ(bytesOf(image), saved);
    ASSERT_TRUE(history.Undo(image)) << "the typed cell is a step of its own";
    EXPECT_FALSE(history.AtSavedPoint());
    EXPECT_EQ(image.Data()[1], 0);
}

TEST(UndoHistory, TheOldestStepsGoAtEitherLimit) {
    struct Case {
        std::size_t maxSteps, maxBytes, commands, expectSteps;
    };
    const Case cases[] = {
        {5, 1u << 20, 8, 5}, // the step count
        {1000, 1500, 8, 2},  // the delta bytes: a step of 200 changed bytes costs over 500
        {1000, 100, 3, 1},   // a step larger than the limit still stays, alone
    };
    for (const Case& c : cases) {
        UndoHistory history(c.maxSteps, c.maxBytes);
        Blank image;
        history.MarkSaved();
        for (std::size_t i = 0; i < c.commands; ++i) {
            history.Begin(image, std::to_string(i), {});
            for (std::int32_t a = 0; a < 200; ++a)
                image.SetByte(a, static_cast<std::uint8_t>(i + 1));
            history.End(image);
        }
        EXPECT_EQ(history.StepCount(), c.expectSteps) << c.maxSteps << "/" << c.maxBytes;
        if (c.expectSteps > 1) {
            EXPECT_LE(history.DeltaBytes(), c.maxBytes);
        }
        while (history.Undo(image)) {
        }
        EXPECT_EQ(image.GetByte(0), c.commands - c.expectSteps) << "oldest kept undone";
        EXPECT_FALSE(history.AtSavedPoint()) << "the saved state was dropped";
    }
}

TEST(UndoHistory, AChangeOutsideCommandsJoinsTheLastStep) {
    UndoHistory history;
    Blank image;
    const auto start = bytesOf(image);
    command(history, image, "a", {{10, 1}});
    command(history, image, "b", {{20, 2}});
    history.Undo(image); // "b" waits for redo
    MemoryImage prepared;
    prepared.Assign(image);
    prepared.SetByte(900, 0x55);      // what the save's preparation wrote
    history.Begin(image, "Save", {}); // the save runs as a command
    history.Amend(image, prepared);
    image.Assign(prepared);
    EXPECT_FALSE(history.End(image)) << "the preparation is no step of its own";
    history.MarkSaved();
    EXPECT_FALSE(history.CanRedo()) << "made on the image before the save";
    EXPECT_TRUE(history.AtSavedPoint());
    history.Undo(image);
    EXPECT_EQ(bytesOf(image), start);
    history.Redo(image);
    EXPECT_EQ(bytesOf(image), bytesOf(prepared));
    EXPECT_TRUE(history.AtSavedPoint());

    // A preparation that takes back the whole step leaves no step.
    MemoryImage undone;
    undone.Assign(image);
    undone.SetByte(10, 0);
    undone.SetByte(900, 0);
    history.Amend(image, undone);
    history.MarkSaved();
    EXPECT_EQ(history.StepCount(), 0u);
    EXPECT_TRUE(history.AtSavedPoint());
}

} // namespace
