#include "core/undoHistory.h"

#include "core/memoryImage.h"

#include <algorithm>
#include <cstring>

namespace marlo {

namespace {

// Runs of changed bytes closer than this join one range: a range's bookkeeping
// costs more than a few unchanged bytes kept twice.
constexpr std::int32_t kJoinGap = 8;

const std::string kNoName;

} // namespace

std::size_t UndoHistory::Step::Bytes() const {
    return sizeof(Step) + name.capacity() + place.sheet.capacity() +
           ranges.capacity() * sizeof(Range) + data.capacity();
}

void UndoHistory::Step::Apply(MemoryImage& image, bool undo) const {
    for (const Range& r : ranges) {
        const std::uint8_t* bytes = data.data() + r.offset + (undo ? 0 : r.length);
        image.Write(r.address, bytes, r.length);
    }
}

UndoHistory::Step UndoHistory::Differences(const std::uint8_t* before, const std::uint8_t* after,
                                           std::int32_t size) {
    Step step;
    std::int32_t a = 0;
    while (a < size) {
        if (before[a] == after[a]) {
            ++a;
            continue;
        }
        // Extend the run while the next change lies within the join gap.
        std::int32_t end = a + 1;
        for (std::int32_t probe = end; probe < size && probe < end + kJoinGap; ++probe)
            if (before[probe] != after[probe])
                end = probe + 1;
        const std::int32_t length = end - a;
        const std::size_t offset = step.data.size();
        step.data.insert(step.data.end(), before + a, before + end);
        step.data.insert(step.data.end(), after + a, after + end);
        step.ranges.push_back({a, length, offset});
        a = end;
    }
    step.ranges.shrink_to_fit();
    step.data.shrink_to_fit();
    return step;
}

UndoHistory::UndoHistory(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(std::max<std::size_t>(maxSteps, 1)), maxBytes_(maxBytes) {}

UndoHistory::~UndoHistory() = default;

void UndoHistory::Reset(bool saved) {
    steps_.clear();
    position_ = 0;
    saved_ = saved ? 0 : -1;
    bytes_ = 0;
    // A command running while the document is replaced records nothing.
    frameVoid_ = depth_ > 0;
    lastPlace_ = {};
}

void UndoHistory::Begin(const MemoryImage& image, std::string name, UndoPlace place) {
    if (depth_++ > 0)
        return;
    frameVoid_ = false;
    snapshot_.assign(image.Data(), image.Data() + image.Size());
    pendingName_ = std::move(name);
    pendingPlace_ = std::move(place);
}

bool UndoHistory::End(const MemoryImage& image) {
    if (depth_ == 0 || --depth_ > 0)
        return false;
    const bool recorded = !frameVoid_ && Record(image);
    frameVoid_ = false;
    return recorded;
}

bool UndoHistory::Record(const MemoryImage& image) {
    const std::vector<std::uint8_t>& before = snapshot_;
    if (static_cast<std::int32_t>(before.size()) != image.Size()) {
        Reset(false); // the document was replaced by one of another size
        return false;
    }
    Step step = Differences(before.data(), image.Data(), image.Size());
    if (step.ranges.empty())
        return false;
    step.name = std::move(pendingName_);
    step.place = std::move(pendingPlace_);
    Push(std::move(step));
    return true;
}

void UndoHistory::Cancel() {
    if (depth_ > 0 && --depth_ == 0)
        frameVoid_ = false;
}

const std::string& UndoHistory::UndoName() const {
    return CanUndo() ? steps_[position_ - 1].name : kNoName;
}

const std::string& UndoHistory::RedoName() const {
    return CanRedo() ? steps_[position_].name : kNoName;
}

bool UndoHistory::Undo(MemoryImage& image) {
    if (!CanUndo())
        return false;
    frameVoid_ = depth_ > 0;
    const Step& step = steps_[--position_];
    step.Apply(image, true);
    lastPlace_ = step.place;
    return true;
}

bool UndoHistory::Redo(MemoryImage& image) {
    if (!CanRedo())
        return false;
    frameVoid_ = depth_ > 0;
    const Step& step = steps_[position_++];
    step.Apply(image, false);
    lastPlace_ = step.place;
    return true;
}

void UndoHistory::MarkSaved() {
    saved_ = static_cast<std::ptrdiff_t>(position_);
}

void UndoHistory::MarkSaved(const MemoryImage& image) {
    if (depth_ > 0 && !frameVoid_ && Record(image))
        snapshot_.assign(image.Data(), image.Data() + image.Size());
    MarkSaved();
}

void UndoHistory::Amend(const MemoryImage& before, const MemoryImage& after) {
    if (before.Size() != after.Size() || before.Equals(after))
        return;
    if (position_ > 0)
        AmendLastStep(before, after);
    DropRedo();
    if (depth_ > 0 && static_cast<std::int32_t>(snapshot_.size()) == after.Size()) {
        for (std::int32_t a = 0; a < after.Size(); ++a) {
            if (before.Data()[a] != after.Data()[a])
                snapshot_[static_cast<std::size_t>(a)] = after.Data()[a];
        }
    }
}

void UndoHistory::AmendLastStep(const MemoryImage& before, const MemoryImage& after) {
    Step& last = steps_[position_ - 1];
    // The state the last step started from, rebuilt, and the step made again
    // from it to the amended image.
    MemoryImage start;
    start.Assign(before);
    last.Apply(start, true);
    Step amended = Differences(start.Data(), after.Data(), after.Size());
    bytes_ -= last.Bytes();
    if (amended.ranges.empty()) {
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_ - 1));
        --position_;
        if (saved_ > static_cast<std::ptrdiff_t>(position_))
            saved_ = -1;
        return;
    }
    amended.name = std::move(last.name);
    amended.place = std::move(last.place);
    last = std::move(amended);
    bytes_ += last.Bytes();
}

void UndoHistory::DropRedo() {
    if (saved_ > static_cast<std::ptrdiff_t>(position_))
        saved_ = -1;
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().Bytes();
        steps_.pop_back();
    }
}

void UndoHistory::DropOldest() {
    bytes_ -= steps_.front().Bytes();
    steps_.pop_front();
    --position_;
    // The state before the oldest step can no longer be reached.
    saved_ = saved_ > 0 ? saved_ - 1 : -1;
}

void UndoHistory::Push(Step step) {
    DropRedo();
    bytes_ += step.Bytes();
    steps_.push_back(std::move(step));
    ++position_;
    while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_))
        DropOldest();
}

} // namespace marlo
