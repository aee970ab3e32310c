#pragma once

#include "core/cmcEnviron.h"
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
