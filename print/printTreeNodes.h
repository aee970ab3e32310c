#pragma once

#include "print/printHost.h"

#include <string>
#include <vector>

namespace marlo {

class OverlayTexts;

// The nodes of the tree entry `key` ("GI_Tree_Main") in tree order, read as the
// tree reads them: one node per line of K_Body, each line's depth the number
// of characters before its first '+', the cell after it parsed with K_BasicCell
// as parent. A line shallower than the first one ends the tree.
std::vector<PrintNode> printTreeNodes(OverlayTexts& store, const std::string& key);

} // namespace marlo
