#pragma once

#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "radio/cellEngine.h"
#include "radio/cellRequest.h"
#include "sheets/cellModel.h"

#include <QTemporaryDir>

#include <string>

using namespace marlo;

// What a controller needs around it: a settings store of its own (never the
// user's) and a hub, installed for as long as this object lives.
class ProgramAround {
public:
    // `lock` names the single-instance lock; suites that may run at the same time
    // take different ones.
    explicit ProgramAround(const char* lock)
        : settings_(lock, "Software\\Test\\Data",
                    {path("Marlo.conf"), folder_.path().toStdString(), ScreenSize{1024, 768}}) {
        SettingsStore::SetApp(&settings_);
        NotificationHub::SetApp(&hub_);
    }
    ~ProgramAround() {
        NotificationHub::SetApp(nullptr);
        SettingsStore::SetApp(nullptr);
    }
    ProgramAround(const ProgramAround&) = delete;
    ProgramAround& operator=(const ProgramAround&) = delete;

    SettingsStore& settings() { return settings_; }

private:
    std::string path(const char* name) const { return folder_.filePath(name).toStdString(); }

    QTemporaryDir folder_;
    SettingsStore settings_;
    NotificationHub hub_;
};

// The text the engine shows for a copy of `model` when it is painted.
inline std::string shownText(CellEngine& engine, const CellModel& model) {
    CellModel cell = model;
    CellRequest request;
    request.cell = &cell;
    evaluateCell(engine, request, false);
    return request.text;
}

// The same for a cell of `label` in category `category` and entry 0.
inline std::string shownText(CellEngine& engine, std::int32_t category, std::int32_t label) {
    CellModel cell;
    cell.category = category;
    cell.label = label;
    return shownText(engine, cell);
}
