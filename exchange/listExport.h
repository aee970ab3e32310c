#pragma once

#include <string>
#include <vector>

namespace marlo {

class CellContext;
class MemoryImage;
struct ExchangeList;

// A list of `image` as a table: the header, then one row per entry with the
// texts its cells show. An entry not in use holds its key alone.
std::vector<std::vector<std::string>> exportListTable(CellContext& context, MemoryImage& image,
                                                      int variant, const ExchangeList& list);

// The same as CSV text: comma-separated, CR LF line ends.
std::string exportListCsv(CellContext& context, MemoryImage& image, int variant,
                          const ExchangeList& list);

} // namespace marlo
