#pragma once

#include <span>
#include <string_view>

// The names that overlay cell references use for categories and labels, and the
// numbers the program works with. The order of both tables is the numbering.
constexpr int kCategoryCount = 12;
constexpr int kNoCategory = 12; // a reference without a category
constexpr int kLabelCount = 204;
constexpr int kNoLabel = 204; // a plain cell that shows its own text

// 0..11; "" gives kNoCategory. An unknown name ends the program: an overlay file
// that names one cannot be used.
int categoryNumber(std::string_view name);
// 0..203; "" gives kNoLabel. An unknown name ends the program.
int labelNumber(std::string_view name);
// The list type (0..7) of the entries a category addresses; 0 for kNoCategory.
// A number outside 0..12 is a program error and ends the program.
int listTypeOf(int category);

std::span<const char* const> categoryNames();
std::span<const char* const> labelNames();
