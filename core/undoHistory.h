#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace marlo {

class MemoryImage;

// Where a step's change shows: the sheet it was made on and the cell the cursor
// stood on. An empty sheet means the place is not known.
struct UndoPlace {
    std::string sheet;
    int col = -1;
    int row = -1;
};

// The undo history of one document. A step is the set of byte ranges in which
// the image differs after a command from before it (both sides kept), so that
// everything a command changes as its consequence is undone with it and nothing
// is replayed. The history knows a position (steps below it are done, steps
// above it can be redone) and the position the document was last saved at.
//
// A command is framed by Begin and End: Begin takes a snapshot, End compares
// and records. Frames nest; only the outermost records. Reset, Cancel and a
// Begin without End never record.
class UndoHistory {
public:
    static constexpr std::size_t kDefaultMaxSteps = 1000;
    static constexpr std::size_t kDefaultMaxBytes = 16u << 20;

    UndoHistory(std::size_t maxSteps = kDefaultMaxSteps, std::size_t maxBytes = kDefaultMaxBytes);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // A fresh history; `saved` tells whether the document now equals a file.
    void Reset(bool saved = true);

    // The command frame. `name` and `place` describe the step End may record.
    void Begin(const MemoryImage& image, std::string name, UndoPlace place);
    // True when the outermost frame closed with a change and recorded a step.
    bool End(const MemoryImage& image);
    // Closes a frame of a command that failed or was cancelled: nothing is
    // recorded and the image is the caller's to have left as it was.
    void Cancel();
    bool InCommand() const { return depth_ > 0; }

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // The name of the step Undo or Redo would take; empty when none.
    const std::string& UndoName() const;
    const std::string& RedoName() const;
    // Applies the step below (above) the position to `image` and moves the
    // position; false, with the image untouched, when there is none. Undo and
    // Redo are commands themselves: an open frame around them records nothing.
    bool Undo(MemoryImage& image);
    bool Redo(MemoryImage& image);
    // Where the step last undone or redone showed its change.
    const UndoPlace& LastPlace() const { return lastPlace_; }

    // The image was changed by no user command (a save prepares it for the
    // file): the change joins the step that led here, and the steps above, made
    // on the image before it, go. With no step below, the changed image is
    // where the history starts. An open frame takes the change as its start.
    void Amend(const MemoryImage& before, const MemoryImage& after);
    // The saved point follows the document's file: Save marks it here.
    void MarkSaved();
    // The same, for a save that `image` may have been reached by inside an open
    // command (the save question of Open or Clone Read commits a typed cell
    // first): what the command changed so far becomes a step of its own, so
    // that the saved point stands exactly where the saved bytes are.
    void MarkSaved(const MemoryImage& image);
    bool AtSavedPoint() const { return saved_ == static_cast<std::ptrdiff_t>(position_); }

    std::size_t StepCount() const { return steps_.size(); }
    std::size_t Position() const { return position_; }
    // The bytes the recorded deltas hold.
    std::size_t DeltaBytes() const { return bytes_; }

private:
    // A run of changed bytes: its old bytes, then its new ones, lie in the
    // step's data from `offset` on (one buffer per step keeps a small step small).
    struct Range {
        std::int32_t address = 0;
        std::int32_t length = 0;
        std::size_t offset = 0;
    };
    struct Step {
        std::string name;
        UndoPlace place;
        std::vector<Range> ranges;
        std::vector<std::uint8_t> data;
        std::size_t Bytes() const;
        void Apply(MemoryImage& image, bool undo) const;
    };
    static Step Differences(const std::uint8_t* before, const std::uint8_t* after,
                            std::int32_t size);
    void AmendLastStep(const MemoryImage& before, const MemoryImage& after);
    bool Record(const MemoryImage& image);
    void Push(Step step);
    void DropRedo();
    void DropOldest();

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    std::deque<Step> steps_;
    std::size_t position_ = 0;
    std::ptrdiff_t saved_ = 0; // -1: the saved state is no longer in the history
    std::size_t bytes_ = 0;
    int depth_ = 0;
    bool frameVoid_ = false; // the open frame's start is no longer the image's past
    std::vector<std::uint8_t> snapshot_;
    std::string pendingName_;
    UndoPlace pendingPlace_;
    UndoPlace lastPlace_;
};

} // namespace marlo
