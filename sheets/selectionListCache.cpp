#include "sheets/selectionListCache.h"

#include "overlay/overlayTexts.h"

#include <algorithm>

namespace marlo {

namespace {

std::string listKey(std::string_view sheet, int label) {
    return std::string(sheet) + "#" + std::to_string(label);
}

} // namespace

SelectionListCache::SelectionListCache(OverlayTexts& store, OverlayTexts& models)
    : store_(store), parser_(models) {}

SelectionListCache::~SelectionListCache() = default;

const SelectionList* SelectionListCache::Find(std::string_view sheet, int label) const {
    return index_.Find(listKey(sheet, label));
}

std::string SelectionListCache::TextOf(std::string_view sheet, int label, std::int32_t value) {
    const SelectionList* found = Find(sheet, label);
    const SelectionList& list = found ? *found : Build(sheet, label);
    const auto at = std::lower_bound(
        list.byValue.begin(), list.byValue.end(), value,
        [&list](std::size_t entry, std::int32_t v) { return list.entries[entry].value < v; });
    if (at == list.byValue.end() || list.entries[*at].value != value)
        return "error";
    return list.entries[*at].text;
}

std::optional<std::int32_t> SelectionListCache::Step(std::string_view sheet, int label,
                                                     std::int32_t value, int direction) const {
    const SelectionList* list = Find(sheet, label);
    if (list == nullptr || list->entries.empty())
        return std::nullopt;
    const auto& order = list->readingOrder;
    const auto count = static_cast<std::int64_t>(order.size());
    // A value that is not in the list stands just past the last entry, so Space
    // goes on to the first entry and Backspace back to the last one.
    const auto at = std::find_if(order.begin(), order.end(), [list, value](std::size_t entry) {
        return list->entries[entry].value == value;
    });
    std::int64_t next = (at - order.begin()) + std::int64_t{direction};
    if (next >= count)
        next = 0;
    else if (next < 0)
        next = count - 1;
    return list->entries[order[static_cast<std::size_t>(next)]].value;
}

// Parses every cell of `entry` with one reused model and counters from zero, and
// calls `visit` for each; returns the number of lines.
template <typename Visit>
int SelectionListCache::ReadCells(const std::string& entry, Visit visit) {
    ChannelCounters counters{};
    CellModel model;
    int line = 0;
    for (;; ++line) {
        const std::string text = store_.GetLine(entry, line);
        if (text.starts_with('#'))
            return line;
        std::string_view rest = text;
        for (int column = 0; !rest.empty(); ++column) {
            rest = parser_.SplitCell(rest, model, nullptr, &counters);
            visit(line, column, model);
        }
    }
}

SelectionList& SelectionListCache::Build(std::string_view sheet, int label) {
    lists_.push_back(std::make_unique<SelectionList>());
    SelectionList& list = *lists_.back();
    index_.Add(listKey(sheet, label), &list);

    // The first pass sizes the list, the second fills it; both start from the
    // same counters, so they read the same values.
    const std::string entry = std::string(sheet) + "_Cells";
    std::size_t count = 0;
    list.lineCount = ReadCells(entry, [&count, label](int, int, const CellModel& model) {
        count += model.label == label ? 1 : 0;
    });
    list.entries.reserve(count);
    ReadCells(entry, [&list, label](int line, int column, const CellModel& model) {
        list.widestLine = std::max(list.widestLine, column + 1);
        if (model.label == label)
            list.entries.push_back(
                {line, column, model.index, model.parameter ? *model.parameter : model.Text()});
    });

    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        list.byValue.push_back(i);
        list.readingOrder.push_back(i);
    }
    const auto& entries = list.entries;
    std::stable_sort(
        list.byValue.begin(), list.byValue.end(),
        [&entries](std::size_t a, std::size_t b) { return entries[a].value < entries[b].value; });
    const auto readingKey = [&entries, &list](std::size_t e) {
        return std::int64_t{entries[e].column} * list.lineCount + entries[e].line;
    };
    std::stable_sort(
        list.readingOrder.begin(), list.readingOrder.end(),
        [&readingKey](std::size_t a, std::size_t b) { return readingKey(a) < readingKey(b); });
    return list;
}

} // namespace marlo
