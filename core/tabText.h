#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// Tab-separated text as spreadsheets put it on the clipboard: one line per row,
// a tab between values, a value in double quotes where it holds a tab, a line
// break or a quote (a quote inside doubled). CR LF and LF both end a line; a
// last line break adds no row.
std::vector<std::vector<std::string>> readTabText(std::string_view text);
std::string tabText(const std::vector<std::vector<std::string>>& rows);

} // namespace marlo
