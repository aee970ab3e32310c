#pragma once

#include "radio/cellRequest.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace marlo;

// Requests as the engine hands them to the codecs.
namespace codecTest {

// Any non-null handle stands for the grid: the codecs only ask whether there is one.
inline void* gridHandle() {
    static int grid;
    return &grid;
}

// Text typed into the cell editor and committed.
inline CellRequest typed(std::string_view text) {
    CellRequest request;
    request.inputMode = CellRequest::kEditedText;
    request.inputText = std::string(text);
    return request;
}

// A key pressed on the grid's current cell.
inline CellRequest keyed(std::int32_t action) {
    CellRequest request;
    request.grid = gridHandle();
    request.action = action;
    return request;
}

// A thousand digits, as a stuck key or a paste might deliver.
inline const std::string kManyDigits(1000, '9');

} // namespace codecTest
