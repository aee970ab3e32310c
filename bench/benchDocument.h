#pragma once

#include "core/memoryImage.h"
#include "documentContext.h"

#include <string>
#include <vector>

using namespace marlo;

// A channel document for the benchmarks that evaluate cells: 500 used channels
// that repeat numbers and ALE IDs and stray outside the band edges, so the
// invalid and duplicate marks are really searched for.

// The overlay's selection lists that the channel cells read.
std::vector<std::string> benchListLines();

void fillDocument(MemoryImage& image);
