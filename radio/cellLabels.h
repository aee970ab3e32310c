#pragma once

#include "sheets/cellLabelList.h"
#include "sheets/cellNames.h"

#include <cstdint>

namespace marlo {

// The numbers behind the category and label names of cell references, for the
// code that gives the cells their meaning. They are expanded from the same list
// as the name tables of cellNames.cpp, so a name and its number always agree.
namespace CellLabel {

#define MARLO_CELL_ENUMERATOR(name) name,

enum Category : std::int32_t { MARLO_CELL_CATEGORIES(MARLO_CELL_ENUMERATOR) CT_None };

enum Label : std::int32_t { MARLO_CELL_LABELS(MARLO_CELL_ENUMERATOR) CL_None };

#undef MARLO_CELL_ENUMERATOR

// The lists hold exactly the names the numbering has room for.
static_assert(CT_None == kNoCategory && CT_None == kCategoryCount);
static_assert(CL_None == kNoLabel && CL_None == kLabelCount);

} // namespace CellLabel

} // namespace marlo
