#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

class QWidget;

namespace marlo {

class AppController;

// Where the tree's sheets show a bound cell: the sheet's descriptor and tree
// caption, the grid cell, and the texts that name it there (the column's
// heading, the row's first cell). Each sheet is built once, hidden, the first
// time a cell is looked for in it; sheets are searched in tree order.
class CellLocator {
public:
    struct Place {
        std::string descriptor;
        std::string caption; // the tree node's
        int col = -1;
        int row = -1;
        std::string heading;  // the column's header text, lines joined by a space
        std::string rowLabel; // the row's first cell
    };

    explicit CellLocator(AppController& controller);
    ~CellLocator();
    CellLocator(const CellLocator&) = delete;
    CellLocator& operator=(const CellLocator&) = delete;

    // The first selectable cell of that reference; a cell without a parameter
    // matches `parameter` empty.
    std::optional<Place> Find(std::int32_t category, std::int32_t label, std::int32_t index,
                              const std::string& parameter = {});

private:
    using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::string>;
    // Indexes the next sheet of the tree not yet indexed; false when none is left.
    bool IndexNextSheet();

    AppController& controller_;
    std::unique_ptr<QWidget> hidden_; // hosts the sheets while they are read
    std::size_t nextNode_ = 0;
    std::map<Key, Place> places_;
};

} // namespace marlo
