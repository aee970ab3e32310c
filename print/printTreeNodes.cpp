#include "print/printTreeNodes.h"

#include "overlay/overlayTexts.h"
#include "sheets/cellParser.h"

#include <string_view>

namespace marlo {

namespace {

struct Line {
    std::size_t depth;
    std::string_view cell; // empty for a line without '+'
};

Line split(const std::string& text) {
    const auto plus = text.find('+');
    if (plus == std::string::npos)
        return {0, {}};
    return {plus, std::string_view(text).substr(plus + 1)};
}

// The number of lines one level of the tree takes from `first` on: deeper lines
// belong to the level below the last node, a shallower line ends it.
std::size_t levelLength(const std::vector<std::string>& lines, std::size_t first) {
    const std::size_t depth = split(lines[first]).depth;
    std::size_t at = first + 1;
    while (at < lines.size()) {
        const std::size_t d = split(lines[at]).depth;
        if (d < depth)
            break;
        at += d > depth ? levelLength(lines, at) : 1;
    }
    return at - first;
}

} // namespace

std::vector<PrintNode> printTreeNodes(OverlayTexts& store, const std::string& key) {
    std::vector<std::string> lines;
    for (int n = 0;; ++n) {
        std::string line = store.GetLine(key + "_Body", n);
        if (!line.empty() && line[0] == '#')
            break;
        lines.push_back(std::move(line));
    }
    std::vector<PrintNode> nodes;
    if (lines.empty())
        return nodes;
    CellParser parser(store);
    CellModel base;
    parser.SplitCell(store.GetLine(key + "_BasicCell", 0), base, nullptr, nullptr);
    const std::size_t count = levelLength(lines, 0);
    for (std::size_t i = 0; i < count; ++i) {
        CellModel model;
        parser.SplitCell(split(lines[i]).cell, model, &base, nullptr);
        nodes.push_back({model.label, model.parameter.value_or(std::string())});
    }
    return nodes;
}

} // namespace marlo
