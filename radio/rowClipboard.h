#pragma once

#include "radio/listRecord.h"

#include <cstdint>
#include <vector>

namespace marlo {

class MemoryImage;

// A block of consecutive entries of one list: the Copy/Paste clipboard of all
// sheets, and the short-lived blocks that row moves carry around. Every entry
// goes in and out through loadOne/storeOne.
class RowClipboard {
public:
    RowClipboard() = default;
    RowClipboard(const RowClipboard&) = delete;
    RowClipboard& operator=(const RowClipboard&) = delete;
    virtual ~RowClipboard() = default;

    virtual void Clear();
    // Holds entries first..first+count-1 of the list. A count beyond the list's
    // length is cut to it; a count below 1 or an unknown type leaves it empty.
    virtual void CopyFrom(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                          std::int32_t count);
    virtual void LoadOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                         ListRecord& entry);
    virtual bool Accepts(std::uint8_t listType) const;
    // Stores at most count held entries from index first on; nothing unless it
    // accepts the type.
    virtual void PasteTo(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                         std::int32_t count);
    virtual void StoreOne(MemoryImage& image, std::uint8_t listType, std::int32_t entryIndex,
                          ListRecord& entry);

    // Holds count blank entries, as clearing rows writes them.
    void FillBlank(MemoryImage& image, std::uint8_t listType, std::int32_t first,
                   std::int32_t count);

    std::uint8_t heldType() const { return type_; }
    std::int32_t heldFirst() const { return first_; }
    std::int32_t heldCount() const { return static_cast<std::int32_t>(entries_.size()); }
    const ListRecord& Held(std::int32_t i) const {
        return entries_.at(static_cast<std::size_t>(i));
    }

private:
    // Room for the request, cut to the list's length; 0 when nothing may be held.
    static std::int32_t Holdable(std::uint8_t listType, std::int32_t count);
    // Clears, then makes room for that many entries of the list (cut as above) and
    // takes on its type and first index; the number of entries to fill.
    std::int32_t MakeRoom(std::uint8_t listType, std::int32_t first, std::int32_t count);

    std::vector<ListRecord> entries_;
    std::uint8_t type_ = listNone;
    std::int32_t first_ = 0;
};

// The clipboard the program makes.
class ProgramRowClipboard : public RowClipboard {
public:
    ~ProgramRowClipboard() override;
};

} // namespace marlo
