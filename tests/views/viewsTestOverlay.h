#pragma once

#include <string>
#include <vector>

// Overlay lines for the view suites: the named cell models every test sheet
// uses, and a helper that adds a sheet's three entries.
//
//   Basic  top-left, plain          Hd  centred header, grey face, fits
//   e      selectable, fits          r   selectable, right-aligned, fits
//   t      tail of the cell on its left
std::vector<std::string> viewModelLines();

void addSheet(std::vector<std::string>& lines, const std::string& key, const std::string& style,
              const std::string& basic, const std::vector<std::string>& cells);
