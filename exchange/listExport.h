#pragma once

#include <string>
#include <vector>

class cmcCellContext;
class cmcEeprom;
struct cmcExchangeList;

// A list of `image` as a table: the header, then one row per entry with the
// texts its cells show. An entry not in use holds its key alone.
std::vector<std::vector<std::string>> exportListTable(cmcCellContext& context, cmcEeprom& image,
                                                      int variant, const cmcExchangeList& list);

// The same as CSV text: comma-separated, CR LF line ends.
std::string exportListCsv(cmcCellContext& context, cmcEeprom& image, int variant,
                          const cmcExchangeList& list);
