#pragma once

#include "sheets/cellModel.h"

#include <span>
#include <string_view>

namespace marlo {

// The names that overlay cell references use for categories and labels, and the
// numbers the program works with. The order of both tables is the numbering; the
// numbers past the last name mean "none", as a fresh cell model has them.
constexpr int kNoCategory = CellModel::kNoCategory; // a reference without a category
constexpr int kCategoryCount = kNoCategory;
constexpr int kNoLabel = CellModel::kNoLabel; // a plain cell that shows its own text
constexpr int kLabelCount = kNoLabel;

// 0..11; "" gives kNoCategory. An unknown name ends the program: an overlay file
// that names one cannot be used.
int categoryNumber(std::string_view name);
// 0..204; "" gives kNoLabel. An unknown name ends the program.
int labelNumber(std::string_view name);
// The list type (0..7) of the entries a category addresses; 0 for kNoCategory.
// A number outside 0..12 is a program error and ends the program.
int listTypeOf(int category);

std::span<const char* const> categoryNames();
std::span<const char* const> labelNames();

} // namespace marlo
