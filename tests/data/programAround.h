#pragma once

#include "core/cmcEnviron.h"
#include "radio/cmcCellCapsule.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcCellObj.h"
#include "sheets/cmcEvMan.h"

#include <QTemporaryDir>

#include <string>

// What a controller needs around it: a settings store of its own (never the
// user's) and a hub, installed for as long as this object lives.
class ProgramAround {
public:
    // `lock` names the single-instance lock; suites that may run at the same time
    // take different ones.
    explicit ProgramAround(const char* lock)
        : settings_(lock, "Software\\Test\\Data",
                    {path("Marlo.conf"), folder_.path().toStdString(), cmcScreenSize{1024, 768}}) {
        cmcEnviron::SetApp(&settings_);
        cmcEvMan::SetApp(&hub_);
    }
    ~ProgramAround() {
        cmcEvMan::SetApp(nullptr);
        cmcEnviron::SetApp(nullptr);
    }
    ProgramAround(const ProgramAround&) = delete;
    ProgramAround& operator=(const ProgramAround&) = delete;

    cmcEnviron& settings() { return settings_; }

private:
    std::string path(const char* name) const { return folder_.filePath(name).toStdString(); }

    QTemporaryDir folder_;
    cmcEnviron settings_;
    cmcEvMan hub_;
};

// The text the engine shows for a copy of `model` when it is painted.
inline std::string shownText(indActiveCell& engine, const cmcCellObj& model) {
    cmcCellObj cell = model;
    cmcCellCapsule request;
    request.cell = &cell;
    evaluateCell(engine, request, false);
    return request.text;
}

// The same for a cell of `label` in category `category` and entry 0.
inline std::string shownText(indActiveCell& engine, std::int32_t category, std::int32_t label) {
    cmcCellObj cell;
    cell.category = category;
    cell.label = label;
    return shownText(engine, cell);
}
