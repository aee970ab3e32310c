#pragma once

#include <memory>
#include <string>

class cmcEnviron;

// The user's settings as marlo-clone uses them: read, never written back, and
// without the desktop program's single-instance lock, so that a scripted backup
// may run beside an open marlo. While it lives the store is the application's
// (cmcEnviron::App) and the port overrides of the file are the port map's.
class cmcSettingsSnapshot {
public:
    // `settingsFile` is the file to read (empty: the user's own); a missing file
    // gives the defaults.
    explicit cmcSettingsSnapshot(const std::string& settingsFile = {});
    ~cmcSettingsSnapshot();
    cmcSettingsSnapshot(const cmcSettingsSnapshot&) = delete;
    cmcSettingsSnapshot& operator=(const cmcSettingsSnapshot&) = delete;

    cmcEnviron& Store() { return *store_; }

private:
    std::unique_ptr<cmcEnviron> store_;
};
