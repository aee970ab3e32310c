#pragma once

#include "core/rangeList.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace marlo {

class CellContext;
class MemoryImage;

// One image as the comparison reads it.
struct DiffSide {
    MemoryImage& image;
    int variant;
};

// One difference between two documents.
struct DiffRow {
    enum class Kind : std::uint8_t {
        Value,       // a cell shows another text: `list`, `row`, `column`
        HiddenBytes, // an entry or setting shows the same but its bytes differ at `first`
        OtherBytes,  // bytes `first`..`last` that no entry or setting keeps
    };
    Kind kind = Kind::Value;
    std::size_t list = 0; // into exchangeLists()
    std::size_t row = 0;
    std::size_t column = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::string mine;  // as the cell shows it, or the bytes in hex
    std::string other; // the same on the other side
};

// Every difference, in the order below: the lists in their order, entry by
// entry, column by column; then the other bytes by address. None when either
// image is not of this radio's size (callers read full images).
std::vector<DiffRow> compareDocuments(CellContext& context, DiffSide a, DiffSide b,
                                      std::span<const AddressRange> ranges);

// For a row of bytes no cell shows: copies the bits it stands for, and no
// others, from `from` into `to` (of the same size); the bits an entry or
// setting keeps for HiddenBytes, those no entry or setting keeps for OtherBytes.
void takeDiffBytes(const DiffRow& row, const MemoryImage& from, MemoryImage& to);

// The line a row makes in the list below.
std::string describeDiffRow(const DiffRow& row);

// What differs between two documents, one line each, in this order:
//
//   channels slot 12: rx_khz 7053.4 -> 7055.0
//   settings TxPwrSel: High -> Low
//   phone slot 3: stored bytes differ where nothing shown differs (0x63E8)
//   bytes 0x6C2C..0x6C2D: 56 45 -> 58 58
//
// Every cell of every exchanged list is compared by the text it shows. An entry
// or setting whose cells show the same but whose own bytes differ says so, and
// bytes that belong to no list entry or setting are listed by address. Only the
// addresses within `ranges` are compared. No lines: the two are the same.
std::vector<std::string> diffDocuments(CellContext& context, DiffSide a, DiffSide b,
                                       std::span<const AddressRange> ranges);

} // namespace marlo
