#pragma once

#include "core/rangeList.h"

#include <vector>

namespace marlo {

class MemoryImage;

// The blocks of addresses within `ranges` where `a` and `b` hold different bytes,
// in list order, each as long as the run of differing bytes. An address that one
// of the images lacks counts as differing.
std::vector<AddressRange> differingRanges(const MemoryImage& a, const MemoryImage& b,
                                          RangeList ranges);

} // namespace marlo
