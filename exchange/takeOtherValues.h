#pragma once

#include "exchange/documentDiff.h"

#include <span>
#include <string>
#include <vector>

namespace marlo {

class CellContext;
class MemoryImage;

// A selective merge: the other side's value of each given difference goes into
// the document of `context`, as if typed into (or picked from) its cell, with
// the cells' filters, limits and refusals and the warnings check of the whole
// document, as an import of the list does. A difference of bytes no cell shows
// takes the other side's bytes, as the memory-bytes cells would store them.
//
// All or nothing: on any refusal the document is left as it was and every
// problem is returned, one text each ("channels slot 12, rx_khz: ..."). Nothing
// is returned on success. `other` is the image the rows were compared with.
std::vector<std::string> takeOtherValues(CellContext& context, int variant,
                                         const MemoryImage& other, std::span<const DiffRow> rows);

} // namespace marlo
