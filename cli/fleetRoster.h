#pragma once

#include <memory>
#include <string>
#include <vector>

namespace marlo {

class MemoryImage;
class RadioDocument;

// A fleet's roster: one row per radio, a `label` column naming it (the
// vehicle, the station) and columns for the fields that are the radio's own.
// A column is a setting by the name the settings export gives it ("Comment"),
// or a field of a list as LIST.SLOT.COLUMN ("selcall.1.id", "ale.2.address").
// A blank value keeps the plan's.
struct FleetRow {
    int line = 0; // in the roster file
    std::string label;
    std::vector<std::string> values; // by roster column, after the label's
};

struct FleetRoster {
    std::vector<std::string> columns; // the headers other than label
    std::vector<FleetRow> rows;
};

// Why a roster, a row's value or a row's image was refused.
struct FleetProblem {
    int line = 0;       // 0: the plan, or the roster file as a whole
    std::string label;  // the row's label; empty for the header or the file
    std::string column; // empty for a whole row
    std::string reason;
};

// "ROSTER.csv line 4 (WAGGA-2), column selcall.1.id: reason".
std::string describeFleetProblem(const std::string& roster, const FleetProblem& problem);

// Reads the roster file. Refused: a table that cannot be read, no label
// column, a column that names no setting or list field, a column named twice,
// a blank or repeated label.
std::vector<FleetProblem> readFleetRoster(const std::string& path, FleetRoster& roster);

// Builds every row's image on the controller's document (the opened plan):
// the plan with the row's values typed into their cells, each as an import
// takes it, then the warnings check. A memory comment, selective-call ID or ALE
// address that another row's radio already holds (as stored) is refused. Returns every problem of
// every row, or the plan's own errors; `images` receives one prepared image per row only when there
// is none.
std::vector<FleetProblem> buildFleetImages(RadioDocument& controller, const FleetRoster& roster,
                                           std::vector<std::unique_ptr<MemoryImage>>& images);

} // namespace marlo
