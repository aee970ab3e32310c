#include "sheets/cellNames.h"

#include "overlay/nameTable.h"
#include "platform/fatalError.h"
#include "sheets/cellLabelList.h"

#include <array>
#include <cstdint>
#include <string>

namespace marlo {

namespace {

// Both tables are expanded from the one list of names in number order.
#define MARLO_CELL_NAME(name) #name,

constexpr std::array<const char*, kCategoryCount> kCategories = {
    MARLO_CELL_CATEGORIES(MARLO_CELL_NAME)};

constexpr std::array<int, kCategoryCount + 1> kListTypes = {0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0};

constexpr std::array<const char*, kLabelCount> kLabels = {MARLO_CELL_LABELS(MARLO_CELL_NAME)};

#undef MARLO_CELL_NAME

// Both name lists share one table. A category's value carries this tag so that
// a label name never passes for a category (and the other way round).
constexpr std::uint32_t kCategoryTag = 0x10000;
constexpr std::uint32_t kNumberMask = 0xFFFF;

struct CellNameTable {
    NameTable hash{1031};
    CellNameTable() {
        for (std::uint32_t i = 0; i < kCategories.size(); ++i)
            hash.Add(kCategories[i], kCategoryTag | i);
        for (std::uint32_t i = 0; i < kLabels.size(); ++i)
            hash.Add(kLabels[i], i);
    }
};

// Filled on first use.
const NameTable& nameTable() {
    static const CellNameTable table;
    return table.hash;
}

// The number behind `name` when it is of the wanted kind, else -1.
int lookUp(std::string_view name, bool category) {
    const NameTable::Node* node = nameTable().Find(name);
    if (node == nullptr || ((node->value & kCategoryTag) != 0) != category)
        return -1;
    return static_cast<int>(node->value & kNumberMask);
}

} // namespace

int categoryNumber(std::string_view name) {
    if (name.empty())
        return kNoCategory;
    const int number = lookUp(name, true);
    if (number < 0)
        fatalError("Cannot use the specified category.\n'" + std::string(name) + "'");
    return number;
}

int labelNumber(std::string_view name) {
    if (name.empty())
        return kNoLabel;
    const int number = lookUp(name, false);
    if (number < 0)
        fatalError("Cannot use the specified cell.\n'" + std::string(name) + "'");
    return number;
}

int listTypeOf(int category) {
    if (category < 0 || category > kNoCategory)
        fatalError("Unknown Cell Category. (" + std::to_string(category) + ")");
    return kListTypes[static_cast<std::size_t>(category)];
}

std::span<const char* const> categoryNames() {
    return kCategories;
}

std::span<const char* const> labelNames() {
    return kLabels;
}

} // namespace marlo
